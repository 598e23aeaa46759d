#include "platform/FileTree.h"
#include "util/CopyPlan.h"
#include "util/FileCopy.h"
#include "util/FileSizes.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTest>

#include <sys/stat.h>

namespace {

const filetree::FileSystem& fileSystem(bool portable)
{
    return portable ? filetree::portable() : filetree::native();
}

// Plans the sources (folders where they are) and copies the plan into dest, a new folder.
void copyInto(const filetree::FileSystem& fs, const QStringList& sources, const QString& dest,
              const CopyObserver& observer = {})
{
    QList<PlanSource> planned;
    for (const QString& source : sources)
        planned.append({QFile::encodeName(source), QFileInfo(source).isDir()});
    const CopyPlan plan = MakeCopyPlan(fs, planned, QByteArray());
    if (!plan.problem.isEmpty())
        throw UserError(plan.problem.path + u' ' + plan.problem.reason);
    const auto folder = fs.openFolder(QFile::encodeName(dest));
    ShellCopy(fs, plan, *folder, observer);
}

} // namespace

class TestCopy : public QObject {
    Q_OBJECT
private:
    void addFileSystems()
    {
        QTest::addColumn<bool>("portable");
        QTest::newRow("native") << false;
        QTest::newRow("portable") << true;
    }

private Q_SLOTS:
    void copiesFilesAndTreesExactly_data() { addFileSystems(); }
    void copiesFilesAndTreesExactly()
    {
        QFETCH(bool, portable);
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
        copyInto(fileSystem(portable), {src + QStringLiteral("/Project"), single}, dest);
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
                  dest);

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
        TestEnv env;
        env.makeFile(QStringLiteral("src/big.bin"), QByteArray(40 * 1024 * 1024, 'B'));
        for (int i = 0; i < 30; ++i)
            env.makeFile(QStringLiteral("src/small/%1.txt").arg(i), QByteArray(100, 's'));
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));
        QList<CopyProgress> reports;
        copyInto(fileSystem(portable), {env.root() + QStringLiteral("/src")}, dest, [&](const CopyProgress& p) {
            reports.append(p);
            return true;
        });
        QVERIFY(reports.size() >= 3);
        QCOMPARE(reports.first().filesDone, qint64(0));
        QCOMPARE(reports.first().filesTotal, qint64(31));
        QCOMPARE(reports.first().bytesTotal, qint64(40 * 1024 * 1024 + 3000));
        QCOMPARE(reports.last().filesDone, qint64(31));
        QCOMPARE(reports.last().bytesDone, reports.last().bytesTotal);
        // Inside the large file the report goes on, with its name.
        const bool inside = std::any_of(reports.begin(), reports.end(), [](const CopyProgress& p) {
            return p.currentName == QStringLiteral("src/big.bin") && p.bytesDone > 0 && p.bytesDone < p.bytesTotal;
        });
        QVERIFY(inside);
        for (qsizetype i = 1; i < reports.size(); ++i)
            QVERIFY(reports[i].bytesDone >= reports[i - 1].bytesDone);
    }

    void cancelStopsTheCopy_data() { addFileSystems(); }
    void cancelStopsTheCopy()
    {
        QFETCH(bool, portable);
        TestEnv env;
        env.makeFile(QStringLiteral("src/big.bin"), QByteArray(40 * 1024 * 1024, 'B'));
        env.makeFile(QStringLiteral("src/z-after.txt"), "after");
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));
        int calls = 0;
        QVERIFY_THROWS_EXCEPTION(CopyCancelled,
                                 copyInto(fileSystem(portable), {env.root() + QStringLiteral("/src")}, dest,
                                           [&](const CopyProgress& p) { return ++calls < 2 || p.bytesDone == 0; }));
        QVERIFY(FolderBytes(dest) < 40 * 1024 * 1024);
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
