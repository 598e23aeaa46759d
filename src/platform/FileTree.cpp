#include "platform/FileTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtNumeric>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/sendfile.h>
#endif
#endif

namespace filetree {

namespace {

bool addBytes(qint64& total, qint64 size)
{
    return !qAddOverflow(total, size, &total);
}

// ---------------------------------------------------------------------------------
// Portable: Qt's file classes.

class PortableFileSystem final : public FileSystem {
public:
    Entry examine(const QString& path, QString* error) const override
    {
        const QFileInfo info(path);
        Entry e;
        if (!info.exists()) {
            if (error)
                *error = QStringLiteral("No such file or directory");
            return e;
        }
        e.kind = info.isDir() ? Kind::Folder : info.isFile() ? Kind::File : Kind::Other;
        e.size = e.kind == Kind::File ? info.size() : 0;
        e.mode = modeOf(info);
        e.id.key = info.canonicalFilePath();
        return e;
    }

    bool nameTaken(const QString& path) const override
    {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    }

    qint64 treeBytes(const QString& folder) const override
    {
        qint64 total = 0;
        QStringList ancestors{QFileInfo(folder).canonicalFilePath()};
        sizeWalk(folder, ancestors, total, folder);
        return total;
    }

    void listTree(const QString& folder, const FileId& top, std::vector<TreeItem>& items) const override
    {
        QStringList ancestors{top.key};
        listWalk(folder, QString(), ancestors, items);
    }

    void makeFolder(const QString& path) const override
    {
        if (QFileInfo(path).exists() || !QDir().mkdir(path))
            throw IoError(path, QStringLiteral("Cannot create the folder"));
    }

    bool copyFile(const QString& source, const QString& target, quint32 mode,
                  const std::function<bool(qint64)>& progress) const override
    {
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            throw IoError(source, in.errorString());
        if (nameTaken(target))
            throw IoError(target, QStringLiteral("File exists"));
        // QSaveFile writes to a temporary name and flushes the file to disk before it
        // takes the final name, so no half file ever carries it.
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly))
            throw IoError(target, out.errorString());
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        for (;;) {
            const qint64 n = in.read(buffer.data(), buffer.size());
            if (n < 0)
                throw IoError(source, in.errorString());
            if (n == 0)
                break;
            if (out.write(buffer.constData(), n) != n)
                throw IoError(target, out.errorString());
            if (progress && !progress(n)) {
                out.cancelWriting();
                return false;
            }
        }
        if (!out.commit())
            throw IoError(target, out.errorString());
        // Keeping the permissions is a courtesy; a file system without them still
        // holds the copy, so a refusal here is deliberately not an error.
        QFile::setPermissions(target, permissionsOf(mode));
        return true;
    }

    void flush(const QString&) const override
    {
        // Every file was flushed as it was committed (QSaveFile).
    }

    void flushFile(const QString&) const override
    {
        // Qt offers no flush of a finished file; the portable build writes the job's
        // own files without it (the copies are flushed as they are committed).
    }

private:
    static quint32 modeOf(const QFileInfo& info)
    {
        const auto p = info.permissions();
        quint32 mode = 0;
        if (p & QFileDevice::ReadOwner) mode |= 0400;
        if (p & QFileDevice::WriteOwner) mode |= 0200;
        if (p & QFileDevice::ExeOwner) mode |= 0100;
        if (p & QFileDevice::ReadGroup) mode |= 0040;
        if (p & QFileDevice::WriteGroup) mode |= 0020;
        if (p & QFileDevice::ExeGroup) mode |= 0010;
        if (p & QFileDevice::ReadOther) mode |= 0004;
        if (p & QFileDevice::WriteOther) mode |= 0002;
        if (p & QFileDevice::ExeOther) mode |= 0001;
        return mode;
    }

    static QFileDevice::Permissions permissionsOf(quint32 mode)
    {
        QFileDevice::Permissions p;
        if (mode & 0400) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
        if (mode & 0200) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
        if (mode & 0100) p |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
        if (mode & 0040) p |= QFileDevice::ReadGroup;
        if (mode & 0020) p |= QFileDevice::WriteGroup;
        if (mode & 0010) p |= QFileDevice::ExeGroup;
        if (mode & 0004) p |= QFileDevice::ReadOther;
        if (mode & 0002) p |= QFileDevice::WriteOther;
        if (mode & 0001) p |= QFileDevice::ExeOther;
        return p;
    }

    static QFileInfoList entriesOf(const QString& folder, bool* listed)
    {
        QDir dir(folder);
        *listed = dir.isReadable();
        return dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    void sizeWalk(const QString& folder, QStringList& ancestors, qint64& total, const QString& top) const
    {
        bool listed = false;
        for (const QFileInfo& info : entriesOf(folder, &listed)) {
            if (info.isFile()) {
                if (!addBytes(total, info.size()))
                    throw SizeOverflow(top);
            } else if (info.isDir()) {
                const QString id = info.canonicalFilePath();
                if (ancestors.contains(id))
                    continue;
                ancestors.append(id);
                sizeWalk(info.filePath(), ancestors, total, top);
                ancestors.removeLast();
            }
        }
    }

    void listWalk(const QString& folder, const QString& prefix, QStringList& ancestors,
                  std::vector<TreeItem>& items) const
    {
        bool listed = false;
        const QFileInfoList entries = entriesOf(folder, &listed);
        if (!listed)
            throw IoError(folder, QStringLiteral("Cannot list the folder"));
        for (const QFileInfo& info : entries) {
            const QString relative = prefix + info.fileName();
            if (info.isFile()) {
                items.push_back({relative, false, info.size(), modeOf(info)});
            } else if (info.isDir()) {
                const QString id = info.canonicalFilePath();
                if (ancestors.contains(id))
                    continue;
                items.push_back({relative, true, 0, modeOf(info)});
                ancestors.append(id);
                listWalk(info.filePath(), relative + u'/', ancestors, items);
                ancestors.removeLast();
            }
        }
    }
};

#ifdef Q_OS_UNIX
// ---------------------------------------------------------------------------------
// POSIX: open directory handles, one status call per entry, the kernel's copy.

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A directory stream that closes itself.
class DirStream {
public:
    explicit DirStream(const QByteArray& path)
    {
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            m_error = errno;
            return;
        }
        m_dir = ::fdopendir(fd);
        if (!m_dir) {
            m_error = errno;
            ::close(fd);
        }
    }
    ~DirStream()
    {
        if (m_dir)
            ::closedir(m_dir);
    }
    DirStream(const DirStream&) = delete;
    DirStream& operator=(const DirStream&) = delete;

    bool isOpen() const { return m_dir != nullptr; }
    int error() const { return m_error; }
    int fd() const { return ::dirfd(m_dir); }
    // The next entry other than "." and "..", or nullptr at the end.
    const dirent* next()
    {
        for (;;) {
            errno = 0;
            const dirent* e = ::readdir(m_dir);
            if (!e) {
                m_error = errno;
                return nullptr;
            }
            const char* n = e->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
                continue;
            return e;
        }
    }

private:
    DIR* m_dir = nullptr;
    int m_error = 0;
};

// A file descriptor that closes itself (the close of a written file is checked
// separately, before this one sees it).
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

FileId idOf(const struct stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino), {}};
}

bool onWayDown(const std::vector<FileId>& ancestors, const FileId& id)
{
    for (const FileId& a : ancestors)
        if (a.device == id.device && a.inode == id.inode)
            return true;
    return false;
}

// A sub-folder met during a walk, entered after its parent's listing is closed so
// that a deep tree never holds more than one directory open.
struct SubFolder {
    QByteArray name;
    FileId id;
    quint32 mode;
};

class PosixFileSystem final : public FileSystem {
public:
    Entry examine(const QString& path, QString* error) const override
    {
        struct stat st;
        Entry e;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
            if (error)
                *error = systemText(errno);
            return e;
        }
        e.kind = S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
        e.size = e.kind == Kind::File ? qint64(st.st_size) : 0;
        e.mode = quint32(st.st_mode & 07777);
        e.id = idOf(st);
        return e;
    }

    bool nameTaken(const QString& path) const override
    {
        // A name that cannot be examined counts as free: creating it then fails with
        // the system's own reason instead of the search for a free name going on forever.
        struct stat st;
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    }

    qint64 treeBytes(const QString& folder) const override
    {
        const QByteArray path = QFile::encodeName(folder);
        struct stat st;
        if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return 0;
        std::vector<FileId> ancestors{idOf(st)};
        qint64 total = 0;
        sizeWalk(path, ancestors, total, folder);
        return total;
    }

    void listTree(const QString& folder, const FileId& top, std::vector<TreeItem>& items) const override
    {
        std::vector<FileId> ancestors{top};
        listWalk(QFile::encodeName(folder), QString(), ancestors, items);
    }

    void makeFolder(const QString& path) const override
    {
        if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0)
            throw IoError(path, systemText(errno));
    }

    bool copyFile(const QString& source, const QString& target, quint32 mode,
                  const std::function<bool(qint64)>& progress) const override
    {
        Fd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
        if (in.get() < 0)
            throw IoError(source, systemText(errno));
        Fd out(::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                      mode_t(mode & 07777)));
        if (out.get() < 0)
            throw IoError(target, systemText(errno));
        const bool complete = copyBytes(in.get(), out.get(), source, target, progress);
        if (::close(out.release()) != 0)
            throw IoError(target, systemText(errno));
        return complete;
    }

    void flush(const QString& path) const override
    {
        // One flush of the whole file system costs far less than one per file: the
        // journal commits once for all of them.
        Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.get() < 0)
            throw IoError(path, systemText(errno));
#ifdef Q_OS_LINUX
        if (::syncfs(fd.get()) != 0)
            throw IoError(path, systemText(errno));
#else
        ::sync();
        if (::fsync(fd.get()) != 0)
            throw IoError(path, systemText(errno));
#endif
    }

    void flushFile(const QString& path) const override
    {
        syncOne(path, O_RDONLY | O_CLOEXEC);
        syncOne(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }

private:
    static void syncOne(const QString& path, int flags)
    {
        Fd fd(::open(QFile::encodeName(path).constData(), flags));
        if (fd.get() < 0 || ::fsync(fd.get()) != 0)
            throw IoError(path, systemText(errno));
    }

    void sizeWalk(const QByteArray& path, std::vector<FileId>& ancestors, qint64& total, const QString& top) const
    {
        std::vector<SubFolder> folders;
        {
            DirStream dir(path);
            if (!dir.isOpen())
                return; // a folder that cannot be listed counts 0
            while (const dirent* e = dir.next()) {
                struct stat st;
                if (::fstatat(dir.fd(), e->d_name, &st, 0) != 0)
                    continue; // dangling link, or gone since the listing
                if (S_ISREG(st.st_mode)) {
                    if (!addBytes(total, qint64(st.st_size)))
                        throw SizeOverflow(top);
                } else if (S_ISDIR(st.st_mode)) {
                    folders.push_back({QByteArray(e->d_name), idOf(st), 0});
                }
            }
        }
        for (const SubFolder& sub : folders) {
            if (onWayDown(ancestors, sub.id))
                continue;
            ancestors.push_back(sub.id);
            sizeWalk(path + '/' + sub.name, ancestors, total, top);
            ancestors.pop_back();
        }
    }

    void listWalk(const QByteArray& path, const QString& prefix, std::vector<FileId>& ancestors,
                  std::vector<TreeItem>& items) const
    {
        std::vector<SubFolder> folders;
        {
            DirStream dir(path);
            if (!dir.isOpen())
                throw IoError(QFile::decodeName(path), systemText(dir.error()));
            while (const dirent* e = dir.next()) {
                struct stat st;
                if (::fstatat(dir.fd(), e->d_name, &st, 0) != 0) {
                    if (errno == ENOENT)
                        continue; // dangling link: there is nothing to copy
                    throw IoError(QFile::decodeName(path + '/' + e->d_name), systemText(errno));
                }
                if (S_ISREG(st.st_mode))
                    items.push_back({prefix + QFile::decodeName(e->d_name), false, qint64(st.st_size),
                                     quint32(st.st_mode & 07777)});
                else if (S_ISDIR(st.st_mode))
                    folders.push_back({QByteArray(e->d_name), idOf(st), quint32(st.st_mode & 07777)});
            }
            if (dir.error() != 0)
                throw IoError(QFile::decodeName(path), systemText(dir.error()));
        }
        for (const SubFolder& sub : folders) {
            if (onWayDown(ancestors, sub.id))
                continue;
            const QString relative = prefix + QFile::decodeName(sub.name);
            items.push_back({relative, true, 0, sub.mode});
            ancestors.push_back(sub.id);
            listWalk(path + '/' + sub.name, relative + u'/', ancestors, items);
            ancestors.pop_back();
        }
    }

    // Sets the disk writing the given range now, without waiting for it: the final
    // flush then finds little left to do. Only a hint, so its outcome is not checked;
    // the flush reports any write error.
    static void startWriteBack(int fd, qint64 offset, qint64 length)
    {
#ifdef Q_OS_LINUX
        if (length > 0)
            ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
#else
        Q_UNUSED(fd);
        Q_UNUSED(offset);
        Q_UNUSED(length);
#endif
    }

    // Copies in chunks so that progress is reported inside a large file too. The
    // kernel copies without passing the bytes through this process where it can.
    static bool copyBytes(int in, int out, const QString& source, const QString& target,
                          const std::function<bool(qint64)>& progress)
    {
        constexpr size_t kChunk = 8u << 20;
        enum class Way { KernelCopy, SendFile, ReadWrite };
#ifdef Q_OS_LINUX
        Way way = Way::KernelCopy;
#else
        Way way = Way::ReadWrite;
#endif
        std::vector<char> buffer;
        qint64 done = 0;
        qint64 unflushed = 0; // bytes written whose way to the disk has not been started
        for (;;) {
            ssize_t n = -1;
            bool writeSide = true; // which file an error belongs to
            switch (way) {
#ifdef Q_OS_LINUX
            case Way::KernelCopy:
                n = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
                break;
            case Way::SendFile:
                n = ::sendfile(out, in, nullptr, kChunk);
                break;
#else
            case Way::KernelCopy:
            case Way::SendFile:
#endif
            case Way::ReadWrite: {
                if (buffer.empty())
                    buffer.resize(1u << 20);
                n = ::read(in, buffer.data(), buffer.size());
                if (n < 0) {
                    writeSide = false;
                    break;
                }
                for (ssize_t written = 0; written < n;) {
                    const ssize_t w = ::write(out, buffer.data() + written, size_t(n - written));
                    if (w < 0) {
                        if (errno == EINTR)
                            continue;
                        throw IoError(target, systemText(errno));
                    }
                    written += w;
                }
                break;
            }
            }
            if (n < 0) {
                const int error = errno;
                if (error == EINTR)
                    continue;
                // The kernel copy is not offered between these two files: fall back,
                // as long as nothing has been written yet.
                const bool notOffered = error == EXDEV || error == ENOSYS || error == EOPNOTSUPP ||
                                        error == EINVAL || error == EPERM || error == ETXTBSY;
                if (done == 0 && notOffered && way != Way::ReadWrite) {
                    way = way == Way::KernelCopy ? Way::SendFile : Way::ReadWrite;
                    continue;
                }
                if (way != Way::ReadWrite)
                    writeSide = error != EIO && error != EISDIR;
                throw IoError(writeSide ? target : source, systemText(error));
            }
            if (n == 0) {
                // Only a large file's tail: a hint per small file costs more than
                // the one flush at the end saves (measured on 20,000 files of 4 KiB).
                if (done >= qint64(kChunk))
                    startWriteBack(out, done - unflushed, unflushed);
                return true;
            }
            done += n;
            unflushed += n;
            if (unflushed >= qint64(kChunk)) {
                startWriteBack(out, done - unflushed, unflushed);
                unflushed = 0;
            }
            if (progress && !progress(qint64(n)))
                return false;
        }
    }
};
#endif

} // namespace

const FileSystem& portable()
{
    static const PortableFileSystem fs;
    return fs;
}

const FileSystem& native()
{
#ifdef Q_OS_UNIX
    static const PosixFileSystem fs;
    return fs;
#else
    return portable();
#endif
}

} // namespace filetree
