#include "sent/SentRecorder.h"

#include "client/Client.h"
#include "sent/SentStore.h"
#include "util/CopyPlan.h"

#include <algorithm>

namespace {

// The job's name: its lock's name without ".lck".
QString jobName(const JobNames& names) { return names.lock.chopped(4); }

SentRecord describe(const Client& client, const JobNames& names, const CopyPlan& plan)
{
    SentRecord r;
    r.name = jobName(names);
    r.uploadFolder = client.state.UploadFolder;
    r.started = QDateTime::currentDateTimeUtc();
    r.files = plan.files;
    r.folders = std::count_if(plan.items.begin(), plan.items.end(), [](const PlanItem& i) { return i.isFolder(); });
    r.bytes = plan.bytes;
    r.recipients = client.form.recipients();
    r.subject = client.form.subjectText();
    r.expireHours = client.form.expireText();
    r.encrypted = client.form.encr().checked;
    r.selfExtracting = client.form.sfx().checked;
    r.messageLines = client.form.messageLines();
    r.logLines = client.form.logLines();
    return r;
}

SentOutcome outcomeOf(JobOutcome outcome)
{
    switch (outcome) {
    case JobOutcome::Complete:
        return SentOutcome::Complete;
    case JobOutcome::Refused:
        return SentOutcome::Refused;
    case JobOutcome::FailedRemoved:
        return SentOutcome::FailedRemoved;
    case JobOutcome::FailedLocked:
        break;
    }
    return SentOutcome::FailedLocked;
}

} // namespace

void SentRecorder::jobStarted(const Client& client, const JobNames& names, const CopyPlan& plan)
{
    m_job = describe(client, names, plan);
    m_job.id = m_store.add(m_job);
}

void SentRecorder::jobEnded(const Client& client, const JobNames& names, const CopyPlan& plan, JobOutcome outcome,
                            const QString& message)
{
    // A job refused, or whose lock could not be made, was never started.
    if (m_job.name != jobName(names))
        m_job = describe(client, names, plan);
    m_job.ended = QDateTime::currentDateTimeUtc();
    m_job.outcome = outcomeOf(outcome);
    m_job.problem = message;
    m_job.logLines = client.form.logLines();
    if (m_job.id != 0)
        m_store.setEnded(m_job.id, m_job.outcome, m_job.ended, m_job.problem, m_job.logLines);
    else // not started, or its first record could not be stored: one more try, whole
        m_job.id = m_store.add(m_job);
}
