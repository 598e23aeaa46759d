// ShellCopy: a copy plan carried out in one operation with one progress report.
#include "util/FileCopy.h"

#include "platform/FileTree.h"
#include "util/CopyPlan.h"

#include <QElapsedTimer>

#include <vector>

namespace {

// Reports progress: at the start, at every file when some time has passed, after
// every few megabytes inside a large file, and at the end.
class Reporter {
public:
    explicit Reporter(const CopyObserver& observer) : m_observer(observer) { m_clock.start(); }

    CopyProgress progress;

    // The file now copied: its folder below the job folder ("a/b/") and its name. The
    // name is made into text only when a report goes out.
    void fileStarted(const QByteArray* folder, const QByteArray* name)
    {
        m_folder = folder;
        m_name = name;
        maybeReport();
    }
    void fileDone()
    {
        ++progress.filesDone;
        m_folder = m_name = nullptr;
    }
    void bytesCopied(qint64 n)
    {
        progress.bytesDone += n;
        m_bytesSinceReport += n;
        maybeReport();
    }
    void report()
    {
        m_clock.restart();
        m_bytesSinceReport = 0;
        if (m_name)
            progress.currentName = filetree::shown(*m_folder + *m_name);
        if (m_observer && !m_observer(progress))
            throw CopyCancelled();
    }

private:
    void maybeReport()
    {
        constexpr qint64 kInterval = 20;          // milliseconds: a window keeps repainting
        constexpr qint64 kBytes = qint64(8) << 20; // inside a large file
        if (m_bytesSinceReport >= kBytes || m_clock.elapsed() >= kInterval)
            report();
    }

    const CopyObserver& m_observer;
    QElapsedTimer m_clock;
    qint64 m_bytesSinceReport = 0;
    const QByteArray* m_folder = nullptr;
    const QByteArray* m_name = nullptr;
};

// A folder of the plan that is being filled.
struct OpenFolder {
    qint32 item;
    std::unique_ptr<filetree::Folder> folder;
    QByteArray source;    // the folder it copies
    qsizetype pathLength; // of the path below the job folder before this folder's name
};

} // namespace

void ShellCopy(const filetree::FileSystem& fs, const CopyPlan& plan, filetree::Folder& dest,
               const CopyObserver& observer, bool flush)
{
    Reporter reporter(observer);
    reporter.progress.filesTotal = plan.files;
    reporter.progress.bytesTotal = plan.bytes;
    reporter.report();
    const auto onBytes = [&reporter](qint64 n) {
        reporter.bytesCopied(n); // throws CopyCancelled
        return true;
    };

    // The folders from the job folder down to the one being filled, each open, so that
    // every entry is made relative to its folder. A folder gets its time when it is
    // full, since each entry made in it changes the time.
    std::vector<OpenFolder> open;
    QByteArray path; // of the innermost open folder below the job folder, ending in '/'
    const auto closeInnermost = [&] {
        const OpenFolder& f = open.back();
        fs.setFolderTime(*f.folder, plan.items[size_t(f.item)].mtime);
        path.truncate(f.pathLength);
        open.pop_back();
    };
    for (size_t i = 0; i < plan.items.size(); ++i) {
        const PlanItem& item = plan.items[i];
        while (!open.empty() && open.back().item != item.parent)
            closeInnermost();
        filetree::Folder& parent = open.empty() ? dest : *open.back().folder;
        // A selected item names its source; everything below it is found by name in
        // its folder's source.
        QByteArray source = open.empty() ? item.source : open.back().source + '/' + item.name;
        if (item.isFolder()) {
            open.push_back({qint32(i), fs.makeFolder(parent, item.name), std::move(source), path.size()});
            path += item.name + '/';
            continue;
        }
        reporter.fileStarted(&path, &item.name);
        fs.copyFile(source, item.expected(), parent, item.name, onBytes);
        reporter.fileDone();
    }
    while (!open.empty())
        closeInnermost();

    // The copies are on disk before anyone is told they are complete.
    if (flush)
        fs.flush(dest);
    reporter.report();
}
