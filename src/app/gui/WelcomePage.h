#pragma once
// The Welcome page (TabSheet1): the welcome text REwelcome above the panel with
// "Skip welcome screen", Settings, Quit and Next.
#include "app/gui/WizardPage.h"

class QCheckBox;
class QPushButton;
class QTextEdit;

class WelcomePage : public WizardPage {
    Q_OBJECT
public:
    WelcomePage(Client& client, QWidget* parent);

    void showFormValues() override;
    void applyLanguage() override;
    void placeControls(int windowWidth) override;
    QList<QWidget*> tabChain() const override;
    QWidget* firstField() const override;
    QList<QWidget*> schemeControls() const override;

Q_SIGNALS:
    void settingsRequested();

private:
    QTextEdit* m_welcomeText;
    QCheckBox* m_skipWelcomeBox;
    QPushButton* m_settingsButton;
    QPushButton* m_quitButton;
    QPushButton* m_nextButton;
};
