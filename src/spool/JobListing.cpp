#include "spool/JobListing.h"

#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "spool/JobName.h"
#include "spool/JobRemoval.h"
#include "util/NameParts.h"

#include <QDateTime>
#include <QFile>

#include <map>

namespace {

// What a name's entry of one extension is, as the listing met it.
enum class Seen : quint8 { None, File, Folder, Link, Other };

struct JobEntries {
    Seen lock = Seen::None, descriptor = Seen::None, folder = Seen::None, message = Seen::None;
};

Seen seenAs(filetree::Kind kind, bool link)
{
    if (link)
        return Seen::Link;
    return kind == filetree::Kind::File ? Seen::File : kind == filetree::Kind::Folder ? Seen::Folder : Seen::Other;
}

QString seenText(Seen seen)
{
    switch (seen) {
    case Seen::Link:
        return QStringLiteral("link");
    case Seen::File:
        return QStringLiteral("file");
    case Seen::Folder:
        return QStringLiteral("folder");
    case Seen::None:
    case Seen::Other:
        break;
    }
    return QStringLiteral("neither file nor folder");
}

// The upload folder's own clock, in nanoseconds since 1970: the time a file takes when
// it is made there. Lock times are set by the same clock, so an age measured against it
// holds whatever the clocks of the computers that share the folder say.
std::optional<qint64> shareNow(const filetree::FileSystem& fs, filetree::Folder& upload, QString* why)
{
    const QByteArray name = QFile::encodeName(RandomText(20, RandomMode::Numbers) + QStringLiteral(".pvltime"));
    try {
        fs.writeFile(upload, name, QByteArray(), false);
    } catch (const IoError& e) {
        *why = e.systemText();
        return std::nullopt;
    }
    const filetree::Status st = fs.entryStatus(upload, name);
    // Ours alone, made new a moment ago: it goes again whatever its status said.
    fs.remove(upload, name);
    if (st.kind != filetree::Kind::File) {
        *why = st.error.isEmpty() ? QStringLiteral("Not a regular file") : st.error;
        return std::nullopt;
    }
    return st.mtime;
}

// The age of a lock from its modification time, in whole seconds (never below 0).
qint64 ageSeconds(qint64 now, qint64 mtime)
{
    return qMax<qint64>(0, (now - mtime) / 1000000000);
}

} // namespace

QString StateText(JobListingEntry::State state)
{
    switch (state) {
    case JobListingEntry::State::Incomplete:
        return QStringLiteral("incomplete");
    case JobListingEntry::State::Abandoned:
        return QStringLiteral("abandoned");
    case JobListingEntry::State::Stale:
        return QStringLiteral("stale?");
    case JobListingEntry::State::Unknown:
        return QStringLiteral("unknown");
    case JobListingEntry::State::Complete:
        return QStringLiteral("complete");
    case JobListingEntry::State::Broken:
        break;
    }
    return QStringLiteral("broken");
}

JobListing ListJobs(const QString& folder, qint64 abandonedAfter)
{
    const filetree::FileSystem& fs = filetree::native();
    const std::unique_ptr<filetree::Folder> upload = fs.openFolder(QFile::encodeName(folder));

    // Only names of the four extensions are kept, as the bytes the folder has.
    std::map<QByteArray, JobEntries> jobs;
    QString error;
    const bool listed = fs.forEachEntry(
        *upload,
        [&jobs](const QByteArray& name, filetree::Kind kind, bool link) {
            if (name.size() < 5 || name[name.size() - 4] != '.')
                return;
            const QByteArray ext = name.right(3);
            Seen JobEntries::*slot = ext == "lck"   ? &JobEntries::lock
                                     : ext == "pvx" ? &JobEntries::descriptor
                                     : ext == "dir" ? &JobEntries::folder
                                     : ext == "msg" ? &JobEntries::message
                                                    : nullptr;
            if (slot)
                jobs[name.chopped(4)].*slot = seenAs(kind, link);
        },
        &error);
    if (!listed)
        throw IoError(folder, error);

    JobListing listing;
    std::optional<qint64> now;
    const bool anyLock = std::any_of(jobs.cbegin(), jobs.cend(), [](const auto& j) { return j.second.lock != Seen::None; });
    if (anyLock) {
        now = shareNow(fs, *upload, &listing.clockProblem);
        listing.shareClock = now.has_value();
        if (!now)
            now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    }

    for (const auto& [raw, seen] : jobs) {
        JobListingEntry e;
        e.rawName = raw;
        e.name = QFile::decodeName(raw);
        QStringList problems;
        const auto problem = [&problems, &raw](const char* ext, Seen s, const char* what) {
            problems << QStringLiteral("%1.%2 is not a %3 (%4)")
                            .arg(QFile::decodeName(raw), QLatin1String(ext), QLatin1String(what), seenText(s));
        };
        if (seen.descriptor == Seen::File) {
            const QByteArray name = raw + ".pvx";
            const filetree::Status st = fs.entryStatus(*upload, name);
            try {
                // The size is checked before a byte is read: a huge file is refused, not loaded.
                if (st.kind == filetree::Kind::File && st.size != kDescriptorSize) {
                    problems << QStringLiteral("invalid descriptor: the record is %1 bytes long, not %2")
                                    .arg(st.size)
                                    .arg(kDescriptorSize);
                } else {
                    QString why;
                    e.descriptor = DecodeJobDescriptor(fs.readEntry(*upload, name, kDescriptorSize), &why);
                    if (!e.descriptor)
                        problems << QStringLiteral("invalid descriptor: ") + why;
                }
            } catch (const IoError& io) {
                problems << QStringLiteral("descriptor unreadable: ") + io.systemText();
            }
        } else if (seen.descriptor != Seen::None) {
            problem("pvx", seen.descriptor, "job descriptor");
        }
        if (seen.folder == Seen::Folder) {
            QString why;
            e.bytes = fs.treeBytes(*upload, raw + ".dir", &why);
            if (e.bytes < 0) {
                e.bytes = 0;
                problems << QStringLiteral("job folder unreadable: ") + why;
            }
        } else if (seen.folder != Seen::None) {
            problem("dir", seen.folder, "job folder");
        }
        if (seen.message != Seen::None && seen.message != Seen::File)
            problem("msg", seen.message, "message file");

        if (seen.lock == Seen::File) {
            QString why;
            const filetree::LockProbe probe = fs.probeLock(*upload, raw + ".lck", nullptr, &why);
            const filetree::Status st = fs.entryStatus(*upload, raw + ".lck");
            if (st.kind == filetree::Kind::File)
                e.lockAgeSeconds = ageSeconds(*now, st.mtime);
            const bool old = e.lockAgeSeconds >= abandonedAfter;
            using State = JobListingEntry::State;
            if (probe == filetree::LockProbe::Unreadable || st.kind != filetree::Kind::File) {
                e.state = State::Unknown;
                problems.prepend(QStringLiteral("lock not readable: ") + (why.isEmpty() ? st.error : why));
            } else if (probe == filetree::LockProbe::Held || !old) {
                e.state = State::Incomplete;
            } else if (probe == filetree::LockProbe::Free && listing.shareClock) {
                e.state = State::Abandoned;
            } else {
                // A lock this file system keeps no advisory locks for, or an age by a
                // clock that is not the folder's: old, but not proven dead.
                e.state = State::Stale;
            }
        } else {
            if (seen.lock != Seen::None)
                problem("lck", seen.lock, "lock file");
            QStringList missing;
            if (seen.descriptor == Seen::None)
                missing << QStringLiteral(".pvx");
            if (seen.folder == Seen::None)
                missing << QStringLiteral(".dir");
            if (seen.message == Seen::None)
                missing << QStringLiteral(".msg");
            if (!missing.isEmpty())
                problems.prepend(QStringLiteral("missing ") + missing.join(QStringLiteral(", ")));
            e.state = problems.isEmpty() ? JobListingEntry::State::Complete : JobListingEntry::State::Broken;
        }
        e.problem = problems.join(QStringLiteral("; "));
        listing.jobs.append(e);
    }
    return listing;
}

bool IsThisComputersJob(const QString& jobName)
{
    const std::optional<JobNameParts> parts = ParseJobName(jobName);
    return parts && parts->computer == JobComputerName();
}

AbandonedJobRemoval RemoveAbandonedJob(const QString& folder, const QByteArray& name, qint64 abandonedAfter)
{
    using Outcome = AbandonedJobRemoval::Outcome;
    const filetree::FileSystem& fs = filetree::native();
    const std::unique_ptr<filetree::Folder> upload = fs.openFolder(QFile::encodeName(folder));
    const QByteArray lockName = name + ".lck";
    std::unique_ptr<filetree::Lock> lock;
    if (fs.probeLock(*upload, lockName, &lock) != filetree::LockProbe::Free)
        return {Outcome::LeftAlone, QStringLiteral("its lock is held now, or cannot be taken")};
    // Held now by us; was it marked alive since the listing? A writer on another mount
    // does not see our lock, but it keeps touching its lock file.
    QString why;
    const std::optional<qint64> now = shareNow(fs, *upload, &why);
    if (!now)
        return {Outcome::LeftAlone, QStringLiteral("the upload folder's clock cannot be read (%1)").arg(why)};
    const filetree::Status st = fs.entryStatus(*upload, lockName);
    if (st.kind != filetree::Kind::File)
        return {Outcome::LeftAlone, QStringLiteral("its lock is gone or replaced")};
    if (const qint64 age = ageSeconds(*now, st.mtime); age < abandonedAfter)
        return {Outcome::LeftAlone, QStringLiteral("its lock was marked alive %1 s ago: its writer is at work").arg(age)};
    const QString shownName = QFile::decodeName(name);
    const JobRemoval removal =
        RemoveJob(fs, *upload, {shownName + QStringLiteral(".msg"), shownName + QStringLiteral(".dir"),
                                shownName + QStringLiteral(".pvx")},
                  QFile::decodeName(lockName), std::move(lock));
    if (removal.lockRemoved)
        return {Outcome::Removed, {}};
    if (removal.left.isEmpty())
        return {Outcome::Failed, QStringLiteral("%1; left: %2.lck").arg(removal.why, shownName)};
    // What stays is still marked incomplete by its lock.
    return {Outcome::Failed, QStringLiteral("%1; left: %2, %3.lck")
                                 .arg(removal.why, removal.left.join(QStringLiteral(", ")), shownName)};
}
