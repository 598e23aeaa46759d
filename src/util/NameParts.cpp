// Computer name, date stamp, digit filter and random text.
#include "util/NameParts.h"

#include "platform/Cp1252.h"
#include "platform/Environment.h"

#include <QRandomGenerator>

QString ComputerNameText()
{
    return environment::computerName();
}

QByteArray ProbeOwnerMark()
{
    return cp1252::encode(ComputerNameText());
}

namespace {

// The time of day as the user's long time format shows it: the hour on a 12- or
// 24-hour clock, with or without a leading zero, two-digit minutes and seconds, and the
// AM/PM marker before or after where the clock has 12 hours.
QString longTimeText(const QTime& time, const environment::TimeFormat& format)
{
    int hour = time.hour();
    if (format.twelveHour) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    QString text = format.leadingZero ? QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'))
                                      : QString::number(hour);
    text += QStringLiteral(":%1:%2")
                .arg(time.minute(), 2, 10, QLatin1Char('0'))
                .arg(time.second(), 2, 10, QLatin1Char('0'));
    if (format.twelveHour) {
        const QString& marker = time.hour() < 12 ? format.amText : format.pmText;
        if (!marker.isEmpty())
            text = format.markerFirst ? marker + u' ' + text : text + u' ' + marker;
    }
    return text;
}

} // namespace

QString DateStamp()
{
    // We format the date explicitly as YYYYMMDD and never touch any process-wide date
    // format, so there is nothing to put back afterwards.
    const QDateTime now = environment::now();
    const QTime time = now.time();
    QString text = now.date().toString(QStringLiteral("yyyyMMdd"));
    // Milliseconds neither show nor count: 00:00:00.500 is still midnight.
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        text += u' ' + longTimeText(time, environment::longTimeFormat());
    return text;
}

QString DigitsOnly(const QString& text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    return digits;
}

QString RandomText(int length, RandomMode mode)
{
    // The draws come from Qt's global generator, which is seeded once from the system's
    // entropy source; reseeding it from the clock on every call would only make two
    // quick calls more alike, so we don't.
    QRandomGenerator* random = QRandomGenerator::global();
    // A value outside the three modes is taken as the widest alphabet rather than
    // looping for ever without adding a character.
    if (mode != RandomMode::Numbers && mode != RandomMode::DigitsUpper)
        mode = RandomMode::DigitsUpperLower;
    const bool lower = mode == RandomMode::DigitsUpperLower;
    const int wanted = qMax(0, length);
    QString text;
    text.reserve(wanted + 13);
    do {
        if (mode == RandomMode::Numbers) {
            // Each chunk mixes in the clock: (second of day + 1) times (second of
            // minute + 1) times (a draw below 999999, plus 2).
            const QTime t = environment::now().time();
            const qint64 secondOfDay = t.hour() * 3600 + t.minute() * 60 + t.second();
            const qint64 secondOfMinute = t.second();
            const qint64 r = random->bounded(999999);
            text += QString::number((secondOfDay + 1) * (secondOfMinute + 1) * (r + 2));
        } else {
            const int n = random->bounded(lower ? 123 : 91);
            if ((n >= 65 && n <= 90) || (lower && n >= 97 && n <= 122))
                text += QChar(n);
            else
                text += QString::number(n);
        }
    } while (text.size() < wanted);
    text.truncate(wanted);
    return text;
}
