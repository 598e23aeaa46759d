// The file trees on Qt's file classes alone: the same work as on POSIX systems where Qt
// offers it. What it cannot do: tell a system file system, keep holes, hold an advisory
// lock, set a folder's time, or create inside a folder by handle (entries are made
// by path, each one new).
#include "platform/FileTree.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace filetree {

namespace {

// A symbolic link, or on Windows a junction. A Windows shortcut (.lnk), which Qt counts
// among its links too, is a plain file to the system and to whoever reads the folder.
bool isLink(const QFileInfo& info)
{
    return info.isSymbolicLink() || info.isJunction();
}

Status statusOf(const QFileInfo& info)
{
    Status s;
    s.link = isLink(info);
    if (!info.exists()) {
        s.error = QStringLiteral("No such file or directory");
        s.gone = true;
        return s;
    }
    s.kind = info.isDir() ? Kind::Folder : info.isFile() ? Kind::File : Kind::Other;
    s.size = s.kind == Kind::File ? info.size() : 0;
    s.allocated = s.size;
    s.readable = info.isReadable();
    s.mtime = info.lastModified().toMSecsSinceEpoch() * 1000000;
    s.ctime = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
    s.id.key = info.canonicalFilePath();
    return s;
}

class PortableFolder final : public Folder {
public:
    explicit PortableFolder(QString path) : m_path(std::move(path)) {}
    QString path() const override { return m_path; }
    // The upload folder may come with its separator at the end ("C:/upload/", or
    // "\\?\C:\upload\", where nothing but a backslash separates).
    QString child(const QByteArray& name) const
    {
        const bool separated = m_path.endsWith(u'/') || m_path.endsWith(QDir::separator());
        return (separated ? m_path : m_path + u'/') + QFile::decodeName(name);
    }

private:
    QString m_path;
};

PortableFolder& portableFolder(Folder& folder)
{
    return static_cast<PortableFolder&>(folder);
}

bool nameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || isLink(info);
}

class PortableLock final : public Lock {};

class PortableFileSystem final : public FileSystem {
public:
    Status status(const QByteArray& path) const override { return statusOf(QFileInfo(QFile::decodeName(path))); }

    bool list(const QByteArray& folder, const Status&, std::vector<Listed>& entries, QString* error) const override
    {
        QDir dir(QFile::decodeName(folder));
        if (!dir.exists() || !dir.isReadable()) {
            *error = QStringLiteral("Cannot list the folder");
            return false;
        }
        const QFileInfoList infos =
            dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& info : infos)
            entries.push_back({QFile::encodeName(info.fileName()), statusOf(info)});
        return true;
    }

    QByteArray canonical(const QByteArray& path) const override
    {
        return QFile::encodeName(QFileInfo(QFile::decodeName(path)).canonicalFilePath());
    }

    Limits limits(const QByteArray&) const override { return {}; }

    qint64 freeBytes(const QByteArray& folder) const override
    {
        const QStorageInfo storage(QFile::decodeName(folder));
        return storage.isValid() ? storage.bytesAvailable() : -1;
    }

    bool isRemote(const QByteArray&) const override { return false; } // Qt cannot tell

    std::unique_ptr<Folder> openFolder(const QByteArray& path) const override
    {
        const QString p = QFile::decodeName(path);
        if (!QFileInfo(p).isDir())
            throw IoError(p, QStringLiteral("No such folder"));
        return std::make_unique<PortableFolder>(p);
    }

    std::unique_ptr<Folder> makeFolder(Folder& parent, const QByteArray& name) const override
    {
        const QString path = portableFolder(parent).child(name);
        if (nameTaken(path))
            throw IoError(path, QStringLiteral("File exists"));
        if (!QDir().mkdir(path))
            throw IoError(path, QStringLiteral("Cannot create the folder"));
        return std::make_unique<PortableFolder>(path);
    }

    void writeFile(Folder& parent, const QByteArray& name, const QByteArray& bytes, bool) const override
    {
        const QString path = portableFolder(parent).child(name);
        QFile file(path);
        // NewOnly: an existing name, a link included, is never opened.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            throw IoError(path, file.errorString());
        for (qint64 done = 0; done < bytes.size();) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0) {
                const QString why = file.errorString();
                file.remove(); // a file that could not be written whole does not stay behind
                throw IoError(path, why);
            }
            done += n;
        }
        file.close();
        if (file.error() != QFileDevice::NoError) {
            const QString why = file.errorString();
            file.remove();
            throw IoError(path, why);
        }
    }

    std::unique_ptr<Lock> createLock(Folder& parent, const QByteArray& name, const QByteArray& bytes) const override
    {
        writeFile(parent, name, bytes, true);
        return std::make_unique<PortableLock>();
    }

    QString removeLock(Folder& parent, const QByteArray& name, std::unique_ptr<Lock>) const override
    {
        QFile file(portableFolder(parent).child(name));
        return file.remove() ? QString() : file.errorString();
    }

    LockProbe probeLock(Folder&, const QByteArray&, std::unique_ptr<Lock>*, QString* why) const override
    {
        if (why)
            *why = QStringLiteral("Qt alone keeps no advisory locks");
        return LockProbe::Unknown;
    }

    bool forEachEntry(Folder& folder, const std::function<void(const QByteArray&, Kind, bool)>& each,
                      QString* error) const override
    {
        const QString path = portableFolder(folder).path();
        if (!QFileInfo(path).isReadable()) {
            *error = QStringLiteral("Cannot list the folder");
            return false;
        }
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            const bool link = isLink(info);
            const Kind kind = link ? Kind::Other : info.isDir() ? Kind::Folder : info.isFile() ? Kind::File : Kind::Other;
            each(QFile::encodeName(info.fileName()), kind, link);
        }
        return true;
    }

    Status entryStatus(Folder& parent, const QByteArray& name) const override
    {
        const QFileInfo info(portableFolder(parent).child(name));
        if (!isLink(info))
            return statusOf(info);
        Status s;
        s.kind = Kind::Other;
        s.link = true;
        s.mtime = info.lastModified().toMSecsSinceEpoch() * 1000000;
        return s;
    }

    bool isGone(Folder& parent, const QByteArray& name) const override
    {
        return !nameTaken(portableFolder(parent).child(name));
    }

    qint64 treeBytes(Folder& parent, const QByteArray& name, QString* error) const override
    {
        const QString path = portableFolder(parent).child(name);
        const QFileInfo top(path);
        if (isLink(top) || !top.isDir()) {
            *error = QStringLiteral("Not a directory");
            return -1;
        }
        qint64 total = 0;
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories); // links to folders are not entered without FollowSymlinks
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            if (!isLink(info) && info.isFile() && __builtin_add_overflow(total, info.size(), &total)) {
                *error = QStringLiteral("Value too large for defined data type");
                return -1;
            }
        }
        return total;
    }

    QByteArray readEntry(Folder& parent, const QByteArray& name, qint64 maxBytes) const override
    {
        const QString path = portableFolder(parent).child(name);
        const QFileInfo info(path);
        if (!info.exists() && !isLink(info))
            throw IoError(path, QStringLiteral("No such file or directory"));
        if (isLink(info) || !info.isFile())
            throw IoError(path, QStringLiteral("Not a regular file"));
        if (info.size() > maxBytes)
            throw IoError(path, QStringLiteral("File too large"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw IoError(path, file.errorString());
        const QByteArray bytes = file.read(maxBytes);
        if (file.error() != QFileDevice::NoError)
            throw IoError(path, file.errorString());
        return bytes;
    }

    bool copyFile(const QByteArray& sourceBytes, const Status& expected, Folder& parent, const QByteArray& name,
                  const std::function<bool(qint64)>& progress) const override
    {
        const QString source = QFile::decodeName(sourceBytes);
        const QString target = portableFolder(parent).child(name);
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            throw IoError(source, in.errorString());
        const Status before = statusOf(QFileInfo(source));
        if (before.kind != Kind::File || before.size != expected.size || before.mtime != expected.mtime ||
            before.ctime != expected.ctime)
            throw SourceChanged(source);
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw IoError(target, out.errorString());
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        qint64 done = 0;
        while (done < before.size) {
            const qint64 n = in.read(buffer.data(), qMin<qint64>(buffer.size(), before.size - done));
            if (n < 0)
                throw IoError(source, in.errorString());
            if (n == 0)
                throw SourceChanged(source);
            if (out.write(buffer.constData(), n) != n)
                throw IoError(target, out.errorString());
            done += n;
            if (progress && !progress(n))
                return false;
        }
        const Status after = statusOf(QFileInfo(source));
        if (after.size != before.size || after.mtime != before.mtime || after.ctime != before.ctime)
            throw SourceChanged(source);
        if (!out.flush())
            throw IoError(target, out.errorString());
        if (!out.setFileTime(QDateTime::fromMSecsSinceEpoch(before.mtime / 1000000), QFileDevice::FileModificationTime))
            throw IoError(target, out.errorString());
        out.close();
        if (out.error() != QFileDevice::NoError)
            throw IoError(target, out.errorString());
        return true;
    }

    void setFolderTime(Folder&, qint64) const override
    {
        // Qt sets the times of open files only; folders keep the time of their copy.
    }

    void flush(Folder&) const override
    {
        // Qt offers no flush of a finished file: the portable build leaves it to the system.
    }

    QString remove(Folder& parent, const QByteArray& name) const override
    {
        const QString path = portableFolder(parent).child(name);
        const QFileInfo info(path);
        if (!info.exists() && !isLink(info))
            return {};
        if (info.isDir() && !isLink(info))
            return QDir(path).removeRecursively() ? QString() : QStringLiteral("Cannot remove the folder");
        QFile file(path);
        return file.remove() ? QString() : file.errorString();
    }
};

} // namespace

const FileSystem& portable()
{
    static const PortableFileSystem fs;
    return fs;
}

} // namespace filetree
