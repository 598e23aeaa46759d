#include "client/Client.h"
#include "client/ClientState.h"
#include "app/HandOverMessage.h"
#include "app/gui/ClientProgram.h"
#include "app/gui/SingleWindow.h"
#include "platform/Arguments.h"

#include <QApplication>
#include <QDir>

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
    // One window per user: a later start hands its files and folders to the running
    // window and ends here, before it reads or writes anything of the user's.
    const QStringList paths = handover::PathsFromArguments(ArgumentsOf(argc, argv).mid(1), QDir::currentPath());
    SingleWindow single;
    if (const std::optional<int> code = single.claimOrEnd(paths))
        return *code;
    Client client;
    client.programPath = QCoreApplication::applicationFilePath();
    return RunClientProgram(client, paths, &single);
}
