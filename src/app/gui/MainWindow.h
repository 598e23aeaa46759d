#pragma once
// The main window: the tab frame around the wizard's four pages (Welcome, Select
// files/folders, Add message, Send), with About and Sent jobs in its strip. The pages
// hold their own controls and ask for page moves, the quit question, the dialogs and
// Finish by signals; the window moves between the pages, starts and quits the program,
// runs the dialogs and the job, and takes files and folders from other programs.
#include "app/gui/QtTranslations.h"
#include "app/gui/SelectPage.h"
#include "client/Client.h"

#include <QWidget>
#include <memory>

#include <functional>

class QPushButton;
class QTabWidget;
class CopyProgressWindow;
class MessagePage;
class SendPage;
class WizardPage;
class SettingsDialog;
class AfterSubmissionDialog;
class ContactsPicker;
class AboutDialog;
class SentJobs;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Start-up runs here: the option stores are connected and the client starts.
    explicit MainWindow(Client& client, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setDialogs(SettingsDialog* settings, AfterSubmissionDialog* afterSubmission, ContactsPicker* contacts,
                    AboutDialog* about);
    // Top-level windows that already existed while start-up ran.
    int windowsAtCreate() const { return m_windowsAtCreate; }
    // The colour scheme the controls show (a stored number above 1 shows as 0).
    int colorScheme() const { return m_colorScheme; }

    // Files and folders the program was started with, or that a later start handed
    // over: added to the drop zone as dropped names are, with one message naming those
    // that do not exist. They wait while a dialog of ours is up or a job is being
    // written. A later start also brings the window to the front.
    enum class PathsFrom { Start, LaterStart };
    void openPaths(const QStringList& paths, PathsFrom from);

    // Where the hidden Add file and Add folder buttons take their paths from.
    using PathDialogs = SelectPage::PathDialogs;
    PathDialogs& pathDialogs();

public Q_SLOTS:
    // Puts the active language's texts on every control of the window (and Qt's own
    // texts in that language) and places the controls again; may run at any time.
    void ApplyLanguage();
    // Opens the Settings dialog over the disabled window and waits for its answer.
    void RunSettingsDialog();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void askToQuit();
    // Finish: the summary, the question and the job; then what the job's end asks for.
    void finish();
    void showAbout();
    void pickContacts();
    void openSentJobs();
    void pageShown(int index);

private:
    // The tab frame and the pages (MainWindow.cpp).
    void addPage(WizardPage* page, Page at);
    WizardPage* page(Page at) const;
    void showPage(Page page);
    Page currentPage() const;
    void stepPage(int step);
    void addPageKeys();
    void setTabOrders();
    void LayoutWizard();
    void placeInFace();
    void placeSentJobsButton();
    void applyColorScheme(int scheme, bool includePicker);
    // Start and quit (MainWindow.cpp).
    void loadClient();
    void showLoadedClient();
    void firstShown();
    void guarded(const std::function<void()>& body);
    // The dialogs and the job (MainWindowDialogs.cpp).
    void waitForDialog(QWidget* dialog);
    void askWhatNext();
    // Paths from other programs (MainWindowPaths.cpp).
    bool filterShellDrop(QEvent* event);
    void addWaitingPaths();
    void raiseWindow();

    Client& m_client;
    SettingsDialog* m_settings = nullptr;
    AfterSubmissionDialog* m_afterSubmission = nullptr;
    ContactsPicker* m_contacts = nullptr;
    AboutDialog* m_about = nullptr;
    CopyProgressWindow* m_progress;
    QtTranslations m_qtTranslations;
    int m_windowsAtCreate = 0;
    int m_colorScheme = 0;
    bool m_settingsPending = false;
    bool m_browserStarted = false;
    QStringList m_waitingPaths;  // handed over, dropped or given at start, not yet added
    qsizetype m_pathsTaken = 0;  // how many of them are added already
    QStringList m_missingPaths;  // of those, the ones that are not there: said at the end
    bool m_addingPaths = false;
    bool m_jobRunning = false;

    QWidget* m_topStrip;
    QTabWidget* m_pages;
    QPushButton* m_aboutButton;
    QPushButton* m_sentJobsButton;
    SelectPage* m_selectPage;
    MessagePage* m_messagePage;
    SendPage* m_sendPage;
    std::unique_ptr<SentJobs> m_sentJobs;
};
