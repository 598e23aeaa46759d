#pragma once
// The copy plan of a job: one walk of the selection finds every file and folder to
// copy, with its name in the job folder, its size and what it takes on disk. The
// summary takes its numbers from the plan, the checks before a job is written read
// it, and the copy carries it out, so what is counted is what is copied.
//
// The walk's rules: a link to a file is copied as that file; a link to a folder is
// entered only when that folder has not been entered before in this plan, and never
// when it lies on a system file system (proc, sysfs...); such links, dangling links
// and system mount points are not followed and are listed. Pipes, devices and sockets
// inside a folder are never opened; they are listed. The upload folder is never copied
// into a job, nor anything inside it.
#include "platform/FileTree.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

// One selected item: its path in the system's bytes and whether it was selected as
// a folder.
struct PlanSource {
    QByteArray path;
    bool folderEntry = false;
};

// The names of a plan's items, kept together in large blocks instead of one piece of
// memory each: a plan may hold millions. A name's place never changes, so a view of it
// stays valid as long as the plan.
class PlanNames {
public:
    PlanNames() = default;
    PlanNames(PlanNames&&) noexcept = default;
    PlanNames& operator=(PlanNames&&) noexcept = default;

    // Keeps name (no zero byte in it) and answers where.
    quint32 add(const QByteArray& name);
    // The name kept at, as a view (no copy).
    QByteArray at(quint32 place) const;

private:
    static constexpr int kBlockBits = 20; // blocks of 1 MiB
    std::vector<std::unique_ptr<char[]>> m_blocks;
    quint32 m_used = 1u << kBlockBits;    // in the last block: full before the first
};

// One thing to make in the job folder. Items come in an order where every folder comes
// before what goes into it; the files of one folder depend on nothing but that folder,
// so several of them can be copied at once. Kept small: 56 bytes and the name.
struct PlanItem {
    // As planned: a file that differs from this when it is copied has changed.
    qint64 size = 0;
    qint64 mtime = 0;
    qint64 ctime = 0;
    quint64 device = 0, inode = 0;
    qint32 parent = -1; // the index of the folder it goes into; -1: the job folder itself
    qint32 source = -1; // selected items only: its path in CopyPlan::sources
    quint32 name = 0;   // its name in the folder it goes into, in CopyPlan::names
    bool folder = false;

    bool isFolder() const { return folder; }
    // What the copy expects of the source.
    filetree::Status expected() const;
};

// Why a plan cannot be carried out: the item and the reason.
struct PlanProblem {
    QString path;
    QString reason;
    bool isEmpty() const { return path.isEmpty(); }
};

// Paths of one kind that the plan leaves out: how many, and the first few.
struct LeftOut {
    qint64 count = 0;
    QStringList first;
    void add(const QString& path);
};

struct CopyPlan {
    std::deque<PlanItem> items; // grows without moving what it holds
    PlanNames names;
    QList<QByteArray> sources;  // the paths of the selected items, links followed
    QList<qint64> entryBytes;  // bytes of each selected item, in selection order (0 when missing)
    qint64 files = 0;          // files to copy
    qint64 bytes = 0;          // their bytes
    qint64 allocated = 0;      // what the copy takes on disk, folders included
    PlanProblem problem;       // the first thing that stops the copy
    LeftOut notFollowed;       // links and system mount points
    LeftOut specials;          // pipes, devices and sockets inside folders
    // The longest name and the longest path below the job folder (in bytes), and the
    // items that have them.
    qint64 longestName = 0, longestPath = 0;
    qint32 longestNameItem = -1, longestPathItem = -1;

    // An item's name (below a selected item, also its source's name in its folder).
    QByteArray nameOf(const PlanItem& item) const { return names.at(item.name); }
    // A selected item's path, empty for everything below one.
    QByteArray sourceOf(const PlanItem& item) const { return item.source < 0 ? QByteArray() : sources[item.source]; }
    // An item's path below the job folder ("Project/sub/a.txt"), as text.
    QString relativePath(qint32 item) const;
    // The path an item is read from.
    QByteArray sourcePath(qint32 item) const;
};

// Walks the sources. uploadFolder is where jobs are written. Throws SizeOverflow.
CopyPlan MakeCopyPlan(const filetree::FileSystem& fs, const QList<PlanSource>& sources, const QByteArray& uploadFolder);

// The first name of the form "name", "name (2)", "name (3)"... for which taken()
// answers false; a file's extension stays at the end ("report (2).doc").
QByteArray FreeName(const QByteArray& name, bool isFile, const std::function<bool(const QByteArray&)>& taken);
