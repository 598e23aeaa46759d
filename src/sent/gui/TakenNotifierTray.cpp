// Where the desktop has no session bus (Windows): the word is the system tray's
// message, from an icon of the program's own that stays in the tray while it runs.
#include "sent/gui/TakenNotifier.h"

#include <QApplication>
#include <QSystemTrayIcon>

namespace takennotifier {

void notify(const QString& appName, const QString& text)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    static QSystemTrayIcon* icon = [] {
        auto* tray = new QSystemTrayIcon(QApplication::windowIcon(), qApp);
        tray->show();
        return tray;
    }();
    icon->showMessage(appName, text, QSystemTrayIcon::Information);
}

} // namespace takennotifier
