#pragma once
// Qt's own texts (the file browser's columns and file types, standard buttons, edit
// menus) in the program's language, from the translations installed with Qt, or where
// Qt comes with the program (Windows) from the copy the program carries.
#include <QLocale>
#include <QString>
#include <memory>

class QTranslator;

class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();

    // Replaces the installed translations with those for locale; English needs none.
    // Where Qt has no translation for the language, its texts stay English (nothing to
    // report: the program's own texts are unaffected).
    void use(const QLocale& locale);
    // Whether a translation is installed now.
    bool active() const { return m_translator != nullptr; }

private:
    std::unique_ptr<QTranslator> m_translator;
};

// The folder of Qt's catalogues the program carries in its resources; empty where it
// carries none and uses the system's.
QString carriedQtTranslations();
