#include "cli/Options.h"

#include "config/Paths.h"
#include "platform/Errors.h"
#include "platform/ProfileReader.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace cli {

QString windowProgramPath()
{
    const QString dir = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
    return dir + QStringLiteral("/parvelaclient.exe");
#else
    return dir + QStringLiteral("/parvelaclient");
#endif
}

QString policyUploadFolder(const QString& policyOverride)
{
    const QString path = policyOverride.isEmpty() ? LocatePolicyFile(windowProgramPath()) : policyOverride;
    const auto reader = ProfileReader::open(path);
    if (!reader)
        throw IoError(path, QStringLiteral("No INI file found"));
    return reader->readString(QStringLiteral("Settings"), QStringLiteral("SERVERUPLOAD"), QString());
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

} // namespace cli
