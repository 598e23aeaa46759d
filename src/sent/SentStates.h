#pragma once
// The rules that tell a recorded job's state from its upload folder, and the look that
// applies them to many records with one listing per upload folder.
#include "sent/SentRecord.h"
#include "sent/UploadFolderLook.h"

#include <QList>

class SentStore;

// The state of record from what its upload folder shows (seen null: the folder cannot
// be reached, or the record is settled and nothing there matters any more):
// - taken once it was seen gone; failed when it was refused, or failed and removed;
// - with a lock file: being written while its writer holds it, left locked once nobody
//   does (where that cannot be told, being written until its writer said how it
//   ended); a complete job's lock that came back: being taken;
// - without: waiting while the descriptor, the folder and the message are all there as
//   written, being taken while only something of them is; with nothing left, taken when
//   its writer finished it; being written in the moment before its writer makes the
//   lock (kLockGraceSeconds); failed otherwise (its writer stopped, or the remains of a
//   failed job were removed later).
SentState DecideState(const SentRecord& record, const JobEntriesSeen* seen,
                      const QDateTime& now = QDateTime::currentDateTimeUtc());

// A job is recorded just before its lock is made: for this long after, a job without
// any entry counts as one whose writer is about to make them.
constexpr int kLockGraceSeconds = 60;

// Sets the state of every record, looking once at each upload folder that records not
// yet settled lie in. A job seen gone for the first time gets now as its taken time;
// one whose writer never said it ended, but whose lock is gone while its entries are
// there, is complete. Both go into store when one is given.
void LookAtUploadFolders(QList<SentRecord>& records, SentStore* store,
                         const QDateTime& now = QDateTime::currentDateTimeUtc());
