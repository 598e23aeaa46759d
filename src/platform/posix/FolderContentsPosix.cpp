// What is below a folder on POSIX systems: the kind of each entry, the bytes of the
// files in the whole tree, and the removal of all of it, no link ever followed.
#include "platform/posix/PosixFiles.h"

#include <memory>
#include <vector>

namespace filetree::posixfiles {

Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::File;
    if (S_ISDIR(mode))
        return Kind::Folder;
    if (S_ISFIFO(mode))
        return Kind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Kind::Device;
    if (S_ISSOCK(mode))
        return Kind::Socket;
    return Kind::Other;
}

Kind entryKind(const dirent* e, int folderFd, bool* link)
{
    *link = false;
#ifdef _DIRENT_HAVE_D_TYPE
    switch (e->d_type) {
    case DT_REG:
        return Kind::File;
    case DT_DIR:
        return Kind::Folder;
    case DT_LNK:
        *link = true;
        return Kind::Other;
    case DT_FIFO:
        return Kind::Fifo;
    case DT_CHR:
    case DT_BLK:
        return Kind::Device;
    case DT_SOCK:
        return Kind::Socket;
    default:
        break;
    }
#endif
    struct stat st;
    if (::fstatat(folderFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Kind::Missing;
    *link = S_ISLNK(st.st_mode);
    return kindOf(st.st_mode);
}

// The bytes of the files below the open folder fd (which it takes over), no link
// followed. Folders are walked depth first, each open while its entries are read.
qint64 bytesBelow(int fd, QString* error)
{
    struct Level {
        std::unique_ptr<DirStream> dir;
    };
    std::vector<Level> levels;
    levels.push_back({std::make_unique<DirStream>(fd)});
    qint64 total = 0;
    while (!levels.empty()) {
        DirStream& dir = *levels.back().dir;
        if (!dir.isOpen()) {
            *error = systemText(dir.error());
            return -1;
        }
        const dirent* e = dir.next();
        if (!e) {
            if (dir.error() != 0) {
                *error = systemText(dir.error());
                return -1;
            }
            levels.pop_back();
            continue;
        }
        bool link = false;
        const Kind kind = entryKind(e, dir.fd(), &link);
        if (kind == Kind::Folder) {
            levels.push_back(
                {std::make_unique<DirStream>(::openat(dir.fd(), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC))});
            continue;
        }
        if (kind != Kind::File)
            continue;
        struct stat st;
        if (::fstatat(dir.fd(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue; // gone meanwhile: it counts nothing
            *error = systemText(errno);
            return -1;
        }
        if (S_ISREG(st.st_mode) && __builtin_add_overflow(total, qint64(st.st_size), &total)) {
            *error = QStringLiteral("Value too large for defined data type");
            return -1;
        }
    }
    return total;
}

// Removes everything in the open folder fd; links go as links. The first failure's
// text, or empty.
QString removeContents(int fd)
{
    std::vector<QByteArray> names;
    {
        DirStream dir(::dup(fd));
        if (!dir.isOpen())
            return systemText(dir.error());
        while (const dirent* e = dir.next())
            names.emplace_back(e->d_name);
        if (dir.error() != 0)
            return systemText(dir.error());
    }
    QString first;
    for (const QByteArray& name : names) {
        struct stat st;
        if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT && first.isEmpty())
                first = systemText(errno);
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            Fd sub(::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            const QString inner = sub.get() < 0 ? systemText(errno) : removeContents(sub.get());
            if (!inner.isEmpty() && first.isEmpty())
                first = inner;
            if (::unlinkat(fd, name.constData(), AT_REMOVEDIR) != 0 && first.isEmpty())
                first = systemText(errno);
        } else if (::unlinkat(fd, name.constData(), 0) != 0 && errno != ENOENT && first.isEmpty()) {
            first = systemText(errno);
        }
    }
    return first;
}

} // namespace filetree::posixfiles
