#include "app/gui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() = default; // a translator removes itself when deleted

void QtTranslations::use(const QLocale& locale)
{
    m_translator.reset();
    if (locale.language() == QLocale::English)
        return;
    auto translator = std::make_unique<QTranslator>();
    // "qt_xx" pulls in the catalogues of every Qt module for the language; the program
    // carries qtbase's alone, the one module it uses that has texts.
    const QString carried = carriedQtTranslations();
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        (carried.isEmpty() || !translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), carried)))
        return;
    QCoreApplication::installTranslator(translator.get());
    m_translator = std::move(translator);
}
