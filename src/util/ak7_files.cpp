// The file helpers of ak7 that remove things.
#include "util/ak7.h"

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

bool ShellDelete(const QString& path)
{
    if (path.isEmpty())
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
