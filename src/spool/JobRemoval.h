#pragma once
// Taking a job out of the upload folder: its entries first and, once they are gone and
// that is on disk, its lock. Whatever cannot be removed stays under the lock, so the
// server never takes what is left of the job, even after a crash.
#include "platform/FileTree.h"

#include <QStringList>
#include <memory>

struct JobRemoval {
    QStringList left;        // entries that stay, in the order they were tried
    QString why;             // the first reason something stays
    bool flushFailed = false; // every entry went, but that could not be put on disk
    bool lockRemoved = false; // the whole job is gone
};

// Removes entries from upload in the order given, then the lock lockName held by lock.
JobRemoval RemoveJob(const filetree::FileSystem& fs, filetree::Folder& upload, const QStringList& entries,
                     const QString& lockName, std::unique_ptr<filetree::Lock> lock);
