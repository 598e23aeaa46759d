#include "platform/FileTree.h"
#include "util/CopyPlan.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>


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
        const auto treeBytes = [&dir](const filetree::FileSystem& fs) {
            return MakeCopyPlan(fs, {{QFile::encodeName(dir), true}}, QByteArray()).bytes;
        };
        for (const filetree::FileSystem* fs : {&filetree::native(), &filetree::portable()}) {
            try {
                treeBytes(*fs);
                QFAIL("no overflow");
            } catch (const filetree::SizeOverflow& e) {
                QVERIFY(e.message().contains(dir));
            }
        }
        QFile::remove(dir + QStringLiteral("/b"));
        QCOMPARE(treeBytes(filetree::native()), qint64(1) << 62);
    }
};

QTEST_GUILESS_MAIN(TestSizes)
#include "tst_sizes.moc"
