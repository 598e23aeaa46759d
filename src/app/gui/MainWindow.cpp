#include "app/gui/MainWindow.h"

#include "app/Startup.h"
#include "app/gui/CopyProgressWindow.h"
#include "app/gui/StopRequests.h"
#include "app/gui/LabelledEdit.h"
#include "app/gui/MessagePage.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/SendPage.h"
#include "config/AboutValues.h"
#include "config/SettingsChoices.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/AfterSubmissionDialog.h"
#include "dialogs/SettingsDialog.h"
#include "recipients/ContactSource.h"
#include "recipients/gui/ContactsPicker.h"
#include "selection/Summary.h"
#include "selection/gui/DropZone.h"
#include "selection/gui/ShellBrowser.h"
#include "sent/gui/SentJobs.h"
#include "spool/JobOptions.h"
#include "spool/ProjectReset.h"
#include "spool/Submission.h"
#include "platform/Text.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// The local files and folders a drop carries, in the order given.
QStringList localPaths(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const auto urls = mime->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

// A drop from another program (not from one of our own widgets) carrying local names.
bool isShellFileDrop(const QDropEvent* event)
{
    return event->source() == nullptr && !localPaths(event->mimeData()).isEmpty();
}

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

MainWindow::MainWindow(Client& client, QWidget* parent)
    : QWidget(parent), m_client(client)
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(832, 600);
    setMinimumSize(700, 600);
    setAcceptDrops(true);

    // Start-up first: it needs no control, and it is mostly waiting for files while
    // the font database fills on a thread of its own (the program sets that off), which
    // every control with a text waits for.
    loadClient();
    m_progress = new CopyProgressWindow;
    m_sentJobs = std::make_unique<SentJobs>(m_client, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_topStrip = new QWidget(this);
    m_topStrip->setObjectName(QStringLiteral("Panel6"));
    m_topStrip->setFixedHeight(4);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PC"));
    m_pages->setDocumentMode(true);
    layout->addWidget(m_topStrip);
    layout->addWidget(m_pages, 1);

    m_aboutButton = new QPushButton(QStringLiteral("About"), m_pages);
    m_aboutButton->setObjectName(QStringLiteral("Babout"));
    m_aboutButton->setFixedSize(60, 20);
    m_pages->setCornerWidget(aboutCorner(), Qt::TopRightCorner);

    buildWelcomePage();
    buildSelectPage();
    buildMessagePage();
    buildSendPage();
    buildSentJobsButton();
    bindForm();
    setTabOrders();
    addPageKeys();

    // File names dropped from other programs count on every page, whichever control
    // is under the mouse.
    const auto children = findChildren<QWidget*>();
    for (QWidget* w : children)
        w->installEventFilter(this);

    showLoadedClient();
    LayoutWizard();
}

MainWindow::~MainWindow() { delete m_progress; }

MainWindow::PathDialogs& MainWindow::pathDialogs() { return m_selectPage->pathDialogs(); }

void MainWindow::setDialogs(SettingsDialog* settings, AfterSubmissionDialog* afterSubmission,
                            ContactsPicker* contacts, AboutDialog* about)
{
    m_settings = settings;
    m_afterSubmission = afterSubmission;
    m_contacts = contacts;
    m_about = about;
}

void MainWindow::guarded(const std::function<void()>& body) { GuiGuarded(m_client, body); }

// ---------------------------------------------------------------- start, show, quit

void MainWindow::loadClient()
{
    m_windowsAtCreate = 0;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w != this)
            ++m_windowsAtCreate;
    }
    m_client.state.StartupFailed = false;
    ConnectOptionStores(m_client);
    guarded([this] { StartClient(m_client); });
}

void MainWindow::showLoadedClient()
{
    if (ProgramEnd::requested())
        return;
    showFormValues();
    // The scheme was applied while loading, before there were controls to colour.
    applyColorScheme(m_client.state.ColorScheme, false);
    setWindowTitle(MainWindowCaption(m_client.state));
    // An unusable upload folder was reported by the probe; the program ends here.
    if (m_client.state.StartupFailed)
        ProgramEnd::request(0);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        firstShown();
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // The file browser fills once the window is on screen: what the first paint shows
    // needs no folder listing, and the listing arrives a moment later anyway.
    if (!m_browserStarted) {
        m_browserStarted = true;
        QMetaObject::invokeMethod(m_selectPage, &SelectPage::startListing, Qt::QueuedConnection);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutWizard();
}

void MainWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        m_client.form.setWindowVisible(false);
}

void MainWindow::firstShown()
{
    guarded([this] {
        m_client.form.setWindowVisible(true);
        ApplyLanguage();
        focusFirstField(currentPage());
        // Jobs sent before are watched once the window is on screen.
        m_sentJobs->startWatching(1000);
        // The first start's Settings dialog opens once the window is on screen.
        if (m_client.state.FirstRun && !m_settingsPending) {
            m_settingsPending = true;
            QMetaObject::invokeMethod(this, [this] {
                m_settingsPending = false;
                if (m_client.state.FirstRun)
                    RunSettingsDialog();
            }, Qt::QueuedConnection);
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The program ends only through the quit question (or auto-quit); a window that
    // is disabled (a dialog is up, a job is being copied) does not take the close.
    event->ignore();
    if (!isEnabled())
        return;
    guarded([this] { QuitProgram(m_client, false); });
}

void MainWindow::RunSettingsDialog()
{
    guarded([this] {
        if (!m_settings)
            return;
        m_settings->fill(FillSettingsChoices(m_client), m_client.texts, SettingsDialogTitle(m_client));
        {
            // Shown over the disabled main window; the events keep turning here until
            // the dialog hides itself with OK, Cancel or its close box.
            const FocusKept focus(this);
            setEnabled(false);
            const auto enableAgain = qScopeGuard([this] {
                setEnabled(true);
                activateWindow();
            });
            centreOnWindow(m_settings);
            m_settings->show();
            m_settings->raise();
            m_settings->activateWindow();
            WaitWhile([this] { return m_settings->isVisible(); });
        }
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

// ---------------------------------------------------------------- page moves

void MainWindow::showPage(Page page) { m_pages->setCurrentIndex(int(page)); }
Page MainWindow::currentPage() const { return Page(m_pages->currentIndex()); }

void MainWindow::goToSelectPage() { showPage(Page::Select); }
void MainWindow::goToWelcomePage() { showPage(Page::Welcome); }
void MainWindow::goToMessagePage() { showPage(Page::Message); }

void MainWindow::askToQuit() { guarded([this] { QuitProgram(m_client, false); }); }

void MainWindow::centreOnWindow(QWidget* dialog)
{
    QRect frame = dialog->frameGeometry();
    frame.moveCenter(frameGeometry().center());
    dialog->move(frame.topLeft());
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
        const ContactReading reading = ContactSource::forUser(m_client.state).read();
        m_contacts->showContacts(reading.contacts);
        if (!reading.problems.isEmpty())
            m_client.prompter.error(reading.problems.join(u'\n'));
        m_contacts->setTexts(m_client.texts, m_client.state);
        {
            const FocusKept focus(this);
            setEnabled(false);
            const auto enableAgain = qScopeGuard([this] {
                setEnabled(true);
                activateWindow();
            });
            centreOnWindow(m_contacts);
            m_contacts->show();
            m_contacts->raise();
            m_contacts->activateWindow();
            WaitWhile([this] { return m_contacts->isVisible(); });
        }
        if (!m_contacts->confirmed())
            return;
        m_messagePage->addPickedRecipients(m_contacts->chosenAddresses());
    });
}

void MainWindow::pageShown(int index)
{
    placeSentJobsButton();
    const Page page = Page(index);
    if (page == Page::Select && isVisible())
        m_selectPage->startListing();
    // Showing the message page or the send page closes the recipient list.
    if (page == Page::Message || page == Page::Send)
        m_messagePage->joinRecipients();
    if (page == Page::Send)
        m_sendPage->shown();
    focusFirstField(page);
}

void MainWindow::stepPage(int step)
{
    const int count = m_pages->count();
    m_pages->setCurrentIndex((m_pages->currentIndex() + step + count) % count);
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

// ---------------------------------------------------------------- mouse and drops

void MainWindow::addDroppedNames(const QStringList& names)
{
    guarded([&] { m_selectPage->addPaths(names); });
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    // A click on the window's background closes the recipient list.
    m_messagePage->joinRecipients();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (isShellFileDrop(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (isShellFileDrop(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (!isShellFileDrop(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    addDroppedNames(localPaths(event->mimeData()));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!isShellFileDrop(drop))
            return false;
        if (event->type() == QEvent::Drop)
            dropEvent(drop);
        else
            drop->acceptProposedAction();
        return true;
    }
    case QEvent::Move:
        if (watched == m_aboutButton || watched == m_aboutButton->parentWidget())
            placeSentJobsButton(); // the tab strip placed About
        return false;
    default:
        return false;
    }
}
