#pragma once
// The Settings dialog: the sender's name, company and address, the default options,
// the memories, the language and the colour scheme. Shown without a modal run over
// the disabled main window; OK and Cancel hide it and leave their answer in the hidden
// check box cbapply. The close box only hides it, so the answer stays what it was
// (apply, from the dialog's creation or the last OK). It opens with the focus in the
// name field; Enter presses OK from any field (or the button that has the focus),
// Escape presses Cancel.
#include "config/SettingsChoices.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class LanguageTexts;

class SettingsDialog : public QWidget {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    // Puts the values, the title and the active language's texts on the controls.
    void fill(const SettingsChoices& values, const LanguageTexts& texts, const QString& title);
    // The values the controls hold now.
    SettingsChoices choices() const;
    // Whether the dialog's answer is to apply (cbapply checked).
    bool applyAnswer() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private Q_SLOTS:
    void confirm();
    void cancel();

private:
    QWidget* labelledEdit(const QString& name, QLineEdit** edit, QLabel** label);

    QGroupBox* m_frame;
    QLineEdit* m_nameEdit;
    QLabel* m_nameLabel;
    QLineEdit* m_companyEdit;
    QLabel* m_companyLabel;
    QLineEdit* m_emailEdit;
    QLabel* m_emailLabel;
    QCheckBox* m_rememberToBox;
    QCheckBox* m_rememberMessageBox;
    QCheckBox* m_encryptBox;
    QCheckBox* m_sfxBox;
    QCheckBox* m_skipWelcomeBox;
    QLabel* m_languageLabel;
    QComboBox* m_languageList;
    QLabel* m_colorLabel;
    QComboBox* m_colorList;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QCheckBox* m_applyBox; // never visible: checked means apply
};
