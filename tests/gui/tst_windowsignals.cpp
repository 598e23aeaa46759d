// The window program told to stop while it writes a job (the session's terminal closes,
// the user logs out, someone kills it): a real process, a real signal at a real moment
// (strace holds its copy), and the job is taken away again before the program ends.
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
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

    // A question waiting for an answer does not put a stop off: the settings are kept
    // as Quit keeps them, no job is begun, and the program ends as the signal asked.
    void aSignalWhileAQuestionWaitsEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("question");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("jobEntries"); // what stays in the upload folder
        QTest::newRow("are you sure, SIGTERM") << QByteArray("confirm") << int(SIGTERM) << 0;
        QTest::newRow("what next, SIGTERM") << QByteArray("after") << int(SIGTERM) << 3;
    }
    void aSignalWhileAQuestionWaitsEndsTheProgram()
    {
        QFETCH(QByteArray, question);
        QFETCH(int, signal);
        QFETCH(int, jobEntries);
        TestEnv env;
        env.writeDefaultPolicy();
        const QString source = env.makeFile("src/a.txt", "a");
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WINDOW_JOB_ASK"), QString::fromLatin1(question));
        window.setProcessEnvironment(environment);
        window.start(QCoreApplication::applicationDirPath() + "/window_job", {env.programPath(), source});
        QVERIFY(window.waitForStarted());
        QString err;
        QElapsedTimer clock;
        clock.start();
        while (!err.contains(QStringLiteral("question up")) && clock.elapsed() < 20000 && window.state() == QProcess::Running) {
            window.waitForReadyRead(50);
            err += QString::fromLocal8Bit(window.readAllStandardError());
        }
        QVERIFY2(err.contains(QStringLiteral("question up")), qPrintable(err));
        const QDateTime before = QDateTime::currentDateTime();
        QVERIFY(::kill(pid_t(window.processId()), signal) == 0);
        QVERIFY(window.waitForFinished(10000));
        QVERIFY(window.exitStatus() == QProcess::CrashExit || window.exitCode() > 128); // ended by its signal
        err += QString::fromLocal8Bit(window.readAllStandardError());
        QVERIFY2(!err.contains(QStringLiteral("The job was removed")), qPrintable(err)); // none was begun
        QCOMPARE(QDir(env.upload()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), jobEntries);
        QVERIFY(QDir(env.upload()).entryList({"*.lck"}).isEmpty());
        QVERIFY(QFileInfo(env.registryPath()).lastModified() >= before);
    }
};

QTEST_GUILESS_MAIN(TestWindowSignals)
#include "tst_windowsignals.moc"
