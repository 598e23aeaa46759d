#pragma once
// Lists folders for a walk, a second thread working ahead of it. The walk names the
// folders it will want, in the order it will want them, and then takes them one by
// one: a listing the helper has made is handed over ready, and one it has not begun
// the walk makes itself. The helper lists the folder after the one the walk wants
// next, so the two work on different folders in turns, little is held in memory for
// the walk, and the walk's result is the same as with one thread. A walk that wants a
// folder the helper is still listing lists the next one nobody has begun meanwhile
// instead of waiting. Listing is where a walk's time goes (one status call per
// entry), so on two cores a large walk takes little more than half as long.
#include "platform/FileTree.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class FolderLister {
public:
    struct Folder {
        QByteArray path;
        filetree::Status status;
        // The listing:
        bool listed = false; // false: error says why
        std::vector<filetree::Listed> entries;
        QString error;
    };

private:
    enum class State { Waiting, Begun, Done };
    struct Job {
        Folder folder;
        State state = State::Waiting;
    };

public:
    using Handle = std::shared_ptr<Job>;

    explicit FolderLister(const filetree::FileSystem& fs) : m_fs(fs) {}
    ~FolderLister();
    FolderLister(const FolderLister&) = delete;
    FolderLister& operator=(const FolderLister&) = delete;

    // A folder the walk will want, after those named before it.
    Handle expect(const QByteArray& path, const filetree::Status& status);
    // The folder with its listing, made now when the helper has not begun it.
    Folder& take(const Handle& job);
    // Lists a folder here and now.
    void list(Folder& folder) const;

private:
    void help();
    // The folder named that nobody has begun, after skip others such; none when there
    // is none, or when as many entries as may be are already listed ahead.
    Handle nextToList(int skip) const;
    // Lists a folder ahead of the walk, the lock held around it but not during it.
    void listAhead(const Handle& job, std::unique_lock<std::mutex>& lock);

    const filetree::FileSystem& m_fs;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Handle> m_waiting; // in the order the walk wants them
    // Entries of listings the helper has made and the walk not yet taken; the helper
    // waits above kHeldEntries (some 3 MB, where the walk's order leaves it behind),
    // so a plan's memory is its items, not listings read ahead.
    static constexpr qsizetype kHeldEntries = 20000;
    qsizetype m_held = 0;
    bool m_stop = false;
    std::thread m_helper;
};
