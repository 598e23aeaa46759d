#include "i18n/LanguageTexts.h"

// Placeholder until the tables are filled in.
void LanguageTexts::load(const QString& languageName, const QString& productTitle, const QString& versionText)
{
    m_markers = allFolderMarkers();
    buildWelcomeText(languageName, productTitle, versionText);
}

void LanguageTexts::buildWelcomeText(const QString&, const QString& productTitle, const QString& versionText)
{
    m_welcome = {QStringLiteral("Welcome to ") + productTitle + u' ' + versionText};
}

const QStringList& LanguageTexts::allFolderMarkers()
{
    static const QStringList markers = {QStringLiteral("(:Folder:)"), QStringLiteral("(:Map:)"),
                                        QStringLiteral("(:Ordner:)"), QStringLiteral("(:Mapp:)"),
                                        QStringLiteral("(:Dossier:)")};
    return markers;
}
