#include "spool/JobListing.h"

#include "platform/Errors.h"
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
            e.state = JobListingEntry::State::Incomplete;
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
