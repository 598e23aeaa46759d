#include "i18n/LanguageLocale.h"

#include "i18n/Languages.h"

QLocale LanguageLocale(const QString& languageName)
{
    return LanguageFor(languageName).locale.toLocale();
}
