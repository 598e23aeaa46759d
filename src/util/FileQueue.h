#pragma once
// The files of a copy on their way from the walk to the workers, spread over their
// folders. A file system makes one new entry at a time in a folder (the folder is
// locked while a name is made in it, and on a share that takes a round trip), so
// workers in different folders get on at once where workers in one folder wait for
// each other. A worker takes a file of the folder with the fewest files under way, the
// earliest such folder first.
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>

template <typename Folder>
class FileQueue {
    struct Pending {
        std::shared_ptr<Folder> folder; // null: the job folder itself
        std::deque<qint32> items;
        int underWay = 0;
    };
    using Slot = typename std::list<Pending>::iterator;

public:
    struct Task {
        std::shared_ptr<Folder> folder;
        qint32 item = -1;
        Slot slot;
    };

    // At most maxFolders folders (each held open) and maxFiles files wait at a time.
    FileQueue(size_t maxFolders, size_t maxFiles) : m_maxFolders(maxFolders), m_maxFiles(maxFiles) {}

    // Adds item of folder; waits while the queue is full. False when stop() holds
    // meanwhile (the item is not taken).
    bool push(const std::shared_ptr<Folder>& folder, qint32 item, const std::function<bool()>& stop)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (stop())
                return false;
            const bool sameFolder = !m_folders.empty() && m_folders.back().folder == folder;
            if (m_files < m_maxFiles && (sameFolder || m_folders.size() < m_maxFolders)) {
                if (!sameFolder)
                    m_folders.push_back({folder, {}, 0});
                m_folders.back().items.push_back(item);
                ++m_files;
                wake(lock, m_workWaiting, m_work);
                return true;
            }
            ++m_spaceWaiting;
            m_space.wait_for(lock, kPoll);
            --m_spaceWaiting;
        }
    }

    // The next file; nullopt once the queue is closed and empty, or when stop() holds.
    std::optional<Task> pop(const std::function<bool()>& stop)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (stop())
                return std::nullopt;
            Slot best = m_folders.end();
            for (Slot s = m_folders.begin(); s != m_folders.end(); ++s)
                if (!s->items.empty() && (best == m_folders.end() || s->underWay < best->underWay))
                    best = s;
            if (best != m_folders.end()) {
                Task task{best->folder, best->items.front(), best};
                best->items.pop_front();
                ++best->underWay;
                // A walk waiting for room gets on once half the files are gone, not
                // for each one: else it and the workers take turns file by file.
                const bool halfGone = --m_files == m_maxFiles / 2;
                wake(lock, halfGone ? m_spaceWaiting : 0, m_space);
                return task;
            }
            if (m_closed)
                return std::nullopt;
            ++m_workWaiting;
            m_work.wait_for(lock, kPoll);
            --m_workWaiting;
        }
    }

    // A file taken by pop() is done with: a folder with nothing left waiting or under
    // way leaves the queue.
    void done(const Task& task)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (--task.slot->underWay == 0 && task.slot->items.empty()) {
            m_folders.erase(task.slot);
            wake(lock, m_spaceWaiting, m_space);
        }
    }

    // No more files come.
    void close()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_work.notify_all();
    }

    // What is left after a stop goes, with the folders it holds.
    void clear()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_folders.clear();
        m_files = 0;
    }

    size_t foldersWaiting() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_folders.size();
    }

private:
    // Wakes one thread waiting on changed, if any: a copy of many small files passes
    // each through here, and a wake-up nobody waits for still costs a system call.
    // The lock goes first, so that the thread woken does not wait for it at once.
    static void wake(std::unique_lock<std::mutex>& lock, int waiting, std::condition_variable& changed)
    {
        lock.unlock();
        if (waiting > 0)
            changed.notify_one();
    }

    static constexpr std::chrono::milliseconds kPoll{50}; // a stop is seen this soon
    const size_t m_maxFolders;
    const size_t m_maxFiles;
    mutable std::mutex m_mutex;
    std::condition_variable m_work;  // a file to copy, or the end
    std::condition_variable m_space; // room for another file
    int m_workWaiting = 0, m_spaceWaiting = 0;
    std::list<Pending> m_folders; // in the order the walk reached them
    size_t m_files = 0;
    bool m_closed = false;
};
