#include "sent/SentWait.h"

#include "sent/SentStates.h"
#include "sent/SentStore.h"

#include <QDeadlineTimer>
#include <QThread>

WaitEnd WaitUntilTaken(SentRecord& record, SentStore* store, int timeoutMs, const std::function<bool()>& stop,
                       int pollMs)
{
    const QDeadlineTimer deadline = timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
    for (;;) {
        // The writer says how the job ended in the record; another look may have seen it gone.
        if (store && record.id != 0 && record.outcome == SentOutcome::Writing) {
            if (const std::optional<SentRecord> fresh = store->find(record.name); fresh && fresh->id == record.id)
                record = *fresh;
        }
        QList<SentRecord> one{record};
        LookAtUploadFolders(one, store);
        record = one.first();
        switch (record.state) {
        case SentState::Taken:
            return WaitEnd::Taken;
        case SentState::Failed:
        case SentState::LeftLocked:
            return WaitEnd::Failed;
        case SentState::BeingWritten:
        case SentState::Waiting:
        case SentState::BeingTaken:
        case SentState::CannotTell:
            break;
        }
        if (stop && stop())
            return WaitEnd::Stopped;
        if (deadline.hasExpired())
            return WaitEnd::TimedOut;
        const qint64 left = deadline.isForever() ? pollMs : qMin(qint64(pollMs), deadline.remainingTime());
        QThread::msleep(ulong(qMax(qint64(1), left)));
    }
}
