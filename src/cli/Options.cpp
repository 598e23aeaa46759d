#include "cli/Options.h"

#include "config/Paths.h"
#include "config/PolicyFile.h"
#include "config/PolicyKeys.h"
#include "platform/Errors.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace cli {

QString windowProgramPath()
{
    // Beside this tool, named as the system names programs (with this tool's ending).
    const QFileInfo self(QCoreApplication::applicationFilePath());
    const QString suffix = self.suffix();
    return self.absolutePath() + QStringLiteral("/parvelaclient") +
           (suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix);
}

QString policyUploadFolder(const QString& policyOverride)
{
    const QString path = policyOverride.isEmpty() ? LocatePolicyFile(windowProgramPath()) : policyOverride;
    if (!QFileInfo::exists(path))
        throw IoError(path, QStringLiteral("No INI file found"));
    const PolicyKey& key = policykeys::ServerUpload;
    return ReadPolicyFile(path).readString(key.section, key.name, key.defaultValue);
}

QCommandLineOption policyOption()
{
    return QCommandLineOption(QStringLiteral("policy"), QStringLiteral("The policy file to read instead of parvelaclient's."),
                              QStringLiteral("FILE"));
}

QString folderArgument(const QCommandLineParser& parser, const QCommandLineOption& policy)
{
    const QStringList folders = parser.positionalArguments();
    return folders.isEmpty() ? policyUploadFolder(parser.value(policy)) : folders.first();
}

QCommandLineOption olderThanOption()
{
    return QCommandLineOption(QStringLiteral("older-than"),
                              QStringLiteral("How long a free lock must not have been marked alive before its job\n"
                                             "counts as abandoned: 90s, 15m, 2h, 1d (minutes without a unit;\n"
                                             "default 15m)."),
                              QStringLiteral("DURATION"), QStringLiteral("15m"));
}

qint64 durationSeconds(const QString& text)
{
    static const QList<std::pair<QChar, qint64>> units = {{u's', 1}, {u'm', 60}, {u'h', 3600}, {u'd', 86400}};
    QString number = text;
    qint64 unit = 60;
    for (const auto& [suffix, seconds] : units) {
        if (number.endsWith(suffix)) {
            number.chop(1);
            unit = seconds;
            break;
        }
    }
    bool ok = !number.isEmpty() && number.size() <= 9;
    for (const QChar c : number)
        ok = ok && c >= u'0' && c <= u'9';
    return ok ? number.toLongLong() * unit : -1;
}

} // namespace cli
