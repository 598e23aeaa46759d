#include "client/Client.h"
#include "client/ClientState.h"
#include "app/gui/ClientProgram.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // No application display name: Qt would append it to every window's title, and the
    // titles are the program's own.
    // The program ends only through its quit operation, never by a window closing.
    QApplication::setQuitOnLastWindowClosed(false);
    Client client;
    client.programPath = QCoreApplication::applicationFilePath();
    return RunClientProgram(client);
}
