// The lock of a job on POSIX systems: an advisory lock (flock) held on the lock file for
// as long as the job is written, and the file marked alive meanwhile.
#include "platform/LockKeeper.h"
#include "platform/posix/PosixFiles.h"

#include <chrono>
#include <memory>
#include <sys/file.h>
#include <thread>

namespace filetree::posixfiles {

namespace {

// A held lock. The writer's lock keeps marking itself alive: every
// lockRefreshMilliseconds() a helper thread writes the lock's first byte again, as it
// is, and flushes it. A write is stamped by the file system that keeps the file, so on
// a share the time is the share's, whatever this computer's clock says (setting the
// time to "now" would stamp this computer's clock: behind the share's, a live job
// would look dead to everyone else).
class PosixLock final : public Lock {
public:
    // Not reported when a mark fails: the job's own writes go to the same file
    // system, and they fail and say why.
    PosixLock(int fd, char firstByte)
        : m_fd(fd), m_firstByte(firstByte), m_keeper(std::make_unique<LockKeeper>([this] {
              if (::pwrite(m_fd.get(), &m_firstByte, 1, 0) == 1)
                  ::fdatasync(m_fd.get());
          }))
    {
    }
    // A lock taken to look at a job, not to write one: nothing to keep alive.
    explicit PosixLock(int fd) : m_fd(fd) {}
    int fd() const { return m_fd.get(); }
    ~PosixLock() override { m_keeper.reset(); } // the keeper stops before the file closes
    PosixLock(const PosixLock&) = delete;
    PosixLock& operator=(const PosixLock&) = delete;

private:
    Fd m_fd;
    char m_firstByte = 0;
    std::unique_ptr<LockKeeper> m_keeper;
};

// Whether name in folder is still the file open as fd.
bool stillNamed(int folderFd, const QByteArray& name, int fd)
{
    struct stat byName, byFd;
    return ::fstatat(folderFd, name.constData(), &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &byFd) == 0 &&
           byName.st_dev == byFd.st_dev && byName.st_ino == byFd.st_ino;
}

// Takes the advisory lock. A reader that looks at it (a listing of jobs) holds it
// for a moment, so a busy lock is tried again for a while. A file system that keeps
// no such locks still takes the job: the lock file alone marks it incomplete.
void holdLock(int fd, const QString& path)
{
    for (int tries = 0;; ++tries) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return;
        if (tries >= 400)
            throw IoError(path, QStringLiteral("The lock file is held by another program"));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

// Makes a new entry of folder durable. A folder that may not be listed cannot be
// opened to be flushed; the whole file system is flushed instead through the file.
void syncEntry(PosixFolder& folder, int fileFd)
{
#ifdef Q_OS_LINUX
    if (folder.pathOnly()) {
        if (::syncfs(fileFd) != 0)
            throwFailure(posixFolder(folder).bytes());
        return;
    }
#else
    Q_UNUSED(fileFd);
#endif
    syncOrThrow(folder.fd(), folder.path());
}

void writeAll(int fd, const QByteArray& bytes, const QString& path)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw IoError(path, systemText(errno));
        }
        done += n;
    }
}

std::unique_ptr<Lock> createJobLock(PosixFolder& parent, const QByteArray& name, const QByteArray& bytes)
{
    const QString path = shown(joined(parent.bytes(), name));
    Fd fd(createNew(parent, name));
    try {
        holdLock(fd.get(), path);
        // Someone who took the lock in the moment between its creation and ours
        // (a clean-up that saw a lock nobody held) has removed it by now.
        if (!stillNamed(parent.fd(), name, fd.get()))
            throw IoError(path, QStringLiteral("The lock file was removed by another program"));
        writeAll(fd.get(), bytes, path);
        syncOrThrow(fd.get(), path);
        syncEntry(parent, fd.get());
    } catch (const IoError&) {
        if (stillNamed(parent.fd(), name, fd.get()))
            ::unlinkat(parent.fd(), name.constData(), 0); // ours: it goes again
        throw;
    }
    return std::make_unique<PosixLock>(fd.release(), bytes.isEmpty() ? char(0) : bytes.front());
}

QString removeJobLock(PosixFolder& parent, const QByteArray& name, std::unique_ptr<Lock> lock)
{
    // The name goes first and the lock after it, so nobody ever finds this lock
    // file without its writer holding it.
    // Only our own lock goes: where another program removed it (a clean-up through
    // another mount), its name may stand for someone else's file by now.
    const auto* held = dynamic_cast<const PosixLock*>(lock.get());
    if (held && !stillNamed(parent.fd(), name, held->fd()))
        return QStringLiteral("The lock file was removed by another program");
    const bool removed = ::unlinkat(parent.fd(), name.constData(), 0) == 0;
    const QString text = removed ? QString() : systemText(errno);
    lock.reset();
    return text;
}

LockProbe probeJobLock(PosixFolder& parent, const QByteArray& name, std::unique_ptr<Lock>* taken, QString* why)
{
    const auto fail = [why](LockProbe probe, const QString& text) {
        if (why)
            *why = text;
        return probe;
    };
    Fd fd(::openat(parent.fd(), name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return fail(LockProbe::Unreadable, systemText(errno));
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        return fail(LockProbe::Unreadable, systemText(errno));
    if (!S_ISREG(st.st_mode))
        return fail(LockProbe::Unreadable, QStringLiteral("Not a regular file"));
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return LockProbe::Held;
        return fail(LockProbe::Unknown, systemText(errno));
    }
    if (!stillNamed(parent.fd(), name, fd.get()))
        return fail(LockProbe::Unreadable, QStringLiteral("The lock file was replaced meanwhile"));
    if (taken)
        *taken = std::make_unique<PosixLock>(fd.release());
    return LockProbe::Free;
}

} // namespace filetree::posixfiles
