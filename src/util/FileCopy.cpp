// ShellCopy: a copy plan carried out in one operation, the files through a pool of
// workers, watched from the calling thread.
#include "util/FileCopy.h"

#include "platform/FileTree.h"
#include "platform/StopSignals.h"
#include "util/CopyPlan.h"
#include "util/FileQueue.h"
#include "util/WatchedRun.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// A folder of the plan while something is still to be made in it. The walker holds
// it while it is inside it, and every file queued for it holds it too; the last to let
// go gives the folder its time, since each entry made in it changes that.
struct OpenFolder {
    std::unique_ptr<filetree::Folder> folder;
    qint32 item = -1;
    QByteArray source; // the folder it copies
    std::atomic<int> holds{1};
};
using FolderRef = std::shared_ptr<OpenFolder>;

// How far a copy is, counted by every thread of it and read by its watcher.
struct CopyCounters {
    std::atomic<qint64> filesDone{0};
    std::atomic<qint64> bytesDone{0};
    std::atomic<qint32> current{-1}; // the file begun last
};

class Copier {
public:
    Copier(const filetree::FileSystem& fs, const CopyPlan& plan, filetree::Folder& dest, Activity& activity,
           int workers, CopyCounters& counters)
        : m_fs(fs), m_plan(plan), m_dest(dest), m_activity(activity), m_workers(qMax(1, workers)),
          m_queue(size_t(m_workers) * 16, size_t(m_workers) * 4096), m_counters(counters)
    {
    }

    // The walk over the plan: folders made here in the plan's order, files copied here
    // (one worker) or handed to the workers.
    void run(bool flush)
    {
        std::vector<std::thread> threads;
        if (m_workers > 1)
            for (int i = 0; i < m_workers; ++i)
                threads.emplace_back([this] { work(); });
        try {
            walk();
        } catch (...) {
            m_activity.fail(std::current_exception());
        }
        m_queue.close();
        for (std::thread& t : threads)
            t.join();
        m_queue.clear();
        // The copies are on disk before anyone is told they are complete.
        if (flush && !m_activity.stopping())
            m_fs.flush(m_dest);
    }

private:
    void walk()
    {
        // The folders from the job folder down to the one being filled, each open, so
        // that every entry is made relative to its folder.
        std::vector<FolderRef> open;
        for (size_t i = 0; i < m_plan.items.size() && !m_activity.stopping(); ++i) {
            const PlanItem& item = m_plan.items[i];
            while (!open.empty() && open.back()->item != item.parent) {
                release(open.back());
                open.pop_back();
            }
            const FolderRef& inside = open.empty() ? nullptr : open.back();
            if (item.isFolder()) {
                auto folder = std::make_shared<OpenFolder>();
                folder->folder = m_fs.makeFolder(inside ? *inside->folder : m_dest, m_plan.nameOf(item));
                folder->item = qint32(i);
                folder->source = sourceOf(inside, item);
                m_activity.beat();
                open.push_back(std::move(folder));
                continue;
            }
            if (m_workers == 1) {
                copy(inside ? *inside->folder : m_dest, qint32(i), sourceOf(inside, item));
                continue;
            }
            FolderRef holder = open.empty() ? nullptr : open.back();
            if (holder)
                ++holder->holds;
            if (!m_queue.push(holder, qint32(i), [this] { return m_activity.stopping(); })) {
                release(holder);
                break;
            }
        }
        while (!open.empty()) {
            release(open.back());
            open.pop_back();
        }
    }

    void work()
    {
        stopsignals::leaveToMainThread();
        const auto stop = [this] { return m_activity.stopping(); };
        while (std::optional<FileQueue<OpenFolder>::Task> task = m_queue.pop(stop)) {
            try {
                copy(task->folder ? *task->folder->folder : m_dest, task->item,
                     sourceOf(task->folder, m_plan.items[size_t(task->item)]));
                m_queue.done(*task);
                release(task->folder);
            } catch (...) {
                m_activity.fail(std::current_exception());
            }
        }
    }

    // A selected item names its source; everything below it is found by name in its
    // folder's source.
    QByteArray sourceOf(const FolderRef& folder, const PlanItem& item) const
    {
        return folder ? folder->source + '/' + m_plan.nameOf(item) : m_plan.sourceOf(item);
    }

    void copy(filetree::Folder& parent, qint32 index, const QByteArray& source)
    {
        const PlanItem& item = m_plan.items[size_t(index)];
        m_counters.current.store(index, std::memory_order_relaxed);
        m_activity.beat();
        const bool complete = m_fs.copyFile(source, item.expected(), parent, m_plan.nameOf(item), [this](qint64 n) {
            m_counters.bytesDone.fetch_add(n, std::memory_order_relaxed);
            m_activity.beat();
            return !m_activity.stopping();
        });
        if (complete)
            m_counters.filesDone.fetch_add(1, std::memory_order_relaxed);
    }

    // Lets go of a folder; the last hold gives it its time (not after a stop: the job
    // goes again anyway).
    void release(const FolderRef& folder)
    {
        if (folder && --folder->holds == 0 && !m_activity.stopping()) {
            m_fs.setFolderTime(*folder->folder, m_plan.items[size_t(folder->item)].mtime);
            m_activity.beat();
        }
    }

    const filetree::FileSystem& m_fs;
    const CopyPlan& m_plan;
    filetree::Folder& m_dest;
    Activity& m_activity;
    const int m_workers;
    FileQueue<OpenFolder> m_queue;
    CopyCounters& m_counters;
};

} // namespace

int DefaultCopyWorkers(const filetree::FileSystem& fs, const QByteArray& uploadFolder)
{
    return fs.isRemote(uploadFolder) ? 8 : 2;
}

void ShellCopy(const filetree::FileSystem& fs, const CopyPlan& plan, filetree::Folder& dest,
               const CopyObserver& observer, const CopyOptions& options)
{
    CopyProgress progress;
    progress.filesTotal = plan.files;
    progress.bytesTotal = plan.bytes;
    if (observer && !observer(progress))
        throw CopyCancelled();

    CopyCounters counters;
    qint32 named = -1;
    const auto report = [&](qint64 silentMs) {
        progress.filesDone = counters.filesDone.load(std::memory_order_relaxed);
        progress.bytesDone = counters.bytesDone.load(std::memory_order_relaxed);
        // The name is made into text only when another file has begun.
        if (const qint32 current = counters.current.load(std::memory_order_relaxed); current != named && current >= 0) {
            named = current;
            progress.currentName = plan.relativePath(current);
        }
        progress.silentSeconds = silentMs / 1000;
        if (observer && !observer(progress))
            throw CopyCancelled();
    };
    RunWatched(
        [&](Activity& activity) {
            Copier(fs, plan, dest, activity, options.workers, counters).run(options.flush);
        },
        [&](const Activity& activity) { report(activity.silentMilliseconds()); });
    report(0);
}
