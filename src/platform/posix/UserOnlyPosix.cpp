#include "platform/UserOnly.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace useronly {

QString privateFolder(const QString& parent, const QString& name, QString* error)
{
    if (parent.isEmpty()) {
        *error = QStringLiteral("no runtime folder");
        return {};
    }
    const QString path = QDir(parent).filePath(name);
    // Made with the owner's rights alone from the start: no moment in which others
    // could enter it. An existing one is checked below.
    QDir().mkdir(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    if (!S_ISDIR(st.st_mode)) {
        *error = QStringLiteral("%1 is no folder").arg(path);
        return {};
    }
    if (st.st_uid != ::geteuid()) {
        *error = QStringLiteral("%1 belongs to another user").arg(path);
        return {};
    }
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        *error = QStringLiteral("others may enter %1").arg(path);
        return {};
    }
    return path;
}

bool peerIsThisUser(qintptr socketDescriptor)
{
#if defined(Q_OS_LINUX)
    struct ucred peer {};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer)
        return false;
    return peer.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(int(socketDescriptor), &uid, &gid) != 0)
        return false;
    return uid == ::geteuid();
#endif
}

} // namespace useronly
