#include "platform/StopSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace stopsignals {

namespace {
volatile std::sig_atomic_t g_pending = 0;

constexpr int kStopSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
int g_wake[2] = {-1, -1};
// The stop signals this process was started with ignored (nohup ignores SIGHUP; a
// shell's "&" without job control ignores SIGINT and SIGQUIT): they stay ignored, as
// whoever started it asked. Read once, before the first handler is set.
sigset_t g_ignoredAtStart;
bool g_startRead = false;

bool ignoredAtStart(int signal)
{
    if (!g_startRead) {
        sigemptyset(&g_ignoredAtStart);
        for (const int s : kStopSignals) {
            struct sigaction current = {};
            if (::sigaction(s, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
                sigaddset(&g_ignoredAtStart, s);
        }
        g_startRead = true;
    }
    return sigismember(&g_ignoredAtStart, signal) == 1;
}

void note(int signal)
{
    const int saved = errno;
    g_pending = signal;
    if (g_wake[1] >= 0) {
        const char byte = 1;
        // A full pipe already wakes its reader; nothing is lost by a failed write.
        [[maybe_unused]] const ssize_t n = ::write(g_wake[1], &byte, 1);
    }
    errno = saved;
}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}
} // namespace

void catchThem()
{
    if (g_wake[0] < 0 && ::pipe(g_wake) == 0) {
        for (const int fd : g_wake) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    for (const int signal : kStopSignals)
        if (!ignoredAtStart(signal))
            setHandler(signal, note);
    setHandler(SIGPIPE, SIG_IGN);
}

int pending()
{
    return int(g_pending);
}

QString name(int signal)
{
    switch (signal) {
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    case SIGQUIT:
        return QStringLiteral("SIGQUIT");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    default:
        return QString::number(signal);
    }
}

void endIfPending()
{
    for (const int signal : kStopSignals)
        if (!ignoredAtStart(signal))
            setHandler(signal, SIG_DFL);
    if (const int signal = pending(); signal != 0)
        std::raise(signal);
}

void leaveToMainThread()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kStopSignals)
        sigaddset(&set, signal);
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void watch(QObject* context, std::function<void()> each)
{
    if (g_wake[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(g_wake[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [each = std::move(each)] {
        // The bytes only wake the loop; the signal itself is in pending().
        char bytes[64];
        while (::read(g_wake[0], bytes, sizeof bytes) > 0) {
        }
        each();
    });
}

} // namespace stopsignals
