// What Windows does its own way: the settings are values of the user's registry key,
// a job's lock is held through the sharing of its open file, and paths are written
// with backslashes. Built for Windows only (tests/CMakeLists.txt).
#include "config/Paths.h"
#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "platform/StopSignals.h"
#include "platform/UserRegistry.h"

#include "../cli/ParvelaRun.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QTest>

#include <windows.h>

namespace {

// A file of 1,000 MB (within the 1,024 MB the default policy allows): its copy takes a
// while, long enough to be stopped once the job's lock is there.
QString bigFile(const TestEnv& env)
{
    const QString big = env.root() + "/big.bin";
    QFile f(big);
    return f.open(QIODevice::WriteOnly) && f.resize(qint64(1000) << 20) ? big : QString();
}

// Sends message to each visible top-level window of a process, as the system sends the
// session's end; returns their answers.
QList<LRESULT> askWindows(qint64 pid, UINT message, WPARAM wParam)
{
    QList<HWND> windows;
    ::EnumWindows([](HWND window, LPARAM list) { return reinterpret_cast<QList<HWND>*>(list)->append(window), TRUE; },
                  LPARAM(&windows));
    QList<LRESULT> answers;
    for (HWND window : windows) {
        DWORD owner = 0;
        DWORD_PTR answer = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == DWORD(pid) && ::IsWindowVisible(window) &&
            ::SendMessageTimeoutW(window, message, wParam, ENDSESSION_LOGOFF, SMTO_BLOCK, 20000, &answer))
            answers << LRESULT(answer);
    }
    return answers;
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The store is the user's registry key: nothing before the first write, names in
    // any letter case, and texts as Windows-1252 can hold them.
    void theSettingsAreTheUsersRegistryValues()
    {
        QCOMPARE(UserRegistry::open()->location(), QStringLiteral("HKEY_CURRENT_USER\\Software\\TROVIK\\PVX2007"));
        const TestEnv env; // its programs' store: a key of the tests' own, gone before and after
        const auto store = env.programStore();
        QVERIFY(!store->keyExists());
        QCOMPARE(store->read(QStringLiteral("LANGUAGE")), QString());
        store->write(QStringLiteral("LANGUAGE"), QStringLiteral("DEUTSCH"));
        store->write(QStringLiteral("SenderName"), QStringLiteral("Ann \u00C5str\u00F6m \u0141\u20AC"));
        QVERIFY(store->keyExists());
        QCOMPARE(store->read(QStringLiteral("language")), QStringLiteral("DEUTSCH"));
        // The value as the system keeps it, a string.
        wchar_t raw[256];
        DWORD size = sizeof raw;
        QCOMPARE(::RegGetValueW(HKEY_CURRENT_USER, store->location().mid(18).toStdWString().c_str(), L"SENDERNAME",
                                RRF_RT_REG_SZ, nullptr, raw, &size), LSTATUS(ERROR_SUCCESS));
        QCOMPARE(QString::fromWCharArray(raw), QStringLiteral("Ann \u00C5str\u00F6m ?\u20AC"));
        QCOMPARE(UserRegistry::open(store->location())->read(QStringLiteral("Language")), QStringLiteral("DEUTSCH"));
    }

    // A writer's lock cannot be removed by anyone while it is held: not through
    // another handle, not by parvela clean in another process however old the job
    // is; readers tell it held. Its writer removes it, and a lock nobody holds is free.
    void aHeldLockStaysWhateverOthersDo()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const Run sent = parvela({"send", "--policy", env.policyPath(), "--to", "ann@example.org", "--yes",
                                  env.makeFile("a.txt", "a")});
        QVERIFY2(sent.code == 0, qPrintable(sent.err));
        const QString job = env.jobs().value(0);
        const filetree::FileSystem& fs = filetree::native();
        const auto upload = fs.openFolder(QFile::encodeName(env.upload()));
        const QByteArray lockName = QFile::encodeName(job + ".lck");
        auto lock = fs.createLock(*upload, lockName, "1");
        const QStringList written = env.uploadEntries();
        QCOMPARE(fs.probeLock(*upload, lockName, nullptr), filetree::LockProbe::Held);
        QVERIFY(!QFile::remove(env.upload() + "/" + job + ".lck"));
        const Run clean = parvela({"clean", "--policy", env.policyPath(), "--older-than", "0s", "--yes"});
        QCOMPARE(env.uploadEntries(), written);
        QVERIFY2(clean.code == 0, qPrintable(clean.out + clean.err));
        QCOMPARE(fs.removeLock(*upload, lockName, std::move(lock)), QString());
        QVERIFY(!env.uploadEntries().contains(job + ".lck"));
        lock = fs.createLock(*upload, lockName, "1");
        lock.reset(); // its writer gone without removing it
        QCOMPARE(fs.probeLock(*upload, lockName, nullptr), filetree::LockProbe::Free);
    }

    // A folder written with backslashes keeps them: the separator added to it, the
    // data folder, and the tool's messages (single, not escaped).
    void pathsWithBackslashes()
    {
        QCOMPARE(WithTrailingSeparator(QStringLiteral("C:\\Users\\ann")), QStringLiteral("C:\\Users\\ann\\"));
        QCOMPARE(WithTrailingSeparator(QStringLiteral("C:/Users/ann")), QStringLiteral("C:/Users/ann/"));
        QCOMPARE(WithTrailingSeparator(QStringLiteral("\\\\server\\share")), QStringLiteral("\\\\server\\share\\"));
        TestEnv env;
        const QString appData = QDir::toNativeSeparators(env.appData());
        qputenv("APPDATA", appData.toUtf8());
        QCOMPARE(UserDataFolderPath(), appData + QStringLiteral("\\Parvela\\"));
        const QString upload = QDir::toNativeSeparators(env.upload());
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + upload.toUtf8() + "\r\n[POLICIES]\r\n");
        const Run sent = parvela({"send", "--policy", env.policyPath(), "--to", "ann@example.org", "--yes",
                                  QDir::toNativeSeparators(env.makeFile("b.txt", "b"))});
        QVERIFY2(sent.code == 0, qPrintable(sent.err));
        QCOMPARE(env.jobs().size(), 1);
        const Run clean = parvela({"clean", "--policy", env.policyPath()});
        QVERIFY2(clean.out.contains(QStringLiteral(" in %1.").arg(upload)), qPrintable(clean.out));
    }

    // A file put in the place of one the copy planned, with the same size and times,
    // is refused: its file ID tells (Windows' change time is its write time). Held open
    // while it is copied, the planned file cannot be replaced then.
    void aFileReplacedSinceItWasPlannedIsRefused()
    {
        TestEnv env;
        const QString planned = env.makeFile("src/a.bin", QByteArray(1000, 'a'));
        const filetree::FileSystem& fs = filetree::native();
        const filetree::Status before = fs.status(QFile::encodeName(planned));
        const QString other = env.makeFile("src/b.bin", QByteArray(1000, 'b'));
        {
            QFile f(other);
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::fromMSecsSinceEpoch(before.mtime / 1000000), QFileDevice::FileModificationTime));
        }
        const auto native = [](const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); };
        QVERIFY(::MoveFileExW(native(other).c_str(), native(planned).c_str(), MOVEFILE_REPLACE_EXISTING));
        const filetree::Status after = fs.status(QFile::encodeName(planned));
        QVERIFY(after.size == before.size && after.mtime == before.mtime && after.ctime == before.ctime);
        const auto upload = fs.openFolder(QFile::encodeName(env.upload()));
        QVERIFY_THROWS_EXCEPTION(filetree::SourceChanged, fs.copyFile(QFile::encodeName(planned), before, *upload, "a.bin", {}));
        QVERIFY(!QFile::exists(env.upload() + "/a.bin"));
        bool replacedMeanwhile = true;
        QVERIFY(fs.copyFile(QFile::encodeName(planned), after, *upload, "a.bin", [&](qint64) {
            replacedMeanwhile = ::MoveFileExW(native(env.makeFile("src/c.bin", QByteArray(1000, 'c'))).c_str(),
                                              native(planned).c_str(), MOVEFILE_REPLACE_EXISTING);
            return true;
        }));
        QVERIFY(!replacedMeanwhile);
        QCOMPARE(readAll(env.upload() + "/a.bin"), QByteArray(1000, 'b'));
    }

    // An upload folder on a share, \\server\share\folder\, is named as given, with
    // single backslashes, and counts as remote. (Wine serves no shares: the names are
    // tried, a share is not.)
    void aShareIsNamedAsGiven()
    {
        const filetree::FileSystem& fs = filetree::native();
        for (const char* share : {R"(\\server\share\upload\)", R"(\\?\UNC\server\share\upload)", "//server/share/upload"})
            QVERIFY2(fs.isRemote(share), share);
        for (const char* local : {R"(C:\upload)", R"(\\?\C:\upload)"})
            QVERIFY2(!fs.isRemote(local), local);
        TestEnv env;
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=\\\\nohost\\share\\upload\\\r\n[POLICIES]\r\n");
        const Run sent = parvela({"send", "--policy", env.policyPath(), "--to", "ann@example.org", "--yes",
                                  env.makeFile("a.txt", "a")});
        QCOMPARE(sent.code, 2);
        QVERIFY2(sent.err.contains(QStringLiteral("Upload path (\\\\nohost\\share\\upload\\) error")), qPrintable(sent.err));
    }

    // Paths longer than the old 260 characters, the source's and the copy's, with the
    // upload folder written as it is or with the \\?\ prefix that lifts the limit (the
    // upload folder itself keeps to its 250 characters).
    void longPaths_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("as it is") << QString();
        QTest::newRow("with \\\\?\\") << QStringLiteral("\\\\?\\");
    }
    void longPaths()
    {
        QFETCH(QString, prefix);
        TestEnv env;
        const QString deep = QStringList(6, QString(50, u'd')).join(u'/');
        const QString file = env.makeFile("src/" + deep + "/f.txt", "deep");
        QVERIFY(file.size() > 300);
        const QString upload = env.upload() + u'/' + QString(50, u'u');
        QVERIFY(QDir().mkpath(upload));
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + (prefix + QDir::toNativeSeparators(upload)).toUtf8() +
                        "\r\n[POLICIES]\r\n");
        const Run sent = parvela({"send", "--policy", env.policyPath(), "--to", "ann@example.org", "--yes",
                                  QDir::toNativeSeparators(env.root() + "/src")});
        QVERIFY2(sent.code == 0, qPrintable(sent.err));
        const QStringList pvx = QDir(upload).entryList({"*.pvx"});
        QCOMPARE(pvx.size(), 1);
        const QString copy = upload + u'/' + pvx[0].chopped(4) + ".dir/src/" + deep + "/f.txt";
        QVERIFY(copy.size() > 400);
        QCOMPARE(readAll(copy), QByteArray("deep"));
    }

    // The console's stop events reach the handler, which notes each as the signal the
    // job's writer answers by taking the job away (the close and the session's end
    // wait for that, up to 4.5 s, before the system ends the process). They come the
    // way the console delivers them: on a thread that runs the process's handlers.
    void consoleEventsAreNoted_data()
    {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("name");
        QTest::newRow("Ctrl+Break") << int(CTRL_BREAK_EVENT) << "Ctrl+Break";
        QTest::newRow("Ctrl+C") << int(CTRL_C_EVENT) << "Ctrl+C";
        QTest::newRow("the console closed") << int(CTRL_CLOSE_EVENT) << "the console closed or the session ended";
        QTest::newRow("the session ends") << int(CTRL_LOGOFF_EVENT) << "the console closed or the session ended";
    }
    void consoleEventsAreNoted()
    {
        QFETCH(int, event);
        QFETCH(QString, name);
        const auto deliver = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            ::GetProcAddress(::GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine"));
        if (!deliver)
            QSKIP("This system has no CtrlRoutine to deliver console events with");
        stopsignals::catchThem();
        QCOMPARE(deliver(LPVOID(quintptr(event))), DWORD(1)); // handled: the process goes on
        QCOMPARE(stopsignals::name(stopsignals::pending()), name);
    }

    // Ctrl+Break (and Ctrl+C, the console's close, the session's end) while parvela
    // send writes a job: the job goes again, lock last, and the tool ends as stopped.
    // The event comes through the console both share, to the tool's own process group.
    void aConsoleStopRemovesTheJob()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const QString big = bigFile(env);
        QVERIFY(!big.isEmpty());
        if (!::GetConsoleWindow() && !::AttachConsole(ATTACH_PARENT_PROCESS))
            ::AllocConsole();
        QProcess p;
        p.setProgram(parvelaPath());
        p.setArguments({"send", "--policy", env.policyPath(), "--to", "ann@example.org", "--yes", big});
        p.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
            args->flags = (args->flags & ~DWORD(CREATE_NO_WINDOW)) | CREATE_NEW_PROCESS_GROUP;
        });
        p.start();
        QVERIFY(p.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return !env.uploadEntries().filter(".lck").isEmpty() || p.state() != QProcess::Running; }, 60000));
        QVERIFY2(p.state() == QProcess::Running,
                 qPrintable("it ended before it could be stopped: " + QString::fromLocal8Bit(p.readAllStandardError())));
        if (!::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, DWORD(p.processId()))) {
            const DWORD error = ::GetLastError();
            p.kill();
            p.waitForFinished();
            QSKIP(qPrintable(QStringLiteral("The console delivers no Ctrl+Break here (error %1; Wine has no console "
                                            "without a terminal): consoleEventsAreNoted tries the handler instead")
                                 .arg(error)));
        }
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.contains("Interrupted (Ctrl+Break).") && err.contains("The job was removed from the upload folder."),
                 qPrintable(err));
        QCOMPARE(quint32(p.exitCode()), quint32(STATUS_CONTROL_C_EXIT));
        QCOMPARE(env.uploadEntries(), QStringList());
    }

    // The desktop session's end, asked of the window program as the system asks it (every
    // top-level window, then WM_ENDSESSION and the process ended at once when all
    // agreed): while a job is written the answer is "not yet", the job goes again, lock
    // last, and the program ends by itself; while the question after a job waits, the
    // settings are saved and the session may end, the written job kept.
    void theSessionsEndWaitsForAJobToGo_data()
    {
        QTest::addColumn<QByteArray>("ask"); // WINDOW_JOB_ASK: empty, the job is written
        QTest::addColumn<bool>("mayEnd");
        QTest::newRow("during the copy") << QByteArray() << false;
        QTest::newRow("what next waits") << QByteArray("after") << true;
    }
    void theSessionsEndWaitsForAJobToGo()
    {
        QFETCH(QByteArray, ask);
        QFETCH(bool, mayEnd);
        TestEnv env;
        env.writeDefaultPolicy();
        const QString source = ask.isEmpty() ? bigFile(env) : env.makeFile("src/a.txt", "a");
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WINDOW_JOB_ASK"), QString::fromLatin1(ask));
        window.setProcessEnvironment(environment);
        window.start(QCoreApplication::applicationDirPath() + "/window_job.exe", {env.programPath(), source});
        QVERIFY(window.waitForStarted());
        QString err;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         err += QString::fromLocal8Bit(window.readAllStandardError());
                         return ask.isEmpty() ? !env.uploadEntries().filter(".lck").isEmpty()
                                              : err.contains("question up");
                     },
                     60000),
                 qPrintable(err));
        // What the program saved before is gone: only a save from now on makes the key again.
        ::RegDeleteTreeW(HKEY_CURRENT_USER, qEnvironmentVariable("PARVELA_SETTINGS_KEY").toStdWString().c_str());
        const QList<LRESULT> answers = askWindows(window.processId(), WM_QUERYENDSESSION, 0);
        QVERIFY(!answers.isEmpty());
        QCOMPARE(!answers.contains(0), mayEnd);
        if (mayEnd) {
            askWindows(window.processId(), WM_ENDSESSION, TRUE);
            window.kill(); // as the system does once the last window has answered
        }
        QVERIFY(window.waitForFinished(60000));
        err += QString::fromLocal8Bit(window.readAllStandardError());
        err.remove(u'\r');
        if (mayEnd) {
            QCOMPARE(env.uploadEntries().size(), 3); // the written job, its lock gone
            QVERIFY(env.uploadEntries().filter(".lck").isEmpty());
            QVERIFY(env.programStore()->keyExists());
        } else {
            QVERIFY2(err.contains("The desktop session is ending.\nThe job was removed from the upload folder."),
                     qPrintable(err));
            QCOMPARE(window.exitCode(), 0);
            QCOMPARE(env.uploadEntries(), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestWindows)
#include "tst_windows.moc"
