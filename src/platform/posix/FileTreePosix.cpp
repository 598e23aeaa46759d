// The file trees on POSIX systems: open folder handles, one status call per entry,
// entries created relative to their folder without following links, the kernel's copy.
#include "platform/posix/PosixFiles.h"

#include <sys/statvfs.h>
#ifdef Q_OS_LINUX
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace filetree {

namespace {

using namespace posixfiles;

Status statusOf(const struct stat& st, bool link)
{
    Status s;
    s.kind = kindOf(st.st_mode);
    s.link = link;
    s.size = s.kind == Kind::File ? qint64(st.st_size) : 0;
    s.allocated = qint64(st.st_blocks) * 512;
    s.mtime = nanoseconds(st.st_mtim);
    s.ctime = nanoseconds(st.st_ctim);
    s.id = {quint64(st.st_dev), quint64(st.st_ino), {}};
    return s;
}

// Whether this process may read a file: the permission bits answer without a further
// call; only when they say no is the system asked, since an access list or a
// privilege (root) can still allow it.
bool mayRead(const struct stat& st, int folderFd, const char* name)
{
    static const uid_t uid = ::geteuid();
    static const std::vector<gid_t> groups = [] {
        std::vector<gid_t> g(size_t(qMax(0, ::getgroups(0, nullptr))));
        g.resize(size_t(qMax(0, ::getgroups(int(g.size()), g.data()))));
        g.push_back(::getegid());
        return g;
    }();
    mode_t bit = S_IROTH;
    if (st.st_uid == uid)
        bit = S_IRUSR;
    else if (std::find(groups.begin(), groups.end(), st.st_gid) != groups.end())
        bit = S_IRGRP;
    if (st.st_mode & bit)
        return true;
    return ::faccessat(folderFd, name, R_OK, AT_EACCESS) == 0;
}

// File systems whose files are views of the running system, not data: their sizes
// lie, some of their files never end, and some links in them lead back up the tree.
bool isSystemFileSystem(const char* path)
{
#ifdef Q_OS_LINUX
    struct statfs fs;
    if (::statfs(path, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC:
    case BINFMTFS_MAGIC:
    case NSFS_MAGIC:
    case HUGETLBFS_MAGIC:
    case AUTOFS_SUPER_MAGIC:
    case 0x62656570UL: // configfs
    case 0x65735543UL: // fusectl
    case 0x19800202UL: // mqueue
    case 0x67596969UL: // rpc_pipefs
        return true;
    default:
        return false;
    }
#else
    Q_UNUSED(path);
    return false;
#endif
}

class PosixFileSystem final : public FileSystem {
public:
    Status status(const QByteArray& path) const override
    {
        struct stat st;
        Status s;
        if (::lstat(path.constData(), &st) != 0) {
            s.gone = errno == ENOENT;
            s.error = systemText(errno);
            return s;
        }
        const bool link = S_ISLNK(st.st_mode);
        if (link && ::stat(path.constData(), &st) != 0) {
            s.gone = errno == ENOENT;
            s.error = systemText(errno);
            s.link = true;
            return s;
        }
        s = statusOf(st, link);
        s.systemFs = isSystemFileSystem(path.constData());
        if (s.kind == Kind::File)
            s.readable = mayRead(st, AT_FDCWD, path.constData());
        return s;
    }

    bool list(const QByteArray& folder, const Status& folderStatus, std::vector<Listed>& entries,
              QString* error) const override
    {
        DirStream dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!dir.isOpen()) {
            *error = systemText(dir.error());
            return false;
        }
        while (const dirent* e = dir.next()) {
            Listed& l = entries.emplace_back();
            l.name = QByteArray(e->d_name);
            bool link = false;
#ifdef _DIRENT_HAVE_D_TYPE
            link = e->d_type == DT_LNK;
            const bool known = e->d_type != DT_UNKNOWN;
#else
            const bool known = false;
#endif
            struct stat st;
            if (!known) {
                if (::fstatat(dir.fd(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                    link = S_ISLNK(st.st_mode);
            }
            if (::fstatat(dir.fd(), e->d_name, &st, 0) != 0) {
                l.status.gone = errno == ENOENT;
                l.status.error = systemText(errno);
                l.status.link = link;
                continue;
            }
            l.status = statusOf(st, link);
            if (l.status.kind == Kind::File)
                l.status.readable = mayRead(st, dir.fd(), e->d_name);
            // Only where the device changes can another kind of file system begin.
            if (quint64(st.st_dev) != folderStatus.id.device)
                l.status.systemFs = isSystemFileSystem(joined(folder, l.name).constData());
        }
        if (dir.error() != 0) {
            *error = systemText(dir.error());
            return false;
        }
        return true;
    }

    QByteArray canonical(const QByteArray& path) const override
    {
        char* resolved = ::realpath(path.constData(), nullptr);
        if (!resolved)
            return {};
        QByteArray result(resolved);
        ::free(resolved);
        return result;
    }

    Limits limits(const QByteArray& folder) const override
    {
        Limits l;
        errno = 0;
        if (const long name = ::pathconf(folder.constData(), _PC_NAME_MAX); name > 0)
            l.name = name;
        if (const long path = ::pathconf(folder.constData(), _PC_PATH_MAX); path > 0)
            l.path = path;
        return l;
    }

    qint64 freeBytes(const QByteArray& folder) const override
    {
        struct statvfs fs;
        if (::statvfs(folder.constData(), &fs) != 0)
            return -1;
        return qint64(fs.f_bavail) * qint64(fs.f_frsize);
    }

    bool isRemote(const QByteArray& folder) const override
    {
#ifdef Q_OS_LINUX
        struct statfs fs;
        if (::statfs(folder.constData(), &fs) != 0)
            return false;
        switch (static_cast<unsigned long>(fs.f_type)) {
        case NFS_SUPER_MAGIC:
        case SMB_SUPER_MAGIC:
        case 0xFF534D42UL: // CIFS
        case 0xFE534D42UL: // SMB2
        case 0x65735546UL: // FUSE: sshfs and the like
        case 0x00C36400UL: // Ceph
        case 0x01021997UL: // 9P
        case AFS_SUPER_MAGIC:
        case CODA_SUPER_MAGIC:
        case NCP_SUPER_MAGIC:
            return true;
        default:
            return false;
        }
#else
        Q_UNUSED(folder);
        return false;
#endif
    }

    std::unique_ptr<Folder> openFolder(const QByteArray& path) const override
    {
        int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        bool pathOnly = false;
#ifdef O_PATH
        // A drop folder may be writable without being listable.
        if (fd < 0 && errno == EACCES) {
            fd = ::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            pathOnly = true;
        }
#endif
        if (fd < 0)
            throwFailure(path);
        return std::make_unique<PosixFolder>(fd, path, pathOnly);
    }

    std::unique_ptr<Folder> makeFolder(Folder& parentFolder, const QByteArray& name) const override
    {
        PosixFolder& parent = posixFolder(parentFolder);
        const QByteArray path = joined(parent.bytes(), name);
        if (::mkdirat(parent.fd(), name.constData(), 0777) != 0)
            throwFailure(path);
        const int fd = ::openat(parent.fd(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            throwFailure(path);
        return std::make_unique<PosixFolder>(fd, path, false);
    }

    void writeFile(Folder& parentFolder, const QByteArray& name, const QByteArray& bytes, bool durable) const override
    {
        PosixFolder& parent = posixFolder(parentFolder);
        const QString path = shown(joined(parent.bytes(), name));
        Fd fd(createNew(parent, name));
        try {
            writeAll(fd.get(), bytes, path);
            if (durable) {
                syncOrThrow(fd.get(), path);
                syncEntry(parent, fd.get());
            }
            closeOrThrow(fd, path);
        } catch (const IoError&) {
            // A file that could not be written whole does not stay behind.
            ::unlinkat(parent.fd(), name.constData(), 0);
            throw;
        }
    }

    std::unique_ptr<Lock> createLock(Folder& parent, const QByteArray& name, const QByteArray& bytes) const override
    {
        return createJobLock(posixFolder(parent), name, bytes);
    }

    QString removeLock(Folder& parent, const QByteArray& name, std::unique_ptr<Lock> lock) const override
    {
        return removeJobLock(posixFolder(parent), name, std::move(lock));
    }

    LockProbe probeLock(Folder& parent, const QByteArray& name, std::unique_ptr<Lock>* taken, QString* why) const override
    {
        return probeJobLock(posixFolder(parent), name, taken, why);
    }

    bool forEachEntry(Folder& folder, const std::function<void(const QByteArray&, Kind, bool)>& each,
                      QString* error) const override
    {
        DirStream dir(::openat(posixFolder(folder).fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!dir.isOpen()) {
            *error = systemText(dir.error());
            return false;
        }
        QByteArray name;
        while (const dirent* e = dir.next()) {
            bool link = false;
            const Kind kind = entryKind(e, dir.fd(), &link);
            name.setRawData(e->d_name, uint(std::strlen(e->d_name)));
            each(name, kind, link);
        }
        if (dir.error() != 0) {
            *error = systemText(dir.error());
            return false;
        }
        return true;
    }

    Status entryStatus(Folder& parentFolder, const QByteArray& name) const override
    {
        struct stat st;
        if (::fstatat(posixFolder(parentFolder).fd(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            Status s;
            s.gone = errno == ENOENT;
            s.error = systemText(errno);
            return s;
        }
        return statusOf(st, S_ISLNK(st.st_mode));
    }

    bool isGone(Folder& parentFolder, const QByteArray& name) const override
    {
        const int folderFd = posixFolder(parentFolder).fd();
        struct stat st;
        if (::fstatat(folderFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT;
        if (S_ISLNK(st.st_mode))
            return false; // asked further, a share would answer for what it leads to
        // What the attributes say is there is asked of the file system itself: a
        // status of the file system through the name goes to a share's server by the
        // name (a share's client answers opening a folder from what it saw). A handle
        // of the name alone opens nothing (a device is not acted on).
        const int fd = ::openat(folderFd, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return errno == ENOENT || errno == ESTALE;
        struct statvfs vfs;
        const bool asked = ::fstatvfs(fd, &vfs) == 0;
        const int error = errno;
        ::close(fd);
        return !asked && (error == ENOENT || error == ESTALE);
    }

    qint64 treeBytes(Folder& parentFolder, const QByteArray& name, QString* error) const override
    {
        return bytesBelow(
            ::openat(posixFolder(parentFolder).fd(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
            error);
    }

    QByteArray readEntry(Folder& parentFolder, const QByteArray& name, qint64 maxBytes) const override
    {
        PosixFolder& parent = posixFolder(parentFolder);
        const QByteArray path = joined(parent.bytes(), name);
        // Looked at before it is opened: a device is never opened, a link never followed.
        struct stat st;
        if (::fstatat(parent.fd(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            throwFailure(path);
        if (!S_ISREG(st.st_mode))
            throw IoError(shown(path), QStringLiteral("Not a regular file"));
        Fd fd(::openat(parent.fd(), name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
            throwFailure(path);
        if (!S_ISREG(st.st_mode))
            throw IoError(shown(path), QStringLiteral("Not a regular file"));
        if (qint64(st.st_size) > maxBytes)
            throw IoError(shown(path), QStringLiteral("File too large"));
        QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd.get(), bytes.data() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throwFailure(path);
            if (n == 0)
                break; // shorter now than a moment ago: what is there is what it holds
            done += n;
        }
        bytes.truncate(done);
        return bytes;
    }

    bool copyFile(const QByteArray& source, const Status& expected, Folder& parentFolder, const QByteArray& name,
                  const std::function<bool(qint64)>& progress) const override
    {
        // The way that last worked between two devices, per thread: copies run on several.
        static thread_local CopyRoute route;
        return posixfiles::copyFile(source, expected, posixFolder(parentFolder), name, progress, route);
    }

    void setFolderTime(Folder& folder, qint64 mtime) const override
    {
        const struct timespec times[2] = {{0, UTIME_OMIT}, timespecOf(mtime)};
        if (::futimens(posixFolder(folder).fd(), times) != 0)
            throwFailure(posixFolder(folder).bytes());
    }

    void flush(Folder& folder) const override
    {
        // One flush of the whole file system costs far less than one per file: the
        // journal commits once for all of them. A folder opened without the right to
        // list it cannot name its file system; then every file system is flushed.
        if (posixFolder(folder).pathOnly()) {
            ::sync();
            return;
        }
#ifdef Q_OS_LINUX
        if (::syncfs(posixFolder(folder).fd()) != 0)
            throwFailure(posixFolder(folder).bytes());
#else
        ::sync();
        syncOrThrow(posixFolder(folder).fd(), folder.path());
#endif
    }

    QString remove(Folder& parentFolder, const QByteArray& name) const override
    {
        PosixFolder& parent = posixFolder(parentFolder);
        struct stat st;
        if (::fstatat(parent.fd(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? QString() : systemText(errno);
        if (!S_ISDIR(st.st_mode))
            return ::unlinkat(parent.fd(), name.constData(), 0) == 0 || errno == ENOENT ? QString() : systemText(errno);
        Fd sub(::openat(parent.fd(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (sub.get() < 0)
            return systemText(errno);
        const QString inner = removeContents(sub.get());
        // Gone already (another program took it meanwhile) is gone.
        if (::unlinkat(parent.fd(), name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT)
            return inner.isEmpty() ? systemText(errno) : inner;
        return {};
    }

};

} // namespace

const FileSystem& native()
{
    static const PosixFileSystem fs;
    return fs;
}

} // namespace filetree
