// What Windows does its own way: the settings are values of the user's registry key,
// a job's lock is held through the sharing of its open file, and paths are written
// with backslashes. Built for Windows only (tests/CMakeLists.txt).
#include "config/Paths.h"
#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "platform/UserRegistry.h"

#include "../cli/ParvelaRun.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QTest>

#include <windows.h>

namespace {

// A key of the test's own below HKEY_CURRENT_USER, gone before and after.
class TestKey {
public:
    TestKey() : m_key(QStringLiteral("Software\\ParvelaTests\\%1").arg(QCoreApplication::applicationPid())) { drop(); }
    ~TestKey() { drop(); }
    const QString& name() const { return m_key; }
    // The value as the system keeps it; empty when it is no string.
    QString raw(const QString& value) const
    {
        wchar_t buffer[256];
        DWORD size = sizeof buffer;
        const LSTATUS rc = ::RegGetValueW(HKEY_CURRENT_USER, m_key.toStdWString().c_str(),
                                          value.toStdWString().c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size);
        return rc == ERROR_SUCCESS ? QString::fromWCharArray(buffer) : QString();
    }

private:
    void drop() { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.toStdWString().c_str()); }
    QString m_key;
};

} // namespace

class TestWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The store is the user's registry key: nothing before the first write, names in
    // any letter case, and texts as Windows-1252 can hold them.
    void theSettingsAreTheUsersRegistryValues()
    {
        QCOMPARE(UserRegistry::open()->location(), QStringLiteral("HKEY_CURRENT_USER\\Software\\TROVIK\\PVX2007"));
        const TestKey key;
        const auto store = UserRegistry::open(key.name());
        QVERIFY(!store->keyExists());
        QCOMPARE(store->read(QStringLiteral("LANGUAGE")), QString());
        store->write(QStringLiteral("LANGUAGE"), QStringLiteral("DEUTSCH"));
        store->write(QStringLiteral("SenderName"), QStringLiteral("Ann \u00C5str\u00F6m \u0141\u20AC"));
        QVERIFY(store->keyExists());
        QCOMPARE(store->read(QStringLiteral("language")), QStringLiteral("DEUTSCH"));
        QCOMPARE(key.raw(QStringLiteral("SENDERNAME")), QStringLiteral("Ann \u00C5str\u00F6m ?\u20AC"));
        QCOMPARE(UserRegistry::open(QStringLiteral("HKEY_CURRENT_USER\\") + key.name())->read(QStringLiteral("Language")),
                 QStringLiteral("DEUTSCH"));
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
};

QTEST_GUILESS_MAIN(TestWindows)
#include "tst_windows.moc"
