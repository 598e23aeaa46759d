#include "spool/JobListing.h"

#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "spool/JobName.h"
#include "spool/JobRemoval.h"
#include "spool/LeftoverProbes.h"
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

// Which entry of a job a name is, by its extension; null for a name that is none.
Seen JobEntries::*slotOf(const QByteArray& name)
{
    if (name.size() < 5 || name[name.size() - 4] != '.')
        return nullptr;
    const QByteArray ext = name.right(3);
    return ext == "lck"   ? &JobEntries::lock
           : ext == "pvx" ? &JobEntries::descriptor
           : ext == "dir" ? &JobEntries::folder
           : ext == "msg" ? &JobEntries::message
                          : nullptr;
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

// The age of a lock from its modification time, in whole seconds: below 0 when it is
// stamped ahead of now.
qint64 ageSeconds(qint64 now, qint64 mtime)
{
    return (now - mtime) / 1000000000;
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

namespace {

// The entries of one job as the listing met them, and what they make of it.
class JobExamination {
public:
    JobExamination(const filetree::FileSystem& fs, filetree::Folder& upload, const QByteArray& raw,
                   const JobEntries& seen)
        : m_fs(fs), m_upload(upload), m_raw(raw), m_seen(seen)
    {
        m_entry.rawName = raw;
        m_entry.name = QFile::decodeName(raw);
    }

    JobListingEntry run(const JobListing& listing, std::optional<qint64> now, const ListingOptions& options)
    {
        readDescriptor();
        lookAtFolder(options.countBytes);
        if (m_seen.message != Seen::None && m_seen.message != Seen::File)
            notAs("msg", m_seen.message, "message file");
        if (m_seen.lock == Seen::File)
            decideLocked(listing, *now, options.abandonedAfter);
        else
            decideUnlocked();
        m_entry.problem = m_problems.join(QStringLiteral("; "));
        return m_entry;
    }

private:
    void notAs(const char* ext, Seen s, const char* what)
    {
        m_problems << QStringLiteral("%1.%2 is not a %3 (%4)")
                          .arg(m_entry.name, QLatin1String(ext), QLatin1String(what), seenText(s));
    }

    void readDescriptor()
    {
        if (m_seen.descriptor == Seen::None)
            return;
        if (m_seen.descriptor != Seen::File)
            return notAs("pvx", m_seen.descriptor, "job descriptor");
        const QByteArray name = m_raw + ".pvx";
        const filetree::Status st = m_fs.entryStatus(m_upload, name);
        try {
            // The size is checked before a byte is read: a huge file is refused, not loaded.
            if (st.kind == filetree::Kind::File && st.size != kDescriptorSize) {
                m_problems << QStringLiteral("invalid descriptor: the record is %1 bytes long, not %2")
                                  .arg(st.size)
                                  .arg(kDescriptorSize);
                return;
            }
            QString why;
            m_entry.descriptor = DecodeJobDescriptor(m_fs.readEntry(m_upload, name, kDescriptorSize), &why);
            if (!m_entry.descriptor)
                m_problems << QStringLiteral("invalid descriptor: ") + why;
        } catch (const IoError& io) {
            m_problems << QStringLiteral("descriptor unreadable: ") + io.systemText();
        }
    }

    // The job folder's bytes are what a job carries, not what it is: a tree that cannot
    // be read to its end is said so, and the job's state stays what its entries make it.
    void lookAtFolder(bool countBytes)
    {
        if (m_seen.folder != Seen::Folder) {
            if (m_seen.folder != Seen::None)
                notAs("dir", m_seen.folder, "job folder");
            return;
        }
        if (!countBytes)
            return;
        QString why;
        m_entry.bytes = m_fs.treeBytes(m_upload, m_raw + ".dir", &why);
        if (m_entry.bytes < 0) {
            m_entry.bytes = 0;
            m_notes << QStringLiteral("job folder unreadable: ") + why;
        }
    }

    void decideLocked(const JobListing& listing, qint64 now, qint64 abandonedAfter)
    {
        using State = JobListingEntry::State;
        QString why;
        const filetree::LockProbe probe = m_fs.probeLock(m_upload, m_raw + ".lck", nullptr, &why);
        const filetree::Status st = m_fs.entryStatus(m_upload, m_raw + ".lck");
        if (st.kind == filetree::Kind::File)
            m_entry.lockAgeSeconds = ageSeconds(now, st.mtime);
        const qint64 age = m_entry.lockAgeSeconds.value_or(0);
        const bool old = age >= abandonedAfter;
        const bool ahead = age < -kAheadToleranceSeconds;
        if (probe == filetree::LockProbe::Unreadable || st.kind != filetree::Kind::File) {
            m_entry.state = State::Unknown;
            m_problems.prepend(QStringLiteral("lock not readable: ") + (why.isEmpty() ? st.error : why));
        } else if (ahead && probe != filetree::LockProbe::Held) {
            // Nobody marking it alive stamps it so: its age cannot be told.
            m_entry.state = State::Stale;
            m_problems.prepend(QStringLiteral("its lock is stamped %1 s ahead of the upload folder's clock").arg(-age));
        } else if (probe == filetree::LockProbe::Held || !old) {
            m_entry.state = State::Incomplete;
        } else if (probe == filetree::LockProbe::Free && listing.shareClock) {
            m_entry.state = State::Abandoned;
        } else {
            // A lock this file system keeps no advisory locks for, or an age by a clock
            // that is not the folder's: old, but not proven dead.
            m_entry.state = State::Stale;
        }
        m_problems << m_notes;
    }

    void decideUnlocked()
    {
        if (m_seen.lock != Seen::None)
            notAs("lck", m_seen.lock, "lock file");
        QStringList missing;
        if (m_seen.descriptor == Seen::None)
            missing << QStringLiteral(".pvx");
        if (m_seen.folder == Seen::None)
            missing << QStringLiteral(".dir");
        if (m_seen.message == Seen::None)
            missing << QStringLiteral(".msg");
        if (!missing.isEmpty())
            m_problems.prepend(QStringLiteral("missing ") + missing.join(QStringLiteral(", ")));
        m_entry.state = m_problems.isEmpty() ? JobListingEntry::State::Complete : JobListingEntry::State::Broken;
        m_problems << m_notes;
    }

    const filetree::FileSystem& m_fs;
    filetree::Folder& m_upload;
    const QByteArray& m_raw;
    const JobEntries& m_seen;
    JobListingEntry m_entry;
    QStringList m_problems; // what makes the job broken or its state unknown
    QStringList m_notes;    // what is said of it whatever its state
};

} // namespace

JobListing ListJobs(const QString& folder, const ListingOptions& options)
{
    const filetree::FileSystem& fs = filetree::native();
    const std::unique_ptr<filetree::Folder> upload = fs.openFolder(QFile::encodeName(folder));

    // Only names of the four extensions are kept (of the jobs asked for), as the bytes
    // the folder has.
    std::map<QByteArray, JobEntries> jobs;
    QList<QByteArray> probes;
    QString error;
    const bool listed = fs.forEachEntry(
        *upload,
        [&jobs, &probes, &options](const QByteArray& name, filetree::Kind kind, bool link) {
            Seen JobEntries::*slot = slotOf(name);
            if (!slot) {
                if (!options.only && IsProbeName(name))
                    probes.append(QByteArray(name.constData(), name.size())); // name is the listing's, for now only
                return;
            }
            const QByteArray job = name.chopped(4);
            if (options.only && !options.only->contains(job))
                return;
            jobs[job].*slot = seenAs(kind, link);
        },
        &error);
    if (!listed)
        throw IoError(folder, error);

    JobListing listing;
    listing.probes = std::move(probes);
    std::optional<qint64> now;
    const bool anyLock = std::any_of(jobs.cbegin(), jobs.cend(), [](const auto& j) { return j.second.lock == Seen::File; });
    if (anyLock) {
        now = UploadFolderNow(fs, *upload, &listing.clockProblem);
        listing.shareClock = now.has_value();
        if (!now)
            now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    }
    for (const auto& [raw, seen] : jobs)
        listing.jobs.append(JobExamination(fs, *upload, raw, seen).run(listing, now, options));
    return listing;
}

bool JobIsGone(const QString& folder, const QByteArray& name)
{
    const filetree::FileSystem& fs = filetree::native();
    try {
        const std::unique_ptr<filetree::Folder> upload = fs.openFolder(QFile::encodeName(folder));
        for (const char* ext : {".lck", ".pvx", ".dir", ".msg"})
            if (!fs.isGone(*upload, name + ext))
                return false; // there, or it cannot be told
        return true;
    } catch (const IoError&) {
        return false; // a folder out of reach makes every name look free
    }
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
    const std::optional<qint64> now = UploadFolderNow(fs, *upload, &why);
    if (!now)
        return {Outcome::LeftAlone, QStringLiteral("the upload folder's clock cannot be read (%1)").arg(why)};
    const filetree::Status st = fs.entryStatus(*upload, lockName);
    if (st.kind != filetree::Kind::File)
        return {Outcome::LeftAlone, QStringLiteral("its lock is gone or replaced")};
    if (const qint64 age = ageSeconds(*now, st.mtime); age < abandonedAfter)
        return {Outcome::LeftAlone, age < -kAheadToleranceSeconds
                                        ? QStringLiteral("its lock is stamped %1 s ahead of the upload folder's clock").arg(-age)
                                        : QStringLiteral("its lock was marked alive %1 s ago: its writer is at work").arg(qMax<qint64>(age, 0))};
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
