#include "platform/StopSignals.h"

#include <csignal>

namespace stopsignals {

namespace {
volatile std::sig_atomic_t g_pending = 0;

void note(int signal)
{
    g_pending = signal;
}
} // namespace

void catchThem()
{
    std::signal(SIGINT, note);
    std::signal(SIGTERM, note);
}

int pending()
{
    return int(g_pending);
}

QString name(int signal)
{
    return signal == SIGINT ? QStringLiteral("SIGINT") : signal == SIGTERM ? QStringLiteral("SIGTERM")
                                                                           : QString::number(signal);
}

void endIfPending()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (const int signal = pending(); signal != 0)
        std::raise(signal);
}

} // namespace stopsignals
