#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "platform/Errors.h"
#include "spool/JobListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {

QJsonObject toJson(const JobListingEntry& e)
{
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
    return o;
}

QString toLine(const JobListingEntry& e)
{
    QString line = e.name + QStringLiteral("  ") + StateText(e.state);
    if (e.descriptor) {
        line += QStringLiteral("  to: ") + e.descriptor->recipients.join(QStringLiteral(", "));
        line += QStringLiteral("  subject: ") + e.descriptor->subject;
    }
    line += QStringLiteral("  %1 bytes").arg(e.bytes);
    if (!e.problem.isEmpty())
        line += QStringLiteral("  (") + e.problem + u')';
    return line;
}

} // namespace

int jobsCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("jobs"), QStringLiteral("jobs [OPTIONS] [FOLDER]"),
                     QStringLiteral("Lists the jobs in FOLDER (by default the upload folder of the policy file),\n"
                                    "one line each: complete, incomplete (its writer holds the lock), abandoned\n"
                                    "(nobody holds the lock) or broken, with the reason.\n"
                                    "Exit codes: 0 listed, 2 error."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the list as JSON."));
    const QCommandLineOption policy = policyOption();
    line.addOption(json);
    line.addOption(policy);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    const QCommandLineParser& p = line.parser();
    if (p.positionalArguments().size() > 1)
        return line.usageError(QStringLiteral("give at most one folder"));
    try {
        const QString folder = folderArgument(p, policy);
        const QList<JobListingEntry> jobs = ListJobs(folder);
        if (p.isSet(json)) {
            QJsonArray all;
            for (const auto& e : jobs)
                all.append(toJson(e));
            console::out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented)).trimmed());
        } else {
            for (const auto& e : jobs)
                console::out(toLine(e));
        }
        return Sent;
    } catch (const UserError& e) {
        console::err(QStringLiteral("parvela: ") + e.message());
        return Failed;
    }
}

} // namespace cli
