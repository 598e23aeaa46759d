#include "app/gui/WizardPage.h"

#include "app/gui/ProgramEnd.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

WizardPage::WizardPage(Client& client, const QString& name, QWidget* parent)
    : QWidget(parent), m_client(client), m_stack(new QVBoxLayout(this))
{
    setObjectName(name);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(0);
}

void WizardPage::guarded(const std::function<void()>& body) { GuiGuarded(m_client, body); }

QPushButton* WizardPage::button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(true);
    return b;
}

QWidget* WizardPage::bottomPanel(const QString& name, QWidget* parent)
{
    constexpr int kPanelHeight = 41;
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(kPanelHeight);
    return panel;
}

void WizardPage::placeButton(QPushButton* button, int left, int top)
{
    constexpr int kButtonWidth = 120;
    button->setGeometry(left, top, kButtonWidth, kButtonHeight);
}

void WizardPage::placeCheckBox(QCheckBox* box, int left, int top)
{
    box->setGeometry(QRect(QPoint(left, top), box->sizeHint()));
}
