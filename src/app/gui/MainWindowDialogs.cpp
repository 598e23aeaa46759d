// The dialogs the main window runs over itself (Settings, About, the address book,
// the question after a job), the job that Finish writes, and the Sent jobs window.
#include "app/gui/MainWindow.h"

#include "app/Startup.h"
#include "app/gui/CopyProgressWindow.h"
#include "app/gui/MessagePage.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/StopRequests.h"
#include "config/AboutValues.h"
#include "config/SettingsChoices.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/AfterSubmissionDialog.h"
#include "dialogs/SettingsDialog.h"
#include "recipients/PickerContacts.h"
#include "recipients/gui/ContactsPicker.h"
#include "sent/gui/SentJobs.h"
#include "spool/ProjectReset.h"
#include "spool/Submission.h"
#include "platform/gui/FramePlace.h"

#include <QPointer>
#include <QScopeGuard>

namespace {
// A disabled window loses its focus; this puts it back where it was once the window
// takes input again (after a dialog of ours, after a copy).
class FocusKept {
public:
    explicit FocusKept(QWidget* window) : m_window(window), m_focus(window->focusWidget()) {}
    ~FocusKept()
    {
        if (m_focus && m_window->isEnabled() && m_focus->isVisible())
            m_focus->setFocus(Qt::OtherFocusReason);
    }
    FocusKept(const FocusKept&) = delete;
    FocusKept& operator=(const FocusKept&) = delete;

private:
    QWidget* m_window;
    QPointer<QWidget> m_focus;
};
} // namespace

// Shown in the middle of the disabled main window; the events keep turning here until
// the dialog hides itself (OK, Cancel or its close box). The focus goes back where it was.
void MainWindow::waitForDialog(QWidget* dialog)
{
    const FocusKept focus(this);
    setEnabled(false);
    const auto enableAgain = qScopeGuard([this] {
        setEnabled(true);
        activateWindow();
    });
    CentreFrameOn(*dialog, frameGeometry().center());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    WaitWhile([dialog] { return dialog->isVisible(); });
}

void MainWindow::RunSettingsDialog()
{
    guarded([this] {
        if (!m_settings)
            return;
        m_settings->fill(FillSettingsChoices(m_client), m_client.texts, SettingsDialogTitle(m_client));
        waitForDialog(m_settings);
        m_client.state.FirstRun = false;
        if (!m_settings->applyAnswer())
            return;
        // A new language goes on the window at once; applying it places the controls
        // again, so the TO label keeps its right edge at the field whatever its width.
        ApplySettingsChoices(m_client, m_settings->choices(), [this](bool languageChanged) {
            if (languageChanged)
                ApplyLanguage();
        });
    });
}

void MainWindow::showAbout()
{
    if (m_about)
        m_about->showValues(ReadAboutValues(m_client));
}

void MainWindow::pickContacts()
{
    guarded([this] {
        if (!m_contacts)
            return;
        m_client.form.applyColorScheme(m_client.state.ColorScheme, true);
        // The address book is read afresh at every opening. A source that is missing or
        // fails part way is reported once, with what was skipped; the picker still
        // opens with what was read.
        const ContactReading reading =
            ReadPickerContacts(m_client.addressBook.get(), ContactSource::forUser(m_client.state));
        m_contacts->showContacts(reading.contacts);
        if (!reading.problems.isEmpty())
            m_client.prompter.error(reading.problems.join(u'\n'));
        m_contacts->setTexts(m_client.texts, m_client.state);
        waitForDialog(m_contacts);
        if (m_contacts->confirmed())
            m_messagePage->addPickedRecipients(m_contacts->chosenAddresses());
    });
}

void MainWindow::finish()
{
    // Paths handed over meanwhile wait until the job is written and answered for.
    m_jobRunning = true;
    const auto jobDone = qScopeGuard([this] {
        m_jobRunning = false;
        QMetaObject::invokeMethod(this, &MainWindow::addWaitingPaths, Qt::QueuedConnection);
    });
    guarded([this] {
        const FocusKept focus(this);
        // A signal or the session's end during the job removes the job, then ends the program.
        const StopRequests::JobScope job;
        SubmissionHooks hooks;
        hooks.stopRequested = [] { return StopRequests::reason(); };
        hooks.setWindowEnabled = [this](bool on) {
            StopRequests::setWriting(!on);
            if (on) {
                m_progress->finish();
                setEnabled(true);
            } else {
                setEnabled(false);
                m_progress->start(m_client.state.LanguageName, m_client.texts[CancelCaption]);
            }
        };
        hooks.copyObserver = m_progress->observer();
        hooks.observer = m_sentJobs->recorder();
        const SubmissionResult result = FinishJob(m_client, hooks);
        if (!result.written())
            return; // refused, failed or stopped: said already, and nothing follows
        if (result.autoQuit)
            QuitProgram(m_client, true); // saves and ends without asking
        else
            askWhatNext();
    });
}

// The question after a job: Reset, Continue or Quit, over the disabled window.
void MainWindow::askWhatNext()
{
    if (!m_afterSubmission)
        return;
    m_afterSubmission->prepare(m_client.texts);
    setEnabled(false);
    const auto enableAgain = qScopeGuard([this] {
        setEnabled(true);
        activateWindow();
    });
    m_afterSubmission->showOver(this);
    WaitWhile([this] { return m_afterSubmission->isVisible(); });
    switch (m_afterSubmission->choice()) {
    case AfterSubmissionDialog::Choice::Reset:
        // The remember settings as last confirmed decide what stays.
        ResetProject(m_client, m_client.state.RememberTo, m_client.state.RememberMessage);
        m_messagePage->joinRecipients();
        break;
    case AfterSubmissionDialog::Choice::Quit:
        QuitProgram(m_client, false); // a No goes on with everything kept
        break;
    case AfterSubmissionDialog::Choice::Continue:
    case AfterSubmissionDialog::Choice::None:
        break;
    }
}

void MainWindow::openSentJobs()
{
    guarded([this] { m_sentJobs->openWindow(); });
}
