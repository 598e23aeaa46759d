#include "config/UploadProbe.h"

#include "client/Client.h"
#include "config/Paths.h"
#include "util/FileDelete.h"
#include "util/NameParts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kPlaceholder = QStringLiteral("<ENTER PATH HERE>");
const QByteArray kTestContent = QByteArrayLiteral("Testfile");

void fail(Client& client, bool asError, const QString& text)
{
    if (asError)
        client.prompter.error(text);
    else
        client.prompter.warning(text);
    client.state.StartupFailed = true;
}

// Writes the test file; false when it cannot be created or written completely.
bool writeTestFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = f.write(kTestContent) == kTestContent.size() && f.flush();
    f.close();
    return written && f.error() == QFileDevice::NoError;
}

} // namespace

void ProbeUploadFolder(Client& client, const QString& configuredPath)
{
    if (client.state.StartupFailed)
        return;

    if (configuredPath == kPlaceholder || configuredPath.isEmpty()) {
        fail(client, true,
             QStringLiteral("PVLERR:01 > Upload path not configured. Contact your system administrator. Check "
                            "server manual."));
        // An empty value would name the file-system root: never probe (or later use) that.
        if (configuredPath.isEmpty())
            return;
    }

    const QString folder = WithTrailingSeparator(configuredPath);
    if (!QFileInfo(folder).isDir()) {
        if (!client.state.StartupFailed)
            fail(client, true,
                 QStringLiteral("PVLERR:04 > Upload path (") + folder +
                     QStringLiteral(") error, path does not exist. Contact your system administrator."));
        return;
    }

    const QString testFolder = folder + RandomText(20, RandomMode::Numbers) + QStringLiteral(".pvltest");
    if (!QDir().mkdir(testFolder)) {
        fail(client, false,
             QStringLiteral("PVLERR:02 > Unsufficient rights in UPLOAD directory. Contact your administrator."));
        return;
    }
    // A folder that takes a folder but not a small file (no rights, no room) cannot
    // take jobs either; the test folder goes again in every case.
    if (!writeTestFile(testFolder + QDir::separator() + QStringLiteral("testfile.txt")))
        fail(client, false,
             QStringLiteral("PVLERR:03 > Unsufficient rights in UPLOAD directory. Contact your administrator."));
    // The verdict is made; a test folder that will not go away is left to the
    // administrator (the server takes up only names with a job descriptor).
    ShellDelete(testFolder);
}
