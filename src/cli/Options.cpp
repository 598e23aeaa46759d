#include "cli/Options.h"

#include "platform/Errors.h"
#include "platform/ProfileReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
    QString path = policyOverride;
    if (path.isEmpty()) {
        const QFileInfo program(windowProgramPath());
        path = program.absolutePath() + u'/' + program.completeBaseName() + QStringLiteral(".INI");
    }
    const auto reader = ProfileReader::open(path);
    if (!reader)
        throw IoError(path, QStringLiteral("No INI file found"));
    return reader->readString(QStringLiteral("Settings"), QStringLiteral("SERVERUPLOAD"), QString());
}

} // namespace cli
