#include "recipients/gui/ContactsPicker.h"

#include "client/ClientState.h"
#include "i18n/ControlTexts.h"
#include "i18n/LanguageTexts.h"
#include "i18n/Languages.h"
#include "platform/gui/FontUnits.h"
#include "platform/gui/SchemeColours.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Each entry carries its contact's address, so that a name holding "<" or ">" never
// passes for part of the address.
constexpr int kAddressRole = Qt::UserRole;

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QListWidget* contactList(const QString& name, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}
} // namespace

ContactsPicker::ContactsPicker(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("ContactsPicker"));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("LEadrSearch"));
    m_sourceList = contactList(QStringLiteral("adrsrc"), this);
    m_chosenList = contactList(QStringLiteral("adrdst"), this);
    m_oneButton = button(QStringLiteral("Bone"), QStringLiteral(">"), this);
    m_allButton = button(QStringLiteral("Ball"), QStringLiteral(">>>"), this);
    m_oneBackButton = button(QStringLiteral("Boneback"), QStringLiteral("<"), this);
    m_allBackButton = button(QStringLiteral("Ballback"), QStringLiteral("<<<"), this);
    m_okButton = button(QStringLiteral("Bok"), QStringLiteral("OK"), this);
    m_cancelButton = button(QStringLiteral("Bcancel"), QStringLiteral("Cancel"), this);
    m_answerBox = new QCheckBox(this);
    m_answerBox->setObjectName(QStringLiteral("CB1"));
    m_answerBox->hide();
    m_sourceHeading = new QLabel(this);
    m_sourceHeading->setObjectName(QStringLiteral("Label1"));
    m_chosenHeading = new QLabel(this);
    m_chosenHeading->setObjectName(QStringLiteral("Label2"));

    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    for (QPushButton* b : {m_oneButton, m_allButton, m_oneBackButton, m_allBackButton})
        moves->addWidget(b);
    moves->addStretch(1);
    auto* grid = new QGridLayout;
    grid->addWidget(m_sourceHeading, 0, 0);
    grid->addWidget(m_chosenHeading, 0, 2);
    grid->addWidget(m_search, 1, 0);
    grid->addWidget(m_sourceList, 2, 0);
    grid->addLayout(moves, 2, 1);
    grid->addWidget(m_chosenList, 1, 2, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    PlaceOnFontChange(this, [this] {
        const FontUnits u = FontUnits::of(this);
        setFixedSize(u.size(722, 469));
        for (QPushButton* b : {m_oneButton, m_allButton, m_oneBackButton, m_allBackButton})
            b->setFixedWidth(u.x(60));
    });

    connect(m_oneButton, &QPushButton::clicked, this, &ContactsPicker::moveSelected);
    connect(m_allButton, &QPushButton::clicked, this, &ContactsPicker::moveAll);
    connect(m_oneBackButton, &QPushButton::clicked, this, &ContactsPicker::moveSelectedBack);
    connect(m_allBackButton, &QPushButton::clicked, this, &ContactsPicker::moveAllBack);
    connect(m_okButton, &QPushButton::clicked, this, &ContactsPicker::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &ContactsPicker::cancel);
    connect(m_search, &QLineEdit::textChanged, this, &ContactsPicker::search);
}

void ContactsPicker::showContacts(const QList<Contact>& contacts)
{
    m_sourceList->clear();
    m_chosenList->clear();
    m_search->clear();
    for (const Contact& c : contacts) {
        auto* item = new QListWidgetItem(c.entryText(), m_sourceList);
        item->setData(kAddressRole, c.email);
    }
}

void ContactsPicker::setTexts(const LanguageTexts& t, const ClientState& state)
{
    setWindowTitle(state.ProductTitle + u' ' + state.VersionText + QStringLiteral(" - ") + t[AddressBookTitle]);
    m_sourceHeading->setText(t[AddressBookTitle]);
    m_chosenHeading->setText(t[ToLabel]);
    m_okButton->setText(t[OkCaption]);
    m_cancelButton->setText(t[CancelCaption]);
    const QString search = LanguageFor(state.LanguageName).contactSearch.toString();
    m_search->setPlaceholderText(search);
    m_search->setAccessibleName(search);
    // The move buttons keep their arrows; assistive tools read out what they do.
    const ControlTable& c = ControlTextsFor(state.LanguageName);
    const std::tuple<QWidget*, const TableText&, const TableText&> named[] = {
        {m_sourceList, c.contacts, c.contactsTip},  {m_chosenList, c.chosen, c.chosenTip},
        {m_oneButton, c.addOne, c.addOneTip},       {m_allButton, c.addAll, c.addAllTip},
        {m_oneBackButton, c.removeOne, c.removeOneTip}, {m_allBackButton, c.removeAll, c.removeAllTip}};
    for (const auto& [control, name, tip] : named) {
        control->setAccessibleName(name.toString());
        control->setToolTip(tip.toString());
    }
}

// Only the entries holding the search text (in any letter case) show; a hidden one is
// no longer selected, so that > never moves what the user cannot see.
void ContactsPicker::search()
{
    const QString text = m_search->text();
    for (int i = 0; i < m_sourceList->count(); ++i) {
        QListWidgetItem* item = m_sourceList->item(i);
        item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
        if (item->isHidden())
            item->setSelected(false);
    }
}

void ContactsPicker::setListColours(const SchemeColours& colours)
{
    for (QListWidget* list : {m_sourceList, m_chosenList})
        ApplySchemeColours(list, colours);
}

bool ContactsPicker::confirmed() const { return m_answerBox->isChecked(); }

QStringList ContactsPicker::chosenAddresses() const
{
    QStringList addresses;
    for (int i = 0; i < m_chosenList->count(); ++i)
        addresses.append(m_chosenList->item(i)->data(kAddressRole).toString());
    return addresses;
}

// The entries that move go, in their list order, to the end of the other list; one back
// in the contacts' list shows only if the search finds it. No selection is changed on
// the way: with thousands of entries, selecting each first makes the move take minutes.
void ContactsPicker::moveEntries(QListWidget* from, QListWidget* to, bool (*moves)(const QListWidgetItem*))
{
    const QString text = m_search->text();
    for (int i = 0; i < from->count();) {
        if (moves(from->item(i))) {
            QListWidgetItem* item = from->takeItem(i);
            to->addItem(item);
            const bool hidden = to == m_sourceList && !item->text().contains(text, Qt::CaseInsensitive);
            if (item->isHidden() != hidden)
                item->setHidden(hidden);
        } else {
            ++i;
        }
    }
}

namespace {
bool selected(const QListWidgetItem* item) { return item->isSelected(); }
bool shown(const QListWidgetItem* item) { return !item->isHidden(); }
bool any(const QListWidgetItem*) { return true; }
} // namespace

void ContactsPicker::moveSelected() { moveEntries(m_sourceList, m_chosenList, selected); }
void ContactsPicker::moveSelectedBack() { moveEntries(m_chosenList, m_sourceList, selected); }
// All the contacts the search shows.
void ContactsPicker::moveAll() { moveEntries(m_sourceList, m_chosenList, shown); }
void ContactsPicker::moveAllBack() { moveEntries(m_chosenList, m_sourceList, any); }

void ContactsPicker::confirm()
{
    m_answerBox->setChecked(true);
    hide();
}

void ContactsPicker::cancel()
{
    m_answerBox->setChecked(false);
    hide();
}

// The search's clear button comes with the first showing: its icon is looked up in the
// desktop's icon theme, which cost the program's start about a third of its time.
void ContactsPicker::showEvent(QShowEvent* event)
{
    m_search->setClearButtonEnabled(true);
    QWidget::showEvent(event);
}

void ContactsPicker::closeEvent(QCloseEvent* event)
{
    // The close box is Cancel: nothing chosen in a window closed this way is added.
    m_answerBox->setChecked(false);
    QWidget::closeEvent(event);
}
