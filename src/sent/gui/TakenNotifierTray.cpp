// Where the desktop has no session bus (Windows): the word is the system tray's
// message, from an icon of the program's own that stays in the tray while it runs.
#include "sent/gui/TakenNotifier.h"

#include <QApplication>
#include <QSystemTrayIcon>

TakenNotifier::TakenNotifier(QObject* parent) : QObject(parent) {}

void TakenNotifier::notify(const QString& appName, const QString& text, const QString& /*actionText*/, qint64 jobId)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(QApplication::windowIcon(), this);
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] { Q_EMIT clicked(m_trayJob); });
        m_tray->show();
    }
    // The tray shows one message at a time: a click is on the last.
    m_trayJob = jobId;
    m_tray->showMessage(appName, text, QSystemTrayIcon::Information);
}

void TakenNotifier::actionInvoked(uint, const QString&) {}

void TakenNotifier::notificationClosed(uint, uint) {}
