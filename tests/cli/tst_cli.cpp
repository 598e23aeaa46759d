// The parvela tool run as a separate process, as a script would run it.
#include "platform/Cp1252.h"
#include "platform/UserRegistry.h"
#include "spool/JobDescriptor.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run parvela(const QStringList& args)
{
    QProcess p;
    p.setProgram(qEnvironmentVariable("PARVELA_BIN_DIR") + QStringLiteral("/parvela"));
    p.setArguments(args);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

QStringList jobFiles(const QString& upload)
{
    return QDir(upload).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sendWritesACompleteJobAndLeavesTheUserSettingsAlone()
    {
        TestEnv env;
        env.writeDefaultPolicy("POLICYVERSION=3\r\nSFX=ENABLED\r\n");
        UserRegistry reg(env.registryPath());
        for (auto [name, value] : {std::pair{"POLICYVERSION", "3"}, {"VERSION", "2007 - R1.2.6"}, {"ENCRYPTED", "DISABLED"},
                                   {"SFX", "ENABLED"}, {"EXPIRE", "24"}, {"FROM", "me@example.org"},
                                   {"NAME", "Anna Smit"}, {"COMPANY", "Smit & Co"}, {"REMEMBERTO", "ENABLED"}})
            reg.write(name, value);
        const QByteArray settingsBefore = readAll(env.registryPath());
        env.makeFile("appdata/Parvela/pvxto.txt", "remembered@example.org\r\n");

        const QString file = env.makeFile("src/Report.PDF", QByteArray(3000, 'r'));
        env.makeFile("src/Project/a.txt", "alpha");
        env.makeFile("src/Project/sub/b.txt", "beta");
        const Run r = parvela({"send", "--policy", env.policyPath(), "--to", "x@example.org", "--to", "y@example.org",
                               "--subject", QString::fromUtf8("Caf\u00e9 plans"), "--message", "line one\nline two",
                               "--expire", "72", "--no-sfx", "--yes", file, env.root() + "/src/Project"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("  Number of files: 1") && r.out.contains("  Number of folders: 1"), qPrintable(r.out));
        QVERIFY(r.out.contains("01 - Creating lock") && r.out.contains("05 - Lock released"));

        const QStringList entries = jobFiles(env.upload());
        QCOMPARE(entries.size(), 3);
        const QString job = entries.first().chopped(4);
        QVERIFY(job.startsWith("PV_"));
        QCOMPARE(entries, (QStringList{job + ".dir", job + ".msg", job + ".pvx"}));
        RecordFields expected;
        expected.recipients = {"x@example.org", "y@example.org"};
        expected.senderEmail = "me@example.org";
        expected.senderName = "Anna Smit";
        expected.senderCompany = "Smit & Co";
        expected.subject = QString::fromUtf8("Caf\u00e9 plans");
        expected.encrypted = "DISABLED";
        expected.selfExtracting = "DISABLED";
        expected.expire = "72";
        QCOMPARE(readAll(env.upload() + '/' + job + ".pvx"), expectedRecord(expected));
        QCOMPARE(readAll(env.upload() + '/' + job + ".msg"), QByteArray("line one\r\nline two\r\n"));
        const QString dir = env.upload() + '/' + job + ".dir";
        QCOMPARE(readAll(dir + "/Report.PDF"), QByteArray(3000, 'r'));
        QCOMPARE(readAll(dir + "/Project/sub/b.txt"), QByteArray("beta"));

        QCOMPARE(readAll(env.registryPath()), settingsBefore);
        QVERIFY(!QFile::exists(env.userDataFolder() + "pvxcache.txt"));

        // The same job seen by the other two commands.
        const Run check = parvela({"check", env.upload() + '/' + job + ".pvx"});
        QCOMPARE(check.code, 0);
        QVERIFY(check.out.contains("recipient 1: y@example.org"));
        const Run jobs = parvela({"jobs", "--json", env.upload()});
        QCOMPARE(jobs.code, 0);
        const QJsonArray list = QJsonDocument::fromJson(jobs.out.toUtf8()).array();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].toObject()["state"].toString(), QString("complete"));
        QCOMPARE(list[0].toObject()["bytes"].toInteger(), qint64(3009));
    }

    void aNewUserGetsTheDefaultsWithThePoliciesAndNothingIsWritten()
    {
        TestEnv env;
        env.writeDefaultPolicy("ENCRYPTED=DISABLED,LOCKED\r\nDEFAULTEXPIRE=12\r\n");
        const QString file = env.makeFile("f.bin", "x");
        const Run r = parvela({"send", "--policy", env.policyPath(), "--to", "a@example.org", "--yes", file});
        QCOMPARE(r.code, 0);
        const QString pvx = jobFiles(env.upload()).filter(".pvx").value(0);
        RecordFields expected;
        expected.recipients = {"a@example.org"};
        expected.encrypted = "DISABLED";
        expected.expire = "12";
        QCOMPARE(readAll(env.upload() + '/' + pvx), expectedRecord(expected));
        QVERIFY(!QFile::exists(env.registryPath()));

        // The lock holds against the command line too.
        const Run locked = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--encrypt", "--yes", file});
        QCOMPARE(locked.code, 1);
        QVERIFY(locked.err.contains("locked"));
    }

    void refusalsWriteNothing()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        QFile::remove(env.policyPath());
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + env.upload().toUtf8() + "\r\nMAXSIZE=0\r\n");
        const QString big = env.makeFile("big.bin", QByteArray(2 * 1048576, 'b'));
        const QString small = env.makeFile("small.bin", "s");

        const Run tooLarge = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--yes", big});
        QCOMPARE(tooLarge.code, 1);
        QVERIFY(tooLarge.out.contains("  *** WARNING: Selected files/folders are too large"));

        const Run dry = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--dry-run", small});
        QCOMPARE(dry.code, 0);
        QVERIFY(dry.out.contains("  Total size: 0 MegaByte"));

        const Run unconfirmed = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", small});
        QCOMPARE(unconfirmed.code, 1);

        const Run badSubject = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--subject",
                                        QString::fromUtf8("\u0141\u00f3d\u017a"), "--yes", small});
        QCOMPARE(badSubject.code, 1);

        const Run noRecipient = parvela({"send", "--policy", env.policyPath(), "--yes", small});
        QCOMPARE(noRecipient.code, 1);
        QVERIFY(noRecipient.err.contains("--to"));

        const Run missing = parvela({"send", "--policy", env.policyPath(), "--yes", env.root() + "/nothing"});
        QCOMPARE(missing.code, 2);

        const Run badExpire = parvela({"send", "--policy", env.policyPath(), "--expire", "12h", "--yes", small});
        QCOMPARE(badExpire.code, 2);

        QVERIFY(jobFiles(env.upload()).isEmpty());

        const Run noPolicy = parvela({"send", "--policy", env.root() + "/none.INI", "--yes", small});
        QCOMPARE(noPolicy.code, 2);
        QVERIFY(noPolicy.err.contains("No INI file found"));
    }

    void jobsTellsCompleteIncompleteAndBroken()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const QString file = env.makeFile("f.txt", "data");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--yes", file}).code, 0);
        QStringList names;
        for (const QString& e : jobFiles(env.upload()).filter(".pvx"))
            names << e.chopped(4);
        QCOMPARE(names.size(), 3);
        env.makeFile("upload/" + names[0] + ".lck", "LOCK");
        QFile::remove(env.upload() + '/' + names[1] + ".msg");

        const Run r = parvela({"jobs", "--policy", env.policyPath()});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QString all = r.out;
        QVERIFY(all.contains(names[0] + "  incomplete"));
        QVERIFY(all.contains(names[1] + "  broken"));
        QVERIFY(all.contains("missing .msg"));
        QVERIFY(all.contains(names[2] + "  complete"));
    }

    void checkFindsEveryKindOfDamage()
    {
        TestEnv env;
        JobDescriptor d;
        d.recipients = {"a@example.org", "b@example.org"};
        d.subject = "s";
        d.expireHours = "48";
        const QByteArray good = EncodeJobDescriptor(d);
        auto run = [&](const QByteArray& bytes) {
            return parvela({"check", env.makeFile("d.pvx", bytes)}).code;
        };
        QCOMPARE(run(good), 0);
        QCOMPARE(run(good.left(good.size() - 1)), 1);
        QByteArray badWord = good;
        badWord[101368] = 2;
        QCOMPARE(run(badWord), 1);
        QByteArray badLength = good;
        badLength[101346] = 21; // the expiry's length byte past its field
        QCOMPARE(run(badLength), 1);
        QByteArray gap = good;
        gap.replace(0, 201, QByteArray(201, '\0')); // slot 0 free ("n/a") while slot 1 is filled
        gap.replace(0, 4, "\x03n/a");
        QCOMPARE(run(gap), 1);
        QByteArray garbage = good;
        garbage.replace(101304, 21, QByteArray("\x07GARBAGE").leftJustified(21, '\0'));
        QCOMPARE(run(garbage), 1);
        QCOMPARE(parvela({"check", env.root() + "/none.pvx"}).code, 2);
    }

    // What is not a plain file of 101370 bytes is refused before it is read: a pipe
    // does not hang the check, a device or a sparse giant does not fill the memory.
    void checkRefusesOddFilesUnread_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem");
        QTest::newRow("device") << "device" << "invalid: not a regular file";
        QTest::newRow("FIFO") << "fifo" << "invalid: not a regular file";
        QTest::newRow("folder") << "folder" << "invalid: is a directory";
        QTest::newRow("10 GB sparse") << "sparse" << "invalid: the record is 10737418240 bytes long, not 101370";
    }
    void checkRefusesOddFilesUnread()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        TestEnv env;
        QString path = env.root() + "/job.pvx";
        if (kind == "device")
            path = "/dev/zero";
        if (kind == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        if (kind == "sparse") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(10737418240LL));
        }
        const Run r = parvela({"check", path});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out.trimmed(), problem);
    }

    // A job whose descriptor breaks a rule of the record is broken, whatever else it has.
    void jobsHoldsDescriptorsToTheRecord()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        QCOMPARE(parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--yes", env.makeFile("f", "x")}).code, 0);
        const QString pvx = env.upload() + '/' + jobFiles(env.upload()).filter(".pvx").value(0);
        QByteArray record = readAll(pvx);
        record.replace(101304, 21, QByteArray("\x07GARBAGE").leftJustified(21, '\0'));
        env.makeFile("upload/" + QFileInfo(pvx).fileName(), record);
        const Run r = parvela({"jobs", env.upload()});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("  broken") &&
                     r.out.contains("(invalid descriptor: the encryption field holds \"GARBAGE\", not ENABLED or DISABLED)"),
                 qPrintable(r.out));
    }

    // The edges of what the command line gives: empty and multi-line messages, message
    // files in either encoding, empty or oversized fields. A refusal speaks of the
    // command line, never of a Finish button, and writes nothing.
    void sendEdges_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("messageFile");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("message"); // the job's .msg when sent
        QTest::addColumn<QString>("error");      // in the error output when refused
        const QByteArray none;
        QTest::newRow("empty message") << QStringList{"--message", ""} << none << 0 << QByteArray("") << "";
        QTest::newRow("CR LF in the message")
            << QStringList{"--message", "one\r\ntwo\rthree"} << none << 0 << QByteArray("one\r\ntwo\r\nthree\r\n") << "";
        QTest::newRow("message file in UTF-8") << QStringList{} << QByteArray("caf\xc3\xa9 \xe2\x82\xac\r\nend\r\n") << 0
                                               << QByteArray("caf\xe9 \x80\r\nend\r\n") << "";
        QTest::newRow("message file with byte-order mark")
            << QStringList{} << QByteArray("\xef\xbb\xbf" "caf\xc3\xa9\n") << 0 << QByteArray("caf\xe9\r\n") << "";
        QTest::newRow("message file in Windows-1252")
            << QStringList{} << QByteArray("caf\xe9 \x80\r\n") << 0 << QByteArray("caf\xe9 \x80\r\n") << "";
        QTest::newRow("empty --to") << QStringList{"--to", ""} << none << 1 << none
                                    << "An empty --to was given: each --to needs an address.";
        QTest::newRow("long recipient")
            << QStringList{"--to", QString(240, u'r') + "@example.com"} << none << 1 << none
            << "The recipient " + QString(40, u'r') + "... is 252 characters long, but a job has room for 200. "
                                                      "Shorten it and run the command again.";
        QTest::newRow("long subject") << QStringList{"--subject", QString(201, u's')} << none << 1 << none
                                      << "The subject is 201 characters long, but a job has room for 200. Shorten it "
                                         "and run the command again.";
        QTest::newRow("long message") << QStringList{"--message", QString(2000, u'a') + "\r\n" + QString(2000, u'b')}
                                      << none << 1 << none
                                      << "The message is 4001 characters long, but a message holds at most 4000. "
                                         "Shorten it and run the command again.";
        QTest::newRow("character beyond Windows-1252")
            << QStringList{"--subject", QString::fromUtf8("\u0141")} << none << 1 << none
            << QString::fromUtf8("which cannot be sent. Remove it and run the command again.");
    }
    void sendEdges()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, messageFile);
        QFETCH(int, code);
        QFETCH(QByteArray, message);
        QFETCH(QString, error);
        TestEnv env;
        env.writeDefaultPolicy();
        if (!messageFile.isNull())
            args << "--message-file" << env.makeFile("message.txt", messageFile);
        const Run r = parvela(QStringList{"send", "--policy", env.policyPath(), "--to", "a@example.org", "--yes"} + args +
                              QStringList{env.makeFile("f.txt", "x")});
        QCOMPARE(r.code, code);
        if (code != 0) {
            QVERIFY2(r.err.contains(error) && !r.err.contains("Finish"), qPrintable(r.err));
            QVERIFY(jobFiles(env.upload()).isEmpty());
            return;
        }
        const QString msg = jobFiles(env.upload()).filter(".msg").value(0);
        QCOMPARE(readAll(env.upload() + '/' + msg), message);
    }

    // A memory file that cannot be read is reported, and the job still goes.
    void sendWarnsOfAnUnreadableMemoryFileAndGoesOn()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const UserRegistry reg(env.registryPath());
        for (auto [name, value] : {std::pair{"POLICYVERSION", "-1"}, {"VERSION", "2007 - R1.2.6"}, {"EXPIRE", "48"}, {"REMEMBERTO", "ENABLED"}})
            reg.write(name, value);
        QVERIFY(QDir().mkpath(env.userDataFolder() + "pvxto.txt"));
        const Run r = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--yes", env.makeFile("f", "x")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("Warning: Is a directory: " + env.userDataFolder() + "pvxto.txt"), qPrintable(r.err));
        QCOMPARE(jobFiles(env.upload()).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
