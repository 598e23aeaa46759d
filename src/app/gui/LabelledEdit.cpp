#include "app/gui/LabelledEdit.h"

#include "platform/gui/FontUnits.h"

#include <QHBoxLayout>
#include <QMouseEvent>

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    Q_EMIT clicked();
}

void ClickLineEdit::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    Q_EMIT clicked();
}

LabelledEdit::LabelledEdit(const QString& name, int labelWidth, QWidget* parent)
    : QWidget(parent), m_label(new ClickLabel(this)), m_edit(new ClickLineEdit(this))
{
    setObjectName(name);
    m_label->setObjectName(name + QStringLiteral("SubLabel"));
    m_edit->setObjectName(name + QStringLiteral("Edit"));
    m_label->setBuddy(m_edit);
    m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (labelWidth > 0)
        m_label->setFixedWidth(labelWidth);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(m_label);
    row->addWidget(m_edit, 1);
    setFocusProxy(m_edit);
    connect(m_label, &ClickLabel::clicked, this, &LabelledEdit::subLabelClicked);
    connect(m_edit, &ClickLineEdit::clicked, this, &LabelledEdit::clicked);
}

void LabelledEdit::placeEdit(const QRect& editRect)
{
    constexpr int kLabelSpacing = 3;
    delete layout(); // the widgets stay; nothing places them behind our back
    const QSize label = m_label->sizeHint();
    const int labelTop = editRect.top() + (editRect.height() - label.height()) / 2;
    const int spacing = FontUnits::of(this).x(kLabelSpacing);
    const QRect all = QRect(editRect.left() - spacing - label.width(), labelTop, label.width(), label.height())
                          .united(editRect);
    setGeometry(all);
    m_label->setGeometry(QRect(QPoint(0, labelTop - all.top()), label));
    m_edit->setGeometry(editRect.translated(-all.topLeft()));
}
