#include "app/gui/RecipientField.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/ProgramEnd.h"
#include "client/Client.h"
#include "platform/Text.h"
#include "platform/gui/FontUnits.h"
#include "recipients/ContactSource.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>

RecipientField::RecipientField(Client& client, QWidget* fieldPanel) : QObject(fieldPanel), m_client(client)
{
    m_label = new ClickLabel(QStringLiteral("TO:"), fieldPanel);
    m_label->setObjectName(QStringLiteral("lto"));
    // The field's own label stays empty; lto stands beside it.
    m_field = new LabelledEdit(QStringLiteral("LEto"), 0, fieldPanel);
    m_field->subLabel()->hide();

    connect(m_label, &ClickLabel::clicked, this, &RecipientField::join);
    connect(m_field->edit(), &QLineEdit::returnPressed, this, [this] {
        guarded([this] {
            if (!m_field->text().isEmpty())
                addTyped();
        });
    });
    connect(m_field, &LabelledEdit::clicked, this, [this] {
        if (!m_client.form.recipients().isEmpty())
            m_listInUse = true;
        if (m_listInUse) {
            m_field->setText(QString());
            showList();
        }
    });
    m_field->edit()->installEventFilter(this);

    ClientForm& form = m_client.form;
    connect(m_field->edit(), &QLineEdit::textChanged, &form, &ClientForm::setToText);
    connect(&form, &ClientForm::toTextChanged, m_field, [this, &form] {
        if (m_field->text() != form.toText())
            m_field->setText(form.toText());
    });
}

void RecipientField::makeList(QWidget* page)
{
    m_list = new QListWidget(page);
    m_list->setObjectName(QStringLiteral("Mto"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    m_list->hide();
    m_menu = new QMenu(m_list);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* deleteRecipients = m_menu->addAction(QStringLiteral("Delete"));
    deleteRecipients->setObjectName(QStringLiteral("Delete1"));
    connect(deleteRecipients, &QAction::triggered, this, &RecipientField::deleteSelected);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_menu->popup(m_list->viewport()->mapToGlobal(at));
    });
    m_list->installEventFilter(this);
    ClientForm& form = m_client.form;
    connect(&form, &ClientForm::recipientsChanged, m_list, [this, &form] {
        m_list->clear();
        m_list->addItems(form.recipients());
    });
}

void RecipientField::guarded(const std::function<void()>& body) { GuiGuarded(m_client, body); }

void RecipientField::join()
{
    QLineEdit* to = m_field->edit();
    QString joined;
    for (const QString& r : m_client.form.recipients())
        joined += r + QStringLiteral("; ");
    // An address still being typed is added, not dropped, when the list closes.
    if (to->isModified() && !to->text().isEmpty() && to->text() != joined) {
        m_listInUse = true;
        m_client.form.appendRecipient(to->text());
        joined += to->text() + QStringLiteral("; ");
    }
    m_list->hide();
    to->setText(QString());
    to->setText(joined);
    // The joined line is what the field now holds: leaving it untouched adds nothing.
    if (to->hasFocus())
        m_textOnEnter = joined;
}

void RecipientField::addPicked(const QStringList& addresses)
{
    AddPickedRecipients(m_client.form, addresses);
    if (m_list->isHidden())
        join();
}

void RecipientField::showFormValues()
{
    m_field->setText(m_client.form.toText());
    m_list->clear();
    m_list->addItems(m_client.form.recipients());
}

void RecipientField::applyLanguage()
{
    m_label->setText(leftChars(m_client.texts[ToLabel], 10));
    m_field->edit()->setAccessibleName(m_label->text());
    m_list->setAccessibleName(m_label->text());
}

void RecipientField::place(const QRect& field)
{
    m_field->placeEdit(field);
    const FontUnits u = FontUnits::of(m_label);
    const QSize label = m_label->sizeHint();
    m_label->setGeometry(u.x(88) - label.width(), u.y(52), label.width(), label.height());
    m_list->setGeometry(field.left() + u.x(2), field.height() + u.y(50), field.width() - u.x(2), u.y(80));
}

void RecipientField::addTyped()
{
    m_listInUse = true;
    m_client.form.appendRecipient(m_field->text());
    m_field->setText(QString());
    showList();
}

void RecipientField::showList()
{
    m_list->show();
    m_list->raise();
}

void RecipientField::deleteSelected()
{
    QStringList kept;
    for (int i = 0; i < m_list->count(); ++i) {
        if (!m_list->item(i)->isSelected())
            kept.append(m_list->item(i)->text());
    }
    if (kept.size() != m_list->count())
        m_client.form.setRecipients(kept);
}

bool RecipientField::eventFilter(QObject* watched, QEvent* event)
{
    const bool inField = watched == m_field->edit();
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // The list is skipped by Tab: Down in the field goes into it (to delete with the
        // keyboard), Escape goes back.
        if (inField && key == Qt::Key_Down && m_list->isVisible() && m_list->count() > 0) {
            if (!m_list->currentItem())
                m_list->setCurrentRow(0);
            m_list->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == m_list && key == Qt::Key_Escape) {
            m_field->edit()->setFocus(Qt::BacktabFocusReason);
            return true;
        }
        return false;
    }
    case QEvent::KeyRelease:
        // The Delete key removes the selected recipients.
        if (watched == m_list && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete)
            deleteSelected();
        return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // Only moves of the focus inside the window count, not another window coming up.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!inField || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (event->type() == QEvent::FocusIn)
            m_textOnEnter = m_field->text();
        // Leaving the field: a changed, non-empty text becomes a recipient.
        else if (!m_field->text().isEmpty() && m_field->text() != m_textOnEnter)
            guarded([this] { addTyped(); });
        return false;
    }
    default:
        return false;
    }
}
