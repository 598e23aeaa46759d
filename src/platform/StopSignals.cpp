#include "platform/StopSignals.h"

#include <csignal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#endif

namespace stopsignals {

namespace {
volatile std::sig_atomic_t g_pending = 0;

#ifdef Q_OS_UNIX
constexpr int kStopSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
int g_wake[2] = {-1, -1};

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
#else
void note(int signal)
{
    g_pending = signal;
}
#endif
} // namespace

void catchThem()
{
#ifdef Q_OS_UNIX
    if (g_wake[0] < 0 && ::pipe(g_wake) == 0) {
        for (const int fd : g_wake) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    for (const int signal : kStopSignals)
        setHandler(signal, note);
    setHandler(SIGPIPE, SIG_IGN);
#else
    std::signal(SIGINT, note);
    std::signal(SIGTERM, note);
#endif
}

int pending()
{
    return int(g_pending);
}

QString name(int signal)
{
    switch (signal) {
#ifdef Q_OS_UNIX
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    case SIGQUIT:
        return QStringLiteral("SIGQUIT");
#endif
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
#ifdef Q_OS_UNIX
    for (const int signal : kStopSignals)
        setHandler(signal, SIG_DFL);
#else
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
#endif
    if (const int signal = pending(); signal != 0)
        std::raise(signal);
}

void leaveToMainThread()
{
#ifdef Q_OS_UNIX
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kStopSignals)
        sigaddset(&set, signal);
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
#endif
}

int wakeFd()
{
#ifdef Q_OS_UNIX
    return g_wake[0];
#else
    return -1;
#endif
}

} // namespace stopsignals
