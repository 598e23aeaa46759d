// The stops of a Windows console program: Ctrl+C, Ctrl+Break, the console window
// closed, the user logging off and the computer shutting down all reach the handler
// below, on a thread of their own. They are noted like signals; for the last three the
// system ends the process as soon as the handler returns, so the handler waits until
// the job is taken away again (endIfPending), at most the few seconds Windows grants.
#include "platform/StopSignals.h"

#include <QTimer>

#include <atomic>
#include <csignal>

#include <windows.h>

namespace stopsignals {

namespace {
// The values pending() gives: the C library's numbers where it has one.
constexpr int kInterrupt = SIGINT;
constexpr int kBreak = SIGBREAK;
constexpr int kTerminate = SIGTERM;

std::atomic<int> g_pending{0};
HANDLE g_done = nullptr; // set once the job is away and the process may end

BOOL WINAPI note(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
        g_pending = kInterrupt;
        return TRUE;
    case CTRL_BREAK_EVENT:
        g_pending = kBreak;
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        g_pending = kTerminate;
        // The system ends the process when this returns (after 5 s at the latest for
        // the close, 20 s for the end of a session).
        ::WaitForSingleObject(g_done, 4500);
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

void catchThem()
{
    if (!g_done)
        g_done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(note, TRUE);
}

int pending()
{
    return g_pending.load();
}

QString name(int signal)
{
    switch (signal) {
    case kInterrupt:
        return QStringLiteral("Ctrl+C");
    case kBreak:
        return QStringLiteral("Ctrl+Break");
    case kTerminate:
        return QStringLiteral("the console closed or the session ended");
    default:
        return QString::number(signal);
    }
}

void endIfPending()
{
    ::SetConsoleCtrlHandler(note, FALSE);
    if (pending() == 0)
        return;
    if (g_done)
        ::SetEvent(g_done);
    // The exit status a console program stopped by Ctrl+C has.
    ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

void leaveToMainThread() {}

void watch(QObject* context, std::function<void()> each)
{
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [each = std::move(each)] {
        if (pending() != 0)
            each();
    });
    timer->start(200);
}

} // namespace stopsignals
