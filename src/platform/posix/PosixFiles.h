#pragma once
// What the POSIX file trees share between their parts (FileTreePosix.cpp: folders,
// listings, locks and jobs' entries; FolderContentsPosix.cpp: what is below a folder,
// its size and its removal; FileCopyPosix.cpp: the copy of one file). Not for use
// outside src/platform.
#include "platform/FileTree.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace filetree::posixfiles {

inline QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

inline QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// Throws IoError for the failure the last system call reported. errno is read first,
// before the path is made into text, which may change it.
[[noreturn]] inline void throwFailure(const QByteArray& path)
{
    const int error = errno;
    throw IoError(shown(path), systemText(error));
}
[[noreturn]] inline void throwFailure(const QByteArray& folder, const QByteArray& name)
{
    const int error = errno;
    throw IoError(shown(joined(folder, name)), systemText(error));
}

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

inline qint64 nanoseconds(const struct timespec& t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

inline struct timespec timespecOf(qint64 ns)
{
    struct timespec t;
    t.tv_sec = time_t(ns / 1000000000);
    t.tv_nsec = long(ns % 1000000000);
    if (t.tv_nsec < 0) {
        t.tv_nsec += 1000000000;
        --t.tv_sec;
    }
    return t;
}

// A directory stream that closes itself.
class DirStream {
public:
    explicit DirStream(int fd)
    {
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
    // The next entry other than "." and "..", or nullptr at the end (error() tells
    // whether the listing ended early).
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

// The kind of entry a mode stands for.
Kind kindOf(mode_t mode);
// The kind of a listed entry, from the listing where it says (no status call); link
// tells whether the entry is a link itself (it is never followed).
Kind entryKind(const dirent* e, int folderFd, bool* link);
// The bytes of the files below the open folder fd (which it takes over), no link
// followed; -1 with error set when the walk fails.
qint64 bytesBelow(int fd, QString* error);
// Removes everything in the open folder fd; links go as links. The first failure's
// text, or empty.
QString removeContents(int fd);

// An open folder; the file systems of this implementation hand out no other kind.
class PosixFolder final : public Folder {
public:
    PosixFolder(int fd, QByteArray path, bool pathOnly) : m_fd(fd), m_path(std::move(path)), m_pathOnly(pathOnly)
    {
        struct stat st;
        if (::fstat(fd, &st) == 0)
            m_device = quint64(st.st_dev);
    }
    QString path() const override { return shown(m_path); }
    int fd() const { return m_fd.get(); }
    const QByteArray& bytes() const { return m_path; }
    // Opened only to find things in (no right to list it): it cannot be flushed itself.
    bool pathOnly() const { return m_pathOnly; }
    quint64 device() const { return m_device; }

private:
    Fd m_fd;
    quint64 m_device = 0;
    QByteArray m_path;
    bool m_pathOnly;
};

inline PosixFolder& posixFolder(Folder& folder)
{
    return static_cast<PosixFolder&>(folder);
}

inline void syncOrThrow(int fd, const QString& path)
{
    if (::fsync(fd) != 0)
        throw IoError(path, systemText(errno));
}

// Creates the new file name in folder: never an existing name, never through a link.
inline int createNew(PosixFolder& folder, const QByteArray& name)
{
    const int fd = ::openat(folder.fd(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        throwFailure(folder.bytes(), name);
    return fd;
}

inline void closeOrThrow(Fd& fd, const QString& path)
{
    if (::close(fd.release()) != 0)
        throw IoError(path, systemText(errno));
}

// How bytes go from one file to another, fastest first, and the way that last worked
// between two devices, so that a copy of many files onto another file system does not
// try the kernel's copy for every one of them.
enum class Way { KernelCopy, SendFile, ReadWrite };
struct CopyRoute {
    quint64 sourceDevice = 0, targetDevice = 0;
    Way way = Way::KernelCopy;
};

// Makes a new entry of folder durable. A folder that may not be listed cannot be
// opened to be flushed; the whole file system is flushed instead through the file.
void syncEntry(PosixFolder& folder, int fileFd);
// Writes all of bytes to fd; throws IoError naming path.
void writeAll(int fd, const QByteArray& bytes, const QString& path);

// The job locks (JobLockPosix.cpp), as FileSystem's createLock, removeLock and probeLock.
std::unique_ptr<Lock> createJobLock(PosixFolder& parent, const QByteArray& name, const QByteArray& bytes);
QString removeJobLock(PosixFolder& parent, const QByteArray& name, std::unique_ptr<Lock> lock);
LockProbe probeJobLock(PosixFolder& parent, const QByteArray& name, std::unique_ptr<Lock>* taken, QString* why);


// FileSystem::copyFile for a folder of this implementation.
bool copyFile(const QByteArray& source, const Status& expected, PosixFolder& parent, const QByteArray& name,
              const std::function<bool(qint64)>& progress, CopyRoute& route);

} // namespace filetree::posixfiles
