#pragma once
// What an upload folder holds: its jobs, each with its state as the server sees it.
// The folder is shared with other computers, other users and the server, so it is read
// as it stands: no link in it is followed, and the listing keeps nothing of the
// entries that are no part of a job.
#include "spool/JobDescriptor.h"

#include <QByteArray>
#include <QList>
#include <QSet>
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
    // (or, where that cannot be read, by this computer's); below 0 for a lock stamped
    // ahead of that clock; none without a lock.
    std::optional<qint64> lockAgeSeconds;
};

// How old a lock must be before its job counts as abandoned: a writer marks its lock
// alive every 30 seconds, so a quarter of an hour leaves room for a share that stalls.
constexpr qint64 kAbandonedAfterSeconds = 15 * 60;
// A lock stamped further ahead of the upload folder's clock than this was not stamped by
// a writer marking it alive (those writes are stamped by the folder itself): its age
// cannot be told, and it never counts as alive.
constexpr qint64 kAheadToleranceSeconds = 60;

struct JobListing {
    QList<JobListingEntry> jobs; // sorted by name
    // Probes of the upload folder left behind (LeftoverProbes.h), whoever made them; none
    // when only some jobs were asked for.
    QList<QByteArray> probes;
    // The ages are by the upload folder's clock; when false, by this computer's, and
    // clockProblem says why.
    bool shareClock = false;
    QString clockProblem;
};

QString StateText(JobListingEntry::State state);

struct ListingOptions {
    // How long a lock nobody holds must not have been marked alive for its job to count
    // as abandoned.
    qint64 abandonedAfter = kAbandonedAfterSeconds;
    // Only these jobs (names without extension, as the folder has them); all when unset.
    std::optional<QSet<QByteArray>> only;
    // Counts the bytes below each job folder (a walk of every job's tree).
    bool countBytes = true;
};

// Every job in folder: a name that has any of the four entries (.lck, .pvx, .dir,
// .msg). This is the one place a job's state is decided, for every command and window
// that shows one:
// - with its lock file, a job is incomplete while its writer holds the lock or marked
//   it alive lately; abandoned once nobody holds it and it was last marked alive
//   abandonedAfter seconds ago or earlier by the folder's own clock; stale where that
//   cannot be told (no advisory locks, no clock of the folder's, or a lock stamped
//   ahead of that clock); unknown when the lock cannot be read;
// - without, complete when its descriptor is valid and its folder and message are
//   there as the writer makes them, and broken otherwise.
// Nothing is followed, and what is no job is not kept. Throws IoError when the folder
// cannot be listed.
JobListing ListJobs(const QString& folder, const ListingOptions& options = {});

// Whether nothing of the job name is in folder now, asked name by name: a listing that
// broke off part way would make jobs look gone. False when anything is there or the
// folder cannot be reached.
bool JobIsGone(const QString& folder, const QByteArray& name);

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
