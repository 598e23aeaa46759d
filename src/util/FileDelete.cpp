// Silent removal of files and folder trees.
#include "util/FileDelete.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool removeFile(const QString& path)
{
    QFile file(path);
    if (file.remove())
        return true;
    // A read-only file goes as well, as it does in the shell; a link keeps its
    // target's permissions untouched.
    if (QFileInfo(path).isSymLink())
        return false;
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    return file.remove();
}
} // namespace

bool ShellDelete(const QString& given)
{
    // "folder/" names the folder itself; without the separator a link to a folder is
    // seen as the link, not followed to its target.
    QString path = QDir::fromNativeSeparators(given);
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    if (path.isEmpty() || QDir(path).isRoot())
        return false;
    const QFileInfo info(path);
    // A link is removed itself, never what it leads to: a link to a folder must not
    // take the folder's contents with it.
    if (info.isSymLink())
        return removeFile(path);
    if (!info.exists())
        return false;
    if (info.isDir()) {
        // removeRecursively() keeps going past an entry it cannot remove and then
        // answers false; links inside are removed as links.
        return QDir(path).removeRecursively() && !QFileInfo::exists(path);
    }
    return removeFile(path);
}
