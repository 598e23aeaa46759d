#pragma once
// The main window: a four-page wizard (Welcome, Select files/folders, Add message,
// Send). Every control is bound to the client's form both ways; the handlers only
// wire controls to the program's operations.
#include "app/gui/QtTranslations.h"
#include "app/gui/SelectPage.h"
#include "client/Client.h"

#include <QWidget>
#include <memory>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTextEdit;
class QComboBox;
class QTreeView;
class ClickLabel;
class LabelledEdit;
class DropZoneList;
class ShellBrowser;
class CopyProgressWindow;
class MessageEditor;
class SettingsDialog;
class AfterSubmissionDialog;
class ContactsPicker;
class AboutDialog;
class SentJobs;
class WelcomePage;
class SendPage;
class MessagePage;

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
    void goToWelcomePage();
    void goToSelectPage();
    void goToMessagePage();
    void askToQuit();
    void finish();
    void showAbout();
    void pickContacts();

    void addDroppedNames(const QStringList& names);
    void pageShown(int index);
    void stepPage(int step);
    void openSentJobs();

private:
    // The page on screen.
    void showPage(Page page);
    Page currentPage() const;
    // The pages (MainWindowPages.cpp).
    void buildWelcomePage();
    void buildSelectPage();
    void buildMessagePage();
    void buildSendPage();
    void bindForm();
    void showFormValues();
    // Placements, tab order, first fields, names for assistive tools (MainWindowLayout.cpp).
    void LayoutWizard();
    QWidget* aboutCorner();
    void setTabOrders();
    void addPageKeys();
    void focusFirstField(Page page);
    // The record of sent jobs (MainWindowSent.cpp): its button in the tab strip beside
    // About, shown on the Send page, and its key.
    void buildSentJobsButton();
    void placeSentJobsButton();

    void loadClient();
    void showLoadedClient();
    void firstShown();
    void guarded(const std::function<void()>& body);
    void askWhatNext();
    void applyColorScheme(int scheme, bool includePicker);
    void centreOnWindow(QWidget* dialog);
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
    QStringList m_waitingPaths;
    bool m_addingPaths = false;
    bool m_jobRunning = false;

    QWidget* m_topStrip;
    QTabWidget* m_pages;
    QPushButton* m_aboutButton;
    WelcomePage* m_welcomePage;
    SelectPage* m_selectPage;
    MessagePage* m_messagePage;
    SendPage* m_sendPage;
    // Sent jobs
    std::unique_ptr<SentJobs> m_sentJobs;
    QPushButton* m_sentJobsButton;
};
