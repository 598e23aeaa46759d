#include "dialogs/pvx_settings.h"

#include "client/ClientState.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

Tfsettings::Tfsettings(QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      Bok(new QPushButton(QStringLiteral("OK"), this)),
      Bcancel(new QPushButton(QStringLiteral("Cancel"), this)),
      cbapply(new QCheckBox(this))
{
    setObjectName(QStringLiteral("Tfsettings"));
    setWindowTitle(kProductTitle + u' ' + kVersionText);
    Bok->setObjectName(QStringLiteral("Bok"));
    Bcancel->setObjectName(QStringLiteral("Bcancel"));
    cbapply->setObjectName(QStringLiteral("cbapply"));
    cbapply->setChecked(true);
    cbapply->hide();
    resize(462, 434);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Bok);
    buttons->addWidget(Bcancel);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(buttons);
    connect(Bok, &QPushButton::clicked, this, &Tfsettings::BokClick);
    connect(Bcancel, &QPushButton::clicked, this, &Tfsettings::BcancelClick);
}

bool Tfsettings::applyRequested() const { return cbapply->isChecked(); }

void Tfsettings::BokClick()
{
    cbapply->setChecked(true);
    hide();
}

void Tfsettings::BcancelClick()
{
    cbapply->setChecked(false);
    hide();
}
