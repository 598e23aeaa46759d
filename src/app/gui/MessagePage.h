#pragma once
// The Add message page (TabSheet3): sender, recipients (RecipientField), address book
// button and subject at the top, the message editor RE in the middle, and the panel
// with the options (encrypted, self-extracting, expiry with its Apply), Previous and
// Next. Every change of an option closes the recipient list.
#include "app/gui/WizardPage.h"

#include <QStringList>

class LabelledEdit;
class MessageEditor;
class QCheckBox;
class QKeyEvent;
class QPushButton;
class RecipientField;

class MessagePage : public WizardPage {
    Q_OBJECT
public:
    MessagePage(Client& client, QWidget* parent);

    void showFormValues() override;
    void applyLanguage() override;
    void placeControls(int windowWidth) override;
    QList<QWidget*> tabChain() const override;
    QWidget* firstField() const override;
    QList<QWidget*> schemeControls() const override;

    // JoinRecipients: closes the recipient list into the TO field.
    void joinRecipients();
    // The addresses picked from the address book join the recipients.
    void addPickedRecipients(const QStringList& addresses);

Q_SIGNALS:
    // Badr: the address book.
    void contactsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void bindForm();
    void showMessageInEditor();
    bool filterExpiryKey(QKeyEvent* event);
    void applyExpiry();

    QWidget* m_top;
    LabelledEdit* m_fromEdit;
    RecipientField* m_recipients;
    QPushButton* m_addressBookButton;
    LabelledEdit* m_subjectEdit;
    MessageEditor* m_messageEditor;
    QCheckBox* m_encryptBox;
    QCheckBox* m_sfxBox;
    LabelledEdit* m_expiryEdit;
    QPushButton* m_applyExpiryButton;
    QPushButton* m_previousButton;
    QPushButton* m_nextButton;
};
