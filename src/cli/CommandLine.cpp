#include "cli/CommandLine.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "client/ClientState.h"

namespace cli {

namespace {
const QCommandLineOption kHelp(QStringLiteral("help"), QStringLiteral("Show this help and exit."));
const QCommandLineOption kVersion(QStringLiteral("version"), QStringLiteral("Show the version and exit."));

// "--to ADDR", "--yes": how an option is written on the command line.
QString spelling(const QCommandLineOption& option)
{
    QString text = QStringLiteral("--") + option.names().constFirst();
    if (!option.valueName().isEmpty())
        text += u' ' + option.valueName();
    return text;
}
} // namespace

CommandLine::CommandLine(QString command, QString synopsis, QString summary)
    : m_command(std::move(command)), m_synopsis(std::move(synopsis)), m_summary(std::move(summary))
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
}

void CommandLine::addOption(const QCommandLineOption& option)
{
    m_options.append(option);
    m_parser.addOption(option);
}

std::optional<int> CommandLine::parse(const QStringList& arguments)
{
    m_parser.addOption(kHelp);
    m_parser.addOption(kVersion);
    if (!m_parser.parse(QStringList{QStringLiteral("parvela ") + m_command} + arguments))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(kHelp)) {
        console::out(help());
        return Sent;
    }
    if (m_parser.isSet(kVersion)) {
        console::out(VersionLine());
        return Sent;
    }
    return std::nullopt;
}

int CommandLine::usageError(const QString& why) const
{
    console::err(QStringLiteral("parvela %1: %2").arg(m_command, why));
    console::err(QStringLiteral("usage: parvela ") + m_synopsis);
    console::err(QStringLiteral("Try 'parvela %1 --help' for its options.").arg(m_command));
    return Failed;
}

QString CommandLine::help() const
{
    QList<QCommandLineOption> all = m_options;
    all << kHelp << kVersion;
    qsizetype width = 0;
    for (const QCommandLineOption& o : all)
        width = qMax(width, spelling(o).size());
    QString text = QStringLiteral("usage: parvela ") + m_synopsis + QStringLiteral("\n\n") + m_summary +
                   QStringLiteral("\n\nOptions:\n");
    for (const QCommandLineOption& o : all)
        text += QStringLiteral("  ") + spelling(o).leftJustified(width + 2) + o.description() + u'\n';
    text.chop(1);
    return text;
}

QString OverallUsage()
{
    return QStringLiteral(
        "usage: parvela send [--to ADDR]... [--subject TEXT] [--message TEXT | --message-file FILE]\n"
        "                    [--expire HOURS] [--encrypt | --no-encrypt] [--sfx | --no-sfx]\n"
        "                    [--policy FILE] [--parallel N] [--dry-run] [--yes]\n"
        "                    [--wait [--timeout SECONDS]] PATH...\n"
        "       parvela jobs [--policy FILE] [--json] [--older-than DURATION] [FOLDER]\n"
        "       parvela clean [--policy FILE] [--older-than DURATION] [--yes] [FOLDER]\n"
        "       parvela check FILE.pvx\n"
        "       parvela policy [--policy FILE]\n"
        "       parvela sent [--policy FILE] [--json] [--all | --since DATE]\n"
        "       parvela sent [--policy FILE] --wait JOB [--timeout SECONDS]\n"
        "       parvela [COMMAND] --help | --version\n"
        "\n"
        "send writes a job into the upload folder the way the window program does; jobs lists\n"
        "the jobs of an upload folder; clean removes this computer's abandoned jobs; check\n"
        "validates a job descriptor; policy shows what the program reads from the policy\n"
        "file; sent lists the jobs this user sent, with their state, and waits for one to be\n"
        "taken. 'parvela COMMAND --help' tells a command's options.\n"
        "\n"
        "Exit codes: 0 sent (or valid, or taken), 1 refused (or invalid, or failed), 2 error,\n"
        "3 not taken within the time given to --wait.");
}

QString VersionLine()
{
    return QStringLiteral("parvela (%1) %2").arg(kProductTitle, kVersionText);
}

} // namespace cli
