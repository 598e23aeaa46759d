#include "spool/Submission.h"

#include "client/Client.h"
#include "i18n/CopyWindowTexts.h"
#include "platform/Cp1252.h"
#include "platform/FileTree.h"
#include "platform/WholeFile.h"
#include "recipients/MemoryFiles.h"
#include "selection/SelectionEntry.h"
#include "selection/Summary.h"
#include "spool/JobDescriptor.h"
#include "spool/JobName.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Writes a whole file, replacing any file of that name.
void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw IoError(path, file.errorString());
    writeWhole(file, bytes, path);
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw IoError(path, file.errorString());
}

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

bool CreateJobLock(Client& client, const QString& lockName)
{
    client.form.addStatusLine(client.texts[StatusCreatingLock]);
    const QString path = client.state.UploadFolder + lockName;
    writeFile(path, cp1252::encode(QStringLiteral("LOCK, do not remove: ") + lockName + QStringLiteral("\r\n")));
    // The lock is on disk before any other entry of the job can be.
    filetree::native().flushFile(path);
    return QFileInfo::exists(path);
}

void WriteJobDescriptor(Client& client, const QString& descriptorName)
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
    writeFile(client.state.UploadFolder + descriptorName, EncodeJobDescriptor(d));
}

void CopySelectionToJob(Client& client, const QString& folderName, const SubmissionHooks& hooks)
{
    client.form.addStatusLine(client.texts[StatusCopying]);
    const WindowDisabled disabled(hooks.setWindowEnabled);
    const QString folder = client.state.UploadFolder + folderName;
    filetree::native().makeFolder(folder);
    try {
        ShellCopy(SelectionSources(client.form.selection()), folder, hooks.copyObserver);
    } catch (const CopyCancelled&) {
        throw CopyCancelled(CopyWindowTextsFor(client.state.LanguageName).cancelled); // in the user's language
    }
}

void WriteJobMessage(Client& client, const QString& messageName)
{
    client.form.addStatusLine(client.texts[StatusCreatingMessage]);
    QString text;
    for (const QString& line : client.form.messageLines())
        text += line + QStringLiteral("\r\n");
    const QString path = client.state.UploadFolder + messageName;
    writeFile(path, cp1252::encode(text));
    // The descriptor and the copies were flushed with the copy; the message is the
    // last entry the lock waits for.
    filetree::native().flushFile(path);
}

bool ReleaseJobLock(Client& client, const QString& lockName)
{
    const QString path = client.state.UploadFolder + lockName;
    QFile lock(path);
    const bool removed = lock.remove();
    if (!QFileInfo::exists(path))
        return true;
    // The job stays locked and the program goes on, but the user learns why.
    client.prompter.error(IoError(path, removed ? QStringLiteral("The lock file is still there") : lock.errorString())
                              .message());
    return false;
}

bool SubmitJob(Client& client, const SubmissionHooks& hooks)
{
    const JobNames names = MakeJobName(client.state);
    client.form.addStatusLine(QString());
    client.form.addStatusLine(QString());
    client.form.addStatusLine(client.texts[StatusProcessing]);
    if (CreateJobLock(client, names.lock)) {
        WriteJobDescriptor(client, names.descriptor);
        CopySelectionToJob(client, names.folder, hooks);
        // Every byte of the job is on disk before the lock goes (the copy flushes
        // the descriptor and the folder, the message flushes itself): a crash after
        // "05 - Lock released" never hands the server a job with missing data.
        WriteJobMessage(client, names.message);
    }
    const bool released = ReleaseJobLock(client, names.lock);
    if (released)
        client.form.addStatusLine(client.texts[StatusLockReleased]);
    if (client.form.autoQuit()) {
        if (hooks.endProgram)
            hooks.endProgram(); // the window's ending throws: nothing below runs
        return released;
    }
    if (hooks.afterSubmission)
        hooks.afterSubmission();
    return released;
}

void FinishJob(Client& client, const SubmissionHooks& hooks)
{
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
        if (client.prompter.confirm(client.texts[ConfirmSend]))
            SubmitJob(client, hooks);
    });
}
