// Reading a bounded file through POSIX calls: the kind is told before anything is
// opened, and again from the open handle.
#include "platform/BoundedFile.h"

#include "platform/Errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

} // namespace

BoundedFile::BoundedFile(const QString& path) : m_path(path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    // What is no plain file is not even opened: opening a device can act on it.
    if (::stat(name.constData(), &st) != 0)
        throw IoError(path, systemText(errno));
    if (!S_ISREG(st.st_mode)) {
        m_isFolder = S_ISDIR(st.st_mode);
        return;
    }
    // The name may lead elsewhere by now, so the handle is what counts. O_NONBLOCK:
    // opening a pipe that nobody writes to returns at once instead of waiting for a
    // writer; plain files ignore it.
    m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        throw IoError(path, systemText(errno));
    if (::fstat(m_fd, &st) != 0) {
        const int error = errno;
        ::close(m_fd);
        m_fd = -1;
        throw IoError(path, systemText(error));
    }
    m_regular = S_ISREG(st.st_mode);
    m_isFolder = S_ISDIR(st.st_mode);
    m_size = m_regular ? qint64(st.st_size) : 0;
}

BoundedFile::~BoundedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray BoundedFile::readAll()
{
    if (!m_regular)
        throw IoError(m_path, notRegularText());
    QByteArray bytes(m_size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < m_size) {
        const ssize_t n = ::read(m_fd, bytes.data() + done, size_t(m_size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoError(m_path, systemText(errno));
        if (n == 0)
            break; // the file shrank since it was opened: what is there
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}
