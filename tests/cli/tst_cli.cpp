// The parvela tool run as a separate process, as a script would run it.
#include "spool/JobDescriptor.h"

#include "ParvelaRun.h"

#include <csignal>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

// What happens to a job while it is written: env, the job's path without extension,
// the writing process.
using Meanwhile = std::function<void(const TestEnv&, const QString& job, qint64 pid)>;
Q_DECLARE_METATYPE(Meanwhile)

// Makes the file a check is given; its path, or empty when it cannot.
using Descriptor = std::function<QString(const TestEnv&)>;
Q_DECLARE_METATYPE(Descriptor)

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
        env.storeForPrograms({{"POLICYVERSION", "3"}, {"VERSION", "2007 - R1.2.6"}, {"ENCRYPTED", "DISABLED"},
                              {"SFX", "ENABLED"}, {"EXPIRE", "24"}, {"FROM", "me@example.org"}, {"NAME", "Anna Smit"},
                              {"COMPANY", "Smit & Co"}, {"REMEMBERTO", "ENABLED"}});
        const QByteArray settingsBefore = env.programSettings();
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

        const QString job = env.jobs().value(0);
        QVERIFY(job.startsWith("PV_"));
        QCOMPARE(env.uploadEntries(), (QStringList{job + ".dir", job + ".msg", job + ".pvx"}));
        QCOMPARE(readAll(env.upload() + '/' + job + ".pvx"),
                 expectedRecord({.recipients = {"x@example.org", "y@example.org"}, .senderEmail = "me@example.org",
                                 .senderName = "Anna Smit", .senderCompany = "Smit & Co",
                                 .subject = QString::fromUtf8("Caf\u00e9 plans"), .encrypted = "DISABLED",
                                 .selfExtracting = "DISABLED", .expire = "72"}));
        QCOMPARE(readAll(env.upload() + '/' + job + ".msg"), QByteArray("line one\r\nline two\r\n"));
        const QString dir = env.upload() + '/' + job + ".dir";
        QCOMPARE(readAll(dir + "/Report.PDF"), QByteArray(3000, 'r'));
        QCOMPARE(readAll(dir + "/Project/sub/b.txt"), QByteArray("beta"));

        QCOMPARE(env.programSettings(), settingsBefore);
        QVERIFY(!QFile::exists(env.userDataFolder() + "pvxcache.txt"));

        // The same job as parvela jobs sees it (check's view: checkJudgesTheFile).
        const Run jobs = parvela({"jobs", "--json", env.upload()});
        QCOMPARE(jobs.code, 0);
        const QJsonArray list = QJsonDocument::fromJson(jobs.out.toUtf8()).array();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].toObject()["state"].toString(), QString("complete"));
        QCOMPARE(list[0].toObject()["bytes"].toInteger(), qint64(3009));
    }

    // A job that may not go, or must not, writes nothing: the user's mistakes, the
    // edges of what the command line gives (a refusal speaks of the command line, never
    // of a Finish button), a job over the policy's size, a dry run, an option the policy
    // locks. %f is a small file,
    // %b one of 2 MiB, %p the policy file, %h one whose MAXSIZE is 0x10, %r the test's root.
    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("args"); // after "send"
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");     // in the output, or the error output when refused
        const QStringList base{"--policy", "%p", "--to", "a@b", "--yes"};
        QTest::newRow("over MAXSIZE") << base + QStringList{"%b"} << 1
                                      << "  *** WARNING: Selected files/folders are too large";
        QTest::newRow("encryption locked off") << base + QStringList{"--encrypt", "%f"} << 1 << "locked";
        QTest::newRow("dry run") << QStringList{"--policy", "%p", "--to", "a@b", "--dry-run", "%f"} << 0
                                 << "  Total size: 0 MegaByte";
        QTest::newRow("not confirmed") << QStringList{"--policy", "%p", "--to", "a@b", "%f"} << 1 << "";
        QTest::newRow("no recipient") << QStringList{"--policy", "%p", "--yes", "%f"} << 1 << "--to";
        QTest::newRow("source missing") << base + QStringList{"%r/nothing"} << 2 << "";
        QTest::newRow("MAXSIZE in hexadecimal") << QStringList{"--policy", "%h", "--to", "a@b", "--yes", "%f"} << 2
                                                << "parvela: '0x10' is not a valid integer value: MAXSIZE in the "
                                                   "policy file %h\n";
        QTest::newRow("expiry not a number") << base + QStringList{"--expire", "12h", "%f"} << 2 << "";
        QTest::newRow("no policy file") << QStringList{"--policy", "%r/none.INI", "--yes", "%f"} << 2
                                        << "No INI file found";
        QTest::newRow("empty --to") << QStringList{"--policy", "%p", "--to", "", "--yes", "%f"} << 1
                                    << "An empty --to was given: each --to needs an address.";
        QTest::newRow("long recipient")
            << QStringList{"--policy", "%p", "--to", QString(240, u'r') + "@example.com", "--yes", "%f"} << 1
            << "The recipient " + QString(40, u'r') + "... is 252 characters long, but a job has room for 200. "
                                                      "Shorten it and run the command again.";
        QTest::newRow("long subject") << base + QStringList{"--subject", QString(201, u's'), "%f"} << 1
                                      << "The subject is 201 characters long, but a job has room for 200. Shorten it "
                                         "and run the command again.";
        QTest::newRow("long message") << base + QStringList{"--message", QString(2000, u'a') + "\r\n" + QString(2000, u'b'), "%f"}
                                      << 1
                                      << "The message is 4001 characters long, but a message holds at most 4000. "
                                         "Shorten it and run the command again.";
        QTest::newRow("character beyond Windows-1252")
            << base + QStringList{"--subject", QString::fromUtf8("\u0141\u00f3d\u017a"), "%f"} << 1
            << "which cannot be sent. Remove it and run the command again.";
    }
    void refusalsWriteNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, says);
        TestEnv env;
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + env.upload().toUtf8() + "\r\nMAXSIZE=0\r\n[POLICIES]\r\n"
                        "ENCRYPTED=DISABLED,LOCKED\r\n");
        const QString small = env.makeFile("small.bin", "s"), big = env.makeFile("big.bin", QByteArray(2 * 1048576, 'b'));
        const QString hex = env.makeFile("hex.INI", "[Settings]\r\nSERVERUPLOAD=" + env.upload().toUtf8() + "\r\nMAXSIZE=0x10\r\n");
        says.replace("%h", hex);
        args.replaceInStrings("%p", env.policyPath()).replaceInStrings("%f", small).replaceInStrings("%b", big).replaceInStrings("%h", hex);
        const Run r = parvela(QStringList{"send"} + args.replaceInStrings("%r", env.root()));
        QCOMPARE(r.code, code);
        const QString said = code == 0 || r.out.contains("WARNING") ? r.out : r.err;
        QVERIFY2(said.contains(says) && !r.err.contains("Finish"), qPrintable(r.out + r.err));
        QVERIFY(env.uploadEntries().isEmpty());
    }

    // A file and a folder only their owner may read are refused before anything is
    // written (run as another user: root reads everything). A lock such a user cannot
    // open says nothing of its writer: its job is unknown, with the system's reason,
    // and never abandoned however old.
    void whatTheUserMayNotReadIsRefused()
    {
#ifdef Q_OS_WIN
        QSKIP("runs the tool as another POSIX user");
#else
        if (::geteuid() != 0)
            QSKIP("needs root to run the tool as another user");
        TestEnv env;
        env.writeDefaultPolicy();
        const QString secret = env.makeFile("src/secret.txt", "mine");
        env.makeFile("tree/open.txt", "anyone");
        const QString closed = QFileInfo(env.makeFile("tree/closed/x.txt", "mine")).path();
        QVERIFY(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(closed, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QStringList send{"send", "--policy", env.policyPath(), "--to", "a@b", "--yes"};
        const Run file = parvelaAsNobody(env, send + QStringList{secret});
        QCOMPARE(file.code, 1);
        QCOMPARE(file.err, "Cannot send " + secret + ": it cannot be read (permission denied).\n");
        const Run folder = parvelaAsNobody(env, send + QStringList{env.root() + "/tree"});
        QCOMPARE(folder.code, 1);
        QCOMPARE(folder.err, "Cannot send " + closed + ": its contents cannot be listed (Permission denied).\n");
        QVERIFY(env.uploadEntries().isEmpty());
        const QString name = "PV_A_20261209120000_" + QString(40, u'x');
        QFile lock(env.makeFile("upload/" + name + ".lck", "LOCK"));
        QVERIFY(lock.open(QIODevice::ReadWrite) && lock.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        const Run jobs = parvelaAsNobody(env, {"jobs", env.upload()});
        QVERIFY2(jobs.code == 0 && jobs.out.startsWith(name + "  unknown  lock marked alive 3600 s ago  0 bytes  (lock not "
                                                              "readable: Permission denied"),
                 qPrintable(jobs.out + jobs.err));
#endif
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

        // Key names in any case, values as written; a second [settings] is never read.
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=/srv/up\r\n[POLICIES\r\nSFX=ENABLED,LOCKD\r\n[POLICIES]\r\n"
                        "sfx=ENABLED,LOCKED\x1a\r\nDEFAULTLANGUAGE=\x1b]0;PWNED\x07\r\nENCRYPTED=disabled\r\n"
                        "COLORSCHEME=1\r\nOUTLOOKADR=ENABLED\r\n[settings]\r\nMAXSIZE=-1\r\n");
        const Run damaged = parvela({"policy", "--policy", env.policyPath()});
        QCOMPARE(damaged.code, 1);
        QCOMPARE(damaged.out,
                 "policy file: " + env.policyPath() + "\n"
                 "encoding: Windows-1252; line ends: CR LF; 12 lines\n"
                 "[Settings] SERVERUPLOAD    = /srv/up         (line 2: upload folder /srv/up/)\n"
                 "[Settings] MAXSIZE         = 1024            (default: at most 1024 MB a job)\n"
                 "[POLICIES] POLICYVERSION   = -1              (default)\n"
                 "[POLICIES] ENCRYPTED       = disabled        (line 8: encryption off, the user may change it)\n"
                 "[POLICIES] SFX             = ENABLED,LOCKED  (line 6: self-extracting on, locked)\n"
                 "[POLICIES] DEFAULTEXPIRE   = 48              (default: 48 hours)\n"
                 "[POLICIES] SKIPWELCOME     = ENABLED         (default: starts on the selection page)\n"
                 "[POLICIES] DEFAULTLANGUAGE = \\e]0;PWNED\\x07  (line 7)\n"
                 "[POLICIES] OUTLOOKADR      = ENABLED         (line 10: the address book is offered)\n"
                 "[POLICIES] COLORSCHEME     = 1               (line 9: White)\n"
                 "warning: line 3: \"[POLICIES\" has no \"]\": it is no section header, and the keys after it belong "
                 "to [Settings]\n"
                 "warning: line 4: SFX belongs in [POLICIES], not in [Settings]: ignored here\n"
                 "warning: line 7: the value of DEFAULTLANGUAGE holds a character that is not printable: an escape character (U+001B)\n"
                 "warning: line 7: DEFAULTLANGUAGE \"\\e]0;PWNED\\x07\" is not written as one of " +
                     languageKeys() + ": the window may speak English\n"
                 "warning: line 11: section [settings] appears a second time (first on line 1): the keys under this "
                 "header are ignored\n"
                 "warning: line 12: MAXSIZE is under the second [settings] header: ignored\n"
                 "6 warnings\n");
    }

    // The tool with real faults at real moments: strace holds one system call long
    // enough for a signal, a planted link or a changed source to arrive. Each time the
    // job goes again, lock last, and nothing outside the upload folder is touched.
    void faultsWhileAJobIsWritten_data()
    {
#ifdef Q_OS_WIN
        QSKIP("strace holds system calls, POSIX signals stop the tool");
#else
        QTest::addColumn<Meanwhile>("fault");
        QTest::addColumn<QString>("held");  // the call strace holds for two seconds
        QTest::addColumn<QString>("error"); // %job: the job's path without extension
        QTest::addColumn<bool>("killed");   // ends by its signal
        QTest::addColumn<bool>("planted");  // a link to the user's file is left as the descriptor
        QTest::addColumn<bool>("lockLast"); // the trace shows the job removed before its lock
        const QString removed = "\nThe job was removed from the upload folder.\n";
        const QString changed = "parvela: %root/src.bin changed while it was being copied." + removed;
        for (const auto& [name, number] : {std::pair{"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}, {"SIGQUIT", SIGQUIT}})
            QTest::addRow("%s during the copy", name)
                << Meanwhile([number](const TestEnv&, const QString&, qint64 pid) { QCOMPARE(::kill(pid_t(pid), number), 0); })
                << "copy_file_range" << QStringLiteral("parvela: Interrupted (%1).").arg(name) + removed << true << false << true;
        QTest::newRow("a link planted beside the lock") << Meanwhile([](const TestEnv& env, const QString& job, qint64) {
            QVERIFY(QFile::link(env.root() + "/victim.txt", job + ".pvx"));
        }) << "fsync" << "parvela: File exists: %job.pvx" + removed << false << true << false;
        QTest::newRow("another program takes the lock, then the copy fails")
            << Meanwhile([](const TestEnv& env, const QString& job, qint64) {
                   QVERIFY(QFile::resize(env.root() + "/src.bin", 1 << 20) && QFile::remove(job + ".lck"));
               })
            << "copy_file_range" << changed << false << false << false;
        QTest::newRow("the source shrinks during the copy") << Meanwhile([](const TestEnv& env, const QString&, qint64) {
            QVERIFY(QFile::resize(env.root() + "/src.bin", 1 << 20));
        }) << "copy_file_range" << changed << false << false << true;
        QTest::newRow("the source grows during the copy") << Meanwhile([](const TestEnv& env, const QString&, qint64) {
            QFile f(env.root() + "/src.bin");
            QVERIFY(f.open(QIODevice::Append) && f.write(QByteArray(1 << 20, 'g')) == 1 << 20);
        }) << "copy_file_range" << changed << false << false << true;
        // Rewritten in place, its time put back (rsync --inplace -t does this): size and
        // modification time are as they were.
        QTest::newRow("the source is rewritten during the copy") << Meanwhile([](const TestEnv& env, const QString&, qint64) {
            struct stat st;
            QFile f(env.root() + "/src.bin");
            QVERIFY(::stat(QFile::encodeName(f.fileName()).constData(), &st) == 0);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.write("REWRITTEN") == 9 && f.flush());
            const struct timespec times[2] = {st.st_atim, st.st_mtim};
            QVERIFY(::futimens(f.handle(), times) == 0);
        }) << "copy_file_range" << changed << false << false << true;
#endif
    }
    void faultsWhileAJobIsWritten()
    {
#ifdef Q_OS_WIN
        QSKIP("stops the tool with POSIX signals");
#else
        QFETCH(Meanwhile, fault);
        QFETCH(QString, held);
        QFETCH(QString, error);
        QFETCH(bool, killed);
        QFETCH(bool, planted);
        QFETCH(bool, lockLast);
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
        const QString lock = waitForLock(env.upload(), p);
        QVERIFY2(!lock.isEmpty(), qPrintable(p.readAllStandardError()));
        // The fault comes while the call is held, however busy the machine is: strace
        // writes a call's line as it begins.
        QVERIFY(waitForHeldCall(trace, held, p));
        const QString job = env.upload() + '/' + lock.chopped(4);
        fault(env, job, parvelaBelow(p.processId()));
        QVERIFY(p.waitForFinished(60000));

        QCOMPARE(p.exitStatus() == QProcess::CrashExit || p.exitCode() > 128, killed);
        if (!killed)
            QCOMPARE(p.exitCode(), 2);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.endsWith(QString(error).replace("%job", job).replace("%root", env.root())), qPrintable(err));
        QCOMPARE(env.uploadEntries(), planted ? QStringList{lock.chopped(4) + ".pvx"} : QStringList());
        QCOMPARE(readAll(victim), QByteArray("the user's own file"));
        // After a crash the server must never find what is left without its lock.
        QString why;
        if (lockLast)
            QVERIFY2(removalIsDurableBeforeTheLockGoes(QString::fromLocal8Bit(readAll(trace)), lock.chopped(4), &why),
                     qPrintable(why));
#endif
    }

    // Paths are sent as the system names them: a name that is no valid text, given
    // alone and found in a folder, and a file whose name ends like a folder marker
    // beside the file of the shorter name.
    void namesAsTheSystemHasThem()
    {
#ifdef Q_OS_WIN
        QSKIP("a name that is no text needs a POSIX file system and sh; a Windows name is always text");
#else
        TestEnv env;
        env.writeDefaultPolicy();
        env.makeFile("src/report.txt", "wrong");
        env.makeFile("src/report.txt (:Map:)", "chosen");
        const QString odd = "n=\"$(printf '\\377\\376.bin')\" && "; // $n: the name that is no text
        QProcess p;
        p.setProgram("sh");
        p.setArguments({"-c", "cd \"$1\" && " + odd + "mkdir odd && printf odd > \"src/$n\" && printf in > \"odd/$n\" && "
                              "exec \"$0\" send --policy \"$2\" --to a@b --yes \"src/$n\" odd 'src/report.txt (:Map:)'",
                        parvelaPath(), env.root(), env.policyPath()});
        p.start();
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QString dir = env.upload() + '/' + env.uploadEntries().filter(".dir").value(0);
        QCOMPARE(readAll(dir + "/report.txt (:Map:)"), QByteArray("chosen"));
        QVERIFY(!QFile::exists(dir + "/report.txt"));
        QProcess check;
        check.start("sh", {"-c", odd + "cat \"$0/$n\" \"$0/odd/$n\" && rm -r \"$0/$n\" \"$0/odd\" \"$1/src/$n\" \"$1/odd\"",
                           dir, env.root()});
        QVERIFY(check.waitForFinished(10000));
        QCOMPARE(check.readAllStandardOutput(), QByteArray("oddin"));
#endif
    }

    // check says 0 for a valid descriptor, 1 for an invalid one (why on its output), 2
    // when it cannot read it; what is not a plain file of 101370 bytes is refused
    // before it is read: a pipe does not hang the check, a device or a sparse giant
    // does not fill the memory.
    void checkJudgesTheFile_data()
    {
        QTest::addColumn<Descriptor>("make");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const auto record = [](char closingWord) {
            return Descriptor([closingWord](const TestEnv& env) {
                JobDescriptor d;
                d.recipients = {"a@example.org", "b@example.org"};
                d.expireHours = "48";
                return env.makeFile("job.pvx", EncodeJobDescriptor(d).replace(101368, 1, QByteArray(1, closingWord)));
            });
        };
        QTest::newRow("valid") << record(1) << 0 << "valid job descriptor\nrecipient 0: a@example.org\nrecipient 1: b@example.org\n";
        QTest::newRow("damaged") << record(2) << 1 << "invalid: the closing word is 2, not 1\n";
        QTest::newRow("missing") << Descriptor([](const TestEnv& env) { return env.root() + "/none.pvx"; }) << 2 << "";
#ifndef Q_OS_WIN // Windows has neither devices in its folders nor named pipes
        QTest::newRow("device") << Descriptor([](const TestEnv&) { return QString("/dev/zero"); }) << 1
                                << "invalid: not a regular file\n";
        QTest::newRow("FIFO") << Descriptor([](const TestEnv& env) {
            return ::mkfifo(QFile::encodeName(env.root() + "/job.pvx").constData(), 0600) == 0 ? env.root() + "/job.pvx" : "";
        }) << 1 << "invalid: not a regular file\n";
#endif
        QTest::newRow("folder") << Descriptor([](const TestEnv& env) {
            return QDir().mkdir(env.root() + "/job.pvx") ? env.root() + "/job.pvx" : "";
        }) << 1 << "invalid: is a directory\n";
        QTest::newRow("10 GB sparse") << Descriptor([](const TestEnv& env) {
            const QString path = env.makeFile("job.pvx", "");
            return QFile::resize(path, 10737418240LL) ? path : "";
        }) << 1 << "invalid: the record is 10737418240 bytes long, not 101370\n";
    }
    void checkJudgesTheFile()
    {
        QFETCH(Descriptor, make);
        QFETCH(int, code);
        QFETCH(QString, says);
        TestEnv env;
        const QString path = make(env);
        QVERIFY(!path.isEmpty());
        const Run r = parvela({"check", path});
        QCOMPARE(r.code, code);
        QCOMPARE(r.out.left(says.size()), says);
    }

    // Messages as the job carries them: empty, multi-line, from a file in either
    // encoding; Windows-1252 with CR LF in the job. The sender is a new user: the job
    // takes the policy's defaults, and nothing of the user's is written.
    void messagesAsTheJobCarriesThem_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("messageFile");
        QTest::addColumn<QByteArray>("message"); // the job's .msg
        const QByteArray none;
        QTest::newRow("empty message") << QStringList{"--message", ""} << none << QByteArray("");
        QTest::newRow("CR LF in the message")
            << QStringList{"--message", "one\r\ntwo\rthree"} << none << QByteArray("one\r\ntwo\r\nthree\r\n");
        QTest::newRow("message file in UTF-8") << QStringList{} << QByteArray("caf\xc3\xa9 \xe2\x82\xac\r\nend\r\n")
                                               << QByteArray("caf\xe9 \x80\r\nend\r\n");
        QTest::newRow("message file with byte-order mark")
            << QStringList{} << QByteArray("\xef\xbb\xbf" "caf\xc3\xa9\n") << QByteArray("caf\xe9\r\n");
        QTest::newRow("message file in Windows-1252")
            << QStringList{} << QByteArray("caf\xe9 \x80\r\n") << QByteArray("caf\xe9 \x80\r\n");
    }
    void messagesAsTheJobCarriesThem()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, messageFile);
        QFETCH(QByteArray, message);
        TestEnv env;
        env.writeDefaultPolicy("ENCRYPTED=DISABLED,LOCKED\r\nDEFAULTEXPIRE=12\r\n");
        if (!messageFile.isNull())
            args << "--message-file" << env.makeFile("message.txt", messageFile);
        const Run r = parvela(QStringList{"send", "--policy", env.policyPath(), "--to", "a@example.org", "--yes"} + args +
                              QStringList{env.makeFile("f.txt", "x")});
        QCOMPARE(r.code, 0);
        const QString job = env.upload() + '/' + env.jobs().value(0);
        QCOMPARE(readAll(job + ".msg"), message);
        QCOMPARE(readAll(job + ".pvx"), expectedRecord({.recipients = {"a@example.org"}, .encrypted = "DISABLED", .expire = "12"}));
        QVERIFY(!env.programStore()->keyExists());
    }

    // A memory file that cannot be read is reported, and the job still goes.
    void sendWarnsOfAnUnreadableMemoryFileAndGoesOn()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        env.storeForPrograms(
            {{"POLICYVERSION", "-1"}, {"VERSION", "2007 - R1.2.6"}, {"EXPIRE", "48"}, {"REMEMBERTO", "ENABLED"}});
        QVERIFY(QDir().mkpath(env.userDataFolder() + "pvxto.txt"));
        const Run r = parvela({"send", "--policy", env.policyPath(), "--to", "a@b", "--yes", env.makeFile("f", "x")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("Warning: Is a directory: " + env.userDataFolder() + "pvxto.txt"), qPrintable(r.err));
        QCOMPARE(env.uploadEntries().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
