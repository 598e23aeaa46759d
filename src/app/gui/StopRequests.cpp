#include "app/gui/StopRequests.h"

#include "app/gui/ProgramEnd.h"
#include "platform/StopSignals.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace {
const QString kSessionEnding = QStringLiteral("The desktop session is ending.");
}

StopRequests& StopRequests::instance()
{
    static StopRequests requests;
    return requests;
}

void StopRequests::install()
{
    stopsignals::catchThem();
    if (!m_watching) {
        m_watching = true;
        stopsignals::watch(this, [this] { signalled(); });
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (!m_sessionWatched) {
            m_sessionWatched = true;
            connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
                if (sessionEndAsked())
                    session.cancel();
            });
        }
        connect(app, &QCoreApplication::aboutToQuit, this, &StopRequests::sessionEnding, Qt::UniqueConnection);
    }
}

QString StopRequests::reason()
{
    return instance().m_reason;
}

void StopRequests::signalled()
{
    const int signal = stopsignals::pending();
    if (signal == 0)
        return;
    const bool first = m_reason.isEmpty();
    m_reason = QStringLiteral("Interrupted (%1).").arg(stopsignals::name(signal));
    // While a job is written the copy sees the reason and stops; the job's scope ends
    // the program.
    if (m_writing)
        return;
    if (first && m_beforeEnd)
        m_beforeEnd();
    if (m_jobs == 0) {
        endNow();
        return;
    }
    // A question of a job is up (are you sure, what next): it closes, the job's handler
    // stops where it waits, nothing more is written, and the job's scope ends the program.
    ProgramEnd::request(0);
}

bool StopRequests::sessionEndAsked()
{
    const bool first = m_reason.isEmpty();
    if (m_writing) {
        // The copy sees the reason at its next step; the job goes, lock last, and the
        // job's scope ends the program, which lets the session go on.
        if (first)
            m_reason = kSessionEnding;
        return true;
    }
    // A question may be up; the session ends the program its own way once all agree.
    if (first && m_beforeEnd)
        m_beforeEnd();
    return false;
}

void StopRequests::sessionEnding()
{
    // Said at the very end (Windows may end the process as soon as this returns): a job
    // still written stops at its next step; should the process be ended first, its lock
    // stays on disk and the server never takes the half job. Outside a job the session
    // (or Qt) ends the program its own way.
    if (m_jobs > 0 && m_reason.isEmpty())
        m_reason = kSessionEnding;
}

void StopRequests::endNow()
{
    // A signal ends the process as it asked; the session's end, through the event loop.
    stopsignals::endIfPending();
    ProgramEnd::request(0);
}

StopRequests::JobScope::JobScope()
{
    ++instance().m_jobs;
}

StopRequests::JobScope::~JobScope()
{
    StopRequests& requests = instance();
    if (--requests.m_jobs == 0 && !requests.m_reason.isEmpty())
        requests.endNow();
}
