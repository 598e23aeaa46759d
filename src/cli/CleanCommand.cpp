#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "spool/JobListing.h"
#include "spool/JobName.h"
#include "spool/LeftoverProbes.h"

#include <QFile>

namespace cli {

// parvela clean: removes the jobs this computer left abandoned in an upload folder (a
// crash or a power loss while they were written), and the probes its starts and
// listings left. Never a job whose writer is at work, never another computer's job or
// probe, never a complete job. Without --yes it only lists them.
int cleanCommand(const QStringList& arguments)
{
    CommandLine line(
        QStringLiteral("clean"), QStringLiteral("clean [OPTIONS] [FOLDER]"),
        QStringLiteral(
            "Removes the abandoned jobs of this computer from FOLDER (by default the upload\n"
            "folder of the policy file), entries first and the lock file last.\n"
            "This computer is the name its jobs carry (PV_<name>_<date>_<random>): the\n"
            "variable COMPUTERNAME when set, else the host name, with characters that cannot\n"
            "stand in a file name made '-'. Only jobs whose name holds exactly that name are\n"
            "touched; two computers that share a name share their jobs.\n"
            "A job is abandoned when nobody holds its lock and its writer, which marks the lock\n"
            "alive every 30 seconds, has not done so for --older-than, measured by the upload\n"
            "folder's own clock; it is looked at again, its lock held, just before it goes.\n"
            "It also removes what this computer's starts and listings left there when they\n"
            "were killed (test folders NNN.pvltest, clock probes NNN.pvltime, each marked\n"
            "with the computer's name) once they are as old.\n"
            "Without --yes it only lists what it would remove.\n"
            "Exit codes: 0 done, 2 error."));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Remove them; without it, only list them."));
    const QCommandLineOption policy = policyOption();
    const QCommandLineOption olderThan = olderThanOption();
    line.addOption(olderThan);
    line.addOption(policy);
    line.addOption(yes);
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
            console::err(QStringLiteral("parvela: the upload folder's clock cannot be read (%1): no job can be shown "
                                        "abandoned.")
                             .arg(listing.clockProblem));
        QList<const JobListingEntry*> abandoned;
        for (const JobListingEntry& job : listing.jobs)
            if (job.state == JobListingEntry::State::Abandoned && IsThisComputersJob(job.name))
                abandoned << &job;
        QList<QByteArray> probes;
        for (const QByteArray& probe : listing.probes)
            if (LookAtLeftoverProbe(folder, probe, threshold, false).removable)
                probes << probe;
        if (abandoned.isEmpty() && probes.isEmpty()) {
            console::out(QStringLiteral("No abandoned jobs of this computer (%1) in %2.")
                             .arg(escapedControls(JobComputerName()), escapedControls(folder, Escaping::Path)));
            return Sent;
        }
        if (!p.isSet(yes)) {
            for (const JobListingEntry* job : abandoned)
                console::out(QStringLiteral("would remove: ") + escapedControls(job->name));
            for (const QByteArray& probe : probes)
                console::out(QStringLiteral("would remove: ") + escapedControls(QFile::decodeName(probe)));
            console::out(QStringLiteral("Give --yes to remove them."));
            return Sent;
        }
        int result = Sent;
        for (const JobListingEntry* job : abandoned) {
            const QString name = escapedControls(job->name);
            const AbandonedJobRemoval removal = RemoveAbandonedJob(folder, job->rawName, threshold);
            switch (removal.outcome) {
            case AbandonedJobRemoval::Outcome::Removed:
                console::out(QStringLiteral("removed: ") + name);
                break;
            case AbandonedJobRemoval::Outcome::LeftAlone:
                console::out(QStringLiteral("left alone: %1 (%2)").arg(name, escapedControls(removal.why)));
                break;
            case AbandonedJobRemoval::Outcome::Failed:
                console::err(QStringLiteral("parvela: %1 not removed: %2").arg(name, escapedControls(removal.why)));
                result = Failed;
                break;
            }
        }
        for (const QByteArray& probe : probes) {
            const QString name = escapedControls(QFile::decodeName(probe));
            const LeftoverProbe removal = LookAtLeftoverProbe(folder, probe, threshold, true);
            if (removal.removed) {
                console::out(QStringLiteral("removed: ") + name);
            } else if (!removal.removable) {
                console::out(QStringLiteral("left alone: %1 (%2)").arg(name, escapedControls(removal.why)));
            } else {
                console::err(QStringLiteral("parvela: %1 not removed: %2").arg(name, escapedControls(removal.why)));
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
