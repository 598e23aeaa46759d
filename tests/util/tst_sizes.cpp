#include "platform/FileTree.h"
#include "util/CopyPlan.h"
#include "util/FileSizes.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <utime.h>

class TestSizes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderBytes_data()
    {
        QTest::addColumn<bool>("portable");
        QTest::newRow("native") << false;
        QTest::newRow("portable") << true;
    }
    void folderBytes()
    {
        QFETCH(bool, portable);
        const filetree::FileSystem& fs = portable ? filetree::portable() : filetree::native();
        const auto treeBytes = [&fs](const QString& folder) {
            return MakeCopyPlan(fs, {{QFile::encodeName(folder), true}}, QByteArray()).bytes;
        };
        TestEnv env;
        env.makeFile(QStringLiteral("t/a.txt"), QByteArray(1000, 'a'));
        env.makeFile(QStringLiteral("t/.hidden"), QByteArray(20, 'h'));
        env.makeFile(QStringLiteral("t/sub/.deep/b.bin"), QByteArray(300, 'b'));
        env.makeFile(QStringLiteral("other/c.bin"), QByteArray(4000, 'c'));
        QDir().mkpath(env.root() + QStringLiteral("/t/empty"));
        const QString t = env.root() + QStringLiteral("/t");
        QCOMPARE(treeBytes(t), qint64(1320));
        QCOMPARE(treeBytes(t + u'/'), qint64(1320));
        QCOMPARE(treeBytes(env.root() + QStringLiteral("/missing")), qint64(0));
        if (!portable) {
            QCOMPARE(FolderBytes(t), qint64(1320));
            QCOMPARE(FolderBytes(t + QStringLiteral("/a.txt")), qint64(0));
            // A file counts; an old time stamp (before 1980, common here) changes
            // nothing; anything else is 0.
            struct utimbuf old = {0, 0};
            QCOMPARE(::utime(QFile::encodeName(t + QStringLiteral("/a.txt")).constData(), &old), 0);
            QCOMPARE(FileBytes(t + QStringLiteral("/a.txt")), qint64(1000));
            for (const QString& none : {t, env.root() + QStringLiteral("/missing"), QString()})
                QCOMPARE(FileBytes(none), qint64(0));
        }
        // Links count as what they lead to; a folder link is walked once.
        if (!symbolicLink(env.root() + QStringLiteral("/other/c.bin"), t + QStringLiteral("/c-link")))
            QSKIP("This system made no symbolic link (Wine reports success and makes none)");
        QVERIFY(symbolicLink(env.root() + QStringLiteral("/other"), t + QStringLiteral("/other-link")));
        QVERIFY(symbolicLink(env.root() + QStringLiteral("/other"), t + QStringLiteral("/other-link-2")));
        QCOMPARE(treeBytes(t), qint64(1320 + 4000 + 4000));
        // A link back up the tree is not entered again: the walk ends.
        QVERIFY(symbolicLink(t, t + QStringLiteral("/sub/up")));
        QVERIFY(symbolicLink(t + QStringLiteral("/sub"), t + QStringLiteral("/sub/.deep/loop")));
        QCOMPARE(treeBytes(t), qint64(1320 + 4000 + 4000));
        if (portable)
            return;
        QCOMPARE(FolderBytes(t), qint64(9320));
        QCOMPARE(FileBytes(t + QStringLiteral("/c-link")), qint64(4000));
        QVERIFY(symbolicLink(env.root() + QStringLiteral("/nowhere"), t + QStringLiteral("/dangling")));
        QCOMPARE(FileBytes(t + QStringLiteral("/dangling")), qint64(0));
    }

    void folderBytesOverflowIsAnError()
    {
        TestEnv env;
        const QString dir = env.root() + QStringLiteral("/huge");
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (!tmpfs.mount(dir, QStringLiteral("size=1m"), &why))
            QSKIP(qPrintable(why));
        // Two sparse files of 2^62 bytes each: together one past the signed range.
        for (const char* name : {"/a", "/b"}) {
            QFile f(dir + QLatin1String(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(1) << 62));
        }
        bool thrown = false;
        try {
            FolderBytes(dir);
        } catch (const filetree::SizeOverflow& e) {
            thrown = true;
            QVERIFY(e.message().contains(dir));
        }
        QVERIFY(thrown);
        QVERIFY_THROWS_EXCEPTION(filetree::SizeOverflow,
                                 MakeCopyPlan(filetree::portable(), {{QFile::encodeName(dir), true}}, QByteArray()));
        QFile::remove(dir + QStringLiteral("/b"));
        QCOMPARE(FolderBytes(dir), qint64(1) << 62);
    }
};

QTEST_GUILESS_MAIN(TestSizes)
#include "tst_sizes.moc"
