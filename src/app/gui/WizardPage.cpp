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

QWidget* WizardPage::bottomPanel(const QString& name)
{
    m_panel = new QWidget(this);
    m_panel->setObjectName(name);
    return m_panel;
}

void WizardPage::place(int windowWidth)
{
    constexpr int kPanelHeight = 41;
    if (m_panel)
        m_panel->setFixedHeight(units().y(kPanelHeight));
    placeControls(windowWidth);
}

void WizardPage::placeButton(QPushButton* button, int left, int top) const
{
    constexpr int kButtonWidth = 120;
    const FontUnits u = units();
    button->setGeometry(left, u.y(top), u.x(kButtonWidth), u.y(kButtonHeight));
}

void WizardPage::placeCheckBox(QCheckBox* box, int left, int top) const
{
    box->setGeometry(QRect(QPoint(units().x(left), units().y(top)), box->sizeHint()));
}
