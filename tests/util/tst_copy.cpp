#include "platform/FileTree.h"
#include "util/FileCopy.h"
#include "util/FileSizes.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTest>

namespace {

const filetree::FileSystem& fileSystem(bool portable)
{
    return portable ? filetree::portable() : filetree::native();
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
        QFile::setPermissions(single, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup);
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));

        CopyTrees(fileSystem(portable), {src + QStringLiteral("/Project"), single}, dest, {});

        QMap<QString, QByteArray> expected;
        const auto project = treeOf(src + QStringLiteral("/Project"));
        for (auto it = project.begin(); it != project.end(); ++it)
            expected.insert(QStringLiteral("Project/") + it.key(), it.value());
        expected.insert(QStringLiteral("Project"), "<dir>");
        expected.insert(QStringLiteral("Report.doc"), "report");
        QCOMPARE(treeOf(dest), expected);
        QCOMPARE(QFile::permissions(dest + QStringLiteral("/Report.doc")) & 0x7777,
                 QFile::permissions(single) & 0x7777);
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
        // Something already in the destination is not overwritten either.
        env.makeFile(QStringLiteral("dest/report (3).doc"), "there before");

        CopyTrees(fileSystem(portable),
                  {a, b, a, env.root() + QStringLiteral("/a/Project"), env.root() + QStringLiteral("/b/Project/"),
                   alias, c, dot, dot2},
                  dest, {});

        const QMap<QString, QByteArray> expected = {
            {QStringLiteral("report.doc"), "first"},
            {QStringLiteral("report (2).doc"), "second"},
            {QStringLiteral("report (3).doc"), "there before"},
            {QStringLiteral("report (4).doc"), "third"},
            {QStringLiteral("Project"), "<dir>"},
            {QStringLiteral("Project/x"), "ax"},
            {QStringLiteral("Project (2)"), "<dir>"},
            {QStringLiteral("Project (2)/x"), "bx"},
            {QStringLiteral(".profile"), "p1"},
            {QStringLiteral(".profile (2)"), "p2"},
        };
        QCOMPARE(treeOf(dest), expected);
    }

    void linksAreCopiedAsTheirTargetsAndCyclesEnd_data() { addFileSystems(); }
    void linksAreCopiedAsTheirTargetsAndCyclesEnd()
    {
        QFETCH(bool, portable);
        TestEnv env;
        const QString t = env.root() + QStringLiteral("/t");
        env.makeFile(QStringLiteral("t/a.txt"), QByteArray(1000, 'a'));
        env.makeFile(QStringLiteral("t/sub/b.txt"), QByteArray(200, 'b'));
        env.makeFile(QStringLiteral("shared/c.txt"), "c");
        QVERIFY(QFile::link(t + QStringLiteral("/a.txt"), t + QStringLiteral("/sub/a-link")));
        QVERIFY(QFile::link(env.root() + QStringLiteral("/shared"), t + QStringLiteral("/shared-link")));
        QVERIFY(QFile::link(t, t + QStringLiteral("/sub/back-to-top")));
        QVERIFY(QFile::link(env.root() + QStringLiteral("/gone"), t + QStringLiteral("/dangling")));
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));

        CopyTrees(fileSystem(portable), {t}, dest, {});

        const QMap<QString, QByteArray> expected = {
            {QStringLiteral("t"), "<dir>"},
            {QStringLiteral("t/a.txt"), QByteArray(1000, 'a')},
            {QStringLiteral("t/sub"), "<dir>"},
            {QStringLiteral("t/sub/b.txt"), QByteArray(200, 'b')},
            {QStringLiteral("t/sub/a-link"), QByteArray(1000, 'a')},
            {QStringLiteral("t/shared-link"), "<dir>"},
            {QStringLiteral("t/shared-link/c.txt"), "c"},
        };
        QCOMPARE(treeOf(dest), expected);
        QVERIFY(!QFileInfo(dest + QStringLiteral("/t/sub/a-link")).isSymLink());
        // The size counted is the size copied.
        QCOMPARE(fileSystem(portable).treeBytes(t), fileSystem(portable).treeBytes(dest + QStringLiteral("/t")));
        QCOMPARE(FolderBytes(t), qint64(2201));
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
        CopyTrees(fileSystem(portable), {env.root() + QStringLiteral("/src")}, dest, [&](const CopyProgress& p) {
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
                                 CopyTrees(fileSystem(portable), {env.root() + QStringLiteral("/src")}, dest,
                                           [&](const CopyProgress& p) { return ++calls < 2 || p.bytesDone == 0; }));
        QVERIFY(FolderBytes(dest) < 40 * 1024 * 1024);
    }

    void aMissingSourceStopsBeforeAnythingIsWritten_data() { addFileSystems(); }
    void aMissingSourceStopsBeforeAnythingIsWritten()
    {
        QFETCH(bool, portable);
        TestEnv env;
        const QString there = env.makeFile(QStringLiteral("there.txt"), "x");
        const QString gone = env.root() + QStringLiteral("/gone.txt");
        const QString dest = env.root() + QStringLiteral("/dest");
        QVERIFY(QDir().mkpath(dest));
        try {
            CopyTrees(fileSystem(portable), {there, gone}, dest, {});
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.path(), gone);
            QCOMPARE(e.systemText(), QStringLiteral("No such file or directory"));
        }
        QVERIFY(QDir(dest).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void aFullDiskIsAnError()
    {
        TestEnv env;
        const QString dest = env.root() + QStringLiteral("/small");
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (!tmpfs.mount(dest, QStringLiteral("size=1m"), &why))
            QSKIP(qPrintable(why));
        env.makeFile(QStringLiteral("src/fits.txt"), QByteArray(1000, 'f'));
        env.makeFile(QStringLiteral("src/too big.bin"), QByteArray(3 * 1024 * 1024, 'x'));
        try {
            ShellCopy({env.root() + QStringLiteral("/src")}, dest);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.systemText(), QStringLiteral("No space left on device"));
            QCOMPARE(e.path(), dest + QStringLiteral("/src/too big.bin"));
        }
    }

    void aReadOnlyDestinationIsAnError()
    {
        TestEnv env;
        const QString dest = env.root() + QStringLiteral("/ro");
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (!tmpfs.mount(dest, QStringLiteral("size=1m"), &why) || !fsfault::remountReadOnly(dest, true, &why))
            QSKIP(qPrintable(why));
        const QString file = env.makeFile(QStringLiteral("a.txt"), "a");
        try {
            ShellCopy({file}, dest);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.systemText(), QStringLiteral("Read-only file system"));
            QCOMPARE(e.path(), dest + QStringLiteral("/a.txt"));
        }
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
        QCOMPARE(FreeName(name, isFile, [&](const QString& n) { return taken.contains(n); }), expected);
    }
};

QTEST_GUILESS_MAIN(TestCopy)
#include "tst_copy.moc"
