#pragma once
// One listing of an upload folder, for the jobs asked about: which entries of each job
// it holds. Entries are taken as the folder names them and never through a link: a link
// named like an entry is something there, but no entry the job made.
#include "platform/FileTree.h"

#include <QHash>
#include <QSet>
#include <QString>

// What the upload folder shows of one job.
struct JobEntriesSeen {
    bool lockNamed = false; // something has the lock's name
    bool lockFile = false;  // ... and it is a file
    filetree::LockProbe lock = filetree::LockProbe::Unknown; // whether its writer holds it (a lock file only)
    int named = 0;          // how many of .pvx, .dir and .msg have something of their name
    int whole = 0;          // how many of them are as the job made them: two files and a folder
    bool nothing() const { return !lockNamed && named == 0; }
};

class UploadFolderLook {
public:
    // Lists folder (ending in the separator) once for all names, and asks whether each
    // lock found is held.
    UploadFolderLook(const QString& folder, const QSet<QString>& names);

    // False when the folder could not be listed: then nothing can be told.
    bool reachable() const { return m_reachable; }
    // What the listing showed of a job asked about; null when the folder is not reachable.
    const JobEntriesSeen* seen(const QString& name) const;
    // Asks once more, name by name, whether nothing of a job is left: a listing that
    // broke off part way would look like jobs gone. False when anything is there, or
    // the folder cannot be reached now.
    bool confirmGone(const QString& name) const;

private:
    QString m_folder;
    bool m_reachable = false;
    QHash<QString, JobEntriesSeen> m_seen;
};
