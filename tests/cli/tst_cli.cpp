// The parvela tool run as a separate process, as a script would run it.
#include "platform/Cp1252.h"
#include "platform/UserRegistry.h"
#include "spool/JobDescriptor.h"

#include "ParvelaRun.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <sys/stat.h>


class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Help and version answer on standard output with 0; an argument that is no good
    // gets one line and the usage on standard error, and 2, before anything is read.
    void theCommandLineExplainsItself_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");   // the start of standard output
        QTest::addColumn<QString>("err");   // the start of standard error
        QTest::newRow("help") << QStringList{"--help"} << 0 << "usage: parvela send " << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "parvela (Trovik Parvela Client) 2007 - R1.2.6\n" << "";
        for (const char* command : {"send", "jobs", "clean", "check", "policy", "sent"}) {
            QTest::addRow("%s --help", command) << QStringList{command, "--help"} << 0
                                                << QStringLiteral("usage: parvela %1 ").arg(command) << "";
            QTest::addRow("%s, unknown option", command)
                << QStringList{command, "--bogus", "x"} << 2 << ""
                << QStringLiteral("parvela %1: Unknown option 'bogus'.\nusage: parvela %1 ").arg(command);
        }
        QTest::newRow("send --version") << QStringList{"send", "--version"} << 0 << "parvela (Trovik" << "";
        QTest::newRow("options that exclude each other")
            << QStringList{"send", "--sfx", "--no-sfx", "a"} << 2 << ""
            << "parvela send: --sfx and --no-sfx exclude each other\nusage: parvela send ";
        QTest::newRow("unknown command") << QStringList{"sned"} << 2 << "" << "parvela: unknown command 'sned'\nusage: ";
        QTest::newRow("nothing at all") << QStringList{} << 2 << "" << "usage: parvela send ";
    }
    void theCommandLineExplainsItself()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run r = parvela(args);
        QCOMPARE(r.code, code);
        QVERIFY2(out.isEmpty() ? r.out.isEmpty() : r.out.startsWith(out), qPrintable(r.out));
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err), qPrintable(r.err));
    }

    void sendWritesACompleteJobAndLeavesTheUserSettingsAlone()
    {
        TestEnv env;
        env.writeDefaultPolicy("POLICYVERSION=3\r\nSFX=ENABLED\r\n");
        const auto regStore = UserRegistry::open(env.registryPath());
        const UserRegistry& reg = *regStore;
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

        const QStringList entries = env.uploadEntries();
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
        const QString pvx = env.uploadEntries().filter(".pvx").value(0);
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

        QVERIFY(env.uploadEntries().isEmpty());

        const Run noPolicy = parvela({"send", "--policy", env.root() + "/none.INI", "--yes", small});
        QCOMPARE(noPolicy.code, 2);
        QVERIFY(noPolicy.err.contains("No INI file found"));
    }

    // Root reads everything, so the check runs as another user (nobody): a file and a
    // folder only their owner may read are refused before anything is written.
    void whatTheUserMayNotReadIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to run the tool as another user");
        TestEnv env;
        env.writeDefaultPolicy();
        const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                          QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(env.root(), open));
        QVERIFY(QFile::setPermissions(env.upload(), open | QFileDevice::WriteGroup | QFileDevice::WriteOther));
        const QString secret = env.makeFile("src/secret.txt", "mine");
        env.makeFile("tree/open.txt", "anyone");
        const QString closed = env.makeFile("tree/closed/x.txt", "mine");
        QVERIFY(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(QFileInfo(closed).path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                     QFileDevice::ExeOwner));
        const auto asNobody = [&](const QString& path) {
            QProcess p;
            p.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                qEnvironmentVariable("PARVELA_BIN_DIR") + "/parvela", "send", "--policy",
                                env.policyPath(), "--to", "a@b", "--yes", path});
            p.waitForFinished(60000);
            return Run{p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                       QString::fromLocal8Bit(p.readAllStandardError())};
        };
        const Run file = asNobody(secret);
        QCOMPARE(file.code, 1);
        QCOMPARE(file.err, "Cannot send " + secret + ": it cannot be read (permission denied).\n");
        const Run folder = asNobody(env.root() + "/tree");
        QCOMPARE(folder.code, 1);
        QCOMPARE(folder.err, "Cannot send " + QFileInfo(closed).path() +
                                 ": its contents cannot be listed (Permission denied).\n");
        QVERIFY(env.uploadEntries().isEmpty());
    }

    // parvela policy tells an administrator what the program reads: 0 for a clean
    // file, 1 with a warning for each thing it ignores or does not recognise, 2 for a
    // file it cannot read. The file's bytes reach the terminal with controls written out.
    void policyShowsWhatTheProgramReads()
    {
        TestEnv env;
        // Over 1 MiB: refused by every command, as the window refuses it.
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + env.upload().toUtf8() + "\r\n;" + QByteArray(1 << 20, 'x'));
        const qint64 size = QFileInfo(env.policyPath()).size();
        for (const char* command : {"jobs", "policy"}) {
            const Run big = parvela({command, "--policy", env.policyPath()});
            QCOMPARE(big.code, 2);
            QCOMPARE(big.err, QStringLiteral("parvela: The policy file is larger than 1 MiB (%1 bytes) and is not "
                                             "read: %2\n").arg(size).arg(env.policyPath()));
        }
        const Run missing = parvela({"policy", "--policy", env.root() + "/none.INI"});
        QCOMPARE(missing.code, 2);
        QCOMPARE(missing.err, "parvela: No INI file found: " + env.root() + "/none.INI\n");

        const Run sample = parvela({"policy", "--policy", qEnvironmentVariable("PARVELA_SOURCE_DIR") +
                                                              "/data/parvelaclient.INI.sample"});
        QCOMPARE(sample.code, 0);
        QVERIFY2(sample.out.endsWith("\nread clean: no warnings\n"), qPrintable(sample.out));

        env.writePolicy("[Settings]\r\nSERVERUPLOAD=/srv/up\r\n[POLICIES\r\nSFX=ENABLED,LOCKD\r\n[POLICIES]\r\n"
                        "SFX=ENABLED,LOCKED\x1a\r\nDEFAULTLANGUAGE=\x1b]0;PWNED\x07\r\n");
        const Run damaged = parvela({"policy", "--policy", env.policyPath()});
        QCOMPARE(damaged.code, 1);
        QCOMPARE(damaged.out,
                 "policy file: " + env.policyPath() + "\n"
                 "encoding: Windows-1252; line ends: CR LF; 7 lines\n"
                 "[Settings] SERVERUPLOAD    = /srv/up         (line 2: upload folder /srv/up/)\n"
                 "[Settings] MAXSIZE         = 1024            (default: at most 1024 MB a job)\n"
                 "[POLICIES] POLICYVERSION   = -1              (default)\n"
                 "[POLICIES] ENCRYPTED       = ENABLED         (default: encryption on, the user may change it)\n"
                 "[POLICIES] SFX             = ENABLED,LOCKED  (line 6: self-extracting on, locked)\n"
                 "[POLICIES] DEFAULTEXPIRE   = 48              (default: 48 hours)\n"
                 "[POLICIES] SKIPWELCOME     = ENABLED         (default: starts on the selection page)\n"
                 "[POLICIES] DEFAULTLANGUAGE = \\e]0;PWNED\\x07  (line 7)\n"
                 "[POLICIES] OUTLOOKADR      = DISABLED        (default: no address book)\n"
                 "[POLICIES] COLORSCHEME     = 0               (default: Default (R111))\n"
                 "warning: line 3: \"[POLICIES\" has no \"]\": it is no section header, and the keys after it belong "
                 "to [Settings]\n"
                 "warning: line 4: SFX belongs in [POLICIES], not in [Settings]: ignored here\n"
                 "warning: line 7: the value of DEFAULTLANGUAGE holds a character that is not printable: an escape character (U+001B)\n"
                 "warning: line 7: DEFAULTLANGUAGE \"\\e]0;PWNED\\x07\" is not written as one of " +
                     languageKeys() + ": the window may speak English\n"
                 "4 warnings\n");
    }

    // The tool with real faults at real moments: strace holds one system call long
    // enough for a signal, a planted link or a changed source to arrive. Each time the
    // job goes again, lock last, and nothing outside the upload folder is touched.
    void faultsWhileAJobIsWritten_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("held");  // the call strace holds for two seconds
        QTest::addColumn<QString>("error"); // %job: the job's path without extension
        QTest::addColumn<bool>("killed");   // ends by its signal
        const QString removed = "\nThe job was removed from the upload folder.\n";
        QTest::newRow("Ctrl-C during the copy") << "SIGINT" << "copy_file_range"
                                                << "parvela: Interrupted (SIGINT)." + removed << true;
        QTest::newRow("SIGTERM during the copy") << "SIGTERM" << "copy_file_range"
                                                 << "parvela: Interrupted (SIGTERM)." + removed << true;
        QTest::newRow("the terminal closes (SIGHUP) during the copy")
            << "SIGHUP" << "copy_file_range" << "parvela: Interrupted (SIGHUP)." + removed << true;
        QTest::newRow("SIGQUIT during the copy") << "SIGQUIT" << "copy_file_range"
                                                 << "parvela: Interrupted (SIGQUIT)." + removed << true;
        QTest::newRow("a link planted beside the lock")
            << "link" << "fsync" << "parvela: File exists: %job.pvx" + removed << false;
        QTest::newRow("another program takes the lock, then the copy fails")
            << "unlock" << "copy_file_range" << "parvela: %root/src.bin changed while it was being copied." + removed
            << false;
        for (const char* change : {"shrink", "grow", "rewrite"})
            QTest::addRow("the source changes during the copy (%s)", change)
                << change << "copy_file_range" << "parvela: %root/src.bin changed while it was being copied." + removed
                << false;
    }
    void faultsWhileAJobIsWritten()
    {
        QFETCH(QString, fault);
        QFETCH(QString, held);
        QFETCH(QString, error);
        QFETCH(bool, killed);
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        env.writeDefaultPolicy();
        const QString source = env.makeFile("src.bin", QByteArray(64 << 20, 's'));
        const QString victim = env.makeFile("victim.txt", "the user's own file");
        QProcess p;
        const QString trace = env.root() + "/trace";
        // The held call is among those traced: strace injects only into those.
        startTraced(p,
                    {"-f", "-o", trace, "-e", "trace=unlinkat,syncfs,fsync," + held, "-e",
                     "inject=" + held + ":delay_enter=2000000:when=1"},
                    {parvelaPath(), "send", "--policy", env.policyPath(), "--to", "a@b", "--yes", "--parallel", "8",
                     source});
        QVERIFY(p.waitForStarted());
        QString lock;
        QElapsedTimer clock;
        clock.start();
        while (lock.isEmpty() && clock.elapsed() < 10000 && p.state() == QProcess::Running) {
            lock = env.uploadEntries().filter(".lck").value(0);
            QTest::qWait(20);
        }
        QVERIFY2(!lock.isEmpty(), qPrintable(p.readAllStandardError()));
        // The fault comes while the call is held, however busy the machine is: strace
        // writes a call's line as it begins.
        QVERIFY(waitForHeldCall(trace, held, p));
        const QString job = env.upload() + '/' + lock.chopped(4);
        const QMap<QString, int> signals{{"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}, {"SIGQUIT", SIGQUIT}};
        if (signals.contains(fault))
            QCOMPARE(::kill(pid_t(parvelaBelow(p.processId())), signals[fault]), 0);
        if (fault == "link")
            QVERIFY(QFile::link(victim, job + ".pvx"));
        if (fault == "shrink" || fault == "unlock")
            QVERIFY(QFile::resize(source, 1 << 20));
        if (fault == "unlock")
            QVERIFY(QFile::remove(job + ".lck"));
        if (fault == "grow") {
            QFile f(source);
            QVERIFY(f.open(QIODevice::Append) && f.write(QByteArray(1 << 20, 'g')) == 1 << 20);
        }
        if (fault == "rewrite") {
            // Rewritten in place, its time put back (rsync --inplace -t does this): size
            // and modification time are as they were.
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(source).constData(), &st) == 0);
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.write("REWRITTEN") == 9 && f.flush());
            const struct timespec times[2] = {st.st_atim, st.st_mtim};
            QVERIFY(::futimens(f.handle(), times) == 0);
        }
        QVERIFY(p.waitForFinished(60000));

        QCOMPARE(p.exitStatus() == QProcess::CrashExit || p.exitCode() > 128, killed);
        if (!killed)
            QCOMPARE(p.exitCode(), 2);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QString expected = error;
        expected.replace("%job", job).replace("%root", env.root());
        QVERIFY2(err.endsWith(expected), qPrintable(err));
        QCOMPARE(env.uploadEntries(), fault == "link" ? QStringList{lock.chopped(4) + ".pvx"} : QStringList());
        QCOMPARE(readAll(victim), QByteArray("the user's own file"));
        // After a crash the server must never find what is left without its lock.
        if (fault != "unlock" && fault != "link") { // (a job of its lock alone, a lock taken away)
            QString why;
            QVERIFY2(removalIsDurableBeforeTheLockGoes(QString::fromLocal8Bit(readAll(trace)), lock.chopped(4), &why),
                     qPrintable(why));
        }
    }

    // Paths are sent as the system names them: a name that is no valid text, and a
    // file whose name ends like a folder marker beside the file of the shorter name.
    void namesAsTheSystemHasThem()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        env.makeFile("src/report.txt", "wrong");
        env.makeFile("src/report.txt (:Map:)", "chosen");
        QProcess p;
        p.setProgram("sh");
        p.setArguments({"-c", "cd \"$1\" && printf odd > \"$(printf 'src/\\377\\376.bin')\" && "
                              "exec \"$0\" send --policy \"$2\" --to a@b --yes \"$(printf 'src/\\377\\376.bin')\" "
                              "'src/report.txt (:Map:)'",
                        qEnvironmentVariable("PARVELA_BIN_DIR") + "/parvela", env.root(), env.policyPath()});
        p.start();
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QString dir = env.upload() + '/' + env.uploadEntries().filter(".dir").value(0);
        QCOMPARE(readAll(dir + "/report.txt (:Map:)"), QByteArray("chosen"));
        QVERIFY(!QFile::exists(dir + "/report.txt"));
        QProcess check;
        check.start("sh", {"-c", "cat \"$0\"/\"$(printf '\\377\\376.bin')\" && rm \"$0\"/\"$(printf '\\377\\376.bin')\" "
                                 "\"$1\"/src/\"$(printf '\\377\\376.bin')\"",
                           dir, env.root()});
        QVERIFY(check.waitForFinished(10000));
        QCOMPARE(check.readAllStandardOutput(), QByteArray("odd"));
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
        const QString pvx = env.upload() + '/' + env.uploadEntries().filter(".pvx").value(0);
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
            QVERIFY(env.uploadEntries().isEmpty());
            return;
        }
        const QString msg = env.uploadEntries().filter(".msg").value(0);
        QCOMPARE(readAll(env.upload() + '/' + msg), message);
    }

    // A memory file that cannot be read is reported, and the job still goes.
    void sendWarnsOfAnUnreadableMemoryFileAndGoesOn()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const auto regStore = UserRegistry::open(env.registryPath());
        const UserRegistry& reg = *regStore;
        for (auto [name, value] : {std::pair{"POLICYVERSION", "-1"}, {"VERSION", "2007 - R1.2.6"}, {"EXPIRE", "48"}, {"REMEMBERTO", "ENABLED"}})
            reg.write(name, value);
        QVERIFY(QDir().mkpath(env.userDataFolder() + "pvxto.txt"));
        const Run r = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--yes", env.makeFile("f", "x")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("Warning: Is a directory: " + env.userDataFolder() + "pvxto.txt"), qPrintable(r.err));
        QCOMPARE(env.uploadEntries().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
