#pragma once
// How the window program ends: every handler runs through GuiGuarded, which shows a
// user error and turns ProcessExit into the end of the program (windows hidden, the
// code kept, the event loop asked to stop). No exception ever crosses Qt's own code.
#include <QObject>
#include <functional>

struct Client;

class ProgramEnd : public QObject {
    Q_OBJECT
public:
    static ProgramEnd& instance();

    // The program must end with code: hides every window, keeps the code and asks the
    // event loop to stop (through endRequested). Only the first request counts.
    static void request(int code);
    static bool requested() { return instance().m_requested; }
    static int code() { return instance().m_code; }
    // Tests run several programs in one process.
    static void reset();

Q_SIGNALS:
    void endRequested(int code);

private:
    ProgramEnd() = default;
    bool m_requested = false;
    int m_code = 0;
};

// Runs body. A UserError is shown through the client's prompter; ProcessExit ends
// the program; any other exception is shown as an error too. Once the program is
// ending nothing more runs. Returns true when body ran to its end.
bool GuiGuarded(Client& client, const std::function<void()>& body);

// Keeps the events turning until done() holds or the program is ending (dialogs that
// return a result are shown without a modal run of their own). Throws ProcessExit when
// the program began to end meanwhile, so the caller's handler stops where it stands.
void WaitWhile(const std::function<bool()>& busy);
