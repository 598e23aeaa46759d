#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "platform/Errors.h"
#include "spool/JobListing.h"


namespace cli {

// parvela clean: removes the jobs this computer left abandoned in an upload folder (a
// crash or a power loss while they were written). Never a job whose writer holds its
// lock, never another computer's job, never a complete one. Without --yes it only
// lists them.
int cleanCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("clean"), QStringLiteral("clean [OPTIONS] [FOLDER]"),
                     QStringLiteral("Removes the abandoned jobs of this computer from FOLDER (by default the upload\n"
                                    "folder of the policy file), entries first and the lock file last. A job being\n"
                                    "written, another computer's job and a complete job are never touched.\n"
                                    "Without --yes it only lists what it would remove.\n"
                                    "Exit codes: 0 done, 2 error."));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Remove them; without it, only list them."));
    const QCommandLineOption policy = policyOption();
    line.addOption(policy);
    line.addOption(yes);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    const QCommandLineParser& p = line.parser();
    if (p.positionalArguments().size() > 1)
        return line.usageError(QStringLiteral("give at most one folder"));
    try {
        const QString folder = folderArgument(p, policy);
        const QString prefix = ThisComputersJobPrefix();
        QStringList abandoned;
        for (const JobListingEntry& job : ListJobs(folder))
            if (job.state == JobListingEntry::State::Abandoned && job.name.startsWith(prefix))
                abandoned << job.name;
        if (abandoned.isEmpty()) {
            console::out(QStringLiteral("No abandoned jobs of this computer (%1...) in %2.").arg(prefix, folder));
            return Sent;
        }
        if (!p.isSet(yes)) {
            for (const QString& name : abandoned)
                console::out(QStringLiteral("would remove: ") + name);
            console::out(QStringLiteral("Give --yes to remove them."));
            return Sent;
        }
        int result = Sent;
        for (const QString& name : abandoned) {
            if (const QString failure = RemoveAbandonedJob(folder, name); failure.isEmpty()) {
                console::out(QStringLiteral("removed: ") + name);
            } else {
                console::err(QStringLiteral("parvela: %1 not removed: %2").arg(name, failure));
                result = Failed;
            }
        }
        return result;
    } catch (const UserError& e) {
        console::err(QStringLiteral("parvela: ") + e.message());
        return Failed;
    }
}

} // namespace cli
