#include "dialogs/SettingsDialog.h"

#include "client/ClientState.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

SettingsDialog::SettingsDialog(QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      m_applyBox(new QCheckBox(this))
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(kProductTitle + u' ' + kVersionText);
    m_okButton->setObjectName(QStringLiteral("Bok"));
    m_cancelButton->setObjectName(QStringLiteral("Bcancel"));
    m_applyBox->setObjectName(QStringLiteral("cbapply"));
    m_applyBox->setChecked(true);
    m_applyBox->hide();
    resize(462, 434);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &SettingsDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &SettingsDialog::cancel);
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
