#include "i18n/LanguageTexts.h"

#include "i18n/Languages.h"

void LanguageTexts::load(const QString& languageName, const QString& productTitle, const QString& versionText)
{
    m_markers = allFolderMarkers();
    const LanguageRecord& language = LanguageFor(languageName);
    buildWelcomeText(language.welcome, productTitle, versionText);
    for (int i = 0; i < kSlotCount; ++i)
        m_slots[i] = language.slots[i].toString();
}

void LanguageTexts::buildWelcomeText(const languagetables::WelcomePage& page, const QString& productTitle,
                                     const QString& versionText)
{
    // The page is cleared before the lines go in, so it never grows from one load to the next.
    m_welcome.clear();
    addWelcomeLine(page.greeting.toString() + productTitle + u' ' + versionText);
    for (const TableText& line : page.lines)
        addWelcomeLine(line.toString());
}

const QStringList& LanguageTexts::allFolderMarkers()
{
    // Every language's marker, from its own table.
    static const QStringList markers = [] {
        QStringList all;
        for (const languagetables::SlotTexts& slots : languagetables::kSlots)
            all.append(slots[FolderMarker - 1].toString());
        return all;
    }();
    return markers;
}
