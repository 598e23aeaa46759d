#include "i18n/CopyWindowTexts.h"

#include "i18n/LanguageTexts.h"

CopyWindowTexts CopyWindowTextsFor(const QString& languageName)
{
    if (languageName == kDutch)
        return {QStringLiteral("Kopi\u00EBren: %1"), QStringLiteral("Bestanden: %1 van %2"), QStringLiteral("%1 van %2"),
                QStringLiteral("Het kopi\u00EBren is geannuleerd."),
                QStringLiteral("De uploadmap heeft %1 s niet geantwoord. Het kopi\u00EBren gaat verder zodra zij "
                               "antwoordt; Annuleren werkt dan.")};
    if (languageName == kGerman)
        return {QStringLiteral("Kopiere: %1"), QStringLiteral("Dateien: %1 von %2"), QStringLiteral("%1 von %2"),
                QStringLiteral("Das Kopieren wurde abgebrochen."),
                QStringLiteral("Der Upload-Ordner antwortet seit %1 s nicht. Das Kopieren geht weiter, sobald er "
                               "antwortet; Abbrechen wirkt dann.")};
    if (languageName == kFrench)
        return {QStringLiteral("Copie de: %1"), QStringLiteral("Fichiers: %1 sur %2"), QStringLiteral("%1 sur %2"),
                QStringLiteral("La copie a \u00E9t\u00E9 annul\u00E9e."),
                QStringLiteral("Le dossier de d\u00E9p\u00F4t ne r\u00E9pond plus depuis %1 s. La copie reprend "
                               "d\u00E8s qu'il r\u00E9pond ; Annuler prend effet \u00E0 ce moment.")};
    if (languageName == kSwedish)
        return {QStringLiteral("Kopierar: %1"), QStringLiteral("Filer: %1 av %2"), QStringLiteral("%1 av %2"),
                QStringLiteral("Kopieringen avbr\u00F6ts."),
                QStringLiteral("Uppladdningsmappen har inte svarat p\u00E5 %1 s. Kopieringen forts\u00E4tter n\u00E4r "
                               "den svarar; Avbryt verkar d\u00E5.")};
    return {QStringLiteral("Copying: %1"), QStringLiteral("Files: %1 of %2"), QStringLiteral("%1 of %2"),
            QStringLiteral("The copy was cancelled."),
            QStringLiteral("The upload folder has not answered for %1 s. The copy goes on when it answers; Cancel "
                           "takes effect then.")};
}
