#include "client/Client.h"
#include "client/ClientState.h"
#include "app/gui/ClientProgram.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The desktop entry's name: docks and task bars tie the window to its launcher and
    // icon by it (on X11 also by the window class, the program's name, which the
    // entry's StartupWMClass names).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.trovik.ParvelaClient"));
    // No application display name: Qt would append it to every window's title, and the
    // titles are the program's own.
    // The program ends only through its quit operation, never by a window closing.
    QApplication::setQuitOnLastWindowClosed(false);
    Client client;
    client.programPath = QCoreApplication::applicationFilePath();
    return RunClientProgram(client);
}
