#include "app/gui/SendPage.h"

#include "client/Client.h"
#include "platform/Text.h"
#include "selection/Summary.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

SendPage::SendPage(Client& client, QWidget* parent) : WizardPage(client, QStringLiteral("TabSheet4"), parent)
{
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("REsent"));
    m_log->setReadOnly(true);
    m_log->setTabChangesFocus(true);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    stack()->addWidget(m_log, 1);

    QWidget* buttons = bottomPanel(QStringLiteral("Panel5"));
    m_summaryButton = button(QStringLiteral("Bsummary"), QStringLiteral("Summary"), buttons);
    m_autoQuitBox = new QCheckBox(QStringLiteral("Done / Quit"), buttons);
    m_autoQuitBox->setObjectName(QStringLiteral("CBautoquit"));
    m_quitButton = button(QStringLiteral("Bquit"), QStringLiteral("Quit"), buttons);
    m_previousButton = button(QStringLiteral("Bprev4"), QStringLiteral("Previous"), buttons);
    m_finishButton = button(QStringLiteral("Bnext4"), QStringLiteral("Finish"), buttons);
    m_finishButton->setEnabled(false);
    stack()->addWidget(buttons);

    connect(m_summaryButton, &QPushButton::clicked, this, &SendPage::showSummary);
    connect(m_quitButton, &QPushButton::clicked, this, &WizardPage::quitRequested);
    connect(m_previousButton, &QPushButton::clicked, this, &WizardPage::previousRequested);
    connect(m_finishButton, &QPushButton::clicked, this, &SendPage::finishRequested);

    ClientForm& form = m_client.form;
    connect(m_autoQuitBox, &QCheckBox::toggled, &form, &ClientForm::setAutoQuit);
    connect(&form, &ClientForm::autoQuitChanged, m_autoQuitBox, [this, &form] { m_autoQuitBox->setChecked(form.autoQuit()); });
    connect(&form, &ClientForm::logCleared, m_log, &QPlainTextEdit::clear);
    connect(&form, &ClientForm::statusLineAdded, m_log, &QPlainTextEdit::appendPlainText);
    connect(&form, &ClientForm::finishEnabledChanged, m_finishButton, [this, &form] { m_finishButton->setEnabled(form.finishEnabled()); });
}

void SendPage::showFormValues()
{
    const ClientForm& form = m_client.form;
    m_autoQuitBox->setChecked(form.autoQuit());
    m_log->setPlainText(form.logLines().join(u'\n'));
    m_finishButton->setEnabled(form.finishEnabled());
}

void SendPage::applyLanguage()
{
    const LanguageTexts& t = m_client.texts;
    m_summaryButton->setText(leftChars(t[SummaryCaption], 20));
    m_quitButton->setText(leftChars(t[QuitCaption], 20));
    m_previousButton->setText(leftChars(t[PreviousCaption], 16));
    m_finishButton->setText(leftChars(t[FinishCaption], 16));
    m_autoQuitBox->setText(t[AutoQuitCaption]);
    m_log->setAccessibleName(t[TabSend]);
}

void SendPage::placeControls(int windowWidth)
{
    placeButton(m_finishButton, slotA(windowWidth));
    placeButton(m_previousButton, slotB(windowWidth));
    placeButton(m_quitButton, slotC(windowWidth));
    placeButtonAt(m_summaryButton, 10);
    const FontUnits u = units();
    m_autoQuitBox->setGeometry(QRect(QPoint(slotC(windowWidth) - u.x(120), u.y(12)), m_autoQuitBox->sizeHint()));
}

QList<QWidget*> SendPage::tabChain() const
{
    return {m_log, m_summaryButton, m_autoQuitBox, m_quitButton, m_previousButton, m_finishButton};
}

QWidget* SendPage::firstField() const { return m_log; }

QList<QWidget*> SendPage::schemeControls() const { return {m_log}; }

void SendPage::shown()
{
    const ClientForm& form = m_client.form;
    m_client.form.setFinishEnabled(!form.recipients().isEmpty() && !form.selection().isEmpty());
}

void SendPage::showSummary()
{
    guarded([this] { MakeSummary(m_client); });
}
