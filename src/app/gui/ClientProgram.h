#pragma once
// The window program: its five windows, created in their fixed order, living for the
// whole run.
#include <QStringList>
#include <memory>

struct Client;
class TPVX;
class Tfsettings;
class Tpost;
class Tadr;
class Tparvelaclientabout;

class ClientProgram {
public:
    // Creates TPVX (start-up runs inside it), then Tfsettings, Tpost, Tadr and
    // Tparvelaclientabout. When start-up decided to end the program, ProgramEnd
    // holds the code and nothing is shown.
    explicit ClientProgram(Client& client);
    ~ClientProgram();

    // Centres the main window on the screen and shows it (FormShow runs).
    void show();

    TPVX* mainWindow() const { return m_main.get(); }
    Tfsettings* settingsWindow() const { return m_settings.get(); }
    Tpost* postWindow() const { return m_post.get(); }
    Tadr* contactsWindow() const { return m_adr.get(); }
    Tparvelaclientabout* aboutWindow() const { return m_about.get(); }
    // The class names of the windows in the order they were made.
    const QStringList& creationOrder() const { return m_order; }

private:
    std::unique_ptr<TPVX> m_main;
    std::unique_ptr<Tfsettings> m_settings;
    std::unique_ptr<Tpost> m_post;
    std::unique_ptr<Tadr> m_adr;
    std::unique_ptr<Tparvelaclientabout> m_about;
    QStringList m_order;
};

// The program's entry after the application object exists: the message boxes, the
// windows, and the event loop unless start-up ended the program. Returns the exit code.
int RunClientProgram(Client& client);
