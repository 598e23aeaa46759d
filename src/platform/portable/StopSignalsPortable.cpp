// The stop signals where the system offers only the C library's: SIGINT and SIGTERM
// are noted, and a watcher looks for them a few times a second.
#include "platform/StopSignals.h"

#include <QTimer>

#include <csignal>

namespace stopsignals {

namespace {
volatile std::sig_atomic_t g_pending = 0;

void note(int signal)
{
    g_pending = signal;
    std::signal(signal, note);
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
    switch (signal) {
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
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (const int signal = pending(); signal != 0)
        std::raise(signal);
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
