#pragma once
// The window program: its five windows, created in their fixed order, living for the
// whole run.
#include <QStringList>
#include <memory>

struct Client;
class MainWindow;
class SettingsDialog;
class AfterSubmissionDialog;
class ContactsPicker;
class AboutDialog;
class SingleWindow;

class ClientProgram {
public:
    // Creates MainWindow (start-up runs inside it), then SettingsDialog, AfterSubmissionDialog, ContactsPicker and
    // AboutDialog. When start-up decided to end the program, ProgramEnd
    // holds the code and nothing is shown.
    explicit ClientProgram(Client& client);
    ~ClientProgram();

    // Centres the main window on the screen and shows it (the language is applied as it first shows).
    void show();

    MainWindow* mainWindow() const { return m_main.get(); }
    SettingsDialog* settingsDialog() const { return m_settings.get(); }
    AfterSubmissionDialog* afterSubmissionDialog() const { return m_afterSubmission.get(); }
    ContactsPicker* contactsPicker() const { return m_contacts.get(); }
    AboutDialog* aboutDialog() const { return m_about.get(); }
    // The class names of the windows in the order they were made.
    const QStringList& creationOrder() const { return m_order; }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<SettingsDialog> m_settings;
    std::unique_ptr<AfterSubmissionDialog> m_afterSubmission;
    std::unique_ptr<ContactsPicker> m_contacts;
    std::unique_ptr<AboutDialog> m_about;
    QStringList m_order;
};

// The program's entry after the application object exists: the message boxes, the
// windows, and the event loop unless start-up ended the program. The files and folders
// it was started with go into the drop zone, and so do those that later starts hand
// over through single. Returns the exit code.
int RunClientProgram(Client& client, const QStringList& paths = {}, SingleWindow* single = nullptr);
