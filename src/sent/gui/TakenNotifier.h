#pragma once
// The word when a job is taken: a desktop notification through the session bus's
// org.freedesktop.Notifications (TakenNotifier.cpp), or where there is no session bus
// the system tray's message (TakenNotifierTray.cpp). The call is sent and never waited
// for; where no notification service runs, nothing is shown and nothing fails. A click
// on the notification (its default action, where the service offers actions) is
// reported with the job it tells of.
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QSystemTrayIcon;

class TakenNotifier : public QObject {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

    explicit TakenNotifier(QObject* parent = nullptr);

    // Shows text as a notification of the program titled appName, about job jobId;
    // actionText names what a click on it does.
    void notify(const QString& appName, const QString& text, const QString& actionText, qint64 jobId);

Q_SIGNALS:
    void clicked(qint64 jobId);

private Q_SLOTS:
    void actionInvoked(uint notification, const QString& action);
    void notificationClosed(uint notification, uint reason);

private:
    // The notification itself, over the session bus (not on Windows).
    void show(const QString& appName, const QString& text, const QStringList& actions, qint64 jobId);

    QHash<uint, qint64> m_jobs;          // the jobs of the notifications shown, by their number
    QSystemTrayIcon* m_tray = nullptr;   // the tray's icon, where there is one
    qint64 m_trayJob = 0;                // the job of the tray's last message
    bool m_listening = false;            // the bus's clicks are heard
};
