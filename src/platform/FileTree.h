#pragma once
// Walking, sizing and copying file trees. On POSIX systems the walk works on open
// directory handles (one status call per entry) and the copy uses the kernel's own
// copy where it has one; elsewhere the portable implementation, built on Qt's file
// classes, does the same work. Both are always compiled, so both can be tested.
//
// The rules are the same in both: links are followed (a link counts as what it leads
// to), a folder already on the walk's way down is not entered again (so a link back
// into its own tree ends the walk instead of looping), and entries that are neither
// files nor folders (sockets, pipes, devices, dangling links) are left out.
#include "platform/Errors.h"

#include <QString>
#include <functional>
#include <vector>

namespace filetree {

// What identifies a file or folder however it is reached.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;
    QString key; // the portable walk's canonical path
    bool operator==(const FileId&) const = default;
};

enum class Kind { Missing, File, Folder, Other };

struct Entry {
    Kind kind = Kind::Missing;
    qint64 size = 0;
    quint32 mode = 0644; // permission bits
    FileId id;
};

// One item below a walked folder, its path relative to that folder ('/' between names).
struct TreeItem {
    QString relative;
    bool folder = false;
    qint64 size = 0;
    quint32 mode = 0644;
};

// Thrown when byte counts add up past the signed 64-bit range.
class SizeOverflow : public UserError {
public:
    explicit SizeOverflow(const QString& path)
        : UserError(QStringLiteral("Integer overflow: the sizes below %1 add up to more than 9223372036854775807 bytes")
                        .arg(path)) {}
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The entry at path, links followed. Missing, with the system's text in *error,
    // when there is none or it cannot be examined.
    virtual Entry examine(const QString& path, QString* error = nullptr) const = 0;
    // Whether anything (a dangling link included) has this name.
    virtual bool nameTaken(const QString& path) const = 0;

    // Bytes of all files below folder. A folder (the top one included) that cannot be
    // listed counts 0. Throws SizeOverflow.
    virtual qint64 treeBytes(const QString& folder) const = 0;
    // Every file and folder below folder (whose own id is top), folders before their
    // contents. Throws IoError for a folder that cannot be listed.
    virtual void listTree(const QString& folder, const FileId& top, std::vector<TreeItem>& items) const = 0;

    // Creates one folder. Throws IoError.
    virtual void makeFolder(const QString& path) const = 0;
    // Copies the bytes of source into the new file target (which must not exist) with
    // the given permissions. progress receives the bytes copied since its last call
    // and answers false to stop; copyFile then returns false with the partial file left.
    // Throws IoError naming the file that failed.
    virtual bool copyFile(const QString& source, const QString& target, quint32 mode,
                          const std::function<bool(qint64)>& progress) const = 0;
    // Makes everything written below path durable. Throws IoError.
    virtual void flush(const QString& path) const = 0;
    // Makes one file and its entry in its folder durable, without waiting for what
    // others have written. Throws IoError.
    virtual void flushFile(const QString& path) const = 0;
};

// The fastest implementation this system offers.
const FileSystem& native();
// The implementation built on Qt alone.
const FileSystem& portable();

} // namespace filetree
