#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "config/Paths.h"
#include "config/PolicyCheck.h"
#include "config/PolicyFile.h"
#include "platform/Errors.h"
#include "platform/Text.h"

#include <QFileInfo>

#include <algorithm>

namespace cli {

namespace {

// What an administrator's file holds goes to the terminal with its control
// characters written out, so that a stray byte cannot act on the terminal.
QString printable(const QString& text) { return escapedControls(text); }

// "[Settings] MAXSIZE": the section as the sample file writes it (names match
// without regard to case).
QString keyName(const PolicyKey& key)
{
    const QString section = key.section.compare(QLatin1String("SETTINGS"), Qt::CaseInsensitive) == 0
                                ? QStringLiteral("Settings")
                                : key.section;
    return u'[' + section + QStringLiteral("] ") + key.name;
}

QString keyLine(const PolicyKeyReading& k, qsizetype nameWidth, qsizetype valueWidth)
{
    const QString name = keyName(k.key).leftJustified(nameWidth);
    const QString value = (k.value.isEmpty() ? QStringLiteral("(empty)") : printable(k.value)).leftJustified(valueWidth);
    QString where = k.line > 0 ? QStringLiteral("line %1").arg(k.line) : QStringLiteral("default");
    if (!k.effect.isEmpty())
        where += QStringLiteral(": ") + printable(k.effect);
    return QStringLiteral("%1 = %2  (%3)").arg(name, value, where);
}

} // namespace

// parvela policy: what the program reads from the policy file, for an administrator
// who checks a file before deploying it. It reads the file only: the upload folder is
// not probed and nothing is written.
int policyCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("policy"), QStringLiteral("policy [OPTIONS]"),
                     QStringLiteral("Prints what the program reads from the policy file, key by key: the value in\n"
                                    "effect, the line it comes from or that it is the default, and what it means;\n"
                                    "then the file's encoding and line ends, and a warning for every line the\n"
                                    "program ignores and every value it does not recognise. The file is only read.\n"
                                    "Exit codes: 0 read clean, 1 warnings, 2 the file cannot be read."));
    const QCommandLineOption policy = policyOption();
    line.addOption(policy);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    if (!line.parser().positionalArguments().isEmpty())
        return line.usageError(QStringLiteral("give the file with --policy"));

    const QString given = line.parser().value(policy);
    const QString path = given.isEmpty() ? LocatePolicyFile(windowProgramPath()) : given;
    PolicyCheck check;
    try {
        if (!QFileInfo::exists(path))
            throw IoError(path, QStringLiteral("No INI file found"));
        check = CheckPolicy(ReadPolicyBytes(path));
    } catch (const IoError& e) {
        console::err(QStringLiteral("parvela: ") + printable(e.message()));
        return Failed;
    }

    console::out(QStringLiteral("policy file: ") + printable(QFileInfo(path).absoluteFilePath()));
    console::out(QStringLiteral("encoding: %1; line ends: %2; %3 lines")
                     .arg(check.encoding, check.lineEnds)
                     .arg(check.lineCount));
    // Key by key, the [Settings] keys first, each section in the order the program
    // reads them.
    std::stable_sort(check.keys.begin(), check.keys.end(), [](const PolicyKeyReading& a, const PolicyKeyReading& b) {
        return keyName(a.key).startsWith(QLatin1String("[Settings]")) &&
               !keyName(b.key).startsWith(QLatin1String("[Settings]"));
    });
    qsizetype nameWidth = 0, valueWidth = 0;
    for (const PolicyKeyReading& k : check.keys) {
        nameWidth = qMax(nameWidth, keyName(k.key).size());
        valueWidth = qMax(valueWidth, qMin<qsizetype>(printable(k.value).size(), 24));
    }
    for (const PolicyKeyReading& k : check.keys)
        console::out(keyLine(k, nameWidth, valueWidth));
    for (const PolicyWarning& w : check.warnings)
        console::out(QStringLiteral("warning: ") + (w.line > 0 ? QStringLiteral("line %1: ").arg(w.line) : QString()) +
                     printable(w.text));
    if (check.warnings.isEmpty()) {
        console::out(QStringLiteral("read clean: no warnings"));
        return Sent;
    }
    console::out(check.warnings.size() == 1 ? QStringLiteral("1 warning")
                                            : QStringLiteral("%1 warnings").arg(check.warnings.size()));
    return Refused;
}

} // namespace cli
