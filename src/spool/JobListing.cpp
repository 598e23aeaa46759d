#include "spool/JobListing.h"

#include "client/ClientState.h"
#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "spool/JobName.h"
#include "spool/JobRemoval.h"
#include "util/FileSizes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

namespace {

struct Seen {
    bool lock = false, descriptor = false, folder = false, message = false;
};

} // namespace

QString StateText(JobListingEntry::State state)
{
    switch (state) {
    case JobListingEntry::State::Incomplete:
        return QStringLiteral("incomplete");
    case JobListingEntry::State::Abandoned:
        return QStringLiteral("abandoned");
    case JobListingEntry::State::Complete:
        return QStringLiteral("complete");
    case JobListingEntry::State::Broken:
        break;
    }
    return QStringLiteral("broken");
}

QList<JobListingEntry> ListJobs(const QString& folder)
{
    QDir dir(folder);
    if (!dir.exists())
        throw IoError(folder, QStringLiteral("No such folder"));
    if (!dir.isReadable())
        throw IoError(folder, QStringLiteral("Permission denied"));

    QMap<QString, Seen> jobs; // sorted by name
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& fi : entries) {
        const QString base = fi.completeBaseName();
        const QString ext = fi.suffix();
        if (ext == QLatin1String("lck") && fi.isFile())
            jobs[base].lock = true;
        else if (ext == QLatin1String("pvx") && fi.isFile())
            jobs[base].descriptor = true;
        else if (ext == QLatin1String("dir") && fi.isDir())
            jobs[base].folder = true;
        else if (ext == QLatin1String("msg") && fi.isFile())
            jobs[base].message = true;
    }

    const filetree::FileSystem& fs = filetree::native();
    const std::unique_ptr<filetree::Folder> handle = fs.openFolder(QFile::encodeName(dir.absolutePath()));
    QList<JobListingEntry> result;
    const QString prefix = dir.absolutePath() + u'/';
    for (auto it = jobs.cbegin(); it != jobs.cend(); ++it) {
        JobListingEntry e;
        e.name = it.key();
        const Seen& s = it.value();
        const QString base = prefix + e.name;
        if (s.descriptor) {
            try {
                QString problem;
                e.descriptor = ReadJobDescriptorFile(base + QStringLiteral(".pvx"), &problem);
                if (!e.descriptor)
                    e.problem = QStringLiteral("invalid descriptor: ") + problem;
            } catch (const IoError& error) {
                e.problem = QStringLiteral("descriptor unreadable: ") + error.systemText();
            }
        }
        if (s.folder)
            e.bytes = FolderBytes(base + QStringLiteral(".dir"));

        if (s.lock) {
            // The writer of a job holds its lock; a lock nobody holds has no writer left.
            const auto probe = fs.probeLock(*handle, QFile::encodeName(e.name + QStringLiteral(".lck")), nullptr);
            e.state = probe == filetree::LockProbe::Free ? JobListingEntry::State::Abandoned
                                                         : JobListingEntry::State::Incomplete;
        } else {
            QStringList missing;
            if (!s.descriptor)
                missing << QStringLiteral(".pvx");
            if (!s.folder)
                missing << QStringLiteral(".dir");
            if (!s.message)
                missing << QStringLiteral(".msg");
            if (!missing.isEmpty()) {
                e.problem = QStringLiteral("missing ") + missing.join(QStringLiteral(", "));
                e.state = JobListingEntry::State::Broken;
            } else {
                e.state = e.problem.isEmpty() ? JobListingEntry::State::Complete : JobListingEntry::State::Broken;
            }
        }
        result.append(e);
    }
    return result;
}

QString ThisComputersJobPrefix()
{
    // Cut from a name as MakeJobName makes it: "PV_" + computer + "_" + digits + "_" +
    // random part. A random part without '_' that differs on every draw ends the search
    // for a free name however the folder looks.
    ClientState state;
    state.UploadFolder = QStringLiteral("/");
    int draws = 0;
    QString name = MakeJobName(state, [&draws] { return QString(++draws, u'#'); }).folder;
    name.truncate(name.lastIndexOf(u'_'));
    name.truncate(name.lastIndexOf(u'_') + 1);
    return name;
}

QString RemoveAbandonedJob(const QString& folder, const QString& name)
{
    const filetree::FileSystem& fs = filetree::native();
    const std::unique_ptr<filetree::Folder> upload = fs.openFolder(QFile::encodeName(folder));
    const QByteArray lockName = QFile::encodeName(name + QStringLiteral(".lck"));
    std::unique_ptr<filetree::Lock> lock;
    if (fs.probeLock(*upload, lockName, &lock) != filetree::LockProbe::Free)
        return QStringLiteral("its lock is held, or cannot be taken: it is left alone");
    const JobRemoval removal = RemoveJob(fs, *upload, {name + QStringLiteral(".msg"), name + QStringLiteral(".dir"),
                                                       name + QStringLiteral(".pvx")},
                                         QFile::decodeName(lockName), std::move(lock));
    if (removal.lockRemoved)
        return {};
    if (removal.left.isEmpty())
        return QStringLiteral("%1; left: %2.lck").arg(removal.why, name);
    // What stays is still marked incomplete by its lock.
    return QStringLiteral("%1; left: %2, %3.lck").arg(removal.why, removal.left.join(QStringLiteral(", ")), name);
}
