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
#include <vector>

// One selected item: its path in the system's bytes and whether it was selected as
// a folder.
struct PlanSource {
    QByteArray path;
    bool folderEntry = false;
};

// One thing to make in the job folder. Items come in an order where every folder comes
// before what goes into it; the files of one folder depend on nothing but that folder,
// so several of them could be copied at once. Kept small: a plan may hold millions.
struct PlanItem {
    QByteArray name;    // its name in the folder it goes into (below a selected item, also its source's name)
    QByteArray source;  // selected items only: the path it is read from, links followed
    qint32 parent = -1; // the index of the folder it goes into; -1: the job folder itself
    bool folder = false;
    // As planned: a file that differs from this when it is copied has changed.
    qint64 size = 0;
    qint64 allocated = 0;
    qint64 mtime = 0;
    qint64 ctime = 0;
    quint64 device = 0, inode = 0;

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
    std::vector<PlanItem> items;
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
