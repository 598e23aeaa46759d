#include "app/gui/WelcomePage.h"

#include "client/Client.h"
#include "platform/Text.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

WelcomePage::WelcomePage(Client& client, QWidget* parent) : WizardPage(client, QStringLiteral("TabSheet1"), parent)
{
    m_welcomeText = new QTextEdit(this);
    m_welcomeText->setObjectName(QStringLiteral("REwelcome"));
    m_welcomeText->setReadOnly(true);
    m_welcomeText->setTabChangesFocus(true);
    stack()->addWidget(m_welcomeText, 1);

    QWidget* buttons = bottomPanel(QStringLiteral("Panel2"));
    m_skipWelcomeBox = new QCheckBox(QStringLiteral("Skip welcome screen"), buttons);
    m_skipWelcomeBox->setObjectName(QStringLiteral("CBskipw"));
    m_settingsButton = button(QStringLiteral("Bsettings"), QStringLiteral("Settings"), buttons);
    m_quitButton = button(QStringLiteral("Bprev1"), QStringLiteral("Quit"), buttons);
    m_nextButton = button(QStringLiteral("Bnext1"), QStringLiteral("Next"), buttons);
    stack()->addWidget(buttons);

    connect(m_nextButton, &QPushButton::clicked, this, &WizardPage::nextRequested);
    // The Welcome page's Previous button is the Quit button.
    connect(m_quitButton, &QPushButton::clicked, this, &WizardPage::quitRequested);
    connect(m_settingsButton, &QPushButton::clicked, this, &WelcomePage::settingsRequested);

    // Ticking the box changes the start page of the next run, never this page.
    ClientForm& form = m_client.form;
    connect(m_skipWelcomeBox, &QCheckBox::toggled, &form, &ClientForm::setSkipWelcome);
    connect(&form, &ClientForm::skipWelcomeChanged, m_skipWelcomeBox, [this, &form] { m_skipWelcomeBox->setChecked(form.skipWelcome()); });
}

void WelcomePage::showFormValues() { m_skipWelcomeBox->setChecked(m_client.form.skipWelcome()); }

void WelcomePage::applyLanguage()
{
    const LanguageTexts& t = m_client.texts;
    m_welcomeText->setPlainText(t.welcomeLines().join(u'\n'));
    m_settingsButton->setText(leftChars(t[SettingsCaption], 16));
    m_nextButton->setText(leftChars(t[NextCaption], 16));
    m_quitButton->setText(leftChars(t[QuitCaption], 16));
    m_skipWelcomeBox->setText(leftChars(t[SkipWelcome], 50));
    m_welcomeText->setAccessibleName(t[TabWelcome]);
}

void WelcomePage::placeControls(int windowWidth)
{
    placeButton(m_nextButton, slotA(windowWidth));
    placeButton(m_quitButton, slotB(windowWidth));
    placeButton(m_settingsButton, slotC(windowWidth));
    placeCheckBox(m_skipWelcomeBox, 10, 12);
}

QList<QWidget*> WelcomePage::tabChain() const
{
    return {m_welcomeText, m_skipWelcomeBox, m_settingsButton, m_quitButton, m_nextButton};
}

QWidget* WelcomePage::firstField() const { return m_welcomeText; }

QList<QWidget*> WelcomePage::schemeControls() const { return {m_welcomeText}; }
