#pragma once
// The contacts picker: the address book's contacts on the left, the chosen ones on the
// right, four buttons to move them across, and a search box that narrows the left
// list to the entries holding its text. Shown without a modal run over the
// disabled main window; OK and Cancel hide it and leave their answer in the hidden
// check box CB1. The close box counts as Cancel.
#include "recipients/ContactSource.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class LanguageTexts;
struct SchemeColours;
struct ClientState;

class ContactsPicker : public QWidget {
    Q_OBJECT
public:
    explicit ContactsPicker(QWidget* parent = nullptr);

    // Empties both lists, then lists the contacts in their order; earlier picks go.
    void showContacts(const QList<Contact>& contacts);
    // The caption, headings and buttons in the active language.
    void setTexts(const LanguageTexts& texts, const ClientState& state);
    // The colour scheme's background for the two lists, with a text colour that reads on it.
    void setListColours(const SchemeColours& colours);

    // Whether the last closing was OK (CB1 checked).
    bool confirmed() const;
    // The chosen contacts' addresses, in the chosen list's order.
    QStringList chosenAddresses() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void moveSelected();
    void moveAll();
    void moveSelectedBack();
    void moveAllBack();
    void confirm();
    void cancel();

private:
    void moveEntries(QListWidget* from, QListWidget* to, bool (*moves)(const QListWidgetItem*));
    void search();

    QLabel* m_sourceHeading;
    QLabel* m_chosenHeading;
    QLineEdit* m_search;
    QListWidget* m_sourceList;
    QListWidget* m_chosenList;
    QPushButton* m_oneButton;
    QPushButton* m_allButton;
    QPushButton* m_oneBackButton;
    QPushButton* m_allBackButton;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QCheckBox* m_answerBox; // never visible: checked means confirmed with OK
};
