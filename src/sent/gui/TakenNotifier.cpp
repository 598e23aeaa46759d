#include "sent/gui/TakenNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace takennotifier {

void notify(const QString& appName, const QString& text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("example.trovik.ParvelaClient")}};
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the server's choice)
    call << appName << 0u << QStringLiteral("example.trovik.ParvelaClient") << text << QString() << QStringList()
         << hints << -1;
    // The answer (or that nobody is there to give one) is not waited for.
    bus.send(call);
}

} // namespace takennotifier
