#include "spool/Submission.h"

#include "client/Client.h"
#include "i18n/CopyWindowTexts.h"
#include "platform/Cp1252.h"
#include "platform/FileTree.h"
#include "recipients/MemoryFiles.h"
#include "selection/Summary.h"
#include "spool/JobDescriptor.h"
#include "spool/JobName.h"
#include "spool/JobRemoval.h"
#include "util/CopyPlan.h"
#include "util/WatchedRun.h"

#include <QFile>
#include <optional>

namespace {

// The main window takes no input while the selection is copied, and gets it back
// however the copy ends.
class WindowDisabled {
public:
    explicit WindowDisabled(const std::function<void(bool)>& setEnabled) : m_setEnabled(setEnabled)
    {
        if (m_setEnabled)
            m_setEnabled(false);
    }
    ~WindowDisabled()
    {
        if (m_setEnabled)
            m_setEnabled(true);
    }
    WindowDisabled(const WindowDisabled&) = delete;
    WindowDisabled& operator=(const WindowDisabled&) = delete;

private:
    const std::function<void(bool)>& m_setEnabled;
};

} // namespace

namespace {

// What the descriptor, the lock and the message take beside the copies.
constexpr qint64 kJobEntriesBytes = kDescriptorSize + 2 * 4096;

// The entries of one job as they are made, so that a job that fails can be taken away
// again: what it made goes, the lock last. An entry counts as made once it was created
// (an entry that fails part way removes itself); a name someone else had taken is
// never removed.
struct JobWriter {
    explicit JobWriter(const Client& client)
        : fs(filetree::native()), uploadPath(client.state.UploadFolder),
          upload(fs.openFolder(QFile::encodeName(client.state.UploadFolder)))
    {
    }

    const filetree::FileSystem& fs;
    QString uploadPath;
    std::unique_ptr<filetree::Folder> upload;
    std::unique_ptr<filetree::Lock> lock;
    QString lockName;   // set once the lock file is made
    QStringList made;   // the entries made under the lock, in order
    CopyObserver observer; // the window's or the terminal's, with the stop asked for
    CopyProgress last;     // what it was told last
    bool lockLeft = false; // a failed job could not be removed whole: its lock stays

    // Runs a step's file work watched, as the copy is: a share that stalls is said so
    // (the work's own thread waits for it), and a Cancel or a stop is taken once it
    // answers. untilDone: the step runs to its end whatever the watcher says.
    void watched(const std::function<void()>& work, bool untilDone = false)
    {
        RunWatched([&](Activity&) { work(); },
                   [&](const Activity& activity) {
                       CopyProgress progress = last;
                       progress.silentSeconds = activity.silentMilliseconds() / 1000;
                       if (untilDone) {
                           try {
                               observer(progress);
                           } catch (const UserError&) {
                               // A stop asked for now comes too late: the job is complete.
                           }
                       } else if (!observer(progress)) {
                           throw CopyCancelled();
                       }
                   });
    }

    // The message for a job that failed with what: the failure, then whether the job
    // is gone. Removes everything the job made, the lock last; what cannot be removed
    // stays, and so does the lock, so the server never takes the job.
    QString removeAfter(const QString& what)
    {
        const QStringList newestFirst(made.rbegin(), made.rend());
        const JobRemoval removal = RemoveJob(fs, *upload, newestFirst, lockName, std::move(lock));
        lockLeft = false;
        if (removal.lockRemoved)
            return what + QStringLiteral("\nThe job was removed from the upload folder.");
        // Looked at again before anything is named as left: another program in the
        // shared folder may have taken part of the job (its lock above all) meanwhile.
        QStringList left;
        for (const QString& name : QStringList{lockName} + QStringList(removal.left.rbegin(), removal.left.rend()))
            if (!fs.isGone(*upload, QFile::encodeName(name)))
                left << name;
        if (left.isEmpty())
            return what + QStringLiteral("\nThe job was removed from the upload folder.");
        lockLeft = left.contains(lockName);
        if (removal.flushFailed && left == QStringList{lockName})
            return what + QStringLiteral("\nThe job was removed, but its lock stays in the upload folder %1: %2 (%3)")
                              .arg(uploadPath, lockName, removal.why);
        QString text = what + QStringLiteral("\nThe job could not be removed completely (%1); left in the upload folder %2: %3")
                                  .arg(removal.why, uploadPath, left.join(QStringLiteral(", ")));
        if (!left.contains(lockName))
            text += QStringLiteral("\nIts lock was removed by another program: the server may take what is left.");
        return text;
    }
};

// A job that must stop now, with the reason.
void stopIfRequested(const SubmissionHooks& hooks)
{
    if (!hooks.stopRequested)
        return;
    if (const QString why = hooks.stopRequested(); !why.isEmpty())
        throw UserError(why);
}

// The steps of a job, each announced by its status line. Names are plain file names
// in the upload folder; each entry is made new, never over or through another.

// CreateJobLock: the lock is on disk before any other entry of the job can be, and
// its writer holds it until it is removed.
bool CreateJobLock(Client& client, JobWriter& job, const QString& lockName)
{
    client.form.addStatusLine(client.texts[StatusCreatingLock]);
    job.watched([&] {
        job.lock = job.fs.createLock(
            *job.upload, QFile::encodeName(lockName),
            cp1252::encode(QStringLiteral("LOCK, do not remove: ") + lockName + QStringLiteral("\r\n")));
        job.lockName = lockName;
    });
    return true;
}

void WriteJobDescriptor(Client& client, JobWriter& job, const QString& descriptorName)
{
    client.form.addStatusLine(client.texts[StatusCreatingDescriptor]);
    JobDescriptor d;
    d.recipients = client.form.recipients();
    d.senderEmail = client.state.SenderEmail;
    d.senderName = client.state.SenderName;
    d.senderCompany = client.state.SenderCompany;
    d.subject = client.form.subjectText();
    d.encrypted = client.form.encr().checked;
    d.selfExtracting = client.form.sfx().checked;
    d.expireHours = client.form.expireText();
    const QByteArray bytes = EncodeJobDescriptor(d);
    job.watched([&] {
        job.fs.writeFile(*job.upload, QFile::encodeName(descriptorName), bytes, false);
        job.made.append(descriptorName);
    });
}

// The observer of the job's steps: a stop asked for (a signal) ends them, and the
// window or the terminal sees the progress.
CopyObserver jobObserver(const SubmissionHooks& hooks, CopyProgress* last)
{
    return [&hooks, last](const CopyProgress& progress) {
        *last = progress;
        stopIfRequested(hooks);
        return !hooks.copyObserver || hooks.copyObserver(progress);
    };
}

// Makes the job folder and copies the plan into it.
void CopySelectionToJob(Client& client, JobWriter& job, const CopyPlan& plan, const QString& folderName)
{
    client.form.addStatusLine(client.texts[StatusCopying]);
    std::unique_ptr<filetree::Folder> folder;
    job.watched([&] {
        folder = job.fs.makeFolder(*job.upload, QFile::encodeName(folderName));
        job.made.append(folderName);
    });
    CopyOptions options;
    options.workers = client.state.CopyWorkers > 0 ? client.state.CopyWorkers
                                                   : DefaultCopyWorkers(job.fs, QFile::encodeName(job.uploadPath));
    options.flush = false; // with the message, below
    ShellCopy(job.fs, plan, *folder, job.observer, options);
}

// Writes the message, then puts the whole job on disk.
void WriteJobMessage(Client& client, JobWriter& job, const QString& messageName)
{
    client.form.addStatusLine(client.texts[StatusCreatingMessage]);
    QString text;
    for (const QString& line : client.form.messageLines())
        text += line + QStringLiteral("\r\n");
    job.watched([&] {
        job.fs.writeFile(*job.upload, QFile::encodeName(messageName), cp1252::encode(text), false);
        job.made.append(messageName);
        // The descriptor, the copies and the message go to disk together, in one flush
        // of the upload folder's file system: the lock waits for all of them.
        job.fs.flush(*job.upload);
    });
}

// Deletes the lock file; true when it is gone. A lock that stays is reported (with
// the system's text and its name) through the prompter, and that text is left in *why.
bool ReleaseJobLock(Client& client, JobWriter& job, const QString& lockName, QString* why)
{
    QString error;
    job.watched([&] { error = job.fs.removeLock(*job.upload, QFile::encodeName(lockName), std::move(job.lock)); },
                true);
    if (error.isEmpty())
        return true;
    // The job stays locked and the program goes on, but the user learns why.
    *why = IoError(client.state.UploadFolder + lockName, error).message();
    client.prompter.error(*why);
    return false;
}

} // namespace

QString PlanRefusal(const Client& client, const CopyPlan& plan, const QString& jobFolder)
{
    if (!plan.problem.isEmpty())
        return QStringLiteral("Cannot send %1: %2.").arg(plan.problem.path, plan.problem.reason);
    const filetree::FileSystem& fs = filetree::native();
    const QByteArray upload = QFile::encodeName(client.state.UploadFolder);
    const filetree::Limits limits = fs.limits(upload);
    if (plan.longestNameItem >= 0 && plan.longestName > limits.name) {
        return QStringLiteral("Cannot send %1: its name is %2 bytes long, and the upload folder's file system "
                              "takes names of at most %3 bytes.")
            .arg(filetree::shown(plan.sourcePath(plan.longestNameItem)))
            .arg(plan.longestName)
            .arg(limits.name);
    }
    // The system's limit counts the closing zero byte.
    const qint64 longestPath = upload.size() + QFile::encodeName(jobFolder).size() + 1 + plan.longestPath;
    if (plan.longestPathItem >= 0 && longestPath >= limits.path) {
        return QStringLiteral("Cannot send %1: its path in the job, %2, is %3 bytes long, and the upload folder's "
                              "file system takes paths of at most %4 bytes.")
            .arg(filetree::shown(plan.sourcePath(plan.longestPathItem)), client.state.UploadFolder + jobFolder + u'/' +
                                                   plan.relativePath(plan.longestPathItem))
            .arg(longestPath)
            .arg(limits.path - 1);
    }
    const qint64 free = fs.freeBytes(upload);
    const qint64 needed = plan.allocated + kJobEntriesBytes;
    if (free >= 0 && needed > free)
        return QStringLiteral("Not enough room in the upload folder %1: the job needs %2 bytes, %3 bytes are free.")
            .arg(client.state.UploadFolder)
            .arg(needed)
            .arg(free);
    return {};
}

SubmissionResult SubmitJob(Client& client, const CopyPlan& plan, const SubmissionHooks& hooks)
{
    using End = SubmissionResult::End;
    const JobNames names = MakeJobName(client.state);
    const auto ended = [&](JobOutcome outcome, const QString& message) {
        if (hooks.observer)
            hooks.observer->jobEnded(client, names, plan, outcome, message);
    };
    // A job that did not come to its end stopped because a stop was asked for, or failed.
    const auto notWritten = [&](const QString& message) {
        const bool stopped = hooks.stopRequested && !hooks.stopRequested().isEmpty();
        return SubmissionResult{stopped ? End::Stopped : End::Failed, false, false, message};
    };
    // Whatever the plan cannot do is refused while nothing is written yet.
    if (const QString refusal = PlanRefusal(client, plan, names.folder); !refusal.isEmpty()) {
        ended(JobOutcome::Refused, refusal);
        return {End::Refused, false, false, refusal};
    }
    // Told to stop while a question was up: nothing of the job is begun.
    if (hooks.stopRequested) {
        if (const QString why = hooks.stopRequested(); !why.isEmpty())
            return {End::Stopped, false, false, why};
    }
    client.form.addStatusLine(QString());
    client.form.addStatusLine(QString());
    client.form.addStatusLine(client.texts[StatusProcessing]);
    std::optional<JobWriter> writer;
    try {
        writer.emplace(client);
    } catch (const UserError& e) {
        return notWritten(e.message()); // the upload folder cannot be opened: nothing was made
    }
    JobWriter& job = *writer;
    job.observer = jobObserver(hooks, &job.last);
    job.last.filesTotal = plan.files;
    job.last.bytesTotal = plan.bytes;
    bool released = false;
    QString lockError;
    if (hooks.observer)
        hooks.observer->jobStarted(client, names, plan);
    {
        // The main window takes no input while the job is written. Every byte of the
        // job is on disk before the lock goes (the message's step flushes the whole
        // job): a crash after "05 - Lock released" never hands the server a job with
        // missing data.
        const WindowDisabled disabled(hooks.setWindowEnabled);
        // What the job made is taken away again, the lock last, and the failure told.
        const auto removed = [&](const QString& what) {
            if (job.lockName.isEmpty()) {
                ended(JobOutcome::FailedRemoved, what); // nothing of the job was made
                return what;
            }
            const QString message = job.removeAfter(what);
            ended(job.lockLeft ? JobOutcome::FailedLocked : JobOutcome::FailedRemoved, message);
            return message;
        };
        try {
            if (CreateJobLock(client, job, names.lock)) {
                stopIfRequested(hooks);
                WriteJobDescriptor(client, job, names.descriptor);
                stopIfRequested(hooks);
                CopySelectionToJob(client, job, plan, names.folder);
                WriteJobMessage(client, job, names.message);
                stopIfRequested(hooks);
            }
        } catch (const CopyCancelled&) {
            // Said in the user's language.
            return notWritten(removed(CopyWindowTextsFor(client.state.LanguageName).cancelled));
        } catch (const UserError& e) {
            return notWritten(removed(e.message()));
        }
        released = ReleaseJobLock(client, job, names.lock, &lockError);
    }
    if (released)
        client.form.addStatusLine(client.texts[StatusLockReleased]);
    ended(released ? JobOutcome::Complete : JobOutcome::FailedLocked, lockError);
    return {End::Written, released, client.form.autoQuit(), {}};
}

SubmissionResult FinishJob(Client& client, const SubmissionHooks& hooks)
{
    SubmissionResult result;
    client.guarded([&] {
        SaveMessageCache(client);
        const SummaryResult summary = MakeSummary(client);
        if (!summary.mayGo) {
            const Slot reason = summary.reason == RefusalReason::TooLarge ? WarnTooLarge : WarnNothingSelected;
            client.prompter.plain(kApplicationTitle, client.texts[reason]);
            return;
        }
        // What the job file cannot carry is refused before anything is written.
        if (const QString refusal = JobRefusal(client, RefusalAudience::Window); !refusal.isEmpty()) {
            client.prompter.plain(kApplicationTitle, refusal);
            return;
        }
        if (const QString refusal = PlanRefusal(client, summary.plan, MakeJobName(client.state).folder);
            !refusal.isEmpty()) {
            client.prompter.plain(kApplicationTitle, refusal);
            return;
        }
        if (!client.prompter.confirm(client.texts[ConfirmSend]))
            return;
        result = SubmitJob(client, summary.plan, hooks);
        if (!result.message.isEmpty())
            client.prompter.error(result.message);
    });
    return result;
}
