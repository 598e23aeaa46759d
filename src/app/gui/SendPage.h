#pragma once
// The Send page (TabSheet4): the log REsent of the summary and the job, above the
// panel with Summary, "Done / Quit", Quit, Previous and Finish.
#include "app/gui/WizardPage.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class SendPage : public WizardPage {
    Q_OBJECT
public:
    SendPage(Client& client, QWidget* parent);

    void showFormValues() override;
    void applyLanguage() override;
    void placeControls(int windowWidth) override;
    QList<QWidget*> tabChain() const override;
    QWidget* firstField() const override;
    QList<QWidget*> schemeControls() const override;

    // The page is shown (with the recipient list joined): Finish is usable with at
    // least one recipient and at least one entry in the drop zone.
    void shown();

Q_SIGNALS:
    void finishRequested();

private:
    void showSummary();

    QPlainTextEdit* m_log;
    QPushButton* m_summaryButton;
    QCheckBox* m_autoQuitBox;
    QPushButton* m_quitButton;
    QPushButton* m_previousButton;
    QPushButton* m_finishButton;
};
