#pragma once
// The main window: a four-page wizard (Welcome, Select files/folders, Add message,
// Send). Every control is bound to the client's form both ways; the handlers only
// wire controls to the program's operations.
#include "client/Client.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QListWidget;
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
class Tfsettings;
class Tpost;
class Tadr;
class Tparvelaclientabout;

class TPVX : public QWidget {
    Q_OBJECT
public:
    // FormCreate runs here: the option stores are connected and start-up runs.
    explicit TPVX(Client& client, QWidget* parent = nullptr);
    ~TPVX() override;

    Client& client() const { return m_client; }
    void setDialogs(Tfsettings* settings, Tpost* post, Tadr* adr, Tparvelaclientabout* about);
    // Top-level windows that already existed while start-up ran.
    int windowsAtCreate() const { return m_windowsAtCreate; }
    CopyProgressWindow* progressWindow() const { return m_progress; }
    int colorScheme() const { return m_colorScheme; }

    QWidget* Panel6;
    QTabWidget* PC;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QPushButton* Babout;
    // Welcome
    QTextEdit* REwelcome;
    QWidget* Panel2;
    QCheckBox* CBskipw;
    QPushButton* Bsettings;
    QPushButton* Bprev1;
    QPushButton* Bnext1;
    // Select files/folders
    QWidget* Panel3;
    QLabel* LabelSelectfileFolder;
    QLabel* Lselectfilefolder;
    QLabel* LabelDropzone;
    ShellBrowser* Browser;
    QComboBox* ShellComboBox1;
    QTreeView* ShellListView1;
    QTreeView* ShellTreeView1;
    QPushButton* BitBtn1;
    QPushButton* BBadd;
    QSplitter* Splitter3;
    DropZoneList* CLB;
    QWidget* Panel1;
    QPushButton* Bfile;
    QPushButton* Bfolder;
    QPushButton* Bdel;
    QPushButton* Bprev2;
    QPushButton* Bnext2;
    // Add message
    QWidget* TopPanel;
    ClickLabel* lto;
    LabelledEdit* LEto;
    QPushButton* Badr;
    LabelledEdit* LEfrom;
    LabelledEdit* LEsubject;
    QPlainTextEdit* RE;
    QListWidget* Mto;
    QWidget* Panel4;
    QCheckBox* CBencr;
    QCheckBox* CBsfx;
    LabelledEdit* LEexp;
    QPushButton* Bexpapl;
    QPushButton* Button1;
    QPushButton* Button4;
    QPushButton* Bprev3;
    QPushButton* Bnext3;
    // Send
    QPlainTextEdit* REsent;
    QWidget* Panel5;
    QPushButton* Bsummary;
    QCheckBox* CBautoquit;
    QPushButton* Bquit;
    QPushButton* Bprev4;
    QPushButton* Bnext4;

    static constexpr int kMessageLimit = 4000;

public Q_SLOTS:
    void ApplyLanguage();
    void RunSettingsDialog();
    void JoinRecipients();

    void Bnext1Click();
    void Bprev1Click();
    void Bprev2Click();
    void Bnext2Click();
    void Bprev3Click();
    void Bnext3Click();
    void Bprev4Click();
    void Bnext4Click();
    void BquitClick();
    void BsummaryClick();
    void BsettingsClick();
    void BaboutClick();
    void TabSheet3Show();
    void TabSheet4Show();

    void BBaddClick();
    void CLBDragDrop();
    void scFileDrop1Drop(const QStringList& names);
    void BfileClick();
    void BfolderClick();
    void BdelClick();
    void Delete2Click();
    void BexpaplClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWelcomePage();
    void buildSelectPage();
    void buildMessagePage();
    void buildSendPage();
    void bindForm();
    void showFormValues();
    void FormCreate();
    void FormShow();
    void guarded(const std::function<void()>& body);
    void deleteSelectedEntries();
    void addAddress();
    void showRecipientList();
    void placeRecipientList();
    bool LEexpKeyPress(QKeyEvent* event);
    void applyColorScheme(int scheme, bool includePicker);
    void showMessageInEditor();

    Client& m_client;
    Tfsettings* m_settings = nullptr;
    Tpost* m_post = nullptr;
    Tadr* m_adr = nullptr;
    Tparvelaclientabout* m_about = nullptr;
    CopyProgressWindow* m_progress;
    int m_windowsAtCreate = 0;
    int m_colorScheme = 0;
    bool m_recipientListInUse = false;
    QString m_toTextOnEnter;
    bool m_settingsPending = false;
};
