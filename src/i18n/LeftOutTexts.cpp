#include "i18n/LeftOutTexts.h"

#include "i18n/Languages.h"

QString LeftOutLabel(const QString& languageName, LeftOutLine line)
{
    const LeftOutTable& t = LanguageFor(languageName).leftOut;
    return (line == LeftOutLine::NotFollowed ? t.notFollowed : t.specialFiles).toString();
}
