#pragma once
// One command's command line: its synopsis, what it does and its options with their
// descriptions. The options are parsed by QCommandLineParser; every command also takes
// --help (its usage, exit 0) and --version. A usage error is one line, then the usage,
// exit 2.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <optional>

namespace cli {

class CommandLine {
public:
    // command: "send"; synopsis: the usage line after "parvela " ("send [OPTIONS]
    // PATH..."); summary: a few sentences on what the command does.
    CommandLine(QString command, QString synopsis, QString summary);

    void addOption(const QCommandLineOption& option);
    // Parses arguments. Answers the exit code when the command is done already: its
    // help or the version was printed (0), or the arguments were no good (2, reported).
    std::optional<int> parse(const QStringList& arguments);
    // After parse: at most / exactly this many positional arguments are allowed.
    const QCommandLineParser& parser() const { return m_parser; }

    // Reports a usage error found after parsing: the line, then the usage. Returns 2.
    int usageError(const QString& why) const;
    QString help() const;

private:
    QString m_command;
    QString m_synopsis;
    QString m_summary;
    QList<QCommandLineOption> m_options;
    QCommandLineParser m_parser;
};

// Every command's usage line, for parvela --help and an unknown command.
QString OverallUsage();
// "parvela (Trovik Parvela Client) 2007 - R1.2.6"
QString VersionLine();

} // namespace cli
