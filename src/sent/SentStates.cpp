#include "sent/SentStates.h"

#include "sent/SentStore.h"

#include <map>

SentState DecideState(const SentRecord& record, const JobEntriesSeen* seen, const QDateTime& now)
{
    if (record.taken.isValid())
        return SentState::Taken;
    if (record.outcome == SentOutcome::Refused || record.outcome == SentOutcome::FailedRemoved)
        return SentState::Failed;
    if (!seen)
        return SentState::CannotTell;
    const bool complete = record.outcome == SentOutcome::Complete;
    if (seen->lockFile && !complete) {
        switch (seen->lock) {
        case filetree::LockProbe::Held:
            return SentState::BeingWritten;
        case filetree::LockProbe::Free:
            return SentState::LeftLocked;
        case filetree::LockProbe::Unknown:
        case filetree::LockProbe::Unreadable:
            break; // whether it is held cannot be told
        }
        return record.outcome == SentOutcome::Writing ? SentState::BeingWritten : SentState::LeftLocked;
    }
    if (seen->nothing()) {
        if (complete)
            return SentState::Taken;
        const bool lockComing = record.outcome == SentOutcome::Writing && record.started.secsTo(now) < kLockGraceSeconds;
        return lockComing ? SentState::BeingWritten : SentState::Failed;
    }
    if (!seen->lockNamed && seen->whole == 3)
        return SentState::Waiting;
    return SentState::BeingTaken;
}

void LookAtUploadFolders(QList<SentRecord>& records, SentStore* store, const QDateTime& now)
{
    QHash<QString, QSet<QString>> namesByFolder;
    for (const SentRecord& r : records)
        if (!r.isSettled())
            namesByFolder[r.uploadFolder].insert(r.name);
    std::map<QString, UploadFolderLook> looks;
    for (auto it = namesByFolder.cbegin(); it != namesByFolder.cend(); ++it)
        looks.try_emplace(it.key(), it.key(), it.value());

    QList<qint64> taken, complete;
    for (SentRecord& r : records) {
        if (r.isSettled()) {
            r.state = DecideState(r, nullptr);
            continue;
        }
        const UploadFolderLook& look = looks.at(r.uploadFolder);
        SentState state = DecideState(r, look.seen(r.name), now);
        if (state == SentState::Taken && !look.confirmGone(r.name))
            state = SentState::CannotTell;
        if (r.outcome == SentOutcome::Writing && (state == SentState::Waiting || state == SentState::BeingTaken)) {
            r.outcome = SentOutcome::Complete;
            if (r.id != 0)
                complete.append(r.id);
        }
        if (state == SentState::Taken) {
            r.taken = now;
            if (r.id != 0)
                taken.append(r.id);
        }
        r.state = state;
    }
    if (store) {
        store->markComplete(complete);
        store->markTaken(taken, now);
    }
}
