#include "i18n/CopyWindowTexts.h"

#include "i18n/LanguageTexts.h"

CopyWindowTexts CopyWindowTextsFor(const QString& languageName)
{
    if (languageName == kDutch)
        return {QStringLiteral("Kopi\u00EBren: %1"), QStringLiteral("Bestanden: %1 van %2"), QStringLiteral("%1 van %2"),
                QStringLiteral("Het kopi\u00EBren is geannuleerd.")};
    if (languageName == kGerman)
        return {QStringLiteral("Kopiere: %1"), QStringLiteral("Dateien: %1 von %2"), QStringLiteral("%1 von %2"),
                QStringLiteral("Das Kopieren wurde abgebrochen.")};
    if (languageName == kFrench)
        return {QStringLiteral("Copie de: %1"), QStringLiteral("Fichiers: %1 sur %2"), QStringLiteral("%1 sur %2"),
                QStringLiteral("La copie a \u00E9t\u00E9 annul\u00E9e.")};
    if (languageName == kSwedish)
        return {QStringLiteral("Kopierar: %1"), QStringLiteral("Filer: %1 av %2"), QStringLiteral("%1 av %2"),
                QStringLiteral("Kopieringen avbr\u00F6ts.")};
    return {QStringLiteral("Copying: %1"), QStringLiteral("Files: %1 of %2"), QStringLiteral("%1 of %2"),
            QStringLiteral("The copy was cancelled.")};
}
