#pragma once
// The word when a job is taken: a desktop notification through the session bus's
// org.freedesktop.Notifications (TakenNotifier.cpp), or where there is no session bus
// the system tray's message (TakenNotifierTray.cpp). The call is sent and never waited
// for; where no notification service runs, nothing is shown and nothing fails.
#include <QString>

namespace takennotifier {

inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Shows text as a notification of the program titled appName.
void notify(const QString& appName, const QString& text);

} // namespace takennotifier
