#include "platform/FileTree.h"

#include <QFile>

namespace filetree {

QString kindText(Kind kind)
{
    switch (kind) {
    case Kind::Fifo:
        return QStringLiteral("a named pipe (FIFO)");
    case Kind::Device:
        return QStringLiteral("a device");
    case Kind::Socket:
        return QStringLiteral("a socket");
    case Kind::Missing:
    case Kind::File:
    case Kind::Folder:
    case Kind::Other:
        break;
    }
    return QStringLiteral("neither a file nor a folder");
}

QString shown(const QByteArray& path)
{
    return QFile::decodeName(path);
}

qint64 lockRefreshMilliseconds()
{
    // Tests shorten it to see a writer refresh its lock within a few seconds.
    static const qint64 ms = [] {
        bool ok = false;
        const qint64 v = qEnvironmentVariableIntValue("PARVELA_LOCK_REFRESH_MS", &ok);
        return ok && v > 0 ? v : qint64(30000);
    }();
    return ms;
}

} // namespace filetree
