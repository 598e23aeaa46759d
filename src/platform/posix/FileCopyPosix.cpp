// The copy of one file on POSIX systems: the kernel's own copy where it has one, holes
// kept, the source checked for changes before and after.
#include "platform/posix/PosixFiles.h"

#include <vector>
#ifdef Q_OS_LINUX
#include <sys/sendfile.h>
#endif

namespace filetree::posixfiles {

namespace {

// The two paths of one copy, made into text only for a message: most copies never need
// them, and on many small files the text costs as much as a system call.
struct CopyNames {
    const QByteArray& source;
    const PosixFolder& parent;
    const QByteArray& name;
    QString shownSource() const { return shown(source); }
    // Takes the error number before anything can change it.
    [[noreturn]] void fail(bool targetSide, int error) const
    {
        throw IoError(targetSide ? shown(joined(parent.bytes(), name)) : shownSource(), systemText(error));
    }
};

// Sets the disk writing the given range now, without waiting for it: the final flush
// then finds little left to do. Only a hint, so its outcome is not checked; the flush
// reports any write error.
void startWriteBack(int fd, qint64 offset, qint64 length)
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

// Copies length bytes at offset of in to the same offset of out, in chunks so that
// progress is reported inside a large file too. The kernel copies without passing the
// bytes through this process where it can. A source that ends early has shrunk.
bool copyRange(int in, int out, qint64 offset, qint64 length, Way& way, const CopyNames& names,
               const std::function<bool(qint64)>& progress)
{
    constexpr qint64 kChunk = qint64(8) << 20;
    std::vector<char> buffer;
    qint64 done = 0;
    qint64 unflushed = 0; // bytes written whose way to the disk has not been started
    // The kernel's copy names the offsets; the others write where the file stands.
    if (way != Way::KernelCopy && ::lseek(out, offset, SEEK_SET) < 0)
        names.fail(true, errno);
    while (done < length) {
        // Through the process, a chunk is no more than a slow share takes in a few
        // seconds, so that the progress (and the watch for a share that stalls) sees it.
        const size_t want = size_t(qMin(way == Way::KernelCopy ? kChunk : kChunk / 8, length - done));
        off_t inOffset = off_t(offset + done);
        off_t outOffset = inOffset;
        ssize_t n = -1;
        bool writeSide = true; // which file an error belongs to
        switch (way) {
#ifdef Q_OS_LINUX
        case Way::KernelCopy:
            n = ::copy_file_range(in, &inOffset, out, &outOffset, want, 0);
            break;
        case Way::SendFile:
            n = ::sendfile(out, in, &inOffset, want);
            break;
#else
        case Way::KernelCopy:
        case Way::SendFile:
#endif
        case Way::ReadWrite: {
            if (buffer.empty())
                buffer.resize(1u << 20);
            n = ::pread(in, buffer.data(), qMin(want, buffer.size()), inOffset);
            if (n < 0) {
                writeSide = false;
                break;
            }
            for (ssize_t written = 0; written < n;) {
                const ssize_t w = ::write(out, buffer.data() + written, size_t(n - written));
                if (w < 0) {
                    if (errno == EINTR)
                        continue;
                    names.fail(true, errno);
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
            // The kernel copy is not offered between these two files: fall back.
            // Offsets are explicit, so nothing written so far is lost.
            const bool notOffered = error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL ||
                                    error == EPERM || error == ETXTBSY;
            if (notOffered && way != Way::ReadWrite) {
                way = way == Way::KernelCopy ? Way::SendFile : Way::ReadWrite;
                if (::lseek(out, offset + done, SEEK_SET) < 0)
                    names.fail(true, errno);
                continue;
            }
            if (way != Way::ReadWrite)
                writeSide = error != EIO && error != EISDIR;
            names.fail(writeSide, error);
        }
        if (n == 0)
            throw SourceChanged(names.shownSource());
        done += n;
        unflushed += n;
        if (unflushed >= kChunk) {
            startWriteBack(out, offset + done - unflushed, unflushed);
            unflushed = 0;
        }
        if (progress && !progress(qint64(n)))
            return false;
    }
    // Only a large file's tail: a hint per small file costs more than the one flush at
    // the end saves (measured on 20,000 files of 4 KiB).
    if (done >= kChunk)
        startWriteBack(out, offset + done - unflushed, unflushed);
    return true;
}

} // namespace

bool copyFile(const QByteArray& sourceBytes, const Status& expected, PosixFolder& parent, const QByteArray& name,
              const std::function<bool(qint64)>& progress, CopyRoute& route)
{
    const CopyNames names{sourceBytes, parent, name};
    // Not blocking: a name that has become a pipe since it was planned must not hang the copy.
    Fd in(::open(sourceBytes.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.get() < 0)
        names.fail(false, errno);
    struct stat before;
    if (::fstat(in.get(), &before) != 0)
        names.fail(false, errno);
    // The change time moves with every write, whatever a program puts back into the
    // modification time afterwards, and a file made anew under the same inode number
    // has a new one: with size, times and identity it tells any change.
    const auto differs = [](const struct stat& a, const struct stat& b) {
        return a.st_dev != b.st_dev || a.st_ino != b.st_ino || a.st_size != b.st_size ||
               nanoseconds(a.st_mtim) != nanoseconds(b.st_mtim) || nanoseconds(a.st_ctim) != nanoseconds(b.st_ctim);
    };
    if (!S_ISREG(before.st_mode) || quint64(before.st_dev) != expected.id.device ||
        quint64(before.st_ino) != expected.id.inode || qint64(before.st_size) != expected.size ||
        nanoseconds(before.st_mtim) != expected.mtime || nanoseconds(before.st_ctim) != expected.ctime)
        throw SourceChanged(names.shownSource());
    Fd out(createNew(parent, name));

    if (route.sourceDevice != quint64(before.st_dev) || route.targetDevice != parent.device())
        route = {quint64(before.st_dev), parent.device(), Way::KernelCopy};
    Way way = route.way;

    const qint64 size = qint64(before.st_size);
    bool complete = true;
    // Fewer blocks than bytes: there may be holes, which stay holes.
    const bool sparse = qint64(before.st_blocks) * 512 < size;
    qint64 position = 0;
    while (complete && position < size) {
        qint64 start = position, end = size;
        if (sparse) {
            const off_t data = ::lseek(in.get(), off_t(position), SEEK_DATA);
            if (data < 0) {
                if (errno == ENXIO)
                    break; // only a hole is left
                // No hole search on this file system: the rest is copied whole.
            } else {
                start = qint64(data);
                const off_t hole = ::lseek(in.get(), data, SEEK_HOLE);
                end = hole < 0 ? size : qMin(size, qint64(hole));
            }
        }
        complete = copyRange(in.get(), out.get(), start, end - start, way, names, progress);
        position = end;
    }
    route.way = way;
    if (!complete)
        return false;

    struct stat after;
    if (::fstat(in.get(), &after) != 0)
        names.fail(false, errno);
    if (differs(before, after))
        throw SourceChanged(names.shownSource());
    if (sparse && ::ftruncate(out.get(), off_t(size)) != 0)
        names.fail(true, errno);
    const struct timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
    if (::futimens(out.get(), times) != 0)
        names.fail(true, errno);
    if (::close(out.release()) != 0)
        names.fail(true, errno);
    return true;
}

} // namespace filetree::posixfiles
