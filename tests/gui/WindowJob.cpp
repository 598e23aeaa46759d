// The window program writing one job as soon as it is up, with no one at the controls:
// a test stops it with a real signal while the job is written. Arguments: the program
// path (its policy file beside it), then the files to send. With WINDOW_JOB_ASK set to
// "confirm" the are-you-sure question waits (as for a user away from the desk) until
// the program ends and is then answered Yes; set to "after", the question after the
// job waits. "question up" on standard error says that the question is there.
#include "app/gui/ClientProgram.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/StopRequests.h"
#include "client/Client.h"
#include "dialogs/AfterSubmissionDialog.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Client client;
    client.programPath = QString::fromLocal8Bit(argv[1]);
    const QByteArray ask = qgetenv("WINDOW_JOB_ASK");
    // Every box is answered at once (Yes to "Sending, are you sure") and its text told.
    client.prompter.setPresenter([&ask](const Prompt& prompt) {
        std::fprintf(stderr, "%s\n", qPrintable(prompt.text));
        if (prompt.kind == PromptKind::Confirm && ask == "confirm" && !ProgramEnd::requested()) {
            std::fprintf(stderr, "question up\n");
            QEventLoop waiting;
            QObject::connect(&ProgramEnd::instance(), &ProgramEnd::endRequested, &waiting, &QEventLoop::quit);
            waiting.exec();
        }
        return prompt.kind == PromptKind::Confirm ? PromptAnswer::Yes : PromptAnswer::Ok;
    });
    StopRequests::instance().install();
    QObject::connect(&ProgramEnd::instance(), &ProgramEnd::endRequested, &app,
                     [](int code) { QCoreApplication::exit(code); });
    ClientProgram program(client);
    if (ProgramEnd::requested())
        return ProgramEnd::code();
    program.show();
    QList<SelectionEntry> files;
    for (int i = 2; i < argc; ++i)
        files << SelectionEntry::file(QDir::cleanPath(QString::fromLocal8Bit(argv[i])));
    client.form.setSelection(files);
    client.form.setRecipients({QStringLiteral("ann@example.org")});
    client.form.setAutoQuit(ask != "after"); // the program ends after the job
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (program.afterSubmissionDialog()->isVisible()) {
            std::fprintf(stderr, "question up\n");
            watch.stop();
        }
    });
    watch.start(20);
    QTimer::singleShot(0, program.mainWindow(), [&program] {
        QMetaObject::invokeMethod(program.mainWindow(), "finish");
    });
    const int code = QApplication::exec();
    return ProgramEnd::requested() ? ProgramEnd::code() : code;
}
