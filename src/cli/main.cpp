// parvela: sends jobs the way the window program does, and inspects upload folders.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "platform/Arguments.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
#ifdef SIGPIPE
    // Output piped into a reader that ends early (head) is dropped from then on; what
    // the tool does, a job above all, never depends on anyone reading it.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // Paths among the arguments may be names that are no valid text: kept byte for byte.
    QStringList args = ArgumentsOf(argc, argv);
    args.removeFirst();
    if (args.isEmpty()) {
        console::err(cli::OverallUsage());
        return cli::Failed;
    }
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        console::out(cli::OverallUsage());
        return cli::Sent;
    }
    if (args.first() == QLatin1String("--version")) {
        console::out(cli::VersionLine());
        return cli::Sent;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("send"))
        return cli::sendCommand(args);
    if (command == QLatin1String("jobs"))
        return cli::jobsCommand(args);
    if (command == QLatin1String("clean"))
        return cli::cleanCommand(args);
    if (command == QLatin1String("check"))
        return cli::checkCommand(args);
    if (command == QLatin1String("policy"))
        return cli::policyCommand(args);
    if (command == QLatin1String("sent"))
        return cli::sentCommand(args);
    console::err(command.startsWith(u'-') ? QStringLiteral("parvela: unknown option '%1'").arg(command)
                                          : QStringLiteral("parvela: unknown command '%1'").arg(command));
    console::err(cli::OverallUsage());
    return cli::Failed;
}
