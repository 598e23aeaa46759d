#pragma once
// The question after a job went out: Reset, Continue or Quit. Shown without a modal
// run over the disabled main window; each answer hides the dialog and stays recorded in
// one of three hidden check boxes until the next showing. The close box answers Quit,
// Escape answers Continue.
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class LanguageTexts;

class AfterSubmissionDialog : public QWidget {
    Q_OBJECT
public:
    enum class Choice { None, Reset, Continue, Quit };

    explicit AfterSubmissionDialog(QWidget* parent = nullptr);

    // Clears the answer and takes the texts of the active language.
    void prepare(const LanguageTexts& texts);
    // Shows the dialog centred on owner, with the focus on its first button.
    void showOver(QWidget* owner);
    Choice choice() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void answer(QCheckBox* box);

    QLabel* m_question;
    QPushButton* m_resetButton;
    QPushButton* m_continueButton;
    QPushButton* m_quitButton;
    QCheckBox* m_resetBox;
    QCheckBox* m_continueBox;
    QCheckBox* m_quitBox;
};
