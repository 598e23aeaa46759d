#include "cli/SentReport.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "i18n/LanguageTexts.h"
#include "i18n/SentJobsTexts.h"
#include "platform/Text.h"

#include <QJsonArray>
#include <QLocale>
#include <QTimeZone>

#include <algorithm>

namespace cli {

namespace {

// The tool speaks English, as its other listings do.
const SentJobsTexts& texts()
{
    static const SentJobsTexts t = SentJobsTextsFor(kEnglish);
    return t;
}

QString localTime(const QDateTime& utc)
{
    // The system's zone read once: a conversion to local time looks at the system's
    // zone file again every time, and a year of jobs has thousands of times.
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return utc.isValid() ? utc.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString isoTime(const QDateTime& utc)
{
    return utc.isValid() ? utc.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QString stateText(const SentRecord& r)
{
    if (r.state == SentState::Taken && r.taken.isValid())
        return texts().takenAt.arg(localTime(r.taken));
    return StateWords(texts(), r.state);
}

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString recipientsText(const QStringList& recipients)
{
    QString text = recipients.value(0);
    if (recipients.size() > 1)
        text += texts().more.arg(recipients.size() - 1);
    return text;
}

// At most width characters; a longer text ends in "...".
QString cut(const QString& text, qsizetype width)
{
    return text.size() <= width ? text : text.left(width - 3) + QStringLiteral("...");
}

bool hasReason(const SentRecord& r)
{
    return !r.problem.isEmpty() && (r.state == SentState::Failed || r.state == SentState::LeftLocked);
}

// The reason a job failed, its lines each escaped and joined by separator.
QString reasonText(const SentRecord& r, const QString& separator)
{
    QStringList lines = r.problem.split(u'\n');
    for (QString& line : lines)
        line = escapedForTerminal(line);
    return lines.join(separator);
}

} // namespace

QString escapedForTerminal(const QString& text)
{
    // Most fields hold nothing to escape, and a year of jobs has tens of thousands.
    if (firstControl(text) < 0 && !text.contains(u'\\'))
        return text;
    return escapedControls(text);
}

QString SentTable(const QList<SentRecord>& records)
{
    constexpr qsizetype kRecipientsWidth = 32, kSubjectWidth = 40;
    struct Row {
        QString time, state, size, recipients, subject, name, reason;
    };
    QList<Row> rows;
    rows.reserve(records.size());
    Row heading{QStringLiteral("TIME"), QStringLiteral("STATE"), QStringLiteral("SIZE"), QStringLiteral("RECIPIENTS"),
                QStringLiteral("SUBJECT"), QStringLiteral("JOB"), {}};
    qsizetype width[5] = {heading.time.size(), heading.state.size(), heading.size.size(),
                          heading.recipients.size(), heading.subject.size()};
    for (const SentRecord& r : records) {
        Row row{localTime(r.started), stateText(r), sizeText(r.bytes),
                cut(escapedForTerminal(recipientsText(r.recipients)), kRecipientsWidth),
                cut(escapedForTerminal(r.subject), kSubjectWidth), escapedForTerminal(r.name), {}};
        if (hasReason(r))
            row.reason = reasonText(r, QStringLiteral("\n    "));
        const qsizetype sizes[5] = {row.time.size(), row.state.size(), row.size.size(), row.recipients.size(),
                                    row.subject.size()};
        for (int i = 0; i < 5; ++i)
            width[i] = qMax(width[i], sizes[i]);
        rows.append(row);
    }
    QString text;
    auto line = [&](const Row& row) {
        text += row.time.leftJustified(width[0]) + QStringLiteral("  ") + row.state.leftJustified(width[1]) +
                QStringLiteral("  ") + row.size.rightJustified(width[2]) + QStringLiteral("  ") +
                row.recipients.leftJustified(width[3]) + QStringLiteral("  ") + row.subject.leftJustified(width[4]) +
                QStringLiteral("  ") + row.name + u'\n';
        if (!row.reason.isEmpty())
            text += QStringLiteral("    ") + row.reason + u'\n';
    };
    line(heading);
    for (const Row& row : std::as_const(rows))
        line(row);
    text.chop(1);
    return text;
}

QJsonObject SentJson(const SentRecord& r)
{
    QJsonObject o;
    o[QStringLiteral("name")] = r.name;
    o[QStringLiteral("uploadFolder")] = r.uploadFolder;
    o[QStringLiteral("state")] = StateKey(r.state);
    if (!r.folderState.isEmpty())
        o[QStringLiteral("folderState")] = r.folderState;
    o[QStringLiteral("outcome")] = OutcomeKey(r.outcome);
    o[QStringLiteral("started")] = isoTime(r.started);
    o[QStringLiteral("ended")] = r.ended.isValid() ? QJsonValue(isoTime(r.ended)) : QJsonValue();
    o[QStringLiteral("taken")] = r.taken.isValid() ? QJsonValue(isoTime(r.taken)) : QJsonValue();
    if (!r.problem.isEmpty())
        o[QStringLiteral("problem")] = r.problem;
    o[QStringLiteral("files")] = double(r.files);
    o[QStringLiteral("folders")] = double(r.folders);
    o[QStringLiteral("bytes")] = double(r.bytes);
    o[QStringLiteral("recipients")] = QJsonArray::fromStringList(r.recipients);
    o[QStringLiteral("subject")] = r.subject;
    o[QStringLiteral("expireHours")] = r.expireHours;
    o[QStringLiteral("encrypted")] = r.encrypted;
    o[QStringLiteral("selfExtracting")] = r.selfExtracting;
    return o;
}

QString WaitLine(const SentRecord& r, WaitEnd end, int timeoutSeconds)
{
    QString line = escapedForTerminal(r.name) + QStringLiteral(": ") + stateText(r);
    if (end == WaitEnd::TimedOut)
        line += QStringLiteral(" (not taken within %1 s)").arg(timeoutSeconds);
    if (hasReason(r))
        line += QStringLiteral(": ") + reasonText(r, QStringLiteral(" "));
    return line;
}

int WaitExitCode(WaitEnd end)
{
    switch (end) {
    case WaitEnd::Taken:
        return Sent;
    case WaitEnd::Failed:
        return Refused;
    case WaitEnd::TimedOut:
    case WaitEnd::Stopped:
        break;
    }
    return NotTakenYet;
}

namespace {
constexpr int kMaxTimeoutSeconds = 365 * 24 * 3600;
}

std::optional<int> TimeoutSeconds(const QString& text)
{
    bool digitsOnly = !text.isEmpty() && text.size() <= 9;
    for (const QChar c : text)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    if (!digitsOnly || text.toInt() > kMaxTimeoutSeconds)
        return std::nullopt;
    return text.toInt();
}

QString TimeoutUsage(const QString& text)
{
    return QStringLiteral("--timeout takes whole seconds (0 to %1), not '%2'")
        .arg(kMaxTimeoutSeconds)
        .arg(escapedForTerminal(text));
}

SentStore::Warn StoreWarnings(const QString& languageName)
{
    return [t = SentJobsTextsFor(languageName)](SentStore::Warning warning, const QString& detail) {
        const QString& text = warning == SentStore::Warning::NotRecorded ? t.notRecorded
                              : warning == SentStore::Warning::NotRead   ? t.notRead
                                                                         : t.setAside;
        console::err(QStringLiteral("parvela: ") + escapedForTerminal(text.arg(detail)));
    };
}

} // namespace cli
