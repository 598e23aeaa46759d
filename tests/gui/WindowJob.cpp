// The window program writing one job as soon as it is up, with no one at the controls:
// a test stops it with a real signal while the job is written. Arguments: the program
// path (its policy file beside it), then the files to send.
#include "app/gui/ClientProgram.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/StopRequests.h"
#include "client/Client.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Client client;
    client.programPath = QString::fromLocal8Bit(argv[1]);
    // Every box is answered at once (Yes to "Sending, are you sure") and its text told.
    client.prompter.setPresenter([](const Prompt& prompt) {
        std::fprintf(stderr, "%s\n", qPrintable(prompt.text));
        return prompt.kind == PromptKind::Confirm ? PromptAnswer::Yes : PromptAnswer::Ok;
    });
    StopRequests::instance().install();
    QObject::connect(&ProgramEnd::instance(), &ProgramEnd::endRequested, &app,
                     [](int code) { QCoreApplication::exit(code); });
    ClientProgram program(client);
    if (ProgramEnd::requested())
        return ProgramEnd::code();
    QList<SelectionEntry> files;
    for (int i = 2; i < argc; ++i)
        files << SelectionEntry::file(QString::fromLocal8Bit(argv[i]));
    client.form.setSelection(files);
    client.form.setRecipients({QStringLiteral("ann@example.org")});
    client.form.setAutoQuit(true); // the program ends after the job
    QTimer::singleShot(0, program.mainWindow(), [&program] {
        QMetaObject::invokeMethod(program.mainWindow(), "finish");
    });
    const int code = QApplication::exec();
    return ProgramEnd::requested() ? ProgramEnd::code() : code;
}
