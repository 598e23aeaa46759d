#include "client/Client.h"
#include "app/Startup.h"
#include "config/UploadProbe.h"

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

// Makes the folder a probe looks at (a tmpfs of the test's when it mounts one); false
// with the reason when the machine does not allow it.
using ProbedFolder = std::function<bool(const TestEnv&, fsfault::ScopedTmpfs&, QString* why)>;
Q_DECLARE_METATYPE(ProbedFolder)

class TestUploadProbe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A writable folder gives no message; one that takes no folder, or a folder but not
    // its file (no inode left, no room for its content), is refused, and a missing one
    // is shown with its separator. The test folder never stays. Once the start has
    // failed, a later probe does nothing at all, even on a good folder.
    void whatTheProbeFinds_data()
    {
        QTest::addColumn<ProbedFolder>("make");
        QTest::addColumn<QString>("given"); // %1: the test's root
        QTest::addColumn<int>("kind");      // of the one message, -1 for none
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("made");      // test folders made
        const ProbedFolder plain = [](const TestEnv&, fsfault::ScopedTmpfs&, QString*) { return true; };
        const auto tmpfs = [](const QString& options, bool fill, bool readOnly) {
            return ProbedFolder([=](const TestEnv& env, fsfault::ScopedTmpfs& mount, QString* why) {
                if (!mount.mount(env.upload(), options, why) ||
                    (readOnly && !fsfault::remountReadOnly(env.upload(), true, why)))
                    return false;
                QFile filler(env.upload() + "/filler");
                return !fill || (filler.open(QIODevice::WriteOnly) && filler.write(QByteArray(4096, 'x')) && filler.flush());
            });
        };
        const int warning = int(PromptKind::Warning);
        QTest::newRow("writable") << plain << "%1/upload" << -1 << "" << 1;
        QTest::newRow("writable, with separator") << plain << "%1/upload/" << -1 << "" << 1;
        for (const char* suffix : {"", "/"})
            QTest::addRow("missing, given as \"...nowhere%s\"", suffix)
                << plain << QStringLiteral("%1/nowhere") + suffix << int(PromptKind::Error)
                << "PVLERR:04 > Upload path (%1/nowhere/) error, path does not exist. Contact your system "
                   "administrator."
                << 0;
        QTest::newRow("read-only") << tmpfs("size=64k", false, true) << "%1/upload" << warning << k02 << 0;
        QTest::newRow("no inode for the file") << tmpfs("nr_inodes=2", false, false) << "%1/upload" << warning << k03 << 1;
        QTest::newRow("no room for its content") << tmpfs("size=4k", true, false) << "%1/upload" << warning << k03 << 1;
    }
    void whatTheProbeFinds()
    {
        QFETCH(ProbedFolder, make);
        QFETCH(QString, given);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, made);
        TestEnv env;
        fsfault::ScopedTmpfs mount;
        QString why;
        if (!make(env, mount, &why))
            QSKIP(qPrintable(why));
        auto client = env.makeClient();
        CreatedFolders created(env.upload());
        QVERIFY(created.valid());
        ProbeUploadFolder(*client, given.arg(env.root()));
        const QList<Prompt> shown = client->prompter.shown();
        QCOMPARE(shown.size(), kind < 0 ? 0 : 1);
        if (kind >= 0) {
            QCOMPARE(int(shown.first().kind), kind);
            QCOMPARE(shown.first().text, text.arg(env.root()));
        }
        QCOMPARE(client->state.StartupFailed, kind >= 0);
        const QStringList names = created.names();
        QCOMPARE(names.size(), made);
        for (const QString& name : names)
            QVERIFY2(QRegularExpression("^[0-9]{20}\\.pvltest$").match(name).hasMatch(), qPrintable(name));
        QVERIFY(probeLeftovers(env.upload()).isEmpty());
        if (kind < 0)
            return;
        ProbeUploadFolder(*client, env.upload());
        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(created.names().size(), made);
    }

    // A start that applies a new policy version reads the policy file twice, so two
    // probes run: each with a fresh test folder name, and an upload path that is not
    // configured (here: empty) is reported once.
    void aStartProbesTwice_data()
    {
        QTest::addColumn<QByteArray>("value"); // empty: the test's upload folder
        QTest::addColumn<bool>("configured");
        QTest::newRow("configured") << QByteArray() << true;
        // The placeholder "<ENTER PATH HERE>" ends the start the same way: tst_mainwindow.
        QTest::newRow("empty") << QByteArray("") << false;
    }
    void aStartProbesTwice()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, configured);
        TestEnv env;
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + (configured ? env.upload().toUtf8() : value) +
                        "\r\n[POLICIES]\r\nPOLICYVERSION=2\r\n");
        auto client = env.makeClient();
        client->registry->write("POLICYVERSION", "1");
        CreatedFolders created(env.upload());
        QVERIFY(client->guarded([&] { StartClient(*client); }));
        const QList<Prompt> shown = client->prompter.shown();
        QCOMPARE(shown.size(), configured ? 0 : 1);
        QCOMPARE(client->state.StartupFailed, !configured);
        QVERIFY(!client->state.UploadFolder.isEmpty());
        const QStringList names = created.names();
        QCOMPARE(names.size(), configured ? 2 : 0);
        QVERIFY(probeLeftovers(env.upload()).isEmpty());
        if (configured) {
            QVERIFY(names[0] != names[1]);
            QCOMPARE(client->registry->read("POLICYVERSION"), QString("2"));
        } else {
            QCOMPARE(shown.first().kind, PromptKind::Error);
            QCOMPARE(shown.first().text, k01);
        }
    }
};

QTEST_GUILESS_MAIN(TestUploadProbe)
#include "tst_uploadprobe.moc"
