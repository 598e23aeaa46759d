#include "platform/FileTree.h"
#include "util/CopyPlan.h"
#include "util/FileCopy.h"
#include "util/FileQueue.h"

#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTest>

#include <atomic>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace {

const filetree::FileSystem& fileSystem(bool portable)
{
    return portable ? filetree::portable() : filetree::native();
}

// A file system whose copies take their time (5 ms a MiB, and perFileMs more for each
// file), so that a watcher sees a copy in the middle of a file however fast the disk
// is. Everything else is the real one's.
class SlowCopies final : public filetree::FileSystem {
public:
    explicit SlowCopies(const filetree::FileSystem& real, int perFileMs = 0) : m_real(real), m_perFileMs(perFileMs) {}
    using Status = filetree::Status;
    using Folder = filetree::Folder;
    Status status(const QByteArray& p) const override { return m_real.status(p); }
    bool list(const QByteArray& f, const Status& s, std::vector<filetree::Listed>& e, QString* w) const override
    {
        return m_real.list(f, s, e, w);
    }
    QByteArray canonical(const QByteArray& p) const override { return m_real.canonical(p); }
    filetree::Limits limits(const QByteArray& f) const override { return m_real.limits(f); }
    qint64 freeBytes(const QByteArray& f) const override { return m_real.freeBytes(f); }
    bool isRemote(const QByteArray& f) const override { return m_real.isRemote(f); }
    std::unique_ptr<Folder> openFolder(const QByteArray& p) const override { return m_real.openFolder(p); }
    std::unique_ptr<Folder> makeFolder(Folder& p, const QByteArray& n) const override { return m_real.makeFolder(p, n); }
    void writeFile(Folder& p, const QByteArray& n, const QByteArray& b, bool d) const override { m_real.writeFile(p, n, b, d); }
    std::unique_ptr<filetree::Lock> createLock(Folder& p, const QByteArray& n, const QByteArray& b) const override
    {
        return m_real.createLock(p, n, b);
    }
    QString removeLock(Folder& p, const QByteArray& n, std::unique_ptr<filetree::Lock> l) const override
    {
        return m_real.removeLock(p, n, std::move(l));
    }
    filetree::LockProbe probeLock(Folder& p, const QByteArray& n, std::unique_ptr<filetree::Lock>* t,
                                  QString* w) const override
    {
        return m_real.probeLock(p, n, t, w);
    }
    bool forEachEntry(Folder& f, const std::function<void(const QByteArray&, filetree::Kind, bool)>& e,
                      QString* w) const override
    {
        return m_real.forEachEntry(f, e, w);
    }
    Status entryStatus(Folder& p, const QByteArray& n) const override { return m_real.entryStatus(p, n); }
    bool isGone(Folder& p, const QByteArray& n) const override { return m_real.isGone(p, n); }
    qint64 treeBytes(Folder& p, const QByteArray& n, QString* w) const override { return m_real.treeBytes(p, n, w); }
    QByteArray readEntry(Folder& p, const QByteArray& n, qint64 m) const override { return m_real.readEntry(p, n, m); }
    bool copyFile(const QByteArray& s, const Status& e, Folder& p, const QByteArray& n,
                  const std::function<bool(qint64)>& progress) const override
    {
        if (m_changed)
            ++m_startedAfterAChange;
        std::this_thread::sleep_for(std::chrono::milliseconds(m_perFileMs));
        try {
            return m_real.copyFile(s, e, p, n, [&progress](qint64 bytes) {
                std::this_thread::sleep_for(std::chrono::microseconds(bytes / 200));
                return !progress || progress(bytes);
            });
        } catch (const filetree::SourceChanged&) {
            m_changed = true;
            throw;
        }
    }
    // Copies begun after one found its source changed.
    int startedAfterAChange() const { return m_startedAfterAChange; }
    void setFolderTime(Folder& f, qint64 t) const override { m_real.setFolderTime(f, t); }
    void flush(Folder& f) const override { m_real.flush(f); }
    QString remove(Folder& p, const QByteArray& n) const override { return m_real.remove(p, n); }

private:
    const filetree::FileSystem& m_real;
    int m_perFileMs = 0;
    mutable std::atomic<bool> m_changed{false};
    mutable std::atomic<int> m_startedAfterAChange{0};
};

CopyPlan planOf(const filetree::FileSystem& fs, const QStringList& sources)
{
    QList<PlanSource> planned;
    for (const QString& source : sources)
        planned.append({QFile::encodeName(source), QFileInfo(source).isDir()});
    CopyPlan plan = MakeCopyPlan(fs, planned, QByteArray());
    if (!plan.problem.isEmpty())
        throw UserError(plan.problem.path + u' ' + plan.problem.reason);
    return plan;
}

// Plans the sources (folders where they are) and copies the plan into dest, a new folder.
void copyInto(const filetree::FileSystem& fs, const QStringList& sources, const QString& dest,
              const CopyObserver& observer = {}, int workers = 1)
{
    const CopyPlan plan = planOf(fs, sources);
    const auto folder = fs.openFolder(QFile::encodeName(dest));
    ShellCopy(fs, plan, *folder, observer, {workers, true});
}

// Every folder below root with its modification time, to the second.
QMap<QString, qint64> folderTimes(const QString& root)
{
    QMap<QString, qint64> times;
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        times.insert(path.mid(root.size() + 1), it.fileInfo().lastModified().toSecsSinceEpoch());
    }
    return times;
}

} // namespace

class TestCopy : public QObject {
    Q_OBJECT
private:
    // Each file system, with the files copied one after the other and eight at once.
    void addFileSystems()
    {
        QTest::addColumn<bool>("portable");
        QTest::addColumn<int>("workers");
        QTest::newRow("native, 1 worker") << false << 1;
        QTest::newRow("native, 8 workers") << false << 8;
        QTest::newRow("portable, 1 worker") << true << 1;
        QTest::newRow("portable, 8 workers") << true << 8;
    }

private Q_SLOTS:
    // The sources land side by side, byte for byte (hidden, empty, deep), with the
    // permissions new files get here and the source's time; a name already taken gets
    // the next free one ("report (2).doc", "a.tar (2).gz", ".profile (2)", a folder
    // "v1.2 (2)"), and a source given twice, or through a link, goes once. Natively
    // each folder gets its source's time (set only once everything in it is made) and
    // a sparse file stays sparse. No two workers ever make the same entry: each is
    // created new, so a second one would fail.
    void copiesTreesExactlyUnderFreeNames_data() { addFileSystems(); }
    void copiesTreesExactlyUnderFreeNames()
    {
        QFETCH(bool, portable);
        QFETCH(int, workers);
        TestEnv env;
        const QString src = env.root() + "/src";
        env.makeFile("src/Project/Plan.TXT", "plan\r\n");
        env.makeFile("src/Project/.hidden", "h");
        env.makeFile("src/Project/deep/er/blob.bin", QByteArray(3 * 1024 * 1024 + 17, '\xab'));
        env.makeFile("src/Project/empty.txt", QByteArray());
        QDir().mkpath(src + "/Project/no files");
        {
            QFile f(env.makeFile("src/Project/disk.img", QByteArray())); // sparse: 16 MiB, 18 bytes of data
            QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(qint64(16) << 20) && f.seek(qint64(8) << 20));
            f.write("data in the middle");
        }
        const QString a = env.makeFile("a/report.doc", "first");
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
        {
            QFile f(a);
            QVERIFY(f.open(QIODevice::Append) && f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        QFile::setPermissions(a, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup);
        // Where the system makes no links (Wine) the alias is left out.
        const bool alias = symbolicLink(a, env.root() + "/alias.doc");
#ifndef Q_OS_WIN
        QVERIFY(alias);
#endif
        QStringList sources = {src + "/Project", a, env.makeFile("b/report.doc", "second"), a};
        for (const char* other : {"a", "b"}) {
            env.makeFile(QStringLiteral("%1/Project/x").arg(other), other);
            env.makeFile(QStringLiteral("%1/v1.2/x").arg(other), other);
            sources << env.makeFile(QStringLiteral("%1/.profile").arg(other), other)
                    << env.makeFile(QStringLiteral("%1/a.tar.gz").arg(other), other)
                    << env.root() + QStringLiteral("/%1/v1.2").arg(other);
        }
        sources << env.root() + "/a/Project" << env.root() + "/b/Project/";
        if (alias)
            sources << env.root() + "/alias.doc";
        sources << env.makeFile("c/report.doc", "third");
        for (QDirIterator it(env.root(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();)
            QVERIFY(makeOldFolder(it.next()));
        const QString dest = env.root() + "/dest";
        QVERIFY(QDir().mkpath(dest));

        const mode_t umask = ::umask(027);
        copyInto(fileSystem(portable), sources, dest, {}, workers);
        ::umask(umask);

        QMap<QString, QByteArray> expected = {
            {"Project", "<dir>"}, {"report.doc", "first"}, {"report (2).doc", "second"}, {"report (3).doc", "third"},
            {"Project (2)", "<dir>"}, {"Project (2)/x", "a"}, {"Project (3)", "<dir>"}, {"Project (3)/x", "b"},
            {".profile", "a"}, {".profile (2)", "b"}, {"a.tar.gz", "a"}, {"a.tar (2).gz", "b"},
            {"v1.2", "<dir>"}, {"v1.2/x", "a"}, {"v1.2 (2)", "<dir>"}, {"v1.2 (2)/x", "b"}};
        const auto project = treeOf(src + "/Project");
        for (auto it = project.begin(); it != project.end(); ++it)
            expected.insert("Project/" + it.key(), it.value());
        QCOMPARE(treeOf(dest), expected);
#ifndef Q_OS_WIN // there a new file takes the access list of its folder
        QCOMPARE(int(QFile::permissions(dest + "/report.doc") & 0x0fff),
                 int(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup));
#endif
        QCOMPARE(QFileInfo(dest + "/report.doc").lastModified().toUTC(), old);
        if (portable) // it keeps no holes and sets no folder times
            return;
#ifndef Q_OS_WIN // Windows keeps no holes unless asked to (sparse files are marked so)
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(dest + "/Project/disk.img").constData(), &st), 0);
        QVERIFY2(qint64(st.st_blocks) * 512 <= 1 << 20, qPrintable(QString::number(st.st_blocks)));
#endif
        const auto times = folderTimes(dest);
        for (auto it = times.begin(); it != times.end(); ++it)
            QVERIFY2(it.value() == 1000000000, qPrintable(it.key()));
    }

    // The progress covers the whole copy, inside a large file too; a cancel stops it,
    // and nothing is written after the copy has returned.
    void progressCoversTheCopyAndACancelStopsIt_data() { addFileSystems(); }
    void progressCoversTheCopyAndACancelStopsIt()
    {
        QFETCH(bool, portable);
        QFETCH(int, workers);
        TestEnv env;
        env.makeFile("src/big.bin", QByteArray(40 * 1024 * 1024, 'B'));
        for (int i = 0; i < 30; ++i)
            env.makeFile(QStringLiteral("src/small/%1.txt").arg(i), QByteArray(100, 's'));
        const QString dest = env.root() + "/dest", cancelled = env.root() + "/cancelled";
        QVERIFY(QDir().mkpath(dest) && QDir().mkpath(cancelled));
        QList<CopyProgress> reports;
        const SlowCopies slow(fileSystem(portable));
        copyInto(
            slow, {env.root() + "/src"}, dest,
            [&](const CopyProgress& p) {
                reports.append(p);
                return true;
            },
            workers);
        QVERIFY(reports.size() >= 3);
        QCOMPARE(reports.first().filesDone, qint64(0));
        QCOMPARE(reports.first().filesTotal, qint64(31));
        QCOMPARE(reports.first().bytesTotal, qint64(40 * 1024 * 1024 + 3000));
        QCOMPARE(reports.last().filesDone, qint64(31));
        QCOMPARE(reports.last().bytesDone, reports.last().bytesTotal);
        // Inside the large file the report goes on, with the name of the file begun last
        // (the large one, when the files go one after the other).
        const QString name = workers == 1 ? QStringLiteral("src/big.bin") : QString();
        const bool inside = std::any_of(reports.begin(), reports.end(), [&](const CopyProgress& p) {
            return (name.isEmpty() ? p.currentName.startsWith("src/") : p.currentName == name) && p.bytesDone > 0 &&
                   p.bytesDone < p.bytesTotal;
        });
        QVERIFY(inside);
        for (qsizetype i = 1; i < reports.size(); ++i)
            QVERIFY(reports[i].bytesDone >= reports[i - 1].bytesDone);

        int calls = 0;
        QVERIFY_THROWS_EXCEPTION(CopyCancelled, copyInto(slow, {env.root() + "/src"}, cancelled,
                                                         [&](const CopyProgress& p) { return ++calls < 2 || p.bytesDone == 0; },
                                                         workers));
        QVERIFY(MakeCopyPlan(filetree::native(), {{QFile::encodeName(cancelled), true}}, {}).bytes < 40 * 1024 * 1024);
        const auto after = treeOf(cancelled);
        QTest::qWait(200);
        QCOMPARE(treeOf(cancelled), after);
    }

    // A file that shrinks once the plan is made fails the copy with its name, and all
    // workers stop: once one has found the change, each begins at most a file or two
    // more (those it took in the same moment; every file takes 10 ms here), and none
    // goes on afterwards.
    void aChangedSourceStopsEveryWorker()
    {
        TestEnv env;
        const QString src = env.root() + QStringLiteral("/src");
        for (int d = 0; d < 12; ++d)
            for (int f = 0; f < 25; ++f)
                env.makeFile(QStringLiteral("src/d%1/e%2/f%3.txt").arg(d).arg(d % 3).arg(f), QByteArray(f * 100, char('a' + d)));
        const SlowCopies watched(filetree::native(), 10);
        const CopyPlan plan = planOf(watched, {src});
        QVERIFY(QFile::resize(src + QStringLiteral("/d7/e1/f20.txt"), 10));
        const QString dest = env.root() + QStringLiteral("/changed");
        QVERIFY(QDir().mkpath(dest));
        const auto folder = watched.openFolder(QFile::encodeName(dest));
        try {
            ShellCopy(watched, plan, *folder, {}, {8, false});
            QFAIL("the copy went through");
        } catch (const filetree::SourceChanged& e) {
            QCOMPARE(e.path(), src + QStringLiteral("/d7/e1/f20.txt"));
        }
        QVERIFY2(watched.startedAfterAChange() <= 2 * 8, qPrintable(QString::number(watched.startedAfterAChange())));
        const auto after = treeOf(dest);
        QTest::qWait(200);
        QCOMPARE(treeOf(dest), after);
    }

    // The workers take files from different folders first: a folder makes one entry at
    // a time, so eight workers in one folder would wait for each other.
    void workersSpreadOverTheFolders()
    {
        struct Folder {};
        auto a = std::make_shared<Folder>(), b = std::make_shared<Folder>(), c = std::make_shared<Folder>();
        FileQueue<Folder> queue(2, 100);
        const auto never = [] { return false; };
        for (qint32 i = 0; i < 3; ++i)
            QVERIFY(queue.push(a, i, never));
        QVERIFY(queue.push(b, 10, never));
        QVERIFY(queue.push(b, 11, never));
        QVERIFY(!queue.push(c, 20, [] { return true; })); // a third folder waits for room
        QList<qint32> taken;
        std::vector<FileQueue<Folder>::Task> underWay;
        for (int i = 0; i < 4; ++i) {
            underWay.push_back(*queue.pop(never));
            taken << underWay.back().item;
        }
        QCOMPARE(taken, QList<qint32>({0, 10, 1, 11}));
        for (const auto& task : underWay)
            queue.done(task);
        QCOMPARE(queue.foldersWaiting(), size_t(1)); // b is done with, a has a file left
        QVERIFY(queue.push(c, 20, never));
        QCOMPARE(queue.pop(never)->item, 2);
        QCOMPARE(queue.pop(never)->item, 20);
        queue.close();
        QVERIFY(!queue.pop(never));
    }
};

QTEST_GUILESS_MAIN(TestCopy)
#include "tst_copy.moc"
