#include "config/UploadProbe.h"

#include "client/Client.h"
#include "config/Paths.h"
#include "platform/FileTree.h"
#include "spool/LeftoverProbes.h"
#include "util/NameParts.h"

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

    // The test folder and its file are made new, relative to the folder's handle and
    // never through a link: a name planted in the shared folder is not followed.
    const filetree::FileSystem& fs = filetree::native();
    const QByteArray testName = QFile::encodeName(RandomText(20, RandomMode::Numbers) + QStringLiteral(".pvltest"));
    std::unique_ptr<filetree::Folder> upload, test;
    try {
        upload = fs.openFolder(QFile::encodeName(folder));
        test = fs.makeFolder(*upload, testName);
    } catch (const IoError&) {
        fail(client, false,
             QStringLiteral("PVLERR:02 > Unsufficient rights in UPLOAD directory. Contact your administrator."));
        return;
    }
    // A folder that takes a folder but not a small file (no rights, no room) cannot
    // take jobs either; the test folder goes again in every case. It says whose it is
    // first: should this program be killed before it goes, clean knows it for this
    // computer's.
    try {
        fs.writeFile(*test, kProbeOwnerFile, ProbeOwnerMark(), false);
        fs.writeFile(*test, QByteArrayLiteral("testfile.txt"), kTestContent, false);
    } catch (const IoError&) {
        fail(client, false,
             QStringLiteral("PVLERR:03 > Unsufficient rights in UPLOAD directory. Contact your administrator."));
    }
    test.reset();
    // The verdict is made; a test folder that will not go away is left to the
    // administrator (the server takes up only names with a job descriptor).
    fs.remove(*upload, testName);
}
