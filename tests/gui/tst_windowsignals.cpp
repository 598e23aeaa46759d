// The window program told to stop while it writes a job (the session's terminal closes,
// the user logs out, someone kills it): a real process, a real signal at a real moment
// (strace holds its copy), and the job is taken away again before the program ends.
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

class TestWindowSignals : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSignalDuringTheCopyRemovesTheJob_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("name");
        QTest::newRow("SIGTERM (log out, shut down)") << int(SIGTERM) << "SIGTERM";
        QTest::newRow("SIGHUP (the terminal closes)") << int(SIGHUP) << "SIGHUP";
        QTest::newRow("SIGINT (Ctrl-C)") << int(SIGINT) << "SIGINT";
    }
    void aSignalDuringTheCopyRemovesTheJob()
    {
        QFETCH(int, signal);
        QFETCH(QString, name);
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        env.writeDefaultPolicy();
        const QString source = env.makeFile("src/big.bin", QByteArray(32 << 20, 'b'));
        QProcess window;
        const QString trace = env.root() + "/trace";
        startTraced(window,
                    {"-f", "-o", trace, "-e", "trace=copy_file_range", "-e",
                     "inject=copy_file_range:delay_enter=2000000:when=1"},
                    {QCoreApplication::applicationDirPath() + "/window_job", env.programPath(), source});
        QVERIFY(window.waitForStarted());
        QString lock;
        QElapsedTimer clock;
        clock.start();
        while (lock.isEmpty() && clock.elapsed() < 20000 && window.state() == QProcess::Running) {
            lock = QDir(env.upload()).entryList({"*.lck"}).value(0);
            QTest::qWait(20);
        }
        QVERIFY2(!lock.isEmpty(), qPrintable(window.readAllStandardError()));
        const qint64 pid = readAll(QStringLiteral("/proc/%1/task/%1/children").arg(window.processId()))
                               .trimmed()
                               .split(' ')
                               .first()
                               .toLongLong();
        // The signal comes while the copy is held, however busy the machine is: strace
        // writes a call's line as it begins.
        clock.restart();
        while (!readAll(trace).contains("copy_file_range(") && clock.elapsed() < 20000)
            QTest::qWait(5);
        QVERIFY(readAll(trace).contains("copy_file_range("));
        QVERIFY(::kill(pid_t(pid), signal) == 0);
        QVERIFY(window.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(window.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("Interrupted (%1).\nThe job was removed from the upload folder.").arg(name)),
                 qPrintable(err));
        QVERIFY(window.exitStatus() == QProcess::CrashExit || window.exitCode() > 128); // ended by its signal
        QCOMPARE(QDir(env.upload()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestWindowSignals)
#include "tst_windowsignals.moc"
