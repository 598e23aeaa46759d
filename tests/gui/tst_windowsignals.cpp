// The window program told to stop while it writes a job (the session's terminal closes,
// the user logs out, someone kills it): a real process, a real signal at a real moment
// (strace holds its copy), and the job is taken away again before the program ends.
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

class TestWindowSignals : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // While the copy runs (strace holds it), the job is taken away again. A question
    // waiting for an answer does not put a stop off: the settings are kept as Quit keeps
    // them, and no job is begun, or the one written stays. The program ends as the
    // signal asked.
    void aSignalEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("question"); // empty: none, the copy is held
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("jobEntries"); // what stays in the upload folder
        QTest::newRow("copy, SIGTERM (log out, shut down)") << QByteArray() << int(SIGTERM) << "SIGTERM" << 0;
        QTest::newRow("copy, SIGHUP (the terminal closes)") << QByteArray() << int(SIGHUP) << "SIGHUP" << 0;
        QTest::newRow("copy, SIGINT (Ctrl-C)") << QByteArray() << int(SIGINT) << "SIGINT" << 0;
        QTest::newRow("are you sure, SIGTERM") << QByteArray("confirm") << int(SIGTERM) << "SIGTERM" << 0;
        QTest::newRow("what next, SIGTERM") << QByteArray("after") << int(SIGTERM) << "SIGTERM" << 3;
    }
    void aSignalEndsTheProgram()
    {
        QFETCH(QByteArray, question);
        QFETCH(int, signal);
        QFETCH(QString, name);
        QFETCH(int, jobEntries);
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        env.writeDefaultPolicy();
        const QString source = env.makeFile("src/big.bin", QByteArray(32 << 20, 'b'));
        QProcess window;
        window.setReadChannel(QProcess::StandardError);
        const QString trace = env.root() + "/trace";
        QStringList straceArgs{"-f", "-o", trace, "-e", "trace=copy_file_range"};
        if (question.isEmpty())
            straceArgs << "-e" << "inject=copy_file_range:delay_enter=2000000:when=1";
        startTraced(window, straceArgs, {QCoreApplication::applicationDirPath() + "/window_job", env.programPath(), source},
                    {"WINDOW_JOB_ASK=" + QString::fromLatin1(question)});
        QVERIFY(window.waitForStarted());
        // The signal comes while the copy is held or the question waits, however busy the
        // machine is: strace writes a call's line as it begins.
        const auto ready = [&] {
            return question.isEmpty() ? readAll(trace).contains("copy_file_range(") : window.peek(1 << 20).contains("question up");
        };
        QVERIFY2(QTest::qWaitFor(ready, 20000), qPrintable(window.readAllStandardError()));
        const qint64 pid = readAll(QStringLiteral("/proc/%1/task/%1/children").arg(window.processId()))
                               .trimmed().split(' ').first().toLongLong();
        const QDateTime before = QDateTime::currentDateTime();
        QVERIFY(::kill(pid_t(pid), signal) == 0);
        QVERIFY(window.waitForFinished(60000));
        QVERIFY(window.exitStatus() == QProcess::CrashExit || window.exitCode() > 128); // ended by its signal
        const QString err = QString::fromLocal8Bit(window.readAllStandardError());
        const QString removed = QStringLiteral("Interrupted (%1).\nThe job was removed from the upload folder.").arg(name);
        QVERIFY2(err.contains(removed) == question.isEmpty(), qPrintable(err));
        QCOMPARE(env.uploadEntries().size(), jobEntries);
        QVERIFY(env.uploadEntries().filter(".lck").isEmpty());
        QVERIFY(question.isEmpty() || QFileInfo(env.registryPath()).lastModified() >= before);
    }
};

QTEST_GUILESS_MAIN(TestWindowSignals)
#include "tst_windowsignals.moc"
