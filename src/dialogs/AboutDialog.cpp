#include "dialogs/AboutDialog.h"

#include "client/ClientState.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About"));
    okButton->setObjectName(QStringLiteral("OKButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kProductTitle + u' ' + kVersionText, this));
    layout->addWidget(okButton, 0, Qt::AlignRight);
    connect(okButton, &QPushButton::clicked, this, &QWidget::hide);
}
