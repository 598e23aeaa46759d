// The file trees on Windows: Qt's file classes do the reading, the copy (new files are
// made with CREATE_NEW, times kept) and the removal (the portable implementation);
// what Windows does its own way is here: the job's lock, held through the sharing
// rules of an open file, the times of folders, and the file ID (volume and file
// index) that tells a file from another of the same size and times.
#include "platform/FileTree.h"

#include "platform/LockKeeper.h"
#include "platform/windows/WindowsErrors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <memory>

#include <windows.h>

namespace filetree {

namespace {

// The upload folder may come with its separator at the end ("C:/upload/", or
// "\\?\C:\upload\", where nothing but a backslash separates).
QString shownPath(const Folder& parent, const QByteArray& name)
{
    const QString folder = parent.path();
    const bool separated = folder.endsWith(u'/') || folder.endsWith(u'\\');
    return (separated ? folder : folder + u'/') + QFile::decodeName(name);
}

std::wstring nativePath(const Folder& parent, const QByteArray& name)
{
    return QDir::toNativeSeparators(shownPath(parent, name)).toStdWString();
}

// What path leads to (links followed), open for its attributes only. Shared for reading
// and writing but not for removal: while it is open, nobody renames another file over
// it or removes it.
HANDLE openAttributes(const QString& path)
{
    return ::CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
}

// The volume's serial number and the file's index: the file itself, whatever its name.
void setIdOf(HANDLE file, FileId& id)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (file == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(file, &info))
        return;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

void setIdOf(const QString& path, Status& status)
{
    if (status.kind == Kind::Missing)
        return;
    const HANDLE file = openAttributes(path);
    setIdOf(file, status.id);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
}

// A held lock: the lock file open for writing and for its removal, shared with
// readers only. Nobody else may open it to write or to remove it (not even another
// computer through a share) while the handle is open: they get a sharing violation.
// The writer's lock keeps marking itself alive for readers that judge a lock by its
// age: every lockRefreshMilliseconds() its first byte is written again, as it is.
class WindowsLock final : public Lock {
public:
    WindowsLock(HANDLE file, bool alive, char firstByte) : m_file(file), m_firstByte(firstByte)
    {
        // Not reported when a mark fails: the job's own writes go to the same folder,
        // and they fail and say why.
        if (alive)
            m_keeper = std::make_unique<LockKeeper>([this] {
                OVERLAPPED at{};
                DWORD written = 0;
                if (::WriteFile(m_file, &m_firstByte, 1, &written, &at) && written == 1)
                    ::FlushFileBuffers(m_file);
            });
    }
    ~WindowsLock() override
    {
        m_keeper.reset(); // the keeper stops before the handle closes
        ::CloseHandle(m_file);
    }
    WindowsLock(const WindowsLock&) = delete;
    WindowsLock& operator=(const WindowsLock&) = delete;

    // Marks the file to go when the handle closes (the only way to remove a file this
    // handle keeps everyone else from removing). Empty on success, else the system's text.
    QString removeOnClose()
    {
        FILE_DISPOSITION_INFO disposition{TRUE};
        return ::SetFileInformationByHandle(m_file, FileDispositionInfo, &disposition, sizeof disposition)
                   ? QString()
                   : winerr::last();
    }

private:
    HANDLE m_file;
    char m_firstByte = 0;
    std::unique_ptr<LockKeeper> m_keeper;
};

// The access a lock's holder has, and the sharing it allows.
constexpr DWORD kLockAccess = GENERIC_READ | GENERIC_WRITE | DELETE;
constexpr DWORD kLockSharing = FILE_SHARE_READ;

class WindowsFileSystem final : public FileSystem {
public:
    Status status(const QByteArray& path) const override
    {
        Status status = m_base.status(path);
        setIdOf(QFile::decodeName(path), status);
        return status;
    }
    bool list(const QByteArray& folder, const Status& folderStatus, std::vector<Listed>& entries,
              QString* error) const override
    {
        const size_t first = entries.size();
        if (!m_base.list(folder, folderStatus, entries, error))
            return false;
        QString parent = QFile::decodeName(folder);
        if (!parent.endsWith(u'/') && !parent.endsWith(u'\\'))
            parent += u'/';
        for (size_t i = first; i < entries.size(); ++i)
            setIdOf(parent + QFile::decodeName(entries[i].name), entries[i].status);
        return true;
    }
    QByteArray canonical(const QByteArray& path) const override { return m_base.canonical(path); }
    Limits limits(const QByteArray&) const override { return {255, 32767}; }
    qint64 freeBytes(const QByteArray& folder) const override { return m_base.freeBytes(folder); }
    bool isRemote(const QByteArray& folder) const override
    {
        QString path = QDir::toNativeSeparators(QFile::decodeName(folder));
        // \\?\ only lifts the length limit: \\?\C:\ is local, \\?\UNC\server\share is not.
        if (path.startsWith(QStringLiteral("\\\\?\\")))
            path = path.mid(4);
        if (path.startsWith(QStringLiteral("UNC\\"), Qt::CaseInsensitive) || path.startsWith(QStringLiteral("\\\\")))
            return true; // \\server\share
        const std::wstring root = (path.left(2) + u'\\').toStdWString();
        return path.size() >= 2 && path[1] == u':' && ::GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
    }
    std::unique_ptr<Folder> openFolder(const QByteArray& path) const override { return m_base.openFolder(path); }
    std::unique_ptr<Folder> makeFolder(Folder& parent, const QByteArray& name) const override
    {
        return m_base.makeFolder(parent, name);
    }
    void writeFile(Folder& parent, const QByteArray& name, const QByteArray& bytes, bool durable) const override
    {
        m_base.writeFile(parent, name, bytes, durable);
    }

    std::unique_ptr<Lock> createLock(Folder& parent, const QByteArray& name, const QByteArray& bytes) const override
    {
        const QString shown = shownPath(parent, name);
        HANDLE file = ::CreateFileW(nativePath(parent, name).c_str(), kLockAccess, kLockSharing, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw IoError(shown, winerr::last());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.constData(), DWORD(bytes.size()), &written, nullptr) ||
            written != DWORD(bytes.size()) || !::FlushFileBuffers(file)) {
            const QString why = winerr::last();
            WindowsLock(file, false, 0).removeOnClose(); // ours: it goes again
            throw IoError(shown, why);
        }
        // Held from its creation on: nobody could take it in between.
        return std::make_unique<WindowsLock>(file, true, bytes.isEmpty() ? char(0) : bytes.front());
    }

    QString removeLock(Folder& parent, const QByteArray& name, std::unique_ptr<Lock> lock) const override
    {
        // The name goes when the handle closes: nobody ever finds this lock file
        // without its holder.
        if (auto* held = dynamic_cast<WindowsLock*>(lock.get())) {
            const QString why = held->removeOnClose();
            lock.reset();
            return why;
        }
        lock.reset();
        return ::DeleteFileW(nativePath(parent, name).c_str()) ? QString() : winerr::last();
    }

    LockProbe probeLock(Folder& parent, const QByteArray& name, std::unique_ptr<Lock>* taken,
                        QString* why) const override
    {
        const auto fail = [why](LockProbe probe, const QString& text) {
            if (why)
                *why = text;
            return probe;
        };
        // Opened as its writer holds it: a writer at work shares neither writing nor
        // removal, so the open fails with a sharing violation.
        HANDLE file = ::CreateFileW(nativePath(parent, name).c_str(), kLockAccess, kLockSharing, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
                return LockProbe::Held;
            return fail(LockProbe::Unreadable, winerr::text(error));
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(file, &info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
            ::CloseHandle(file);
            return fail(LockProbe::Unreadable, QStringLiteral("Not a regular file"));
        }
        auto lock = std::make_unique<WindowsLock>(file, false, 0);
        if (taken)
            *taken = std::move(lock);
        return LockProbe::Free;
    }

    bool forEachEntry(Folder& folder, const std::function<void(const QByteArray&, Kind, bool)>& each,
                      QString* error) const override
    {
        return m_base.forEachEntry(folder, each, error);
    }
    Status entryStatus(Folder& parent, const QByteArray& name) const override
    {
        return m_base.entryStatus(parent, name);
    }
    bool isGone(Folder& parent, const QByteArray& name) const override { return m_base.isGone(parent, name); }
    qint64 treeBytes(Folder& parent, const QByteArray& name, QString* error) const override
    {
        return m_base.treeBytes(parent, name, error);
    }
    QByteArray readEntry(Folder& parent, const QByteArray& name, qint64 maxBytes) const override
    {
        return m_base.readEntry(parent, name, maxBytes);
    }
    bool copyFile(const QByteArray& source, const Status& expected, Folder& parent, const QByteArray& name,
                  const std::function<bool(qint64)>& progress) const override
    {
        // Another file put in its place since it was looked at may have the same size
        // and times (Windows' change time here is the write time): its ID tells. Held
        // open, it stays the one file until the copy is done.
        const QString path = QFile::decodeName(source);
        const HANDLE held = openAttributes(path);
        FileId now = expected.id;
        setIdOf(held, now);
        const auto close = qScopeGuard([held] {
            if (held != INVALID_HANDLE_VALUE)
                ::CloseHandle(held);
        });
        const bool known = expected.id.device != 0 || expected.id.inode != 0;
        if (known && held != INVALID_HANDLE_VALUE && (now.device != expected.id.device || now.inode != expected.id.inode))
            throw SourceChanged(path);
        return m_base.copyFile(source, expected, parent, name, progress);
    }

    void setFolderTime(Folder& folder, qint64 mtime) const override
    {
        HANDLE handle = ::CreateFileW(QDir::toNativeSeparators(folder.path()).toStdWString().c_str(),
                                      FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            throw IoError(folder.path(), winerr::last());
        // 100-nanosecond steps since 1601.
        const quint64 ticks = quint64(mtime / 100) + 116444736000000000ULL;
        const FILETIME time{DWORD(ticks & 0xffffffffu), DWORD(ticks >> 32)};
        const bool set = ::SetFileTime(handle, nullptr, nullptr, &time);
        const QString why = set ? QString() : winerr::last();
        ::CloseHandle(handle);
        if (!set)
            throw IoError(folder.path(), why);
    }

    void flush(Folder& folder) const override { m_base.flush(folder); }
    QString remove(Folder& parent, const QByteArray& name) const override { return m_base.remove(parent, name); }

private:
    const FileSystem& m_base = portable();
};

} // namespace

const FileSystem& native()
{
    static const WindowsFileSystem fs;
    return fs;
}

} // namespace filetree
