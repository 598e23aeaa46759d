#include "i18n/CopyWindowTexts.h"

#include "i18n/Languages.h"

CopyWindowTexts CopyWindowTextsFor(const QString& languageName)
{
    const CopyWindowTable& t = LanguageFor(languageName).copyWindow;
    return {t.copying.toString(), t.files.toString(), t.bytes.toString(), t.cancelled.toString(),
            t.silent.toString(), t.rate.toString(), t.timeLeft.toString()};
}
