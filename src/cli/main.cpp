// parvela: sends jobs the way the window program does, and inspects upload folders.
#include "cli/Commands.h"
#include "cli/Console.h"
#include "platform/Arguments.h"

#include <QCoreApplication>

namespace {

const char kUsage[] =
    "usage: parvela send [--to ADDR]... [--subject TEXT] [--message TEXT | --message-file FILE]\n"
    "                    [--expire HOURS] [--encrypt | --no-encrypt] [--sfx | --no-sfx]\n"
    "                    [--policy FILE] [--dry-run] [--yes] PATH...\n"
    "       parvela jobs [--policy FILE] [--json] [FOLDER]\n"
    "       parvela clean [--policy FILE] [--yes] [FOLDER]\n"
    "       parvela check FILE.pvx\n"
    "\n"
    "Exit codes: 0 sent (or valid), 1 refused (or invalid), 2 error.";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Paths among the arguments may be names that are no valid text: kept byte for byte.
    QStringList args = ArgumentsOf(argc, argv);
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        console::out(QString::fromLatin1(kUsage));
        return args.isEmpty() ? cli::Failed : cli::Sent;
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
    console::err(QStringLiteral("parvela: unknown command '%1'").arg(command));
    console::err(QString::fromLatin1(kUsage));
    return cli::Failed;
}
