#pragma once
// A recorded job's state, from what its upload folder's listing says of it (the one
// decision of a job's state, ListJobs) and what its writer recorded; and the look that
// lists each upload folder once for many records.
#include "sent/SentRecord.h"
#include "spool/JobListing.h"

#include <QList>

class SentStore;

// What the upload folder shows of one job.
struct JobInFolder {
    bool reachable = false;                 // the folder could be listed
    const JobListingEntry* entry = nullptr; // null: nothing of the job is there
};

// The state of record (settled records need no look at the folder):
// - taken once it was seen gone; failed when it was refused, or failed and removed;
//   cannot tell while its folder cannot be listed;
// - as the listing decides: incomplete is being written; abandoned and stale are left
//   locked; a lock that cannot be read cannot tell; complete is waiting; broken (a
//   part gone or not as written) is being taken. A writer that said it left its lock
//   behind is left locked as long as the lock is there;
// - with nothing left: taken when its writer finished it; being written in the moment
//   before its writer makes the lock (kLockGraceSeconds); failed otherwise (its writer
//   stopped, or the remains of a failed job were removed later).
SentState DecideState(const SentRecord& record, const JobInFolder& seen,
                      const QDateTime& now = QDateTime::currentDateTimeUtc());

// A job is recorded just before its lock is made: for this long after, a job without
// any entry counts as one whose writer is about to make them.
constexpr int kLockGraceSeconds = 60;

// Sets the state (and the listing's word for it) of every record, listing once each
// upload folder that records not yet settled lie in. A job seen gone for the first
// time, and asked for once more, gets now as its taken time; one whose writer never
// said it ended, but whose lock is gone while its entries are there, is complete. Both
// go into store when one is given.
void LookAtUploadFolders(QList<SentRecord>& records, SentStore* store,
                         const QDateTime& now = QDateTime::currentDateTimeUtc());
