#pragma once
// The locale that goes with a language key: Qt's own texts (file types, standard
// buttons) and the way sizes and dates are written follow it.
#include <QLocale>
#include <QString>

// The locale of the language's record (Languages.h); any unknown key (compared
// exactly, like the language tables) gives English.
QLocale LanguageLocale(const QString& languageName);
