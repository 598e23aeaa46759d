#include "dialogs/parvelaclient_about.h"

#include "client/ClientState.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Tparvelaclientabout::Tparvelaclientabout(QWidget* parent)
    : QWidget(parent, Qt::Dialog), OKButton(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("Tparvelaclientabout"));
    setWindowTitle(QStringLiteral("About"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kProductTitle + u' ' + kVersionText, this));
    layout->addWidget(OKButton, 0, Qt::AlignRight);
    connect(OKButton, &QPushButton::clicked, this, &QWidget::hide);
}
