#include "platform/FileTree.h"
#include "util/CopyPlan.h"
#include "util/FileCopy.h"
#include "util/FileQueue.h"
#include "util/FileSizes.h"

#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTest>

#include <atomic>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace {
// Sets a folder's time to 2001-09-09 01:46:40 (10^9 seconds), as an old folder has.
bool makeOldFolder(const QString& path)
{
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}
} // namespace

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
    void copiesFilesAndTreesExactly_data() { addFileSystems(); }
    void copiesFilesAndTreesExactly()
    {
        QFETCH(bool, portable);
        QFETCH(int, workers);
        TestEnv env;
        const QString src = env.root() + QStringLiteral("/src");
        env.makeFile(QStringLiteral("src/Project/Plan.TXT"), "plan\r\n");
        env.makeFile(QStringLiteral("src/Project/.hidden"), "h");
        env.makeFile(QStringLiteral("src/Project/deep/er/blob.bin"), QByteArray(3 * 1024 * 1024 + 17, '\xab'));
        env.makeFile(QStringLiteral("src/Project/empty.txt"), QByteArray());
        QDir().mkpath(src + QStringLiteral("/Project/no files"));
        const QString single = env.makeFile(QStringLiteral("src/Report.doc"), "report");
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
        {
            QFile f(single);
            QVERIFY(f.open(QIODevice::Append) && f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        QFile::setPermissions(single, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup);
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));

        const mode_t umask = ::umask(027);
        copyInto(fileSystem(portable), {src + QStringLiteral("/Project"), single}, dest, {}, workers);
        ::umask(umask);

        QMap<QString, QByteArray> expected;
        const auto project = treeOf(src + QStringLiteral("/Project"));
        for (auto it = project.begin(); it != project.end(); ++it)
            expected.insert(QStringLiteral("Project/") + it.key(), it.value());
        expected.insert(QStringLiteral("Project"), "<dir>");
        expected.insert(QStringLiteral("Report.doc"), "report");
        QCOMPARE(treeOf(dest), expected);
        // The permissions new files get here, not the source's; the source's time.
        QCOMPARE(int(QFile::permissions(dest + QStringLiteral("/Report.doc")) & 0x0fff),
                 int(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup));
        QCOMPARE(QFileInfo(dest + QStringLiteral("/Report.doc")).lastModified().toUTC(), old);
    }

    void clashesGetFreeNamesAndDuplicatesGoOnce_data() { addFileSystems(); }
    void clashesGetFreeNamesAndDuplicatesGoOnce()
    {
        QFETCH(bool, portable);
        QFETCH(int, workers);
        TestEnv env;
        const QString a = env.makeFile(QStringLiteral("a/report.doc"), "first");
        const QString b = env.makeFile(QStringLiteral("b/report.doc"), "second");
        const QString c = env.makeFile(QStringLiteral("c/report.doc"), "third");
        env.makeFile(QStringLiteral("a/Project/x"), "ax");
        env.makeFile(QStringLiteral("b/Project/x"), "bx");
        const QString dot = env.makeFile(QStringLiteral("a/.profile"), "p1");
        const QString dot2 = env.makeFile(QStringLiteral("b/.profile"), "p2");
        const QString alias = env.root() + QStringLiteral("/alias.doc");
        QVERIFY(QFile::link(a, alias));
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));
        copyInto(fileSystem(portable),
                  {a, b, a, env.root() + QStringLiteral("/a/Project"), env.root() + QStringLiteral("/b/Project/"),
                   alias, c, dot, dot2},
                  dest, {}, workers);

        const QMap<QString, QByteArray> expected = {
            {QStringLiteral("report.doc"), "first"},
            {QStringLiteral("report (2).doc"), "second"},
            {QStringLiteral("report (3).doc"), "third"},
            {QStringLiteral("Project"), "<dir>"},
            {QStringLiteral("Project/x"), "ax"},
            {QStringLiteral("Project (2)"), "<dir>"},
            {QStringLiteral("Project (2)/x"), "bx"},
            {QStringLiteral(".profile"), "p1"},
            {QStringLiteral(".profile (2)"), "p2"},
        };
        QCOMPARE(treeOf(dest), expected);
    }

    void progressCoversTheWholeCopy_data() { addFileSystems(); }
    void progressCoversTheWholeCopy()
    {
        QFETCH(bool, portable);
        QFETCH(int, workers);
        TestEnv env;
        env.makeFile(QStringLiteral("src/big.bin"), QByteArray(40 * 1024 * 1024, 'B'));
        for (int i = 0; i < 30; ++i)
            env.makeFile(QStringLiteral("src/small/%1.txt").arg(i), QByteArray(100, 's'));
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));
        QList<CopyProgress> reports;
        const SlowCopies slow(fileSystem(portable));
        copyInto(
            slow, {env.root() + QStringLiteral("/src")}, dest,
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
            return (name.isEmpty() ? p.currentName.startsWith(QStringLiteral("src/")) : p.currentName == name) &&
                   p.bytesDone > 0 && p.bytesDone < p.bytesTotal;
        });
        QVERIFY(inside);
        for (qsizetype i = 1; i < reports.size(); ++i)
            QVERIFY(reports[i].bytesDone >= reports[i - 1].bytesDone);
    }

    void cancelStopsTheCopy_data() { addFileSystems(); }
    void cancelStopsTheCopy()
    {
        QFETCH(bool, portable);
        QFETCH(int, workers);
        TestEnv env;
        env.makeFile(QStringLiteral("src/big.bin"), QByteArray(40 * 1024 * 1024, 'B'));
        env.makeFile(QStringLiteral("src/z-after.txt"), "after");
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));
        int calls = 0;
        const SlowCopies slow(fileSystem(portable));
        QVERIFY_THROWS_EXCEPTION(CopyCancelled, copyInto(
                                                    slow, {env.root() + QStringLiteral("/src")}, dest,
                                                    [&](const CopyProgress& p) { return ++calls < 2 || p.bytesDone == 0; },
                                                    workers));
        QVERIFY(FolderBytes(dest) < 40 * 1024 * 1024);
        // Every thread has stopped: nothing is written after the copy has returned.
        const auto after = treeOf(dest);
        QTest::qWait(200);
        QCOMPARE(treeOf(dest), after);
    }

    // Whatever the number of workers, the job folder is the same tree, each folder with
    // its source's time (set only once everything in it is made), and no two workers
    // ever make the same entry (each is created new, so a second one would fail). A
    // file that changed stops every worker and the copy says which.
    void theTreeIsTheSameWhateverTheWorkers()
    {
        TestEnv env;
        const QString src = env.root() + QStringLiteral("/src");
        for (int d = 0; d < 12; ++d)
            for (int f = 0; f < 25; ++f)
                env.makeFile(QStringLiteral("src/d%1/e%2/f%3.txt").arg(d).arg(d % 3).arg(f), QByteArray(f * 100, char('a' + d)));
        env.makeFile(QStringLiteral("src/big.bin"), QByteArray(5 << 20, 'B'));
        QDirIterator folders(src, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (folders.hasNext()) {
            const QString folder = folders.next();
            QVERIFY(makeOldFolder(folder));
        }
        QVERIFY(makeOldFolder(src));
        QMap<QString, QByteArray> expected;
        const auto source = treeOf(src);
        for (auto it = source.begin(); it != source.end(); ++it)
            expected.insert(QStringLiteral("src/") + it.key(), it.value());
        expected.insert(QStringLiteral("src"), "<dir>");
        for (const int workers : {1, 2, 8}) {
            const QString dest = env.root() + QStringLiteral("/dest%1").arg(workers);
            QVERIFY(QDir().mkpath(dest));
            copyInto(filetree::native(), {src}, dest, {}, workers);
            QCOMPARE(treeOf(dest), expected);
            const auto times = folderTimes(dest);
            for (auto it = times.begin(); it != times.end(); ++it)
                QVERIFY2(it.value() == 1000000000, qPrintable(QStringLiteral("%1 workers: %2").arg(workers).arg(it.key())));
        }

        // One file shrinks once the plan is made: the copy fails with its name, and all
        // workers stop: once one has found the change, each begins at most a file or two
        // more (those it took in the same moment; every file takes 10 ms here), and none
        // goes on afterwards.
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

    void sparseFilesStaySparse()
    {
        TestEnv env;
        const QString source = env.makeFile(QStringLiteral("disk.img"), QByteArray());
        {
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(qint64(64) << 20) && f.seek(qint64(32) << 20));
            f.write("data in the middle");
        }
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));
        copyInto(filetree::native(), {source}, dest);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(dest + QStringLiteral("/disk.img")).constData(), &st), 0);
        QCOMPARE(qint64(st.st_size), qint64(64) << 20);
        QVERIFY2(qint64(st.st_blocks) * 512 <= 1 << 20, qPrintable(QString::number(st.st_blocks)));
        QCOMPARE(readAll(dest + QStringLiteral("/disk.img")), readAll(source));
    }

    void freeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isFile");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << "a.doc" << true << QStringList() << "a.doc";
        QTest::newRow("file") << "a.doc" << true << QStringList{"a.doc"} << "a (2).doc";
        QTest::newRow("third") << "a.doc" << true << QStringList{"a.doc", "a (2).doc"} << "a (3).doc";
        QTest::newRow("two dots") << "a.tar.gz" << true << QStringList{"a.tar.gz"} << "a.tar (2).gz";
        QTest::newRow("dot file") << ".rc" << true << QStringList{".rc"} << ".rc (2)";
        QTest::newRow("folder with dot") << "v1.2" << false << QStringList{"v1.2"} << "v1.2 (2)";
    }
    void freeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, isFile);
        QFETCH(QStringList, taken);
        QFETCH(QString, expected);
        const auto isTaken = [&](const QByteArray& n) { return taken.contains(QString::fromUtf8(n)); };
        QCOMPARE(FreeName(name.toUtf8(), isFile, isTaken), expected.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestCopy)
#include "tst_copy.moc"
