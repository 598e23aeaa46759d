#include "sent/gui/TakenNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
// The action a click on the notification itself invokes.
const QString kDefaultAction = QStringLiteral("default");
} // namespace

TakenNotifier::TakenNotifier(QObject* parent) : QObject(parent) {}

void TakenNotifier::notify(const QString& appName, const QString& text, const QString& actionText, qint64 jobId)
{
    // The session bus is reached with the first notification, not at start-up: joining
    // it waits for the bus, and the window need not wait with it.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // The clicks are heard from before the first notification is asked for.
    if (!m_listening) {
        m_listening = true;
        bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
    }
    // The action only where the service says it offers actions: some show a
    // notification with actions as a dialog box that waits for an answer.
    const QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities"));
    auto* asked = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this, asked, appName, text, actionText, jobId] {
        const QDBusPendingReply<QStringList> capabilities = *asked;
        asked->deleteLater();
        const bool actions = capabilities.isValid() && capabilities.value().contains(QStringLiteral("actions"));
        show(appName, text, actions ? QStringList{kDefaultAction, actionText} : QStringList(), jobId);
    });
}

void TakenNotifier::show(const QString& appName, const QString& text, const QStringList& actions, qint64 jobId)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("example.trovik.ParvelaClient")}};
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the server's choice)
    call << appName << 0u << QStringLiteral("example.trovik.ParvelaClient") << text << QString() << actions << hints
         << -1;
    // The answer, the notification's number, comes when it comes; none (nobody there
    // to give one) is no fault.
    auto* shown = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(shown, &QDBusPendingCallWatcher::finished, this, [this, shown, jobId] {
        const QDBusPendingReply<uint> reply = *shown;
        if (reply.isValid())
            m_jobs.insert(reply.value(), jobId);
        shown->deleteLater();
    });
}

void TakenNotifier::actionInvoked(uint notification, const QString& action)
{
    const auto job = m_jobs.constFind(notification);
    if (action == kDefaultAction && job != m_jobs.constEnd())
        Q_EMIT clicked(*job);
}

void TakenNotifier::notificationClosed(uint notification, uint /*reason*/) { m_jobs.remove(notification); }
