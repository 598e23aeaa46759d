#include "sent/SentStates.h"

#include "platform/Errors.h"
#include "sent/SentStore.h"

#include <QFile>

#include <map>

SentState DecideState(const SentRecord& record, const JobInFolder& seen, const QDateTime& now)
{
    if (record.taken.isValid())
        return SentState::Taken;
    if (record.outcome == SentOutcome::Refused || record.outcome == SentOutcome::FailedRemoved)
        return SentState::Failed;
    if (!seen.reachable)
        return SentState::CannotTell;
    if (!seen.entry) {
        if (record.outcome == SentOutcome::Complete)
            return SentState::Taken;
        const bool lockComing = record.outcome == SentOutcome::Writing && record.started.secsTo(now) < kLockGraceSeconds;
        return lockComing ? SentState::BeingWritten : SentState::Failed;
    }
    using Folder = JobListingEntry::State;
    switch (seen.entry->state) {
    case Folder::Incomplete:
        return record.outcome == SentOutcome::FailedLocked ? SentState::LeftLocked : SentState::BeingWritten;
    case Folder::Abandoned:
    case Folder::Stale:
        return SentState::LeftLocked;
    case Folder::Unknown:
        return SentState::CannotTell;
    case Folder::Complete:
        return SentState::Waiting;
    case Folder::Broken:
        break;
    }
    return SentState::BeingTaken;
}

namespace {

// One listing of a folder, of the jobs asked about; unreachable when it cannot be listed.
struct FolderLook {
    bool reachable = false;
    JobListing listing;
    QHash<QString, const JobListingEntry*> byName;
};

FolderLook lookAt(const QString& folder, const QSet<QByteArray>& names)
{
    FolderLook look;
    ListingOptions options;
    options.only = names;
    options.countBytes = false;
    try {
        look.listing = ListJobs(folder, options);
        look.reachable = true;
    } catch (const IoError&) {
        return look; // nothing can be told of any job there
    }
    for (const JobListingEntry& e : std::as_const(look.listing.jobs))
        look.byName.insert(e.name, &e);
    return look;
}

} // namespace

void LookAtUploadFolders(QList<SentRecord>& records, SentStore* store, const QDateTime& now)
{
    QHash<QString, QSet<QByteArray>> namesByFolder;
    for (const SentRecord& r : records)
        if (!r.isSettled())
            namesByFolder[r.uploadFolder].insert(QFile::encodeName(r.name));
    std::map<QString, FolderLook> looks;
    for (auto it = namesByFolder.cbegin(); it != namesByFolder.cend(); ++it)
        looks.emplace(it.key(), lookAt(it.key(), it.value()));

    QList<qint64> taken, complete;
    for (SentRecord& r : records) {
        r.folderState.clear();
        if (r.isSettled()) {
            r.state = DecideState(r, {});
            continue;
        }
        const FolderLook& look = looks.at(r.uploadFolder);
        const JobInFolder seen{look.reachable, look.byName.value(r.name)};
        if (seen.entry)
            r.folderState = StateText(seen.entry->state);
        SentState state = DecideState(r, seen, now);
        if (state == SentState::Taken && !JobIsGone(r.uploadFolder, QFile::encodeName(r.name)))
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
