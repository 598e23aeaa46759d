#include "i18n/LanguageLocale.h"

#include "i18n/LanguageTexts.h"

QLocale LanguageLocale(const QString& languageName)
{
    if (languageName == kDutch)
        return QLocale(QLocale::Dutch, QLocale::Netherlands);
    if (languageName == kGerman)
        return QLocale(QLocale::German, QLocale::Germany);
    if (languageName == kFrench)
        return QLocale(QLocale::French, QLocale::France);
    if (languageName == kSwedish)
        return QLocale(QLocale::Swedish, QLocale::Sweden);
    return QLocale(QLocale::English, QLocale::UnitedStates);
}
