// The upload folder is shared with other computers, other users and the server: what
// jobs and clean make of what they find there, with real processes, real locks, real
// mounts and planted entries.
#include "spool/JobDescriptor.h"

#include "ParvelaRun.h"

#include <QRegularExpression>
#include <QStorageInfo>

#include <csignal>
#include <sys/file.h>
#include <unistd.h>

namespace {

// A job name as a computer of that name makes it.
QString jobName(const QString& computer, QChar fill = u'x')
{
    return QStringLiteral("PV_%1_20261209120000_%2").arg(computer, QString(40, fill));
}

// Sets a file's modification time seconds into the past (a lock nobody marked alive
// for that long); the link itself when it is one.
bool makeOld(const QString& path, qint64 seconds)
{
    struct timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[1] = times[0];
    times[1].tv_sec -= time_t(seconds);
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// The upload folder mounted a second time over SFTP (sshfs talking to a local
// sftp-server), a file system whose advisory locks are its own: a lock held through
// one mount is free through another. Attributes are not cached, so a lock marked
// alive is seen at once.
class SftpMount {
public:
    // clock, when given, is the offset (faketime's, "-1h") of this computer's clock for
    // the mount: the times it sets on files are stamped by that clock. A cached mount
    // keeps what it saw of names and attributes for a while, as sshfs does by default.
    bool mount(const QString& folder, const QString& at, const QString& scratch, QString* why, const QString& clock = {},
               bool cached = false)
    {
        const QString sshfs = QStandardPaths::findExecutable("sshfs"), server = "/usr/lib/openssh/sftp-server";
        *why = "sshfs, sftp-server, /dev/fuse or faketime is missing";
        if (sshfs.isEmpty() || !QFileInfo::exists(server) || !QFileInfo::exists("/dev/fuse") ||
            (!clock.isEmpty() && QStandardPaths::findExecutable("faketime").isEmpty()))
            return false;
        const QString name = QFileInfo(at).fileName(), direct = scratch + "/sftp-direct-" + name;
        m_pidFile = scratch + "/sftp-server-" + name + ".pid";
        QFile script(direct);
        if (!script.open(QIODevice::WriteOnly) ||
            script.write("#!/bin/sh\necho $$ > '" + m_pidFile.toUtf8() + "'\nexec " + server.toUtf8() + "\n") < 0 ||
            !script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            return false;
        script.close();
        QDir().mkpath(at);
        const QStringList args{"-o", "ssh_command=" + direct + (cached ? "" : ",dir_cache=no,attr_timeout=0,entry_timeout=0"),
                               "local:" + folder, at};
        // sshfs stays in front, detached, until the mount goes: under faketime it does
        // not go into the background.
        const QStringList faked = clock.isEmpty() ? QStringList() : QStringList{"-f", clock, sshfs};
        QProcess::startDetached(clock.isEmpty() ? sshfs : "faketime", faked + QStringList{"-f"} + args);
        m_at = at;
        *why = "sshfs did not mount";
        return QTest::qWaitFor([&] { return QStorageInfo(at).fileSystemType() == "fuse.sshfs"; }, 20000);
    }
    ~SftpMount()
    {
        if (!m_at.isEmpty())
            QProcess::execute("fusermount3", {"-u", "-z", m_at});
    }

    // The server's process: stopped, it is a share that does not answer.
    qint64 serverPid() const { return readAll(m_pidFile).trimmed().toLongLong(); }

private:
    QString m_at, m_pidFile;
};

// The entries of upload once every file its writer removed through an SFTP mount
// while holding it open is gone: FUSE keeps such a file (the job's lock) as
// .fuse_hidden... until the close reaches the file system, which may come after the
// writer has ended. Waits at most 20 s: a file still held then stays in the listing.
QStringList jobFilesOnceClosed(const QString& upload)
{
    (void)QTest::qWaitFor([&] { return entriesOf(upload).filter(QRegularExpression("^\\.fuse_hidden")).isEmpty(); }, 20000);
    return entriesOf(upload);
}

// parvela send under strace, the nth call of syscall held for holdMs on its way in;
// wrapper (faketime and its arguments) runs it when given.
QProcess* startHeldSend(const TestEnv& env, const QString& syscall, int holdMs, const QStringList& args,
                        const QStringList& extra = {}, const QStringList& wrapper = {})
{
    auto* p = new QProcess;
    startTraced(*p,
                {"-f", "-o", "/dev/null", "-e",
                 QStringLiteral("inject=%1:delay_enter=%2:when=1").arg(syscall).arg(qint64(holdMs) * 1000)},
                wrapper + QStringList{parvelaPath(), "send", "--policy", env.policyPath(), "--to", "a@b", "--yes"} + args, extra);
    p->waitForStarted();
    return p;
}

} // namespace

class TestSharedFolder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { qputenv("COMPUTERNAME", "A"); }
    void cleanup() { qunsetenv("COMPUTERNAME"); }

    // A job is this computer's only when its whole computer name is this one's, however
    // much of it the names of others share; it is abandoned only when nobody holds its
    // lock and nobody marked it alive for the threshold. A lock stamped years ahead was
    // not marked alive by anyone: how old it is cannot be told, and it is never alive.
    // What a killed start or listing left (a test folder, a clock probe) goes with this
    // computer's jobs once it is as old, and only when it carries this computer's mark.
    void whoseJobAndHowOld()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const QString mineOld = jobName("A", u'o'), mineYoung = jobName("A", u'y'), mineHeld = jobName("A", u'h');
        const QString othersOld = jobName("A_B"), datedOld = jobName("A_20261209"), mineAhead = jobName("A", u'f');
        for (const QString& name : {mineOld, mineYoung, mineHeld, othersOld, datedOld, mineAhead}) {
            env.makeFile("upload/" + name + ".lck", "LOCK");
            env.makeFile("upload/" + name + ".dir/f", "data");
            if (name != mineYoung)
                QVERIFY(makeOld(env.upload() + '/' + name + ".lck", name == mineAhead ? -10 * 365 * 86400 : 3600));
        }
        const QString probeOld = "11111111111111111111.pvltest", clockOld = "22222222222222222222.pvltime";
        const QString probeYoung = "33333333333333333333.pvltest", probeOthers = "44444444444444444444.pvltest";
        for (const QString& probe : {probeOld, probeYoung, probeOthers})
            env.makeFile("upload/" + probe + "/computer.txt", probe == probeOthers ? "A_B" : "A");
        env.makeFile("upload/" + clockOld, "A");
        for (const QString& old : {probeOld, clockOld, probeOthers})
            QVERIFY(makeOld(env.upload() + '/' + old, 3600));
        const int held = ::open(QFile::encodeName(env.upload() + '/' + mineHeld + ".lck").constData(), O_RDONLY);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);

        const Run jobs = parvela({"jobs", env.upload()});
        QCOMPARE(jobs.code, 0);
        QVERIFY2(jobs.err.isEmpty(), qPrintable(jobs.err));
        for (const QString& expected : {mineOld + "  abandoned", mineYoung + "  incomplete", mineHeld + "  incomplete",
                                        othersOld + "  abandoned", datedOld + "  abandoned",
                                        mineAhead + "  stale?  4 bytes  (its lock is stamped 3153"})
            QVERIFY2(jobs.out.contains(expected), qPrintable(jobs.out));

        const Run listed = parvela({"clean", env.upload()});
        QCOMPARE(listed.out, "would remove: " + mineOld + "\nwould remove: " + probeOld + "\nwould remove: " + clockOld +
                                 "\nGive --yes to remove them.\n");
        QCOMPARE(parvela({"clean", "--yes", "--older-than", "2h", env.upload()}).out,
                 "No abandoned jobs of this computer (A) in " + env.upload() + ".\n");
        const QStringList before = env.uploadEntries();
        // Traced: what is left of a job never stays on disk without its lock.
        const QString trace = env.root() + "/trace";
        const Run cleaned =
            QStandardPaths::findExecutable("strace").isEmpty()
                ? parvela({"clean", "--yes", env.upload()})
                : parvela({"-f", "-o", trace, "-e", "trace=unlinkat,syncfs,fsync", parvelaPath(), "clean", "--yes",
                           env.upload()},
                          {"ASAN_OPTIONS=detect_leaks=0"}, QStandardPaths::findExecutable("strace"));
        QCOMPARE(cleaned.code, 0);
        QCOMPARE(cleaned.out, "removed: " + mineOld + "\nremoved: " + probeOld + "\nremoved: " + clockOld + "\n");
        QString why;
        QVERIFY2(QFile::exists(trace) == false ||
                     removalIsDurableBeforeTheLockGoes(QString::fromLocal8Bit(readAll(trace)), mineOld, &why),
                 qPrintable(why));
        QStringList after = before;
        for (const QString& gone : {mineOld + ".lck", mineOld + ".dir", probeOld, clockOld})
            after.removeAll(gone);
        QCOMPARE(env.uploadEntries(), after);
        ::close(held);
    }

    // clean looks again with the lock in its hand: a lock taken, or marked alive, in
    // the moment between the listing and the removal keeps its job. strace holds clean's
    // second flock (the listing made the first) while the test does that.
    void cleanLooksAgainBeforeItRemoves_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::newRow("a writer takes the lock") << "flock";
        QTest::newRow("a writer on another mount marks it alive") << "touch";
    }
    void cleanLooksAgainBeforeItRemoves()
    {
        QFETCH(QString, meanwhile);
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        const QString name = jobName("A");
        const QString lock = env.makeFile("upload/" + name + ".lck", "LOCK");
        env.makeFile("upload/" + name + ".pvx", "descriptor");
        QVERIFY(makeOld(lock, 3600));
        QProcess clean;
        // strace writes each call as it begins: the second flock's line, unfinished, is
        // the removal's, held for 3 s after the listing's went by.
        const QString trace = env.root() + "/trace";
        startTraced(clean, {"-f", "-o", trace, "-e", "trace=flock", "-e", "inject=flock:delay_enter=3000000:when=2"},
                    {parvelaPath(), "clean", "--yes", env.upload()});
        QVERIFY(clean.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(readAll(trace).count("flock("), 2, 20000);
        int fd = -1;
        if (meanwhile == "flock")
            QVERIFY((fd = ::open(QFile::encodeName(lock).constData(), O_RDONLY)) >= 0 && ::flock(fd, LOCK_EX) == 0);
        else
            QVERIFY(makeOld(lock, 0));
        QVERIFY(clean.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(clean.readAllStandardOutput());
        QCOMPARE(clean.exitCode(), 0);
        QVERIFY2(out.startsWith("left alone: " + name + " ("), qPrintable(out));
        QCOMPARE(env.uploadEntries(), QStringList({name + ".lck", name + ".pvx"}));
        if (fd >= 0)
            ::close(fd);
    }

    // A writer whose lock clean cannot see (another mount of a file system that keeps
    // advisory locks per mount) keeps marking its lock alive: clean through the other
    // mount leaves the job alone, and the writer completes it. Through a bind mount the
    // lock itself is seen held.
    void aLiveWritersJobSurvivesCleanFromAnotherMount_data()
    {
        QTest::addColumn<QString>("clock"); // the writer's, against the share's
        QTest::newRow("the same clock") << QString();
        // Its keep-alive is stamped by the share: a writer whose clock is an hour behind
        // never looks an hour dead.
        QTest::newRow("the writer's clock an hour behind") << QStringLiteral("-1h");
    }
    void aLiveWritersJobSurvivesCleanFromAnotherMount()
    {
        QFETCH(QString, clock);
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        QString why;
        SftpMount writerMount, cleanerMount;
        const QString m1 = env.root() + "/m1", m2 = env.root() + "/m2";
        if (!writerMount.mount(env.upload(), m1, env.root(), &why, clock) || !cleanerMount.mount(env.upload(), m2, env.root(), &why))
            QSKIP(qPrintable(why));
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + m1.toUtf8() + "\r\n");
        const QString source = env.makeFile("big.bin", QByteArray(8 << 20, 'b'));
        // The copy is held for 7 s; the lock is marked alive every 300 ms meanwhile. SFTP
        // keeps whole seconds, so the threshold is 3 s, and clean comes after 4 s.
        QStringList extra{"PARVELA_LOCK_REFRESH_MS=300"}, faked;
        if (!clock.isEmpty()) {
            faked = {"faketime", "-f", clock};
            extra << "FAKETIME_DONT_FAKE_MONOTONIC=1" << "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0";
        }
        std::unique_ptr<QProcess> writer(startHeldSend(env, "copy_file_range", 7000, {source}, extra, faked));
        const QString lock = waitForLock(env.upload(), *writer);
        QVERIFY2(!lock.isEmpty(), qPrintable(writer->readAllStandardError()));
        QTest::qWait(4000);
        const Run clean = parvela({"clean", "--yes", "--older-than", "3s", m2});
        QCOMPARE(clean.code, 0);
        QVERIFY2(clean.out.startsWith("No abandoned jobs"), qPrintable(clean.out + clean.err));
        const Run jobs = parvela({"jobs", "--older-than", "3s", m2});
        QVERIFY2(jobs.out.contains(lock.chopped(4) + "  incomplete"), qPrintable(jobs.out));
        QVERIFY(writer->waitForFinished(60000));
        QVERIFY2(writer->exitCode() == 0, qPrintable(writer->readAllStandardError()));
        const QString job = lock.chopped(4);
        QCOMPARE(jobFilesOnceClosed(env.upload()), QStringList({job + ".dir", job + ".msg", job + ".pvx"}));
        QCOMPARE(readAll(env.upload() + '/' + job + ".dir/big.bin").size(), 8 << 20);
    }

    // A job another program removes through another mount while it is written: its
    // writer names nothing as left, since nothing is, though its own mount still shows
    // the names it saw a moment ago.
    void aJobRemovedThroughAnotherMountIsNotNamedAsLeft()
    {
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        QString why;
        SftpMount writerMount, otherMount;
        const QString m1 = env.root() + "/m1", m2 = env.root() + "/m2";
        if (!writerMount.mount(env.upload(), m1, env.root(), &why, {}, true) ||
            !otherMount.mount(env.upload(), m2, env.root(), &why))
            QSKIP(qPrintable(why));
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + m1.toUtf8() + "\r\n");
        std::unique_ptr<QProcess> writer(
            startHeldSend(env, "copy_file_range", 3000, {env.makeFile("big.bin", QByteArray(1 << 20, 'b'))}));
        const QString lock = waitForLock(env.upload(), *writer);
        QVERIFY(!lock.isEmpty());
        // Its copy has begun (and is held): the job folder and the file in it are made.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m2 + '/' + lock.chopped(4) + ".dir/big.bin"), 20000);
        // The writer's mount has seen every entry a moment ago, and keeps what it saw.
        for (const QString& entry : entriesOf(m1))
            QVERIFY(QFileInfo::exists(m1 + '/' + entry));
        for (const QString& entry : entriesOf(m2))
            QVERIFY(QFileInfo(m2 + '/' + entry).isDir() ? QDir(m2 + '/' + entry).removeRecursively() : QFile::remove(m2 + '/' + entry));
        QVERIFY(writer->waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(writer->readAllStandardError());
        QCOMPARE(writer->exitCode(), 2);
        QVERIFY2(err.endsWith("\nThe job was removed from the upload folder.\n"), qPrintable(err));
        QCOMPARE(jobFilesOnceClosed(env.upload()), QStringList());
    }

    // A share that stops answering in the middle of a copy: send on a terminal says so
    // after 10 s and goes on counting; Ctrl-C is taken then and carried out once the
    // share answers again, the job removed, lock last.
    void aShareThatStallsIsSaidSo()
    {
        if (QStandardPaths::findExecutable("strace").isEmpty() || QStandardPaths::findExecutable("script").isEmpty())
            QSKIP("strace or script is not installed");
        TestEnv env;
        QString why;
        SftpMount share;
        const QString mount = env.root() + "/share";
        if (!share.mount(env.upload(), mount, env.root(), &why))
            QSKIP(qPrintable(why));
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + mount.toUtf8() + "\r\n");
        const QString source = env.makeFile("big.bin", QByteArray(8 << 20, 'b'));
        // On a terminal (script gives it one); strace holds the copy while the share stops.
        QProcess terminal;
        terminal.setProgram("script");
        terminal.setArguments({"-qfec",
                               QStringList{"strace", "-f", "-o", "/dev/null", "-e",
                                           "inject=copy_file_range:delay_enter=2000000:when=1", parvelaPath(), "send",
                                           "--policy", env.policyPath(), "--to", "a@b", "--yes", "--parallel", "1",
                                           source}
                                   .join(' '),
                               "/dev/null"});
        terminal.setProcessEnvironment(tracedEnvironment());
        terminal.start();
        QVERIFY(terminal.waitForStarted());
        const QString lock = waitForLock(env.upload(), terminal);
        QVERIFY(!lock.isEmpty());
        QVERIFY(::kill(pid_t(share.serverPid()), SIGSTOP) == 0);
        QString seen;
        QTRY_VERIFY2_WITH_TIMEOUT((seen += QString::fromLocal8Bit(terminal.readAllStandardOutput()))
                                      .contains("The upload folder has not answered for 11 s"),
                                  qPrintable(seen.right(600).replace(u'\r', u' ')), 30000);
        const qint64 sender = parvelaBelow(terminal.processId());
        QVERIFY(sender > 0);
        QVERIFY(::kill(pid_t(sender), SIGINT) == 0);
        QTest::qWait(500);
        QCOMPARE(env.uploadEntries().filter(".lck").size(), 1); // still waiting for the share
        QVERIFY(::kill(pid_t(share.serverPid()), SIGCONT) == 0);
        QVERIFY(terminal.waitForFinished(60000));
        seen += QString::fromLocal8Bit(terminal.readAllStandardOutput());
        QVERIFY2(seen.contains("parvela: Interrupted (SIGINT).\r\nThe job was removed from the upload folder."),
                 qPrintable(seen));
        QCOMPARE(jobFilesOnceClosed(env.upload()), QStringList());
    }

    // Links planted in the upload folder are never followed: a job folder that is a
    // link to the root is not walked, one that leads to the user's files does not
    // count them, and clean takes the link away, never what it leads to.
    void nothingInTheFolderIsFollowed()
    {
        TestEnv env;
        const QString toRoot = jobName("A", u'r'), toUser = jobName("A", u'u');
        const QString own = env.makeFile("home/own.txt", QByteArray(5000, 'o'));
        QVERIFY(QFile::link("/", env.upload() + '/' + toRoot + ".dir"));
        QVERIFY(QFile::link(env.root() + "/home", env.upload() + '/' + toUser + ".dir"));
        QVERIFY(QFile::link(own, env.upload() + '/' + toUser + ".pvx"));
        for (const QString& name : {toRoot, toUser}) {
            env.makeFile("upload/" + name + ".lck", "LOCK");
            QVERIFY(makeOld(env.upload() + '/' + name + ".lck", 3600));
        }
        const Run jobs = parvela({"jobs", "--json", env.upload()});
        QVERIFY(jobs.ms < 10000);
        const QJsonArray all = QJsonDocument::fromJson(jobs.out.toUtf8()).array();
        QCOMPARE(all.size(), 2);
        for (const auto& v : all) {
            const QJsonObject o = v.toObject();
            QCOMPARE(o["bytes"].toInt(), 0);
            QVERIFY2(o["problem"].toString().contains(o["name"].toString() + ".dir is not a job folder (link)"),
                     qPrintable(o["problem"].toString()));
        }
        QVERIFY(all[1].toObject()["problem"].toString().contains(toUser + ".pvx is not a job descriptor (link)"));
        const Run cleaned = parvela({"clean", "--yes", env.upload()});
        QCOMPARE(cleaned.out, "removed: " + toRoot + "\nremoved: " + toUser + "\n");
        QVERIFY(env.uploadEntries().isEmpty());
        QCOMPARE(readAll(own), QByteArray(5000, 'o'));
    }

    // Names and descriptor fields are a stranger's text: what reaches the terminal has
    // its control characters escaped, and JSON keeps them as JSON escapes.
    void namesAndFieldsReachTheTerminalEscaped()
    {
        TestEnv env;
        const QString title = QStringLiteral("PV_X_2_\x1b]0;PWNED\x07\x1b[2J");
        const QString forged = QStringLiteral("PV_Y\nPV_Z  complete");
        // A descriptor that breaks a rule of the record is broken, whatever else it has.
        env.makeFile("upload/" + title + ".pvx", expectedRecord({.encrypted = "GARBAGE"}));
        JobDescriptor d;
        d.recipients = QStringList{QStringLiteral("a@b\r\nBcc: evil@x")};
        d.subject = QStringLiteral("\x1b[31mred\\");
        d.expireHours = QStringLiteral("48");
        const QString descriptor = env.makeFile("upload/" + forged + ".pvx", EncodeJobDescriptor(d));

        const Run jobs = parvela({"jobs", env.upload()});
        QCOMPARE(jobs.code, 0);
        const QStringList lines = jobs.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        for (const QChar c : jobs.out)
            QVERIFY2(c == u'\n' || c.unicode() >= 0x20, qPrintable(jobs.out));
        QVERIFY2(lines[0].startsWith("PV_X_2_\\e]0;PWNED\\x07\\e[2J  broken") &&
                     lines[0].contains("invalid descriptor: the encryption field holds \"GARBAGE\", not ENABLED or DISABLED)"),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith("PV_Y\\nPV_Z  complete  broken  to: a@b\\r\\nBcc: evil@x  subject: \\e[31mred\\\\"),
                 qPrintable(lines[1]));

        const QJsonArray all = QJsonDocument::fromJson(parvela({"jobs", "--json", env.upload()}).out.toUtf8()).array();
        QCOMPARE(all[1].toObject()["name"].toString(), forged);
        QCOMPARE(all[1].toObject()["subject"].toString(), d.subject);

        const Run check = parvela({"check", descriptor});
        QVERIFY2(check.out.contains("recipient 0: a@b\\r\\nBcc: evil@x\n"), qPrintable(check.out));
        QVERIFY(check.out.contains("subject: \\e[31mred\\\\\n"));
    }

    // A reader that goes away (send ... | head -1) does not stop a job: the lines it
    // would have read are dropped, the job completes, and the exit code is the job's.
    void aClosedOutputDoesNotStopAJob()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const QString file = env.makeFile("f.bin", QByteArray(1 << 20, 'f'));
        int pipe[2];
        QVERIFY(::pipe(pipe) == 0);
        ::close(pipe[0]); // nobody reads: the first line written breaks the pipe
        QProcess p;
        p.setProgram(parvelaPath());
        p.setArguments({"send", "--policy", env.policyPath(), "--to", "a@b", "--yes", file});
        p.setStandardInputFile(QProcess::nullDevice());
        p.setChildProcessModifier([fd = pipe[1]] { ::dup2(fd, STDOUT_FILENO); });
        p.start();
        QVERIFY(p.waitForFinished(60000));
        ::close(pipe[1]);
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QStringList entries = env.uploadEntries();
        QCOMPARE(entries.size(), 3);
        QVERIFY(entries.filter(".lck").isEmpty());
    }

    // A stop signal ignored when the tool started (nohup) stays ignored: the job goes on.
    // One that comes while the start-up's test folder is there ends the tool only once
    // the test folder is gone again; a tool killed outright leaves it, marked as this
    // computer's, and clean takes it away.
    void signalsAroundAJob_data()
    {
        QTest::addColumn<QStringList>("wrapper");
        QTest::addColumn<QString>("held");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("killed"); // ends by the signal
        QTest::addColumn<int>("entries"); // left in the upload folder
        QTest::newRow("SIGHUP under nohup, during the copy")
            << QStringList{"nohup"} << "copy_file_range" << int(SIGHUP) << false << 3;
        QTest::newRow("SIGHUP while the test folder is made") << QStringList() << "mkdirat" << int(SIGHUP) << true << 0;
        QTest::newRow("SIGKILL while the test folder goes") << QStringList() << "unlinkat" << int(SIGKILL) << true << 1;
    }
    void signalsAroundAJob()
    {
        QFETCH(QStringList, wrapper);
        QFETCH(QString, held);
        QFETCH(int, signal);
        QFETCH(bool, killed);
        QFETCH(int, entries);
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        env.writeDefaultPolicy();
        const QString trace = env.root() + "/trace";
        QProcess p;
        startTraced(p, {"-f", "-o", trace, "-e", "trace=" + held, "-e", "inject=" + held + ":delay_enter=1500000:when=1"},
                    wrapper + QStringList{parvelaPath(), "send", "--policy", env.policyPath(), "--to", "a@b", "--yes",
                                          env.makeFile("f.bin", QByteArray(1 << 20, 'f'))});
        QVERIFY(p.waitForStarted() && waitForHeldCall(trace, held, p));
        QCOMPARE(::kill(pid_t(parvelaBelow(p.processId())), signal), 0);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus() == QProcess::CrashExit || p.exitCode() > 128, killed);
        const QStringList left = env.uploadEntries();
        QCOMPARE(left.size(), entries);
        if (entries == 1) {
            QVERIFY2(left.first().endsWith(".pvltest"), qPrintable(left.first()));
            QCOMPARE(parvela({"clean", "--yes", "--older-than", "0s", env.upload()}).out, "removed: " + left.first() + "\n");
            QCOMPARE(env.uploadEntries(), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_sharedfolder.moc"
