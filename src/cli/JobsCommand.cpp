#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "spool/JobListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {

QJsonObject toJson(const JobListingEntry& e)
{
    // JSON escapes control characters itself.
    QJsonObject o;
    o[QStringLiteral("name")] = e.name;
    o[QStringLiteral("state")] = StateText(e.state);
    if (!e.problem.isEmpty())
        o[QStringLiteral("problem")] = e.problem;
    if (e.descriptor) {
        o[QStringLiteral("recipients")] = QJsonArray::fromStringList(e.descriptor->recipients);
        o[QStringLiteral("subject")] = e.descriptor->subject;
        o[QStringLiteral("from")] = e.descriptor->senderEmail;
    }
    o[QStringLiteral("bytes")] = double(e.bytes);
    if (e.lockAgeSeconds)
        o[QStringLiteral("lockAgeSeconds")] = double(*e.lockAgeSeconds);
    return o;
}

// One line a job. Everything read from the folder or a descriptor is escaped: a name
// or subject that a stranger wrote never reaches the terminal as it stands.
QString toLine(const JobListingEntry& e)
{
    const auto shown = [](const QString& text) { return escapedControls(text); };
    QString line = shown(e.name) + QStringLiteral("  ") + StateText(e.state);
    // A lock stamped ahead has no age: its problem says how far ahead.
    if (e.lockAgeSeconds && *e.lockAgeSeconds >= -kAheadToleranceSeconds)
        line += QStringLiteral("  lock marked alive %1 s ago").arg(qMax<qint64>(*e.lockAgeSeconds, 0));
    if (e.descriptor) {
        QStringList to;
        for (const QString& r : e.descriptor->recipients)
            to << shown(r);
        line += QStringLiteral("  to: ") + to.join(QStringLiteral(", "));
        line += QStringLiteral("  subject: ") + shown(e.descriptor->subject);
    }
    line += QStringLiteral("  %1 bytes").arg(e.bytes);
    if (!e.problem.isEmpty())
        line += QStringLiteral("  (") + shown(e.problem) + u')';
    return line;
}

} // namespace

int jobsCommand(const QStringList& arguments)
{
    CommandLine line(
        QStringLiteral("jobs"), QStringLiteral("jobs [OPTIONS] [FOLDER]"),
        QStringLiteral(
            "Lists the jobs in FOLDER (by default the upload folder of the policy file), one\n"
            "line each: complete; incomplete (being written: its lock is held, or was marked\n"
            "alive lately); abandoned (nobody holds its lock, and its writer has not marked it\n"
            "alive for --older-than, by the upload folder's own clock); stale? (as old, but\n"
            "whether its lock is held cannot be told here); unknown (its lock cannot be read);\n"
            "broken, with the reason. Nothing in the folder is followed: a link is listed as\n"
            "what it is. Names and fields are printed with control characters escaped.\n"
            "Exit codes: 0 listed, 2 error."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the list as JSON."));
    const QCommandLineOption policy = policyOption();
    const QCommandLineOption olderThan = olderThanOption();
    line.addOption(json);
    line.addOption(olderThan);
    line.addOption(policy);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    const QCommandLineParser& p = line.parser();
    if (p.positionalArguments().size() > 1)
        return line.usageError(QStringLiteral("give at most one folder"));
    const qint64 threshold = durationSeconds(p.value(olderThan));
    if (threshold < 0)
        return line.usageError(QStringLiteral("--older-than takes a duration such as 90s, 15m or 2h, not '%1'")
                                   .arg(p.value(olderThan)));
    try {
        const QString folder = folderArgument(p, policy);
        ListingOptions options;
        options.abandonedAfter = threshold;
        const JobListing listing = ListJobs(folder, options);
        if (!listing.clockProblem.isEmpty())
            console::err(QStringLiteral("parvela: the upload folder's clock cannot be read (%1); lock ages are by "
                                        "this computer's clock, and no job is shown abandoned.")
                             .arg(listing.clockProblem));
        if (p.isSet(json)) {
            QJsonArray all;
            for (const auto& e : listing.jobs)
                all.append(toJson(e));
            console::out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented)).trimmed());
        } else {
            for (const auto& e : listing.jobs)
                console::out(toLine(e));
        }
        return Sent;
    } catch (const UserError& e) {
        console::err(QStringLiteral("parvela: ") + e.message());
        return Failed;
    }
}

} // namespace cli
