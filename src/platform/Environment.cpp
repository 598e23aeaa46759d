#include "platform/Environment.h"

#include <QLocale>

namespace environment {

namespace {
std::function<QDateTime()>& clockOverride()
{
    static std::function<QDateTime()> clock;
    return clock;
}
std::optional<TimeFormat>& formatOverride()
{
    static std::optional<TimeFormat> format;
    return format;
}
} // namespace

QDateTime now()
{
    const auto& clock = clockOverride();
    return clock ? clock() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> clock) { clockOverride() = std::move(clock); }

TimeFormat timeFormatFromPattern(const QString& pattern)
{
    TimeFormat f;
    // Only hour, minutes, seconds and the AM/PM marker take part; quoted literals and
    // time-zone names are skipped.
    bool quoted = false;
    qsizetype hourAt = -1, markerAt = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if ((c == u'h' || c == u'H') && hourAt < 0) {
            hourAt = i;
            qsizetype n = 1;
            while (i + n < pattern.size() && pattern[i + n] == c)
                ++n;
            f.leadingZero = n >= 2;
            f.twelveHour = c == u'h';
        } else if ((c == u'a' || c == u'A') && markerAt < 0) {
            markerAt = i;
        }
    }
    // Qt: 'h' is a 12-hour clock only when an AM/PM marker is present.
    f.twelveHour = f.twelveHour && markerAt >= 0;
    f.markerFirst = f.twelveHour && markerAt >= 0 && markerAt < hourAt;
    if (hourAt < 0) { // no hour in the pattern: the plain default
        f.twelveHour = false;
        f.leadingZero = true;
    }
    return f;
}

TimeFormat longTimeFormat()
{
    if (formatOverride())
        return *formatOverride();
    const QLocale locale = QLocale::system();
    TimeFormat f = timeFormatFromPattern(locale.timeFormat(QLocale::LongFormat));
    f.amText = locale.amText();
    f.pmText = locale.pmText();
    return f;
}

void setLongTimeFormat(std::optional<TimeFormat> format) { formatOverride() = std::move(format); }

} // namespace environment
