#pragma once
// Reading, copying and removing file trees, and writing the entries of a job, in the
// system's own terms: a name is the system's bytes (QByteArray), decoded only to be
// shown, so a name that is no valid text is still read and copied as it is.
//
// Everything written is created new, relative to an open folder, and never through a
// link: a name that is already taken (a file, a folder or a link someone planted in a
// shared folder) stops the write instead of being followed or replaced.
//
// The POSIX implementation works on open folder handles with one status call per
// entry and copies with the kernel's own copy; the portable one, built on Qt's file
// classes, does the same work where Qt offers it. The build picks each system's files
// (CMakeLists.txt): the portable one everywhere, so it is always tested, and the
// native one, POSIX where there is POSIX.
#include "platform/Errors.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace filetree {

// What identifies a file or folder however it is reached.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;
    QString key; // the portable implementation's canonical path
    bool operator==(const FileId&) const = default;
};

enum class Kind { Missing, File, Folder, Fifo, Device, Socket, Other };

// What a name leads to, links followed.
struct Status {
    Kind kind = Kind::Missing;
    bool link = false;     // the name itself is a symbolic link
    bool readable = true;  // a file this process may open for reading
    // Lies on a system file system (proc, sysfs, cgroup...), whose files are views of
    // the running system rather than data. Listing finds it out where an entry's device
    // differs from its folder's; status() always does.
    bool systemFs = false;
    qint64 size = 0;       // bytes of a file
    qint64 allocated = 0;  // bytes it takes on its disk (less than size when sparse)
    qint64 mtime = 0;      // last modification, nanoseconds since 1970
    // Last change of content or status, nanoseconds since 1970: set by the system on
    // every write, whatever a program later puts into mtime.
    qint64 ctime = 0;
    FileId id;
    QString error;         // the system's text when the name cannot be examined
    bool gone = false;     // Missing because nothing has this name (any more)
};

struct Listed {
    QByteArray name;
    Status status;
};

// The longest name and the longest path a file system takes, in bytes.
struct Limits {
    qint64 name = 255;
    qint64 path = 4096;
};

// An open folder that entries are created in.
class Folder {
public:
    virtual ~Folder() = default;
    virtual QString path() const = 0; // for messages
};

// The held lock of a job being written (see createLock).
class Lock {
public:
    virtual ~Lock() = default;
};

// How often the writer of a job marks its lock file as alive by writing to it (a write
// the file system stamps with its own clock), so that a reader on another computer, or
// on another mount whose advisory locks it cannot see, can tell a live writer from a
// dead one.
qint64 lockRefreshMilliseconds();

enum class LockProbe {
    Free,       // nobody holds it
    Held,       // its writer is at work
    Unknown,    // this file system keeps no such locks
    Unreadable, // the lock file cannot be opened, or is no plain file (any more)
};

// The text of a kind that is neither file nor folder ("a named pipe (FIFO)").
QString kindText(Kind kind);
// A path in the system's bytes as text to show (bytes that are no valid text show as
// replacement characters).
QString shown(const QByteArray& path);

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // ---- reading
    // The status of path; Missing with the system's text when it cannot be examined.
    virtual Status status(const QByteArray& path) const = 0;
    // Every entry of folder except "." and "..", each with its status. False, with the
    // system's text in *error, when the folder cannot be listed.
    virtual bool list(const QByteArray& folder, const Status& folderStatus, std::vector<Listed>& entries,
                      QString* error) const = 0;
    // The path with every link resolved; empty when that fails.
    virtual QByteArray canonical(const QByteArray& path) const = 0;
    virtual Limits limits(const QByteArray& folder) const = 0;
    // Bytes this user may still write on folder's file system; -1 when unknown.
    virtual qint64 freeBytes(const QByteArray& folder) const = 0;
    // Whether folder lies on a network or FUSE file system (NFS, SMB, sshfs...), where
    // every call waits for a round trip.
    virtual bool isRemote(const QByteArray& folder) const = 0;

    // ---- writing. Each throws IoError naming the entry.
    // Opens an existing folder (following links: the caller chose it).
    virtual std::unique_ptr<Folder> openFolder(const QByteArray& path) const = 0;
    // Makes the new folder name in parent and opens it.
    virtual std::unique_ptr<Folder> makeFolder(Folder& parent, const QByteArray& name) const = 0;
    // Creates the new file name in parent with bytes; durable: on disk, entry included,
    // before it returns.
    virtual void writeFile(Folder& parent, const QByteArray& name, const QByteArray& bytes, bool durable) const = 0;
    // Creates the new file name with bytes, durable, and holds an advisory lock on it
    // until removeLock: a reader can tell a job being written from one whose writer is gone.
    virtual std::unique_ptr<Lock> createLock(Folder& parent, const QByteArray& name, const QByteArray& bytes) const = 0;
    // Removes the lock file, then lets go of the lock. Empty on success, else the
    // system's text; a lock file that is no longer the one lock holds (another program
    // removed it) is left alone and said so.
    virtual QString removeLock(Folder& parent, const QByteArray& name, std::unique_ptr<Lock> lock) const = 0;
    // Takes the lock of an existing lock file when nobody holds it; the returned lock
    // is held until it is destroyed.
    // Only this mount's (or, on a network file system, this client's) locks may count:
    // a free lock alone does not prove its writer gone. why, when given, gets the
    // system's text for Unknown and Unreadable.
    virtual LockProbe probeLock(Folder& parent, const QByteArray& name, std::unique_ptr<Lock>* taken,
                                QString* why = nullptr) const = 0;

    // ---- looking into a folder others write: nothing is followed. A link is an entry
    // of its own (Kind::Other with link set), never what it leads to.
    // Calls each for every entry of folder but "." and ".." as the listing meets it;
    // nothing of the listing is kept. False, with the system's text in *error, when the
    // folder cannot be listed to its end.
    virtual bool forEachEntry(Folder& folder, const std::function<void(const QByteArray& name, Kind kind, bool link)>& each,
                              QString* error) const = 0;
    // The entry name of parent itself; Missing with the system's text when there is none.
    virtual Status entryStatus(Folder& parent, const QByteArray& name) const = 0;
    // Whether nothing has the name in parent now, as the file system that keeps it says:
    // a network client's cache of names it saw a moment ago does not answer. False when
    // something is there, or when that cannot be told.
    virtual bool isGone(Folder& parent, const QByteArray& name) const = 0;
    // The bytes of the files in the folder name of parent and below it, counted where
    // they are: links are not followed, and count nothing. -1, with the reason in
    // *error, when part of the tree cannot be read.
    virtual qint64 treeBytes(Folder& parent, const QByteArray& name, QString* error) const = 0;
    // The content of the plain file name in parent, at most maxBytes: a link, a folder,
    // a pipe or a device is refused unread. Throws IoError (the system's text, "Not a
    // regular file", "File too large").
    virtual QByteArray readEntry(Folder& parent, const QByteArray& name, qint64 maxBytes) const = 0;

    // Copies the file source into the new file name in parent. expected is the
    // source's status when the copy was planned: a source whose identity, size,
    // modification time or change time differs from it when it is opened, or from
    // what it was then after its last byte, throws SourceChanged. Holes of a sparse file stay holes. The copy gets the permissions
    // new files get from this process and the source's modification time. progress
    // receives the bytes copied since its last call and answers false to stop;
    // copyFile then returns false with the partial file left.
    virtual bool copyFile(const QByteArray& source, const Status& expected, Folder& parent, const QByteArray& name,
                          const std::function<bool(qint64)>& progress) const = 0;
    // Sets a folder's modification time (after its contents are written).
    virtual void setFolderTime(Folder& folder, qint64 mtime) const = 0;
    // Makes everything written on folder's file system durable, removals included.
    virtual void flush(Folder& folder) const = 0;
    // Removes name in parent: a file, or a folder with everything in it; links are
    // removed as links. Empty on success, else the system's text.
    virtual QString remove(Folder& parent, const QByteArray& name) const = 0;
};

// A file that changed while it was being copied (or since it was planned).
class SourceChanged : public UserError {
public:
    explicit SourceChanged(const QString& path)
        : UserError(path + QStringLiteral(" changed while it was being copied.")), m_path(path) {}
    const QString& path() const noexcept { return m_path; }

private:
    QString m_path;
};

// Thrown when byte counts add up past the signed 64-bit range.
class SizeOverflow : public UserError {
public:
    explicit SizeOverflow(const QString& path)
        : UserError(QStringLiteral("Integer overflow: the sizes below %1 add up to more than 9223372036854775807 bytes")
                        .arg(path)) {}
};

// The fastest implementation this system offers (defined by the file the build picks
// for the system).
const FileSystem& native();
// The implementation built on Qt alone.
const FileSystem& portable();

} // namespace filetree
