#include "platform/UserOnly.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

Entry entryOf(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_nlink == 1 ? Entry::PlainFile : Entry::Other;
}

Entry failed(const QString& path, int error, QString* text)
{
    *text = QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(std::strerror(error)), path);
    return Entry::Missing;
}

} // namespace

Entry entryAt(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return Entry::Missing;
    return entryOf(st);
}

Entry makePrivateFile(const QString& path, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    // Twice: another process may make the file between the look and the making.
    for (int round = 0; round < 2; ++round) {
        struct stat st {};
        if (::lstat(name.constData(), &st) == 0) {
            if (entryOf(st) != Entry::PlainFile || (st.st_mode & 07777) == kOwnerOnly)
                return entryOf(st);
            // An existing file's rights are set through its name, never following it: a
            // descriptor of it opened and closed here would drop the locks the database
            // holds on it in this process.
            if (::fchmodat(AT_FDCWD, name.constData(), kOwnerOnly, AT_SYMLINK_NOFOLLOW) == 0)
                return Entry::PlainFile;
            const int why = errno;
            if ((why == EOPNOTSUPP || why == ENOTSUP) && entryAt(path) == Entry::Other)
                return Entry::Other; // a link came meanwhile
            return failed(path, why, error);
        }
        if (errno != ENOENT)
            return failed(path, errno, error);
        // A new file is its owner's alone from the start; the umask may have taken
        // rights from the mode asked for, so they are set on the open file.
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kOwnerOnly);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return failed(path, errno, error);
        const int why = ::fchmod(fd, kOwnerOnly) == 0 ? 0 : errno;
        ::close(fd);
        return why == 0 ? Entry::PlainFile : failed(path, why, error);
    }
    return failed(path, EEXIST, error);
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
