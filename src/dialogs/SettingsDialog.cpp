#include "dialogs/SettingsDialog.h"

#include "i18n/LanguageList.h"
#include "i18n/LanguageTexts.h"
#include "platform/gui/FontUnits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QCheckBox* checkBox(const QString& name, QWidget* parent)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    return box;
}
} // namespace

SettingsDialog::SettingsDialog(QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      m_frame(new QGroupBox(this)),
      m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      m_applyBox(new QCheckBox(this))
{
    setObjectName(QStringLiteral("SettingsDialog"));
    PlaceOnFontChange(this, [this] { setFixedSize(FontUnits::of(this).size(462, 434)); });
    m_frame->setObjectName(QStringLiteral("GroupBox1"));

    QWidget* name = labelledEdit(QStringLiteral("LEname"), &m_nameEdit, &m_nameLabel);
    QWidget* company = labelledEdit(QStringLiteral("LEcompany"), &m_companyEdit, &m_companyLabel);
    QWidget* email = labelledEdit(QStringLiteral("LEemail"), &m_emailEdit, &m_emailLabel);
    m_rememberToBox = checkBox(QStringLiteral("CBremto"), m_frame);
    m_rememberMessageBox = checkBox(QStringLiteral("CBreme"), m_frame);
    m_encryptBox = checkBox(QStringLiteral("CBdftenc"), m_frame);
    m_sfxBox = checkBox(QStringLiteral("CBdftsfx"), m_frame);
    m_skipWelcomeBox = checkBox(QStringLiteral("CBskipw"), m_frame);
    m_languageLabel = new QLabel(m_frame);
    m_languageLabel->setObjectName(QStringLiteral("Label1"));
    m_languageList = new QComboBox(m_frame);
    m_languageList->setObjectName(QStringLiteral("CBdftlang"));
    m_languageList->addItems(LanguageListItems());
    m_colorLabel = new QLabel(m_frame);
    m_colorLabel->setObjectName(QStringLiteral("Label2"));
    m_colorList = new QComboBox(m_frame);
    m_colorList->setObjectName(QStringLiteral("CBcolor"));
    m_languageLabel->setBuddy(m_languageList);
    m_colorLabel->setBuddy(m_colorList);

    auto* fields = new QVBoxLayout(m_frame);
    fields->setSpacing(6);
    for (QWidget* edit : {name, company, email})
        fields->addWidget(edit);
    fields->addSpacing(6);
    for (QCheckBox* box : {m_rememberToBox, m_rememberMessageBox, m_encryptBox, m_sfxBox, m_skipWelcomeBox})
        fields->addWidget(box);
    fields->addSpacing(6);
    auto* lists = new QFormLayout;
    lists->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    lists->addRow(m_languageLabel, m_languageList);
    lists->addRow(m_colorLabel, m_colorList);
    fields->addLayout(lists);
    fields->addStretch(1);

    m_okButton->setObjectName(QStringLiteral("Bok"));
    m_cancelButton->setObjectName(QStringLiteral("Bcancel"));
    m_applyBox->setObjectName(QStringLiteral("cbapply"));
    m_applyBox->setChecked(true);
    m_applyBox->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frame, 1);
    layout->addLayout(buttons);

    // Enter on a focused button presses that button; from anywhere else it presses OK.
    m_okButton->setAutoDefault(true);
    m_cancelButton->setAutoDefault(true);
    m_okButton->setDefault(true);
    // Tab goes through the fields from top to bottom, then OK and Cancel.
    const QList<QWidget*> chain = {m_nameEdit, m_companyEdit, m_emailEdit, m_rememberToBox, m_rememberMessageBox,
                                   m_encryptBox, m_sfxBox, m_skipWelcomeBox, m_languageList, m_colorList,
                                   m_okButton, m_cancelButton};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    connect(m_okButton, &QPushButton::clicked, this, &SettingsDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &SettingsDialog::cancel);
}

// A labelled edit as the main window has them: the label over its edit, one widget
// under the edit's name.
QWidget* SettingsDialog::labelledEdit(const QString& name, QLineEdit** edit, QLabel** label)
{
    auto* box = new QWidget(m_frame);
    box->setObjectName(name);
    *label = new QLabel(box);
    (*label)->setObjectName(name + QStringLiteral("SubLabel"));
    *edit = new QLineEdit(box);
    (*edit)->setObjectName(name + QStringLiteral("Edit"));
    (*label)->setBuddy(*edit);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(*label);
    column->addWidget(*edit);
    box->setFocusProxy(*edit);
    return box;
}

void SettingsDialog::fill(const SettingsChoices& values, const LanguageTexts& t, const QString& title)
{
    m_skipWelcomeBox->setChecked(values.skipWelcome);
    // A policy lock shows as a box the user cannot change here either.
    m_encryptBox->setChecked(values.encr.checked);
    m_encryptBox->setEnabled(!values.encr.locked);
    m_sfxBox->setChecked(values.sfx.checked);
    m_sfxBox->setEnabled(!values.sfx.locked);
    m_rememberToBox->setChecked(values.rememberTo);
    m_rememberMessageBox->setChecked(values.rememberMessage);
    m_languageList->setCurrentIndex(values.languageEntry);

    m_skipWelcomeBox->setText(t[SkipWelcome]);
    m_okButton->setText(t[OkCaption]);
    m_cancelButton->setText(t[CancelCaption]);
    setWindowTitle(title);
    m_frame->setTitle(t[SettingsCaption]);
    m_sfxBox->setText(t[SelfExtracting]);
    m_encryptBox->setText(t[EncryptedWithPassword]);
    m_rememberMessageBox->setText(t[RememberMessageCaption]);
    m_rememberToBox->setText(t[RememberToSubject]);
    m_languageLabel->setText(t[LanguageLabel]);
    m_colorLabel->setText(t[ColorSchemeLabel]);

    m_colorList->clear();
    m_colorList->addItems({t[ColorSchemeDefault], t[ColorSchemeWhite]});
    m_colorList->setCurrentIndex(values.colorScheme);

    m_nameLabel->setText(t[YourName]);
    m_companyLabel->setText(t[YourCompany]);
    m_emailLabel->setText(t[YourEmail]);
    m_nameEdit->setText(values.name);
    m_emailEdit->setText(values.email);
    m_companyEdit->setText(values.company);
}

SettingsChoices SettingsDialog::choices() const
{
    SettingsChoices c;
    c.skipWelcome = m_skipWelcomeBox->isChecked();
    c.encr = {m_encryptBox->isChecked(), !m_encryptBox->isEnabledTo(this)};
    c.sfx = {m_sfxBox->isChecked(), !m_sfxBox->isEnabledTo(this)};
    c.rememberTo = m_rememberToBox->isChecked();
    c.rememberMessage = m_rememberMessageBox->isChecked();
    c.languageEntry = m_languageList->currentIndex();
    c.colorScheme = m_colorList->currentIndex();
    c.name = m_nameEdit->text();
    c.company = m_companyEdit->text();
    c.email = m_emailEdit->text();
    return c;
}

bool SettingsDialog::applyAnswer() const { return m_applyBox->isChecked(); }

void SettingsDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A new user starts typing their name at once.
    m_nameEdit->setFocus(Qt::OtherFocusReason);
}

void SettingsDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_okButton->click();
        return;
    case Qt::Key_Escape:
        m_cancelButton->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SettingsDialog::confirm()
{
    m_applyBox->setChecked(true);
    hide();
}

void SettingsDialog::cancel()
{
    m_applyBox->setChecked(false);
    hide();
}
