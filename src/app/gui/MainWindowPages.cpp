// Building the main window's four pages and binding their controls to the form.
#include "app/gui/MainWindow.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/MessageEditor.h"
#include "app/gui/SendPage.h"
#include "app/gui/WelcomePage.h"
#include "i18n/PathTexts.h"
#include "platform/gui/SchemeColours.h"
#include "recipients/gui/ContactsPicker.h"
#include "selection/gui/DropZone.h"
#include "selection/gui/ShellBrowser.h"
#include "spool/JobDescriptor.h"
#include "spool/JobRefusal.h"
#include "spool/Submission.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>
#include <QVBoxLayout>

// The controls of the bottom panels, the top panel of the message page and the path
// row are placed by LayoutWizard (MainWindowLayout.cpp); Qt layouts only stack the
// panels and let the text boxes, the browser and the drop zone fill what is left.
namespace {
constexpr int kPanelHeight = 41;

// A button; Enter presses it when it has the focus.
QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(true);
    return b;
}

// A bottom panel of a page: 41 pixels high, across the page.
QWidget* bottomPanel(const QString& name, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(kPanelHeight);
    return panel;
}

QStringList editorLines(const QPlainTextEdit* editor)
{
    const QString text = editor->toPlainText();
    if (text.isEmpty())
        return {};
    return text.split(u'\n');
}
} // namespace

// ---------------------------------------------------------------- building the pages

void MainWindow::buildWelcomePage()
{
    m_welcomePage = new WelcomePage(m_client, m_pages);
    m_pages->insertTab(int(Page::Welcome), m_welcomePage, QStringLiteral("Welcome"));
    connect(m_welcomePage, &WizardPage::nextRequested, this, &MainWindow::goToSelectPage);
    connect(m_welcomePage, &WelcomePage::quitRequested, this, &MainWindow::askToQuit);
    connect(m_welcomePage, &WelcomePage::settingsRequested, this, &MainWindow::RunSettingsDialog);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
}

void MainWindow::buildSelectPage()
{
    m_selectPage = new SelectPage(m_client, m_pages);
    m_pages->insertTab(int(Page::Select), m_selectPage, QStringLiteral("Select files/folders"));
    connect(m_selectPage, &WizardPage::previousRequested, this, &MainWindow::goToWelcomePage);
    connect(m_selectPage, &WizardPage::nextRequested, this, &MainWindow::goToMessagePage);
}

void MainWindow::buildMessagePage()
{
    m_messagePage = new QWidget(m_pages);
    m_messagePage->setObjectName(QStringLiteral("TabSheet3"));
    m_pages->insertTab(int(Page::Message), m_messagePage, QStringLiteral("Add message"));
    auto* page = new QVBoxLayout(m_messagePage);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    m_messageTop = new QWidget(m_messagePage);
    m_messageTop->setObjectName(QStringLiteral("TopPanel"));
    m_messageTop->setFixedHeight(121);
    m_fromEdit = new LabelledEdit(QStringLiteral("LEfrom"), 0, m_messageTop);
    m_fromEdit->setLabelText(QStringLiteral("FROM:"));
    m_toLabel = new ClickLabel(QStringLiteral("TO:"), m_messageTop);
    m_toLabel->setObjectName(QStringLiteral("lto"));
    // The TO field's own label stays empty; lto stands beside it.
    m_toEdit = new LabelledEdit(QStringLiteral("LEto"), 0, m_messageTop);
    m_toEdit->subLabel()->hide();
    m_addressBookButton = button(QStringLiteral("Badr"), QStringLiteral("Addressbook"), m_messageTop);
    m_subjectEdit = new LabelledEdit(QStringLiteral("LEsubject"), 0, m_messageTop);
    m_subjectEdit->setLabelText(QStringLiteral("SUBJECT:"));
    m_subjectEdit->edit()->setMaxLength(kTextFieldBytes); // what the subject's field in the job holds
    page->addWidget(m_messageTop);

    m_messageEditor = new MessageEditor(kMessageMaxChars, m_messagePage);
    m_messageEditor->setObjectName(QStringLiteral("RE"));
    m_messageEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->addWidget(m_messageEditor, 1);

    // The recipient list drops down over the message, just below the TO field.
    m_recipientList = new QListWidget(m_messagePage);
    m_recipientList->setObjectName(QStringLiteral("Mto"));
    m_recipientList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_recipientList->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    m_recipientList->hide();
    m_recipientMenu = new QMenu(m_recipientList);
    m_recipientMenu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* deleteRecipients = m_recipientMenu->addAction(QStringLiteral("Delete"));
    deleteRecipients->setObjectName(QStringLiteral("Delete1"));
    connect(deleteRecipients, &QAction::triggered, this, &MainWindow::deleteSelectedRecipients);
    m_recipientList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_recipientList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_recipientMenu->popup(m_recipientList->viewport()->mapToGlobal(at));
    });

    m_messageButtons = bottomPanel(QStringLiteral("Panel4"), m_messagePage);
    m_encryptBox = new QCheckBox(QStringLiteral("Encrypted"), m_messageButtons);
    m_encryptBox->setObjectName(QStringLiteral("CBencr"));
    m_sfxBox = new QCheckBox(QStringLiteral("SFX"), m_messageButtons);
    m_sfxBox->setObjectName(QStringLiteral("CBsfx"));
    m_expiryEdit = new LabelledEdit(QStringLiteral("LEexp"), 0, m_messageButtons);
    m_expiryEdit->setLabelText(QStringLiteral("Expire (hours):"));
    m_expiryEdit->edit()->setMaxLength(5);
    // Typed keys are filtered below; the validator keeps pasted text to digits too.
    m_expiryEdit->edit()->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_expiryEdit->edit()));
    m_expiryEdit->edit()->installEventFilter(this);
    m_applyExpiryButton = button(QStringLiteral("Bexpapl"), QStringLiteral("Apply"), m_messageButtons);
    m_applyExpiryButton->setEnabled(false);
    m_hiddenButton1 = new QPushButton(m_messageButtons);
    m_hiddenButton1->setObjectName(QStringLiteral("Button1"));
    m_hiddenButton1->hide();
    m_hiddenButton4 = new QPushButton(m_messageButtons);
    m_hiddenButton4->setObjectName(QStringLiteral("Button4"));
    m_hiddenButton4->hide();
    m_messagePreviousButton = button(QStringLiteral("Bprev3"), QStringLiteral("Previous"), m_messageButtons);
    m_messageNextButton = button(QStringLiteral("Bnext3"), QStringLiteral("Next"), m_messageButtons);
    page->addWidget(m_messageButtons);

    connect(m_messagePreviousButton, &QPushButton::clicked, this, &MainWindow::backToSelectPage);
    connect(m_messageNextButton, &QPushButton::clicked, this, &MainWindow::onToSendPage);
    connect(m_applyExpiryButton, &QPushButton::clicked, this, &MainWindow::applyExpiry);
    connect(m_addressBookButton, &QPushButton::clicked, this, &MainWindow::pickContacts);
    // Clicks elsewhere on the page close the recipient drop-down.
    for (LabelledEdit* e : {m_fromEdit, m_subjectEdit, m_expiryEdit}) {
        connect(e, &LabelledEdit::clicked, this, &MainWindow::JoinRecipients);
        connect(e, &LabelledEdit::subLabelClicked, this, &MainWindow::JoinRecipients);
    }
    connect(m_toLabel, &ClickLabel::clicked, this, &MainWindow::JoinRecipients);
    connect(m_toEdit->edit(), &QLineEdit::returnPressed, this, [this] {
        guarded([this] {
            if (!m_toEdit->text().isEmpty())
                addTypedRecipient();
        });
    });
    connect(m_toEdit, &LabelledEdit::clicked, this, [this] {
        if (!m_client.form.recipients().isEmpty())
            m_recipientListInUse = true;
        if (m_recipientListInUse) {
            m_toEdit->setText(QString());
            showRecipientList();
        }
    });
    m_messageEditor->viewport()->installEventFilter(this);
    m_messagePage->installEventFilter(this);
    m_toEdit->edit()->installEventFilter(this);
    m_subjectEdit->edit()->installEventFilter(this);
}

void MainWindow::buildSendPage()
{
    m_sendPage = new SendPage(m_client, m_pages);
    m_pages->insertTab(int(Page::Send), m_sendPage, QStringLiteral("Send"));
    connect(m_sendPage, &WizardPage::previousRequested, this, &MainWindow::goToMessagePage);
    connect(m_sendPage, &SendPage::quitRequested, this, &MainWindow::askToQuit);
    connect(m_sendPage, &SendPage::finishRequested, this, &MainWindow::finish);
    connect(m_pages, &QTabWidget::currentChanged, this, &MainWindow::pageShown);
}

// ---------------------------------------------------------------- the form, both ways

void MainWindow::bindForm()
{
    ClientForm& form = m_client.form;
    // Options: checked and changeable. A box's own disabled state (a lock) is what
    // counts, not the window's while a dialog is up.
    auto bindOption = [this, &form](QCheckBox* box, OptionState (ClientForm::*get)() const,
                                    void (ClientForm::*set)(OptionState), void (ClientForm::*changed)()) {
        connect(box, &QCheckBox::toggled, this, [this, box, &form, set](bool on) {
            (form.*set)({on, !box->isEnabledTo(this)});
        });
        connect(&form, changed, box, [box, &form, get] {
            const OptionState o = (form.*get)();
            box->setEnabled(!o.locked);
            box->setChecked(o.checked);
        });
    };
    bindOption(m_encryptBox, &ClientForm::encr, &ClientForm::setEncr, &ClientForm::encrChanged);
    bindOption(m_sfxBox, &ClientForm::sfx, &ClientForm::setSfx, &ClientForm::sfxChanged);
    // The Settings dialog and the loader change options while the window is visible;
    // every change, by the user or by the program, also closes the recipient list.
    connect(m_encryptBox, &QCheckBox::toggled, this, &MainWindow::JoinRecipients);
    connect(m_sfxBox, &QCheckBox::toggled, this, &MainWindow::JoinRecipients);

    connect(&form, &ClientForm::startPageChanged, m_pages, [this, &form] { showPage(form.startPage()); });

    auto bindText = [this, &form](LabelledEdit* edit, QString (ClientForm::*get)() const,
                                  void (ClientForm::*set)(const QString&), void (ClientForm::*changed)()) {
        connect(edit->edit(), &QLineEdit::textChanged, &form, set);
        connect(&form, changed, edit, [edit, &form, get] {
            const QString text = (form.*get)();
            if (edit->text() != text)
                edit->setText(text);
        });
    };
    bindText(m_expiryEdit, &ClientForm::expireText, &ClientForm::setExpireText, &ClientForm::expireTextChanged);
    bindText(m_fromEdit, &ClientForm::fromText, &ClientForm::setFromText, &ClientForm::fromTextChanged);
    bindText(m_toEdit, &ClientForm::toText, &ClientForm::setToText, &ClientForm::toTextChanged);
    bindText(m_subjectEdit, &ClientForm::subjectText, &ClientForm::setSubjectText, &ClientForm::subjectTextChanged);

    connect(&form, &ClientForm::recipientsChanged, m_recipientList, [this, &form] {
        m_recipientList->clear();
        m_recipientList->addItems(form.recipients());
    });

    connect(m_messageEditor, &QPlainTextEdit::textChanged, this, [this, &form] {
        // The message keeps its own lines while they read as the editor's text: an
        // empty editor stands for no line and for one empty line alike, and a message
        // memory of one empty line is written back as one.
        if (form.messageLines().join(u'\n') != m_messageEditor->toPlainText())
            form.setMessageLines(editorLines(m_messageEditor));
    });
    connect(&form, &ClientForm::messageChanged, this, &MainWindow::showMessageInEditor);

    connect(&form, &ClientForm::colorSchemeApplied, this, &MainWindow::applyColorScheme);
}

void MainWindow::showMessageInEditor()
{
    const QString text = m_client.form.messageLines().join(u'\n');
    if (m_messageEditor->toPlainText() != text.left(kMessageMaxChars))
        m_messageEditor->setLimitedText(text);
    // A longer message (a remembered one) is cut to what the editor holds.
    if (text.size() > kMessageMaxChars)
        m_client.form.setMessageLines(editorLines(m_messageEditor));
}

// Puts every form value into its control (after start-up has filled the form).
void MainWindow::showFormValues()
{
    const ClientForm& form = m_client.form;
    m_encryptBox->setEnabled(!form.encr().locked);
    m_encryptBox->setChecked(form.encr().checked);
    m_sfxBox->setEnabled(!form.sfx().locked);
    m_sfxBox->setChecked(form.sfx().checked);
    m_welcomePage->showFormValues();
    m_expiryEdit->setText(form.expireText());
    m_fromEdit->setText(form.fromText());
    m_toEdit->setText(form.toText());
    m_subjectEdit->setText(form.subjectText());
    m_recipientList->clear();
    m_recipientList->addItems(form.recipients());
    showMessageInEditor();
    m_selectPage->showFormValues();
    m_sendPage->showFormValues();
    showPage(form.startPage());
}

void MainWindow::applyColorScheme(int scheme, bool includePicker)
{
    // A stored number above 1 shows as the default scheme; the number itself stays.
    if (scheme > 1 || scheme < 0)
        scheme = 0;
    m_colorScheme = scheme;
    // Every control that takes the scheme's background takes its text colour with it:
    // a background without its text colour is unreadable in some desktop or other.
    const SchemeColours colours = SchemeColoursFor(scheme, QApplication::palette());
    for (WizardPage* page : std::initializer_list<WizardPage*>{m_welcomePage, m_selectPage, m_sendPage})
        for (QWidget* w : page->schemeControls())
            ApplySchemeColours(w, colours);
    for (QWidget* w : std::initializer_list<QWidget*>{m_messageEditor, m_subjectEdit->edit(),
                                                      m_fromEdit->edit(), m_toEdit->edit(), m_expiryEdit->edit(),
                                                      m_recipientList})
        ApplySchemeColours(w, colours);
    // The picker's lists take the colours only when the picker opens.
    if (includePicker && m_contacts)
        m_contacts->setListColours(colours);
}
