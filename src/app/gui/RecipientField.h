#pragma once
// The TO field LEto with its own label lto, and the recipient list Mto that drops
// down below it while recipients are edited, with its pop-up menu PopupMenu1 and its
// keys. Only the list counts: an address typed into the field becomes a recipient
// with Enter, on leaving the field, or when the list is joined into the field.
#include <QObject>
#include <QRect>
#include <QString>

#include <functional>

struct Client;
class ClickLabel;
class LabelledEdit;
class QEvent;
class QListWidget;
class QMenu;
class QWidget;

class RecipientField : public QObject {
    Q_OBJECT
public:
    // Makes the label and the field in fieldPanel (the list comes later: makeList).
    RecipientField(Client& client, QWidget* fieldPanel);

    // Makes the list in page; made after the controls it drops down over, so that it
    // lies above them.
    void makeList(QWidget* page);

    LabelledEdit* field() const { return m_field; }
    ClickLabel* label() const { return m_label; }
    QListWidget* list() const { return m_list; }

    // JoinRecipients: hides the list and shows its entries in the field, each followed
    // by "; ". An address still being typed is added first, not dropped.
    void join();
    // Adds the addresses picked from the address book: an open list shows them by
    // itself, a closed one is joined into the field at once, so the user sees them.
    void addPicked(const QStringList& addresses);

    // Puts the form's values into the field and the list.
    void showFormValues();
    // The label's caption (from the language) and the names assistive tools read out.
    void applyLanguage();
    // The field at field (in its panel), its label's right edge at 88 whatever the
    // language makes its width, the list just below the field.
    void place(const QRect& field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addTyped();
    void showList();
    void deleteSelected();
    void guarded(const std::function<void()>& body);

    Client& m_client;
    ClickLabel* m_label;
    LabelledEdit* m_field;
    QListWidget* m_list = nullptr;
    QMenu* m_menu = nullptr;
    // Set by the first address added and by a click into the field while the list has
    // entries; from then on a click into the field always opens the list.
    bool m_listInUse = false;
    // What the field showed when it last got the focus: leaving it unchanged adds nothing.
    QString m_textOnEnter;
};
