#pragma once
// What an upload folder holds: its jobs, each with its state as the server sees it.
// The folder is shared with other computers, other users and the server, so it is read
// as it stands: no link in it is followed, and the listing keeps nothing of the
// entries that are no part of a job.
#include "spool/JobDescriptor.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct JobListingEntry {
    enum class State {
        Incomplete, // being written: its lock is held, or was marked alive lately
        Abandoned,  // nobody holds its lock, and it was not marked alive for long
        Stale,      // its lock was not marked alive for long, but whether it is held cannot be told
        Unknown,    // its lock cannot be read
        Complete,
        Broken,
    };
    QByteArray rawName; // the job name (without extension) as the folder has it
    QString name;       // the same as text
    State state = State::Broken;
    QString problem;    // why a job is broken or its state unknown
    std::optional<JobDescriptor> descriptor;
    qint64 bytes = 0;   // bytes of the files below the job's folder
    // Seconds since its lock was last marked alive, by the upload folder's own clock
    // (or, where that cannot be read, by this computer's); -1 without a lock.
    qint64 lockAgeSeconds = -1;
};

// How old a lock must be before its job counts as abandoned: a writer marks its lock
// alive every 30 seconds, so a quarter of an hour leaves room for a share that stalls.
constexpr qint64 kAbandonedAfterSeconds = 15 * 60;

struct JobListing {
    QList<JobListingEntry> jobs; // sorted by name
    // The ages are by the upload folder's clock; when false, by this computer's, and
    // clockProblem says why.
    bool shareClock = false;
    QString clockProblem;
};

QString StateText(JobListingEntry::State state);

// Every job in folder: a name that has any of the four entries (.lck, .pvx, .dir,
// .msg). While its lock file exists a job is incomplete, unless nobody holds the lock
// and it was last marked alive abandonedAfter seconds ago or earlier: then it is
// abandoned (or stale, where this file system cannot tell whether the lock is held).
// Without a lock a job is complete when its descriptor is valid and its folder and
// message are there, and broken otherwise. Throws IoError when the folder cannot be
// listed.
JobListing ListJobs(const QString& folder, qint64 abandonedAfter = kAbandonedAfterSeconds);

// Whether a job name is one this computer made ("PV_" + its name exactly + ...).
bool IsThisComputersJob(const QString& jobName);

// Removes an abandoned job: its message, folder and descriptor, then its lock, all the
// while holding the lock. Before anything goes it looks again: the lock must be free
// and not marked alive for abandonedAfter seconds, so that a job whose writer is at
// work (here or through another mount) is never touched.
struct AbandonedJobRemoval {
    enum class Outcome { Removed, LeftAlone, Failed } outcome = Outcome::Failed;
    QString why; // left alone: why; failed: why, naming what is left
};
AbandonedJobRemoval RemoveAbandonedJob(const QString& folder, const QByteArray& name, qint64 abandonedAfter);
