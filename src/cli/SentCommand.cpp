#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "cli/SentReport.h"
#include "config/Paths.h"
#include "i18n/LanguageTexts.h"
#include "platform/Errors.h"
#include "sent/SentStates.h"
#include "sent/SentStore.h"
#include "sent/SentWait.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonDocument>

namespace cli {

namespace {

constexpr int kDefaultDays = 30;

const QCommandLineOption kJson(QStringLiteral("json"), QStringLiteral("Print the list as JSON."));
const QCommandLineOption kAll(QStringLiteral("all"), QStringLiteral("List every recorded job (a year is kept)."));
const QCommandLineOption kSince(QStringLiteral("since"),
                                QStringLiteral("List the jobs started on or after DATE (2024-05-01, or with a "
                                               "time: 2024-05-01T14:00); the default is the last 30 days."),
                                QStringLiteral("DATE"));
const QCommandLineOption kWait(QStringLiteral("wait"),
                               QStringLiteral("Wait until the server has taken the job named JOB."),
                               QStringLiteral("JOB"));
const QCommandLineOption kTimeout(QStringLiteral("timeout"),
                                  QStringLiteral("Stop waiting after SECONDS and tell the job's state."),
                                  QStringLiteral("SECONDS"));

class UsageError : public UserError {
public:
    using UserError::UserError;
};

// The start of a --since DATE, local time. The whole value must be the date, or the
// date and time: a date read off the front of a longer text would drop the rest unseen.
QDateTime sinceOf(const QString& text)
{
    constexpr qsizetype kDateOnly = 10; // 2024-05-01
    if (const QDate date = QDate::fromString(text, Qt::ISODate); date.isValid() && text.size() == kDateOnly)
        return date.startOfDay();
    if (const QDateTime time = QDateTime::fromString(text, Qt::ISODate); time.isValid())
        return time;
    throw UsageError(QStringLiteral("--since takes a date as 2024-05-01 or 2024-05-01T14:00, not '%1'").arg(text));
}

// The upload folder --policy names, as the records write it; empty without --policy.
QString policyFolder(const QCommandLineParser& p, const QCommandLineOption& policy)
{
    if (!p.isSet(policy))
        return {};
    return WithTrailingSeparator(QDir::cleanPath(policyUploadFolder(p.value(policy))));
}

bool inFolder(const SentRecord& r, const QString& folder)
{
    return folder.isEmpty() || WithTrailingSeparator(QDir::cleanPath(r.uploadFolder)) == folder;
}

int waitFor(SentStore& store, const QString& job, const QString& folder, int timeoutSeconds)
{
    std::optional<SentRecord> record = store.find(job);
    if (!record || !inFolder(*record, folder)) {
        console::err(QStringLiteral("parvela sent: no job named %1 in the record of sent jobs")
                         .arg(escapedForTerminal(job)));
        return Failed;
    }
    const WaitEnd end = WaitUntilTaken(*record, &store, timeoutSeconds < 0 ? -1 : timeoutSeconds * 1000);
    console::out(WaitLine(*record, end, timeoutSeconds));
    return WaitExitCode(end);
}

// The elements of one JSON array, indented as QJsonDocument does, written as they
// come: the array is never whole in memory.
class JsonArrayOut {
public:
    void add(const QList<SentRecord>& records)
    {
        QString text;
        for (const SentRecord& r : records) {
            QByteArray object = QJsonDocument(SentJson(r)).toJson(QJsonDocument::Indented);
            object.chop(1); // its line end
            text += (m_count++ == 0 ? QStringLiteral("[\n    ") : QStringLiteral(",\n    ")) +
                    QString::fromUtf8(object).replace(u'\n', QStringLiteral("\n    "));
        }
        console::outText(text);
    }
    void end() { console::out(m_count == 0 ? QStringLiteral("[\n]") : QStringLiteral("\n]")); }

private:
    qint64 m_count = 0;
};

int list(SentStore& store, const QCommandLineParser& p, const QString& folder)
{
    const QDateTime since = p.isSet(kAll)     ? QDateTime()
                            : p.isSet(kSince) ? sinceOf(p.value(kSince))
                                              : QDateTime::currentDateTime().addDays(-kDefaultDays);
    // Page by page: the JSON goes out as it is read, in the memory of one page however
    // many jobs are recorded. The table needs every row for its widths.
    const bool json = p.isSet(kJson);
    JsonArrayOut out;
    QList<SentRecord> records;
    const bool read = store.eachPage(since.toUTC(), [&](QList<SentRecord>& page) {
        if (!folder.isEmpty())
            page.removeIf([&folder](const SentRecord& r) { return !inFolder(r, folder); });
        LookAtUploadFolders(page, &store);
        if (json)
            out.add(page);
        else
            records.append(std::move(page));
    });
    if (!read)
        return Failed; // the warning says why; a JSON array cut short stays open
    if (json)
        out.end();
    else if (records.isEmpty())
        console::out(since.isValid() ? QStringLiteral("No jobs sent since %1.").arg(since.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                                     : QStringLiteral("No jobs sent."));
    else
        console::out(SentTable(records));
    return Sent;
}

} // namespace

int sentCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("sent"), QStringLiteral("sent [OPTIONS]"),
                     QStringLiteral(
                         "Lists the jobs this user sent (with parvela send or the window), newest first: when,\n"
                         "state, size, recipients, subject and job name. The state is read from the upload\n"
                         "folder: being written, waiting for the server, being taken, taken (with the time it\n"
                         "was first seen gone), failed, left locked, or cannot tell when the folder cannot be\n"
                         "reached. With --policy only the jobs sent to that policy file's upload folder.\n"
                         "With --wait JOB it waits until the server has taken that job.\n"
                         "Exit codes: 0 listed (or taken), 1 the job failed, 2 error, 3 not taken in time."));
    const QCommandLineOption policy = policyOption();
    for (const QCommandLineOption& o : {kJson, kAll, kSince, kWait, kTimeout, policy})
        line.addOption(o);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    const QCommandLineParser& p = line.parser();
    try {
        if (!p.positionalArguments().isEmpty())
            throw UsageError(QStringLiteral("unexpected argument '%1'").arg(escapedForTerminal(p.positionalArguments().first())));
        if (p.isSet(kAll) && p.isSet(kSince))
            throw UsageError(QStringLiteral("--all and --since exclude each other"));
        if (p.isSet(kWait) && (p.isSet(kJson) || p.isSet(kAll) || p.isSet(kSince)))
            throw UsageError(QStringLiteral("--wait lists nothing: it takes no --json, --all or --since"));
        if (p.isSet(kTimeout) && !p.isSet(kWait))
            throw UsageError(QStringLiteral("--timeout goes with --wait"));
        int timeout = -1;
        if (p.isSet(kTimeout)) {
            const std::optional<int> seconds = TimeoutSeconds(p.value(kTimeout));
            if (!seconds)
                throw UsageError(TimeoutUsage(p.value(kTimeout)));
            timeout = *seconds;
        }
        const QString folder = policyFolder(p, policy);
        SentStore store(SentStore::pathIn(UserDataFolderPath()), StoreWarnings(kEnglish));
        if (p.isSet(kWait))
            return waitFor(store, p.value(kWait), folder, timeout);
        return list(store, p, folder);
    } catch (const UsageError& e) {
        return line.usageError(e.message());
    } catch (const UserError& e) {
        console::err(QStringLiteral("parvela: ") + e.message());
        return Failed;
    }
}

} // namespace cli
