#include "client/Client.h"
#include "app/Startup.h"
#include "config/UploadProbe.h"
#include "spool/JobOptions.h"

#include "TestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QString k01 = QStringLiteral(
    "PVLERR:01 > Upload path not configured. Contact your system administrator. Check server manual.");
const QString k02 =
    QStringLiteral("PVLERR:02 > Unsufficient rights in UPLOAD directory. Contact your administrator.");
const QString k03 =
    QStringLiteral("PVLERR:03 > Unsufficient rights in UPLOAD directory. Contact your administrator.");

QStringList probeLeftovers(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pvltest")}, QDir::AllEntries | QDir::Hidden);
}

// Records the names of folders created directly in one folder, as the kernel saw them.
class CreatedFolders {
public:
    explicit CreatedFolders(const QString& folder)
    {
        m_fd = inotify_init1(IN_NONBLOCK);
        if (m_fd >= 0)
            inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_CREATE);
    }
    ~CreatedFolders()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool valid() const { return m_fd >= 0; }
    QStringList names()
    {
        alignas(inotify_event) char buf[8192];
        ssize_t n;
        while ((n = ::read(m_fd, buf, sizeof buf)) > 0) {
            for (char* p = buf; p < buf + n;) {
                const auto* ev = reinterpret_cast<const inotify_event*>(p);
                if ((ev->mask & IN_ISDIR) && ev->len > 0)
                    m_names.append(QFile::decodeName(ev->name));
                p += sizeof(inotify_event) + ev->len;
            }
        }
        return m_names;
    }

private:
    int m_fd = -1;
    QStringList m_names;
};

} // namespace

class TestUploadProbe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writableFolderGivesNoMessageAndKeepsNothing_data()
    {
        QTest::addColumn<bool>("trailingSeparator");
        QTest::newRow("without separator") << false;
        QTest::newRow("with separator") << true;
    }
    void writableFolderGivesNoMessageAndKeepsNothing()
    {
        QFETCH(bool, trailingSeparator);
        TestEnv env;
        auto client = env.makeClient();
        CreatedFolders created(env.upload());
        QVERIFY(created.valid());
        ProbeUploadFolder(*client, env.upload() + (trailingSeparator ? "/" : ""));
        QVERIFY(client->prompter.shown().isEmpty());
        QVERIFY(!client->state.StartupFailed);
        QCOMPARE(created.names().size(), 1);
        QVERIFY(QRegularExpression("^[0-9]{20}\\.pvltest$").match(created.names().first()).hasMatch());
        QVERIFY(probeLeftovers(env.upload()).isEmpty());
    }

    void missingFolderIsShownWithItsSeparator_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("without separator") << QString();
        QTest::newRow("with separator") << QStringLiteral("/");
    }
    void missingFolderIsShownWithItsSeparator()
    {
        QFETCH(QString, suffix);
        TestEnv env;
        auto client = env.makeClient();
        const QString missing = env.root() + QStringLiteral("/nowhere");
        ProbeUploadFolder(*client, missing + suffix);
        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Error);
        QCOMPARE(client->prompter.shown().first().text,
                 "PVLERR:04 > Upload path (" + missing +
                     "/) error, path does not exist. Contact your system administrator.");
        QVERIFY(client->state.StartupFailed);

        // Once failed, a later probe does nothing at all, even on a good folder.
        CreatedFolders created(env.upload());
        ProbeUploadFolder(*client, env.upload());
        ProbeUploadFolder(*client, missing);
        QCOMPARE(client->prompter.shown().size(), 1);
        QVERIFY(created.names().isEmpty());
    }

    void unconfiguredPathIsReportedOnce_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("placeholder") << QByteArray("<ENTER PATH HERE>");
        QTest::newRow("empty") << QByteArray("");
    }
    // Through a whole start that reads the policy file twice (a stored, older policy
    // version), so both probes run.
    void unconfiguredPathIsReportedOnce()
    {
        QFETCH(QByteArray, value);
        TestEnv env;
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + value + "\r\n[POLICIES]\r\nPOLICYVERSION=2\r\n");
        auto client = env.makeClient();
        client->registry->write("POLICYVERSION", "1");
        QVERIFY(client->guarded([&] { StartClient(*client); }));
        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Error);
        QCOMPARE(client->prompter.shown().first().text, k01);
        QVERIFY(client->state.StartupFailed);
        QVERIFY(!client->state.UploadFolder.isEmpty());
    }

    void readOnlyFolderRefusesTheTestFolder()
    {
        TestEnv env;
        fsfault::ScopedTmpfs tmpfs;
        QString why;
        if (!tmpfs.mount(env.upload(), QStringLiteral("size=64k"), &why) ||
            !fsfault::remountReadOnly(env.upload(), true, &why))
            QSKIP(qPrintable(why));
        auto client = env.makeClient();
        ProbeUploadFolder(*client, env.upload());
        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Warning);
        QCOMPARE(client->prompter.shown().first().text, k02);
        QVERIFY(client->state.StartupFailed);
        QVERIFY(probeLeftovers(env.upload()).isEmpty());
    }

    // A folder that takes a folder but not a file: no inode left for the file, or no
    // room left for its content. Either way the test folder goes again.
    void folderWithoutRoomForTheFile_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("fill");
        QTest::newRow("no inode for the file") << QStringLiteral("nr_inodes=2") << false;
        QTest::newRow("no room for its content") << QStringLiteral("size=4k") << true;
    }
    void folderWithoutRoomForTheFile()
    {
        QFETCH(QString, options);
        QFETCH(bool, fill);
        TestEnv env;
        fsfault::ScopedTmpfs tmpfs;
        QString why;
        if (!tmpfs.mount(env.upload(), options, &why))
            QSKIP(qPrintable(why));
        if (fill) {
            QFile filler(env.upload() + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            filler.write(QByteArray(4096, 'x'));
            QVERIFY(filler.flush());
        }
        auto client = env.makeClient();
        CreatedFolders created(env.upload());
        ProbeUploadFolder(*client, env.upload());
        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Warning);
        QCOMPARE(client->prompter.shown().first().text, k03);
        QVERIFY(client->state.StartupFailed);
        QCOMPARE(created.names().size(), 1); // the test folder was made...
        QVERIFY(probeLeftovers(env.upload()).isEmpty()); // ...and is gone again
    }

    // A start that applies a new policy version reads the policy file twice: two
    // probes, each with a fresh test folder name.
    void twoProbesInOneStartUseNewNames()
    {
        TestEnv env;
        env.writeDefaultPolicy("POLICYVERSION=5\r\n");
        auto client = env.makeClient();
        client->registry->write("POLICYVERSION", "4");
        CreatedFolders created(env.upload());
        QVERIFY(created.valid());
        StartClient(*client);
        QVERIFY(client->prompter.shown().isEmpty());
        const QStringList names = created.names();
        QCOMPARE(names.size(), 2);
        QVERIFY(names[0] != names[1]);
        QVERIFY(probeLeftovers(env.upload()).isEmpty());
        QCOMPARE(client->registry->read("POLICYVERSION"), QString("5"));
    }

};

QTEST_GUILESS_MAIN(TestUploadProbe)
#include "tst_uploadprobe.moc"
