#pragma once
// Keeps every job a submission takes up in the record of sent jobs: a record when its
// lock is made, and how it ended with its log. A record that cannot be written is
// the store's warning; the job goes on.
#include "sent/SentRecord.h"
#include "spool/Submission.h"

class SentStore;

class SentRecorder : public JobObserver {
public:
    explicit SentRecorder(SentStore& store) : m_store(store) {}

    void jobStarted(const Client& client, const JobNames& names, const CopyPlan& plan) override;
    void jobEnded(const Client& client, const JobNames& names, const CopyPlan& plan, JobOutcome outcome,
                  const QString& message) override;

    // The last job as far as it is known, also when its record could not be stored
    // (its id is 0 then).
    const SentRecord& lastJob() const { return m_job; }

private:
    SentStore& m_store;
    SentRecord m_job;
};
