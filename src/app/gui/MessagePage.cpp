#include "app/gui/MessagePage.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/MessageEditor.h"
#include "app/gui/RecipientField.h"
#include "client/Client.h"
#include "platform/Text.h"
#include "spool/JobDescriptor.h"
#include "spool/JobOptions.h"
#include "spool/JobRefusal.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
constexpr int kAddressBookWidth = 104; // room for the longest caption, "Carnet d'adresse"

QStringList editorLines(const QPlainTextEdit* editor)
{
    const QString text = editor->toPlainText();
    if (text.isEmpty())
        return {};
    return text.split(u'\n');
}
} // namespace

MessagePage::MessagePage(Client& client, QWidget* parent) : WizardPage(client, QStringLiteral("TabSheet3"), parent)
{
    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("TopPanel"));
    m_top = top;
    m_fromEdit = new LabelledEdit(QStringLiteral("LEfrom"), 0, top);
    m_fromEdit->setLabelText(QStringLiteral("FROM:"));
    m_recipients = new RecipientField(client, top);
    m_addressBookButton = button(QStringLiteral("Badr"), QStringLiteral("Addressbook"), top);
    m_subjectEdit = new LabelledEdit(QStringLiteral("LEsubject"), 0, top);
    m_subjectEdit->setLabelText(QStringLiteral("SUBJECT:"));
    m_subjectEdit->edit()->setMaxLength(kTextFieldBytes); // what the subject's field in the job holds
    stack()->addWidget(top);

    m_messageEditor = new MessageEditor(kMessageMaxChars, this);
    m_messageEditor->setObjectName(QStringLiteral("RE"));
    m_messageEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    stack()->addWidget(m_messageEditor, 1);
    // The recipient list drops down over the message, just below the TO field.
    m_recipients->makeList(this);

    QWidget* buttons = bottomPanel(QStringLiteral("Panel4"));
    m_encryptBox = new QCheckBox(QStringLiteral("Encrypted"), buttons);
    m_encryptBox->setObjectName(QStringLiteral("CBencr"));
    m_sfxBox = new QCheckBox(QStringLiteral("SFX"), buttons);
    m_sfxBox->setObjectName(QStringLiteral("CBsfx"));
    m_expiryEdit = new LabelledEdit(QStringLiteral("LEexp"), 0, buttons);
    m_expiryEdit->setLabelText(QStringLiteral("Expire (hours):"));
    m_expiryEdit->edit()->setMaxLength(kExpiryMaxDigits);
    // Typed keys are filtered here (eventFilter); the validator keeps pasted text to digits too.
    m_expiryEdit->edit()->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_expiryEdit->edit()));
    m_expiryEdit->edit()->installEventFilter(this);
    m_applyExpiryButton = button(QStringLiteral("Bexpapl"), QStringLiteral("Apply"), buttons);
    m_applyExpiryButton->setEnabled(false);
    // Button1 and Button4 are part of this panel's layout and never shown: not dead
    // code, they stand for the window's full set of controls, found by name.
    for (const char* name : {"Button1", "Button4"}) {
        auto* hidden = new QPushButton(buttons);
        hidden->setObjectName(QLatin1String(name));
        hidden->hide();
    }
    m_previousButton = button(QStringLiteral("Bprev3"), QStringLiteral("Previous"), buttons);
    m_nextButton = button(QStringLiteral("Bnext3"), QStringLiteral("Next"), buttons);
    stack()->addWidget(buttons);

    // Leaving the page, either way, closes the recipient list first.
    connect(m_previousButton, &QPushButton::clicked, this, [this] {
        joinRecipients();
        Q_EMIT previousRequested();
    });
    connect(m_nextButton, &QPushButton::clicked, this, [this] {
        joinRecipients();
        Q_EMIT nextRequested();
    });
    connect(m_applyExpiryButton, &QPushButton::clicked, this, &MessagePage::applyExpiry);
    connect(m_addressBookButton, &QPushButton::clicked, this, &MessagePage::contactsRequested);
    // Clicks elsewhere on the page close the recipient drop-down.
    for (LabelledEdit* e : {m_fromEdit, m_subjectEdit, m_expiryEdit}) {
        connect(e, &LabelledEdit::clicked, this, &MessagePage::joinRecipients);
        connect(e, &LabelledEdit::subLabelClicked, this, &MessagePage::joinRecipients);
    }
    m_messageEditor->viewport()->installEventFilter(this);
    m_subjectEdit->edit()->installEventFilter(this);
    bindForm();
}

void MessagePage::bindForm()
{
    ClientForm& form = m_client.form;
    // Options: checked and changeable. A box's own disabled state (a lock) is what
    // counts, not the window's while a dialog is up.
    auto bindOption = [this, &form](QCheckBox* box, OptionState (ClientForm::*get)() const,
                                    void (ClientForm::*set)(OptionState), void (ClientForm::*changed)()) {
        connect(box, &QCheckBox::toggled, this, [this, box, &form, set](bool on) {
            (form.*set)({on, !box->isEnabledTo(window())});
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
    connect(m_encryptBox, &QCheckBox::toggled, this, &MessagePage::joinRecipients);
    connect(m_sfxBox, &QCheckBox::toggled, this, &MessagePage::joinRecipients);

    auto bindText = [&form](LabelledEdit* edit, QString (ClientForm::*get)() const,
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
    bindText(m_subjectEdit, &ClientForm::subjectText, &ClientForm::setSubjectText, &ClientForm::subjectTextChanged);

    connect(m_messageEditor, &QPlainTextEdit::textChanged, this, [this, &form] {
        // The message keeps its own lines while they read as the editor's text: an
        // empty editor stands for no line and for one empty line alike, and a message
        // memory of one empty line is written back as one.
        if (form.messageLines().join(u'\n') != m_messageEditor->toPlainText())
            form.setMessageLines(editorLines(m_messageEditor));
    });
    connect(&form, &ClientForm::messageChanged, this, &MessagePage::showMessageInEditor);
}

void MessagePage::showMessageInEditor()
{
    const QString text = m_client.form.messageLines().join(u'\n');
    if (m_messageEditor->toPlainText() != text.left(kMessageMaxChars))
        m_messageEditor->setLimitedText(text);
    // A longer message (a remembered one) is cut to what the editor holds.
    if (text.size() > kMessageMaxChars)
        m_client.form.setMessageLines(editorLines(m_messageEditor));
}

void MessagePage::showFormValues()
{
    const ClientForm& form = m_client.form;
    m_encryptBox->setEnabled(!form.encr().locked);
    m_encryptBox->setChecked(form.encr().checked);
    m_sfxBox->setEnabled(!form.sfx().locked);
    m_sfxBox->setChecked(form.sfx().checked);
    m_expiryEdit->setText(form.expireText());
    m_fromEdit->setText(form.fromText());
    m_recipients->showFormValues();
    m_subjectEdit->setText(form.subjectText());
    showMessageInEditor();
}

void MessagePage::applyLanguage()
{
    const LanguageTexts& t = m_client.texts;
    m_recipients->applyLanguage();
    m_fromEdit->setLabelText(leftChars(t[FromLabel], 10));
    m_subjectEdit->setLabelText(leftChars(t[SubjectLabel], 10));
    m_nextButton->setText(leftChars(t[NextCaption], 16));
    m_previousButton->setText(leftChars(t[PreviousCaption], 16));
    m_expiryEdit->setLabelText(leftChars(t[ExpireLabel], 30));
    m_expiryEdit->setToolTip(t[ExpiryHint]);
    m_expiryEdit->edit()->setToolTip(t[ExpiryHint]);
    m_encryptBox->setText(t[EncryptedCaption]);
    m_addressBookButton->setText(t[AddressBookCaption]);
    m_applyExpiryButton->setText(t[ApplyCaption]);

    // Fields take the caption of the label beside them, the editor the page's.
    m_fromEdit->edit()->setAccessibleName(m_fromEdit->subLabel()->text());
    m_subjectEdit->edit()->setAccessibleName(m_subjectEdit->subLabel()->text());
    m_messageEditor->setAccessibleName(t[TabAddMessage]);
    m_expiryEdit->edit()->setAccessibleName(m_expiryEdit->subLabel()->text());
    m_expiryEdit->edit()->setAccessibleDescription(t[ExpiryHint]);
}

void MessagePage::placeControls(int windowWidth)
{
    const int w = windowWidth;
    placeButton(m_nextButton, slotA(w));
    placeButton(m_previousButton, slotB(w));
    // The options row leaves room for the longest captions of the five languages
    // ("Verschlüsselt", "Expiration (heures):", "übernehmen").
    placeCheckBox(m_encryptBox, 10, 8);
    placeCheckBox(m_sfxBox, 112, 8);
    const FontUnits u = units();
    m_expiryEdit->placeEdit(u.rect(280, 8, 46, kFieldHeight));
    m_applyExpiryButton->setGeometry(u.rect(330, 6, 80, kButtonHeight));

    // The address book takes 120 pixels of the TO field when the policy switches it on.
    // The fields end 39 pixels before the window's right edge (w is in screen pixels).
    m_top->setFixedHeight(u.y(121));
    const bool addressBook = m_client.state.OutlookEnabled;
    const int fieldWidth = w - u.x(131);
    const int left = u.x(92);
    m_fromEdit->placeEdit(QRect(left, u.y(16), fieldWidth, u.y(kFieldHeight)));
    m_recipients->place(QRect(left, u.y(48), addressBook ? fieldWidth - u.x(120) : fieldWidth, u.y(kFieldHeight)));
    m_subjectEdit->placeEdit(QRect(left, u.y(76), fieldWidth, u.y(kFieldHeight)));
    m_addressBookButton->setVisible(addressBook);
    m_addressBookButton->setGeometry(fieldWidth, u.y(46), u.x(kAddressBookWidth), u.y(kButtonHeight));
}

// The recipient list sits behind the TO field, but Tab skips it.
QList<QWidget*> MessagePage::tabChain() const
{
    return {m_fromEdit->edit(), m_recipients->field()->edit(), m_recipients->list(), m_addressBookButton,
            m_subjectEdit->edit(), m_messageEditor, m_encryptBox, m_sfxBox, m_expiryEdit->edit(),
            m_applyExpiryButton, m_previousButton, m_nextButton};
}

QWidget* MessagePage::firstField() const { return m_fromEdit->edit(); }

QList<QWidget*> MessagePage::schemeControls() const
{
    return {m_messageEditor, m_subjectEdit->edit(), m_fromEdit->edit(), m_recipients->field()->edit(),
            m_expiryEdit->edit(), m_recipients->list()};
}

void MessagePage::joinRecipients() { m_recipients->join(); }

void MessagePage::addPickedRecipients(const QStringList& addresses) { m_recipients->addPicked(addresses); }

void MessagePage::mousePressEvent(QMouseEvent* event)
{
    // A click on the page's background closes the recipient list.
    joinRecipients();
    WizardPage::mousePressEvent(event);
}

bool MessagePage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == m_expiryEdit->edit())
        return filterExpiryKey(static_cast<QKeyEvent*>(event));
    // A click into the message closes the recipient list.
    if (event->type() == QEvent::MouseButtonPress && watched == m_messageEditor->viewport())
        joinRecipients();
    // So does moving on to the subject (not another window coming up).
    if (event->type() == QEvent::FocusIn && watched == m_subjectEdit->edit()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            joinRecipients();
    }
    return false;
}

// The expiry field takes digits only; any key that types something makes Apply usable,
// and Enter stores the expiry as Apply does.
bool MessagePage::filterExpiryKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        guarded([this] {
            StoreExpire(m_client);
            m_applyExpiryButton->setEnabled(false);
        });
        return false; // Enter goes on to the field
    }
    const QString text = event->text();
    // Keys that type nothing (arrows, Delete, Home...) and focus moves are the field's.
    if (text.isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape)
        return false;
    m_applyExpiryButton->setEnabled(true);
    if (key == Qt::Key_Backspace)
        return false;
    const QChar c = text.at(0);
    return !(text.size() == 1 && c >= u'0' && c <= u'9');
}

void MessagePage::applyExpiry()
{
    joinRecipients();
    m_applyExpiryButton->setEnabled(false);
    guarded([this] { StoreExpire(m_client); });
}
