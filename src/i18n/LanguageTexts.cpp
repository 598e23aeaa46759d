#include "i18n/LanguageTexts.h"

#include "i18n/LanguageTables.h"

using namespace languagetables;

namespace {
QString fromTable(const char16_t* text)
{
    return QString::fromUtf16(text);
}
} // namespace

void LanguageTexts::load(const QString& languageName, const QString& productTitle, const QString& versionText)
{
    m_markers = allFolderMarkers();
    buildWelcomeText(languageName, productTitle, versionText);

    // English first, so that whatever the key, every slot is filled; then the one other
    // language whose key matches exactly.
    const auto fill = [this](Language language) {
        for (int i = 0; i < kSlotCount; ++i)
            m_slots[i] = fromTable(kSlots[language][i]);
    };
    fill(English);
    if (languageName == kDutch)
        fill(Dutch);
    if (languageName == kGerman)
        fill(German);
    if (languageName == kFrench)
        fill(French);
    if (languageName == kSwedish)
        fill(Swedish);
}

void LanguageTexts::buildWelcomeText(const QString& languageName, const QString& productTitle,
                                     const QString& versionText)
{
    // The page is cleared before each language's lines go in, so it never holds more than
    // one language and never grows from one load to the next.
    const auto build = [&](Language language) {
        m_welcome.clear();
        const WelcomePage& page = kWelcome[language];
        addWelcomeLine(fromTable(page.greeting) + productTitle + u' ' + versionText);
        for (const char16_t* line : page.lines)
            addWelcomeLine(fromTable(line));
    };
    build(English);
    const std::pair<const QString&, Language> others[] = {
        {kDutch, Dutch}, {kGerman, German}, {kFrench, French}, {kSwedish, Swedish}};
    for (const auto& [key, language] : others)
        if (languageName == key)
            build(language);
}

const QStringList& LanguageTexts::allFolderMarkers()
{
    // English, Dutch, German, Swedish, French: the order entries are searched in.
    static const QStringList markers = {QStringLiteral("(:Folder:)"), QStringLiteral("(:Map:)"),
                                        QStringLiteral("(:Ordner:)"), QStringLiteral("(:Mapp:)"),
                                        QStringLiteral("(:Dossier:)")};
    return markers;
}
