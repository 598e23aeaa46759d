#include "spool/JobRemoval.h"

#include "platform/Errors.h"

#include <QFile>

JobRemoval RemoveJob(const filetree::FileSystem& fs, filetree::Folder& upload, const QStringList& entries,
                     const QString& lockName, std::unique_ptr<filetree::Lock> lock)
{
    JobRemoval removal;
    for (const QString& entry : entries) {
        if (const QString error = fs.remove(upload, QFile::encodeName(entry)); !error.isEmpty()) {
            removal.left << entry;
            if (removal.why.isEmpty())
                removal.why = error;
        }
    }
    if (!removal.left.isEmpty())
        return removal;
    // The removals are on disk before the lock goes: after a crash the server must
    // never find the descriptor without its lock.
    try {
        fs.flush(upload);
    } catch (const IoError& e) {
        removal.why = e.systemText();
        removal.flushFailed = true;
        return removal;
    }
    removal.why = fs.removeLock(upload, QFile::encodeName(lockName), std::move(lock));
    removal.lockRemoved = removal.why.isEmpty();
    return removal;
}
