#pragma once
// The copy progress window's own texts in a language, from its record (Languages.h;
// the window's Cancel button takes slot CancelCaption of the language tables).
#include <QString>

struct CopyWindowTexts {
    QString copying;   // "Copying: %1", the name being copied
    QString files;     // "Files: %1 of %2"
    QString bytes;     // "%1 of %2", two sizes
    QString cancelled; // the message after Cancel
    QString silent;    // "The upload folder has not answered for %1 s...", seconds
    QString rate;      // "%1 files/s, %2/s": files and a size a second
    QString timeLeft;  // "Time left: %1", h:mm:ss
};

// The texts for a language key; any unknown key gives English, as in the language
// tables.
CopyWindowTexts CopyWindowTextsFor(const QString& languageName);
