#include "app/gui/pvx_pas.h"

#include "app/Startup.h"
#include "app/gui/CopyProgressWindow.h"
#include "app/gui/LabelledEdit.h"
#include "app/gui/ProgramEnd.h"
#include "dialogs/parvelaclient_about.h"
#include "dialogs/pvx_settings.h"
#include "platform/Errors.h"
#include "selection/SelectionEntry.h"
#include "selection/Summary.h"
#include "selection/gui/DropZone.h"
#include "selection/gui/ShellBrowser.h"
#include "spool/JobOptions.h"
#include "spool/Submission.h"
#include "platform/Text.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 25;
constexpr int kPanelHeight = 41;
constexpr int kEditLabelWidth = 84;

QPushButton* wizardButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setFixedSize(kButtonWidth, kButtonHeight);
    return b;
}

// A bottom panel of a page: 41 pixels high, across the page.
QWidget* bottomPanel(const QString& name, QWidget* parent, QHBoxLayout** layout)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(kPanelHeight);
    *layout = new QHBoxLayout(panel);
    (*layout)->setContentsMargins(10, 8, 16, 8);
    (*layout)->setSpacing(16);
    return panel;
}

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

QStringList editorLines(const QPlainTextEdit* editor)
{
    const QString text = editor->toPlainText();
    if (text.isEmpty())
        return {};
    return text.split(u'\n');
}
} // namespace

TPVX::TPVX(Client& client, QWidget* parent) : QWidget(parent), m_client(client), m_progress(new CopyProgressWindow)
{
    setObjectName(QStringLiteral("TPVX"));
    resize(832, 600);
    setMinimumSize(700, 600);
    setAcceptDrops(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Panel6 = new QWidget(this);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    Panel6->setFixedHeight(4);
    PC = new QTabWidget(this);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setDocumentMode(true);
    layout->addWidget(Panel6);
    layout->addWidget(PC, 1);

    Babout = new QPushButton(QStringLiteral("About"), PC);
    Babout->setObjectName(QStringLiteral("Babout"));
    Babout->setFixedSize(60, 20);
    PC->setCornerWidget(Babout, Qt::TopRightCorner);

    buildWelcomePage();
    buildSelectPage();
    buildMessagePage();
    buildSendPage();
    bindForm();

    // File names dropped from other programs count on every page, whichever control
    // is under the mouse.
    const auto children = findChildren<QWidget*>();
    for (QWidget* w : children)
        w->installEventFilter(this);

    FormCreate();
}

TPVX::~TPVX() { delete m_progress; }

void TPVX::setDialogs(Tfsettings* settings, Tpost* post, Tadr* adr, Tparvelaclientabout* about)
{
    m_settings = settings;
    m_post = post;
    m_adr = adr;
    m_about = about;
}

void TPVX::guarded(const std::function<void()>& body) { GuiGuarded(m_client, body); }

// ---------------------------------------------------------------- building the pages

void TPVX::buildWelcomePage()
{
    TabSheet1 = new QWidget(PC);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PC->addTab(TabSheet1, QStringLiteral("Welcome"));
    auto* page = new QVBoxLayout(TabSheet1);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    REwelcome = new QTextEdit(TabSheet1);
    REwelcome->setObjectName(QStringLiteral("REwelcome"));
    REwelcome->setReadOnly(true);
    page->addWidget(REwelcome, 1);

    QHBoxLayout* row;
    Panel2 = bottomPanel(QStringLiteral("Panel2"), TabSheet1, &row);
    CBskipw = new QCheckBox(QStringLiteral("Skip welcome screen"), Panel2);
    CBskipw->setObjectName(QStringLiteral("CBskipw"));
    Bsettings = wizardButton(QStringLiteral("Bsettings"), QStringLiteral("Settings"), Panel2);
    Bprev1 = wizardButton(QStringLiteral("Bprev1"), QStringLiteral("Quit"), Panel2);
    Bnext1 = wizardButton(QStringLiteral("Bnext1"), QStringLiteral("Next"), Panel2);
    row->addWidget(CBskipw);
    row->addStretch(1);
    row->addWidget(Bsettings);
    row->addWidget(Bprev1);
    row->addWidget(Bnext1);
    page->addWidget(Panel2);

    connect(Bnext1, &QPushButton::clicked, this, &TPVX::Bnext1Click);
    connect(Bprev1, &QPushButton::clicked, this, &TPVX::Bprev1Click);
    connect(Bsettings, &QPushButton::clicked, this, &TPVX::BsettingsClick);
    connect(Babout, &QPushButton::clicked, this, &TPVX::BaboutClick);
}

void TPVX::buildSelectPage()
{
    TabSheet2 = new QWidget(PC);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PC->addTab(TabSheet2, QStringLiteral("Select files/folders"));
    auto* page = new QVBoxLayout(TabSheet2);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    Panel3 = new QWidget(TabSheet2);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* top = new QVBoxLayout(Panel3);
    top->setContentsMargins(8, 6, 8, 4);
    top->setSpacing(4);
    LabelSelectfileFolder = new QLabel(Panel3);
    LabelSelectfileFolder->setObjectName(QStringLiteral("LabelSelectfileFolder"));
    LabelSelectfileFolder->setWordWrap(true);
    Lselectfilefolder = new QLabel(Panel3);
    Lselectfilefolder->setObjectName(QStringLiteral("Lselectfilefolder"));
    QFont heading = Lselectfilefolder->font();
    heading.setBold(true);
    Lselectfilefolder->setFont(heading);
    top->addWidget(LabelSelectfileFolder);
    top->addWidget(Lselectfilefolder);

    Splitter3 = new QSplitter(Qt::Horizontal, Panel3);
    Splitter3->setObjectName(QStringLiteral("Splitter3"));
    Browser = new ShellBrowser(Splitter3);
    ShellComboBox1 = Browser->pathBox();
    ShellListView1 = Browser->listView();
    ShellTreeView1 = Browser->treeView();
    BitBtn1 = Browser->upButton();
    BBadd = Browser->addButton();

    // The drop zone's title stays over the left edge of the list, wherever the
    // splitter puts it.
    auto* zone = new QWidget(Splitter3);
    zone->setObjectName(QStringLiteral("PanelDropzone"));
    auto* zoneLayout = new QVBoxLayout(zone);
    zoneLayout->setContentsMargins(0, 0, 0, 0);
    zoneLayout->setSpacing(2);
    LabelDropzone = new QLabel(QStringLiteral("Drop zone"), zone);
    LabelDropzone->setObjectName(QStringLiteral("LabelDropzone"));
    LabelDropzone->setMinimumHeight(ShellComboBox1->sizeHint().height());
    CLB = new DropZoneList(zone);
    CLB->setDragSource(ShellListView1);
    zoneLayout->addWidget(LabelDropzone);
    zoneLayout->addWidget(CLB, 1);
    Splitter3->addWidget(Browser);
    Splitter3->addWidget(zone);
    Splitter3->setStretchFactor(0, 1);
    Splitter3->setStretchFactor(1, 1);
    Splitter3->setChildrenCollapsible(false);
    top->addWidget(Splitter3, 1);
    page->addWidget(Panel3, 1);

    QHBoxLayout* row;
    Panel1 = bottomPanel(QStringLiteral("Panel1"), TabSheet2, &row);
    Bfile = wizardButton(QStringLiteral("Bfile"), QStringLiteral("Add file"), Panel1);
    Bfolder = wizardButton(QStringLiteral("Bfolder"), QStringLiteral("Add folder"), Panel1);
    Bfile->hide();
    Bfolder->hide();
    Bdel = wizardButton(QStringLiteral("Bdel"), QStringLiteral("Delete"), Panel1);
    Bprev2 = wizardButton(QStringLiteral("Bprev2"), QStringLiteral("Previous"), Panel1);
    Bnext2 = wizardButton(QStringLiteral("Bnext2"), QStringLiteral("Next"), Panel1);
    row->addWidget(Bfile);
    row->addWidget(Bfolder);
    row->addStretch(1);
    row->addWidget(Bdel);
    row->addWidget(Bprev2);
    row->addWidget(Bnext2);
    page->addWidget(Panel1);

    connect(Browser, &ShellBrowser::addClicked, this, &TPVX::BBaddClick);
    connect(Browser, &ShellBrowser::pathRejected, this, [this](const QString& path) {
        guarded([&] { throw UserError(QStringLiteral("The folder \"%1\" does not exist.").arg(path)); });
    });
    connect(CLB, &DropZoneList::browserItemsDropped, this, &TPVX::CLBDragDrop);
    connect(CLB, &DropZoneList::deleteRequested, this, &TPVX::Delete2Click);
    connect(Bdel, &QPushButton::clicked, this, &TPVX::BdelClick);
    connect(Bfile, &QPushButton::clicked, this, &TPVX::BfileClick);
    connect(Bfolder, &QPushButton::clicked, this, &TPVX::BfolderClick);
    connect(Bprev2, &QPushButton::clicked, this, &TPVX::Bprev2Click);
    connect(Bnext2, &QPushButton::clicked, this, &TPVX::Bnext2Click);
}

void TPVX::buildMessagePage()
{
    TabSheet3 = new QWidget(PC);
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PC->addTab(TabSheet3, QStringLiteral("Add message"));
    auto* page = new QVBoxLayout(TabSheet3);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    TopPanel = new QWidget(TabSheet3);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFixedHeight(121);
    auto* grid = new QGridLayout(TopPanel);
    grid->setContentsMargins(4, 12, 36, 8);
    grid->setHorizontalSpacing(4);
    LEfrom = new LabelledEdit(QStringLiteral("LEfrom"), kEditLabelWidth, TopPanel);
    LEfrom->setLabelText(QStringLiteral("From:"));
    lto = new ClickLabel(QStringLiteral("To:"), TopPanel);
    lto->setObjectName(QStringLiteral("lto"));
    lto->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lto->setFixedWidth(kEditLabelWidth);
    // The TO field's own label stays empty; lto stands beside it.
    LEto = new LabelledEdit(QStringLiteral("LEto"), 0, TopPanel);
    LEto->subLabel()->hide();
    Badr = new QPushButton(QStringLiteral("Address book"), TopPanel);
    Badr->setObjectName(QStringLiteral("Badr"));
    Badr->setFixedWidth(kButtonWidth);
    LEsubject = new LabelledEdit(QStringLiteral("LEsubject"), kEditLabelWidth, TopPanel);
    LEsubject->setLabelText(QStringLiteral("Subject:"));
    auto* toRow = new QHBoxLayout;
    toRow->setSpacing(4);
    toRow->addWidget(lto);
    toRow->addWidget(LEto, 1);
    toRow->addWidget(Badr);
    grid->addWidget(LEfrom, 0, 0);
    grid->addLayout(toRow, 1, 0);
    grid->addWidget(LEsubject, 2, 0);
    page->addWidget(TopPanel);

    RE = new QPlainTextEdit(TabSheet3);
    RE->setObjectName(QStringLiteral("RE"));
    RE->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->addWidget(RE, 1);

    // The recipient list drops down over the message, just below the TO field.
    Mto = new QListWidget(TabSheet3);
    Mto->setObjectName(QStringLiteral("Mto"));
    Mto->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Mto->setFocusPolicy(Qt::ClickFocus);
    Mto->hide();

    QHBoxLayout* row;
    Panel4 = bottomPanel(QStringLiteral("Panel4"), TabSheet3, &row);
    CBencr = new QCheckBox(QStringLiteral("Encrypted"), Panel4);
    CBencr->setObjectName(QStringLiteral("CBencr"));
    CBsfx = new QCheckBox(QStringLiteral("SFX"), Panel4);
    CBsfx->setObjectName(QStringLiteral("CBsfx"));
    LEexp = new LabelledEdit(QStringLiteral("LEexp"), 0, Panel4);
    LEexp->setLabelText(QStringLiteral("Expire (hours):"));
    LEexp->edit()->setMaxLength(5);
    LEexp->edit()->setFixedWidth(50);
    // Typed keys are filtered below; the validator keeps pasted text to digits too.
    LEexp->edit()->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), LEexp->edit()));
    LEexp->edit()->installEventFilter(this);
    Bexpapl = new QPushButton(QStringLiteral("Apply"), Panel4);
    Bexpapl->setObjectName(QStringLiteral("Bexpapl"));
    Bexpapl->setEnabled(false);
    Button1 = new QPushButton(Panel4);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->hide();
    Button4 = new QPushButton(Panel4);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->hide();
    Bprev3 = wizardButton(QStringLiteral("Bprev3"), QStringLiteral("Previous"), Panel4);
    Bnext3 = wizardButton(QStringLiteral("Bnext3"), QStringLiteral("Next"), Panel4);
    row->addWidget(CBencr);
    row->addWidget(CBsfx);
    row->addWidget(LEexp);
    row->addWidget(Bexpapl);
    row->addWidget(Button1);
    row->addWidget(Button4);
    row->addStretch(1);
    row->addWidget(Bprev3);
    row->addWidget(Bnext3);
    page->addWidget(Panel4);

    connect(Bprev3, &QPushButton::clicked, this, &TPVX::Bprev3Click);
    connect(Bnext3, &QPushButton::clicked, this, &TPVX::Bnext3Click);
    connect(Bexpapl, &QPushButton::clicked, this, &TPVX::BexpaplClick);
    // Clicks elsewhere on the page close the recipient drop-down.
    for (LabelledEdit* e : {LEfrom, LEsubject, LEexp}) {
        connect(e, &LabelledEdit::clicked, this, &TPVX::JoinRecipients);
        connect(e, &LabelledEdit::subLabelClicked, this, &TPVX::JoinRecipients);
    }
    connect(lto, &ClickLabel::clicked, this, &TPVX::JoinRecipients);
    connect(LEto->edit(), &QLineEdit::returnPressed, this, [this] {
        guarded([this] {
            if (!LEto->text().isEmpty())
                addAddress();
        });
    });
    connect(LEto, &LabelledEdit::clicked, this, [this] {
        if (!m_client.form.recipients().isEmpty())
            m_recipientListInUse = true;
        if (m_recipientListInUse) {
            LEto->setText(QString());
            showRecipientList();
        }
    });
    RE->viewport()->installEventFilter(this);
    TabSheet3->installEventFilter(this);
    LEto->edit()->installEventFilter(this);
    LEsubject->edit()->installEventFilter(this);
}

void TPVX::buildSendPage()
{
    TabSheet4 = new QWidget(PC);
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    PC->addTab(TabSheet4, QStringLiteral("Send"));
    auto* page = new QVBoxLayout(TabSheet4);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    REsent = new QPlainTextEdit(TabSheet4);
    REsent->setObjectName(QStringLiteral("REsent"));
    REsent->setReadOnly(true);
    REsent->setLineWrapMode(QPlainTextEdit::NoWrap);
    REsent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    REsent->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->addWidget(REsent, 1);

    QHBoxLayout* row;
    Panel5 = bottomPanel(QStringLiteral("Panel5"), TabSheet4, &row);
    Bsummary = wizardButton(QStringLiteral("Bsummary"), QStringLiteral("Summary"), Panel5);
    CBautoquit = new QCheckBox(QStringLiteral("Done / Quit"), Panel5);
    CBautoquit->setObjectName(QStringLiteral("CBautoquit"));
    Bquit = wizardButton(QStringLiteral("Bquit"), QStringLiteral("Quit"), Panel5);
    Bprev4 = wizardButton(QStringLiteral("Bprev4"), QStringLiteral("Previous"), Panel5);
    Bnext4 = wizardButton(QStringLiteral("Bnext4"), QStringLiteral("Finish"), Panel5);
    Bnext4->setEnabled(false);
    row->addWidget(Bsummary);
    row->addStretch(1);
    row->addWidget(CBautoquit);
    row->addWidget(Bquit);
    row->addWidget(Bprev4);
    row->addWidget(Bnext4);
    page->addWidget(Panel5);

    connect(Bsummary, &QPushButton::clicked, this, &TPVX::BsummaryClick);
    connect(Bquit, &QPushButton::clicked, this, &TPVX::BquitClick);
    connect(Bprev4, &QPushButton::clicked, this, &TPVX::Bprev4Click);
    connect(Bnext4, &QPushButton::clicked, this, &TPVX::Bnext4Click);
    connect(PC, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 2)
            TabSheet3Show();
        else if (index == 3)
            TabSheet4Show();
    });
}

// ---------------------------------------------------------------- the form, both ways

void TPVX::bindForm()
{
    ClientForm& form = m_client.form;
    // Options: checked and changeable. A box's own disabled state (a lock) is what
    // counts, not the window's while a dialog is up.
    auto bindOption = [this, &form](QCheckBox* box, ClientForm::Option (ClientForm::*get)() const,
                                    void (ClientForm::*set)(ClientForm::Option), void (ClientForm::*changed)()) {
        connect(box, &QCheckBox::toggled, this, [this, box, &form, set](bool on) {
            (form.*set)({on, box->isEnabledTo(this)});
        });
        connect(&form, changed, box, [box, &form, get] {
            const ClientForm::Option o = (form.*get)();
            box->setEnabled(o.enabled);
            box->setChecked(o.checked);
        });
    };
    bindOption(CBencr, &ClientForm::encr, &ClientForm::setEncr, &ClientForm::encrChanged);
    bindOption(CBsfx, &ClientForm::sfx, &ClientForm::setSfx, &ClientForm::sfxChanged);
    // The Settings dialog and the loader change options while the window is visible;
    // every change, by the user or by the program, also closes the recipient list.
    connect(CBencr, &QCheckBox::toggled, this, &TPVX::JoinRecipients);
    connect(CBsfx, &QCheckBox::toggled, this, &TPVX::JoinRecipients);

    connect(CBskipw, &QCheckBox::toggled, &form, &ClientForm::setSkipWelcome);
    connect(&form, &ClientForm::skipWelcomeChanged, CBskipw, [this, &form] { CBskipw->setChecked(form.skipWelcome()); });
    connect(CBautoquit, &QCheckBox::toggled, &form, &ClientForm::setAutoQuit);
    connect(&form, &ClientForm::autoQuitChanged, CBautoquit, [this, &form] { CBautoquit->setChecked(form.autoQuit()); });
    connect(&form, &ClientForm::startPageChanged, PC, [this, &form] { PC->setCurrentIndex(form.startPage()); });

    auto bindText = [this, &form](LabelledEdit* edit, QString (ClientForm::*get)() const,
                                  void (ClientForm::*set)(const QString&), void (ClientForm::*changed)()) {
        connect(edit->edit(), &QLineEdit::textChanged, &form, set);
        connect(&form, changed, edit, [edit, &form, get] {
            const QString text = (form.*get)();
            if (edit->text() != text)
                edit->setText(text);
        });
    };
    bindText(LEexp, &ClientForm::expireText, &ClientForm::setExpireText, &ClientForm::expireTextChanged);
    bindText(LEfrom, &ClientForm::fromText, &ClientForm::setFromText, &ClientForm::fromTextChanged);
    bindText(LEto, &ClientForm::toText, &ClientForm::setToText, &ClientForm::toTextChanged);
    bindText(LEsubject, &ClientForm::subjectText, &ClientForm::setSubjectText, &ClientForm::subjectTextChanged);

    connect(&form, &ClientForm::recipientsChanged, Mto, [this, &form] {
        Mto->clear();
        Mto->addItems(form.recipients());
    });

    connect(RE, &QPlainTextEdit::textChanged, this, [this, &form] {
        // The editor holds at most 4000 characters: what goes beyond is cut off at
        // the cursor, where it was just typed or pasted.
        const int over = RE->document()->characterCount() - 1 - kMessageLimit;
        if (over > 0) {
            QTextCursor cursor = RE->textCursor();
            cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, over);
            cursor.removeSelectedText();
            return; // the removal reports the change again
        }
        form.setMessageLines(editorLines(RE));
    });
    connect(&form, &ClientForm::messageChanged, this, &TPVX::showMessageInEditor);

    connect(&form, &ClientForm::selectionChanged, CLB, [this, &form] { CLB->showEntries(form.selection()); });
    connect(&form, &ClientForm::logCleared, REsent, &QPlainTextEdit::clear);
    connect(&form, &ClientForm::statusLineAdded, REsent, &QPlainTextEdit::appendPlainText);
    connect(&form, &ClientForm::finishEnabledChanged, Bnext4, [this, &form] { Bnext4->setEnabled(form.finishEnabled()); });
    connect(&form, &ClientForm::colorSchemeApplied, this, &TPVX::applyColorScheme);

    connect(&form, &ClientForm::lastPathChanged, Browser, [this, &form] {
        if (!form.lastPath().isEmpty())
            Browser->setFolder(form.lastPath());
    });
    connect(Browser, &ShellBrowser::folderChanged, &form, &ClientForm::setLastPath);
    form.setLastPath(Browser->folder());
}

void TPVX::showMessageInEditor()
{
    const QStringList lines = m_client.form.messageLines();
    if (editorLines(RE) != lines)
        RE->setPlainText(lines.join(u'\n'));
}

// Puts every form value into its control (after start-up has filled the form).
void TPVX::showFormValues()
{
    const ClientForm& form = m_client.form;
    CBencr->setEnabled(form.encr().enabled);
    CBencr->setChecked(form.encr().checked);
    CBsfx->setEnabled(form.sfx().enabled);
    CBsfx->setChecked(form.sfx().checked);
    CBskipw->setChecked(form.skipWelcome());
    CBautoquit->setChecked(form.autoQuit());
    LEexp->setText(form.expireText());
    LEfrom->setText(form.fromText());
    LEto->setText(form.toText());
    LEsubject->setText(form.subjectText());
    Mto->clear();
    Mto->addItems(form.recipients());
    showMessageInEditor();
    CLB->showEntries(form.selection());
    REsent->setPlainText(form.logLines().join(u'\n'));
    Bnext4->setEnabled(form.finishEnabled());
    if (!form.lastPath().isEmpty())
        Browser->setFolder(form.lastPath());
    PC->setCurrentIndex(form.startPage());
}

void TPVX::applyColorScheme(int scheme, bool includePicker)
{
    // The contact picker colours its own lists when it opens.
    Q_UNUSED(includePicker);
    if (scheme > 1 || scheme < 0)
        scheme = 0;
    m_colorScheme = scheme;
    const QPalette system = QApplication::palette();
    const QColor background = scheme == 1 ? system.color(QPalette::Active, QPalette::Base)
                                          : system.color(QPalette::Disabled, QPalette::Text);
    const QColor text = system.color(QPalette::Active, QPalette::WindowText);
    auto colour = [&](QWidget* w, bool withText) {
        QPalette pal = w->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(group, QPalette::Base, background);
            if (withText)
                pal.setColor(group, QPalette::Text, text);
        }
        w->setPalette(pal);
    };
    for (QWidget* w : std::initializer_list<QWidget*>{REwelcome, CLB, RE, LEsubject->edit(), LEfrom->edit(),
                                                      LEto->edit(), LEexp->edit(), REsent})
        colour(w, true);
    for (QWidget* w : std::initializer_list<QWidget*>{Mto, ShellComboBox1, ShellListView1})
        colour(w, false);
}

// ---------------------------------------------------------------- start, show, quit

void TPVX::FormCreate()
{
    m_windowsAtCreate = 0;
    const auto windows = QApplication::topLevelWidgets();
    auto ours = [this](const QWidget* w) {
        for (; w; w = w->parentWidget()) {
            if (w == this || w == m_progress)
                return true;
        }
        return false;
    };
    for (QWidget* w : windows) {
        if (!ours(w))
            ++m_windowsAtCreate;
    }
    m_client.state.StartupFailed = false;
    ConnectOptionStores(m_client);
    guarded([this] { InitMainWindow(m_client); });
    CLB->setSelectionMode(QAbstractItemView::ExtendedSelection);
    if (ProgramEnd::requested())
        return;
    showFormValues();
    setWindowTitle(MainWindowCaption(m_client.state));
    Badr->setVisible(m_client.state.OutlookEnabled);
    // An unusable upload folder was reported by the probe; the program ends here.
    if (m_client.state.StartupFailed)
        ProgramEnd::request(0);
}

void TPVX::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPVX::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        m_client.form.setWindowVisible(false);
}

void TPVX::FormShow()
{
    guarded([this] {
        m_client.form.setWindowVisible(true);
        ApplyLanguage();
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

void TPVX::closeEvent(QCloseEvent* event)
{
    // The program ends only through the quit question (or auto-quit); a window that
    // is disabled (a dialog is up, a job is being copied) does not take the close.
    event->ignore();
    if (!isEnabled())
        return;
    guarded([this] { QuitProgram(m_client, false); });
}

void TPVX::ApplyLanguage()
{
    const ClientState& st = m_client.state;
    LanguageTexts& t = m_client.texts;
    t.load(st.LanguageName, st.ProductTitle.isEmpty() ? kProductTitle : st.ProductTitle,
           st.VersionText.isEmpty() ? kVersionText : st.VersionText);

    REwelcome->setPlainText(t.welcomeLines().join(u'\n'));
    QString heading = t[SelectFilesAndFolders];
    if (st.MaxSize != QStringLiteral("-1"))
        heading += QStringLiteral(" (") + t[MaximumSize] + u' ' + st.MaxSize + t[MegaByteUnit] + u')';
    Lselectfilefolder->setText(heading);

    Bsettings->setText(leftChars(t[SettingsCaption], 16));
    lto->setText(leftChars(t[ToLabel], 10));
    LEfrom->setLabelText(leftChars(t[FromLabel], 10));
    LEsubject->setLabelText(leftChars(t[SubjectLabel], 10));
    Bdel->setText(leftChars(t[DeleteCaption], 16));
    Bnext1->setText(leftChars(t[NextCaption], 16));
    Bnext2->setText(leftChars(t[NextCaption], 16));
    Bnext3->setText(leftChars(t[NextCaption], 16));
    Bnext4->setText(leftChars(t[FinishCaption], 16));
    Bprev1->setText(leftChars(t[QuitCaption], 16));
    Bprev2->setText(leftChars(t[PreviousCaption], 16));
    Bprev3->setText(leftChars(t[PreviousCaption], 16));
    Bprev4->setText(leftChars(t[PreviousCaption], 16));
    CBskipw->setText(leftChars(t[SkipWelcome], 50));
    PC->setTabText(0, leftChars(t[TabWelcome], 30));
    PC->setTabText(1, leftChars(t[TabSelect], 30));
    PC->setTabText(2, leftChars(t[TabAddMessage], 30));
    PC->setTabText(3, leftChars(t[TabSend], 30));
    Bsummary->setText(leftChars(t[SummaryCaption], 20));
    LEexp->setLabelText(leftChars(t[ExpireLabel], 30));
    LEexp->setToolTip(t[ExpiryHint]);
    LEexp->edit()->setToolTip(t[ExpiryHint]);
    Bquit->setText(leftChars(t[QuitCaption], 20));
    CBencr->setText(t[EncryptedCaption]);
    Badr->setText(t[AddressBookCaption]);
    LabelSelectfileFolder->setText(t[DropZoneHint]);
    LabelDropzone->setText(t[DropZoneLabel]);
    Bexpapl->setText(t[ApplyCaption]);
    CBautoquit->setText(t[AutoQuitCaption]);
}

void TPVX::RunSettingsDialog()
{
    guarded([this] {
        if (!m_settings)
            return;
        // Shown over the disabled main window; the events keep turning here until
        // the dialog hides itself with OK or Cancel.
        setEnabled(false);
        const auto enableAgain = qScopeGuard([this] {
            setEnabled(true);
            activateWindow();
        });
        m_settings->move(frameGeometry().center() - m_settings->rect().center());
        m_settings->show();
        m_settings->raise();
        m_settings->activateWindow();
        WaitWhile([this] { return m_settings->isVisible(); });
        m_client.state.FirstRun = false;
    });
}

// ---------------------------------------------------------------- page moves

void TPVX::Bnext1Click() { PC->setCurrentIndex(1); }
void TPVX::Bprev1Click() { guarded([this] { QuitProgram(m_client, false); }); }
void TPVX::Bprev2Click() { PC->setCurrentIndex(0); }
void TPVX::Bnext2Click() { PC->setCurrentIndex(2); }

void TPVX::Bprev3Click()
{
    JoinRecipients();
    PC->setCurrentIndex(1);
}

void TPVX::Bnext3Click()
{
    JoinRecipients();
    PC->setCurrentIndex(3);
}

void TPVX::Bprev4Click() { PC->setCurrentIndex(2); }
void TPVX::BquitClick() { guarded([this] { QuitProgram(m_client, false); }); }
void TPVX::BsummaryClick() { guarded([this] { MakeSummary(m_client); }); }
void TPVX::BsettingsClick() { RunSettingsDialog(); }

void TPVX::BaboutClick()
{
    if (!m_about)
        return;
    m_about->show();
    m_about->raise();
}

void TPVX::TabSheet3Show() { JoinRecipients(); }

void TPVX::TabSheet4Show()
{
    JoinRecipients();
    const ClientForm& form = m_client.form;
    m_client.form.setFinishEnabled(!form.recipients().isEmpty() && !form.selection().isEmpty());
}

void TPVX::Bnext4Click()
{
    guarded([this] {
        SubmissionHooks hooks;
        hooks.setWindowEnabled = [this](bool on) {
            if (on) {
                m_progress->finish();
                setEnabled(true);
            } else {
                setEnabled(false);
                m_progress->start();
            }
        };
        hooks.copyObserver = m_progress->observer();
        hooks.afterSubmission = [this] { PC->setCurrentIndex(3); };
        hooks.endProgram = [this] { QuitProgram(m_client, true); };
        ::Bnext4Click(m_client, hooks);
    });
}

// ---------------------------------------------------------------- recipients

void TPVX::JoinRecipients()
{
    Mto->hide();
    QString joined;
    for (const QString& r : m_client.form.recipients())
        joined += r + QStringLiteral("; ");
    LEto->setText(QString());
    LEto->setText(joined);
}

void TPVX::addAddress()
{
    m_recipientListInUse = true;
    m_client.form.appendRecipient(LEto->text());
    LEto->setText(QString());
    showRecipientList();
}

void TPVX::showRecipientList()
{
    placeRecipientList();
    Mto->show();
    Mto->raise();
}

void TPVX::placeRecipientList()
{
    const QRect field(LEto->edit()->mapTo(TabSheet3, QPoint(0, 0)), LEto->edit()->size());
    Mto->setGeometry(field.left() + 2, field.bottom() + 1, qMax(20, field.width() - 2), 80);
}

// ---------------------------------------------------------------- the drop zone

void TPVX::BBaddClick()
{
    guarded([this] {
        const QString marker = m_client.texts[FolderMarker];
        const auto items = Browser->selectedItems();
        for (const ShellBrowser::Item& item : items) {
            const QString entry = BrowserEntryFor(item.isFolder, item.path, marker);
            if (!entry.isEmpty())
                m_client.form.appendSelection(entry);
        }
        CLB->SetDropZoneExtent();
    });
}

void TPVX::CLBDragDrop() { BBaddClick(); }

void TPVX::scFileDrop1Drop(const QStringList& names)
{
    guarded([&] {
        const QString marker = m_client.texts[FolderMarker];
        for (const QString& name : names) {
            const QString entry = DropZoneEntryFor(name, marker);
            if (!entry.isEmpty())
                m_client.form.appendSelection(entry);
        }
    });
}

void TPVX::BfileClick()
{
    guarded([this] {
        const QStringList names = QFileDialog::getOpenFileNames(this);
        for (const QString& name : names)
            m_client.form.appendSelection(name);
    });
}

void TPVX::BfolderClick()
{
    guarded([this] {
        const QString folder = QFileDialog::getExistingDirectory(this);
        const QFileInfo info(folder);
        if (!folder.isEmpty() && info.isDir())
            m_client.form.appendSelection(MakeFolderEntry(folder, m_client.texts[FolderMarker]));
    });
}

void TPVX::deleteSelectedEntries()
{
    if (CLB->selectedItems().isEmpty())
        return;
    m_client.form.setSelection(CLB->unselectedEntries());
}

void TPVX::BdelClick() { deleteSelectedEntries(); }
void TPVX::Delete2Click() { deleteSelectedEntries(); }

// ---------------------------------------------------------------- expiry

bool TPVX::LEexpKeyPress(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        guarded([this] {
            StoreExpire(m_client);
            Bexpapl->setEnabled(false);
        });
        return false; // Enter goes on to the field
    }
    const QString text = event->text();
    // Keys that type nothing (arrows, Delete, Home...) and focus moves are the field's.
    if (text.isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape)
        return false;
    Bexpapl->setEnabled(true);
    if (key == Qt::Key_Backspace)
        return false;
    const QChar c = text.at(0);
    return !(text.size() == 1 && c >= u'0' && c <= u'9');
}

void TPVX::BexpaplClick()
{
    JoinRecipients();
    Bexpapl->setEnabled(false);
    guarded([this] { StoreExpire(m_client); });
}

// ---------------------------------------------------------------- mouse and drops

void TPVX::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    JoinRecipients(); // FormClick
}

void TPVX::dragEnterEvent(QDragEnterEvent* event)
{
    if (isShellFileDrop(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPVX::dragMoveEvent(QDragMoveEvent* event)
{
    if (isShellFileDrop(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPVX::dropEvent(QDropEvent* event)
{
    if (!isShellFileDrop(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    scFileDrop1Drop(localPaths(event->mimeData()));
}

bool TPVX::eventFilter(QObject* watched, QEvent* event)
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
    case QEvent::KeyPress:
        if (watched == LEexp->edit())
            return LEexpKeyPress(static_cast<QKeyEvent*>(event));
        return false;
    case QEvent::MouseButtonPress:
        if (watched == RE->viewport() || watched == TabSheet3)
            JoinRecipients(); // REMouseDown, TabSheet3MouseDown
        return false;
    case QEvent::FocusIn: {
        // Only moves of the focus inside the window count, not another window coming up.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (watched == LEto->edit())
            m_toTextOnEnter = LEto->text(); // LEtoEnter
        else if (watched == LEsubject->edit())
            JoinRecipients(); // LEsubjectEnter
        return false;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        // LEtoExit: a changed, non-empty TO field becomes a recipient.
        if (watched == LEto->edit() && !LEto->text().isEmpty() && LEto->text() != m_toTextOnEnter)
            guarded([this] { addAddress(); });
        return false;
    }
    case QEvent::Resize:
        if (watched == TabSheet3 && Mto->isVisible())
            placeRecipientList();
        return false;
    default:
        return false;
    }
}
