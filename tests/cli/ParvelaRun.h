#pragma once
// Running the parvela tool as a separate process, as a script would, and what the
// tests of the tool share.
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QDateTime>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <functional>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <psapi.h>
#endif

struct Run {
    int code = -1;
    QString out;
    QString err;
    qint64 ms = 0;
    qint64 peakKb = 0; // the most memory it held (peak resident set / working set), looked at every 50 ms
};


// The most memory process pid has held so far, in KiB; 0 when the system does not tell.
inline qint64 peakKbOf(qint64 pid)
{
#ifdef Q_OS_WIN
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return 0;
    PROCESS_MEMORY_COUNTERS counters{};
    const bool told = ::GetProcessMemoryInfo(process, &counters, sizeof counters);
    ::CloseHandle(process);
    return told ? qint64(counters.PeakWorkingSetSize / 1024) : 0;
#else
    const QByteArray status = readAll(QStringLiteral("/proc/%1/status").arg(pid));
    return status.mid(status.indexOf("VmHWM:") + 6).trimmed().split(' ').value(0).toLongLong();
#endif
}

inline QString parvelaPath()
{
    return qEnvironmentVariable("PARVELA_BIN_DIR") + QStringLiteral("/parvela");
}

// Runs parvela with args; extra holds variables to set for it ("NAME=value"). program
// runs instead of parvela when given (strace, with parvela among args). While it runs,
// during(elapsed ms) is called every 50 ms.
inline Run parvela(const QStringList& args, const QStringList& extra = {}, const QString& program = {},
                   const std::function<void(qint64)>& during = {})
{
    QProcess p;
    p.setProgram(program.isEmpty() ? parvelaPath() : program);
    p.setArguments(args);
    p.setStandardInputFile(QProcess::nullDevice());
    p.setProcessEnvironment(environmentWith(extra));
    QElapsedTimer clock;
    clock.start();
    p.start();
    qint64 peakKb = 0;
    while (!p.waitForFinished(50) && clock.elapsed() < 120000) {
        peakKb = qMax(peakKb, peakKbOf(p.processId()));
        if (during)
            during(clock.elapsed());
    }
    // A Windows console program ends its lines with CR LF, as every text there does.
    const auto text = [](const QByteArray& bytes) {
        QString t = QString::fromLocal8Bit(bytes);
#ifdef Q_OS_WIN
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
        return t;
    };
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, text(p.readAllStandardOutput()),
            text(p.readAllStandardError()), clock.elapsed(), peakKb};
}

// Runs parvela as the user nobody, as root must to see what a user may not read; the
// test's root and upload folder are opened to that user first.
inline Run parvelaAsNobody(const TestEnv& env, const QStringList& args)
{
    const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                      QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    if (!QFile::setPermissions(env.root(), open) ||
        !QFile::setPermissions(env.upload(), open | QFileDevice::WriteGroup | QFileDevice::WriteOther))
        return {};
    return parvela(QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", parvelaPath()} + args, {},
                   QStandardPaths::findExecutable("setpriv"));
}

// Waits until a lock file shows in folder while writer runs; its name, or empty after 20 s.
inline QString waitForLock(const QString& folder, const QProcess& writer)
{
    QString lock;
    const bool ended = QTest::qWaitFor([&] {
        lock = entriesOf(folder).filter(".lck").value(0);
        return !lock.isEmpty() || writer.state() != QProcess::Running;
    }, 20000);
    return ended ? lock : QString();
}

// The parvela process among root's descendants (strace's child, or further down when a
// shell stands between, as script's does when /bin/sh does not exec its last command);
// 0 when there is none yet.
inline qint64 parvelaBelow(qint64 root)
{
    const QString wanted = QFileInfo(parvelaPath()).canonicalFilePath();
    QList<qint64> todo{root};
    while (!todo.isEmpty()) {
        const qint64 pid = todo.takeFirst();
        if (pid != root && QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() == wanted)
            return pid;
        const QByteArray children = readAll(QStringLiteral("/proc/%1/task/%1/children").arg(pid)).trimmed();
        for (const QByteArray& child : children.split(' '))
            if (!child.isEmpty())
                todo.append(child.toLongLong());
    }
    return 0;
}

// Waits until the trace strace writes (-o trace, the call among those traced) shows
// the call begun: strace writes a call's line as it begins, so a call it holds on its
// way in stands there unfinished. False when the process ends or 20 s go by first.
inline bool waitForHeldCall(const QString& trace, const QString& call, const QProcess& process)
{
    const auto held = [&] { return readAll(trace).contains(call.toUtf8() + '('); };
    return QTest::qWaitFor([&] { return held() || process.state() != QProcess::Running; }, 20000) && held();
}

// Whether a trace of system calls (strace -f -e trace=unlinkat,syncfs,fsync) shows the
// removal of a job as it must be: every entry of job gone, then a flush of the file
// system, and only then the lock. Else why not, in *why.
inline bool removalIsDurableBeforeTheLockGoes(const QString& trace, const QString& job, QString* why)
{
    qsizetype lastEntry = -1, flush = -1, lock = -1, i = 0;
    for (const QString& line : trace.split(u'\n')) {
        ++i;
        if (!line.endsWith(QLatin1String("= 0")))
            continue;
        if (line.contains(QLatin1String("unlinkat(")) && line.contains(job + QLatin1String(".lck\"")))
            lock = i;
        else if (line.contains(QLatin1String("unlinkat(")) &&
                 (line.contains(job + QLatin1String(".pvx\"")) || line.contains(job + QLatin1String(".dir\"")) ||
                  line.contains(job + QLatin1String(".msg\""))))
            lastEntry = i;
        else if (line.contains(QLatin1String("syncfs(")) && lastEntry > 0 && lock < 0)
            flush = i;
    }
    *why = QStringLiteral("last entry removed at call %1, flush at %2, lock removed at %3").arg(lastEntry).arg(flush).arg(lock);
    return lastEntry > 0 && flush > lastEntry && lock > flush;
}
