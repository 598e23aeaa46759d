// ShellCopy: the whole selection copied in one operation with one progress report.
#include "util/FileCopy.h"

#include "platform/FileTree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QtNumeric>

#include <algorithm>
#include <vector>

namespace {

using filetree::FileId;
using filetree::Kind;

// One step of the copy: a folder to make or a file to copy.
struct Step {
    QString source;
    QString target;
    QString shown; // the name under the destination, for the progress report
    bool folder = false;
    qint64 size = 0;
    quint32 mode = 0644;
};

// The last name in a path, ignoring trailing separators.
QString lastName(const QString& path)
{
    QString p = QDir::fromNativeSeparators(path);
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    const QString name = p.mid(p.lastIndexOf(u'/') + 1);
    // A root folder has no name of its own.
    return name.isEmpty() || name == u"/" ? QStringLiteral("root") : name;
}

// Reports progress: at the start, at every file when some time has passed, after
// every few megabytes inside a large file, and at the end.
class Reporter {
public:
    explicit Reporter(const CopyObserver& observer) : m_observer(observer) { m_clock.start(); }

    CopyProgress progress;

    void fileStarted(const QString& name)
    {
        progress.currentName = name;
        maybeReport();
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
};

} // namespace

QString FreeName(const QString& name, bool isFile, const std::function<bool(const QString&)>& taken)
{
    if (!taken(name))
        return name;
    // "report.doc" -> "report" + ".doc"; a leading dot ("notes" of ".notes") is no
    // extension, and folders keep their whole name.
    const qsizetype dot = isFile ? name.lastIndexOf(u'.') : -1;
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = stem + QStringLiteral(" (%1)").arg(n) + extension;
        if (!taken(candidate))
            return candidate;
    }
}

void CopyTrees(const filetree::FileSystem& fs, const QStringList& sources, const QString& dest,
               const CopyObserver& observer)
{
    const QString destFolder = dest.endsWith(u'/') || dest.endsWith(QDir::separator()) ? dest : dest + u'/';

    // First the plan: every folder and file, so that the report knows the totals and a
    // missing source stops the copy before anything is written.
    std::vector<Step> steps;
    std::vector<FileId> copied;
    QSet<QString> namesUsed;
    qint64 filesTotal = 0;
    qint64 bytesTotal = 0;
    for (const QString& source : sources) {
        QString error;
        const filetree::Entry top = fs.examine(source, &error);
        if (top.kind == Kind::Missing)
            throw IoError(source, error);
        if (top.kind == Kind::Other)
            throw IoError(source, QStringLiteral("Not a file or folder"));
        // The same item selected twice (or under two names) is copied once.
        if (std::any_of(copied.begin(), copied.end(), [&](const FileId& id) { return id == top.id; }))
            continue;
        copied.push_back(top.id);

        // Two different items with one name do not overwrite each other.
        const QString name = FreeName(lastName(source), top.kind == Kind::File, [&](const QString& candidate) {
            return namesUsed.contains(candidate) || fs.nameTaken(destFolder + candidate);
        });
        namesUsed.insert(name);

        if (top.kind == Kind::File) {
            steps.push_back({source, destFolder + name, name, false, top.size, top.mode});
            ++filesTotal;
            if (qAddOverflow(bytesTotal, top.size, &bytesTotal))
                throw filetree::SizeOverflow(source);
            continue;
        }
        steps.push_back({source, destFolder + name, name, true, 0, top.mode});
        std::vector<filetree::TreeItem> items;
        fs.listTree(source, top.id, items);
        const QString sourceFolder = source.endsWith(u'/') ? source : source + u'/';
        steps.reserve(steps.size() + items.size());
        for (const filetree::TreeItem& item : items) {
            const QString shown = name + u'/' + item.relative;
            steps.push_back({sourceFolder + item.relative, destFolder + shown, shown, item.folder, item.size,
                             item.mode});
            if (!item.folder) {
                ++filesTotal;
                if (qAddOverflow(bytesTotal, item.size, &bytesTotal))
                    throw filetree::SizeOverflow(source);
            }
        }
    }

    Reporter reporter(observer);
    reporter.progress.filesTotal = filesTotal;
    reporter.progress.bytesTotal = bytesTotal;
    reporter.report();

    const auto onBytes = [&reporter](qint64 n) {
        reporter.bytesCopied(n); // throws CopyCancelled
        return true;
    };
    for (const Step& step : steps) {
        if (step.folder) {
            fs.makeFolder(step.target);
            continue;
        }
        reporter.fileStarted(step.shown);
        fs.copyFile(step.source, step.target, step.mode, onBytes);
        ++reporter.progress.filesDone;
    }

    // The copies are on disk before anyone is told they are complete.
    fs.flush(destFolder);
    reporter.report();
}

void ShellCopy(const QStringList& sources, const QString& dest, const CopyObserver& observer)
{
    CopyTrees(filetree::native(), sources, dest, observer);
}
