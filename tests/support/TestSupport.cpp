#include "TestSupport.h"

#include "app/Startup.h"
#include "i18n/LanguageTexts.h"
#include "i18n/Languages.h"
#include "platform/Cp1252.h"
#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "platform/portable/UserRegistryFile.h"
#include "spool/JobDescriptor.h"
#include "spool/JobOptions.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/mount.h>
#endif

namespace {
#ifdef Q_OS_WIN
// While a test runs, the programs it starts keep their settings under a key of the tests'
// own, never the user's; it starts and ends empty.
const char kTestsKey[] = "Software\\TROVIK\\PVX2007 tests";
void useTestsStore(bool on)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, QString::fromLatin1(kTestsKey).toStdWString().c_str());
    if (on)
        qputenv("PARVELA_SETTINGS_KEY", kTestsKey);
    else
        qunsetenv("PARVELA_SETTINGS_KEY");
}
#else
void useTestsStore(bool) {} // the programs' store is below the test's own XDG_CONFIG_HOME
#endif
} // namespace

TestEnv::TestEnv()
    : m_oldAppData(qgetenv("APPDATA")), m_oldConfig(qgetenv("XDG_CONFIG_HOME")),
      m_oldSystemPolicy(qgetenv("PARVELA_SYSTEM_POLICY")),
      m_hadSystemPolicy(qEnvironmentVariableIsSet("PARVELA_SYSTEM_POLICY"))
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(appData());
    QDir().mkpath(configHome());
    QDir().mkpath(upload());
    QDir().mkpath(root() + QStringLiteral("/bin"));
    qputenv("APPDATA", appData().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    qputenv("PARVELA_SYSTEM_POLICY", systemPolicyPath().toUtf8());
    useTestsStore(true);
}

TestEnv::~TestEnv()
{
    qputenv("APPDATA", m_oldAppData);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    if (m_hadSystemPolicy)
        qputenv("PARVELA_SYSTEM_POLICY", m_oldSystemPolicy);
    else
        qunsetenv("PARVELA_SYSTEM_POLICY");
    useTestsStore(false);
}

void TestEnv::writePolicy(const QByteArray& content) const
{
    QFile f(policyPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

void TestEnv::writeDefaultPolicy(const QByteArray& policies) const
{
    writePolicy("[Settings]\r\nSERVERUPLOAD=" + upload().toUtf8() + "\r\n[POLICIES]\r\n" + policies);
}

std::unique_ptr<Client> TestEnv::makeClient() const
{
    auto client = std::make_unique<Client>();
    client->programPath = programPath();
    client->registry = std::make_unique<UserRegistryFile>(registryPath());
    // The picker lists the test's own vCard file, never the machine's address book.
    client->addressBook = nullptr;
    return client;
}

std::unique_ptr<Client> TestEnv::startedClient() const
{
    writeDefaultPolicy();
    auto client = makeClient();
    StartClient(*client);
    client->texts.load(kEnglish, kProductTitle, kVersionText);
    client->form.setExpireText(QStringLiteral("48"));
    return client;
}

std::unique_ptr<Client> TestEnv::windowClient() const
{
    auto client = makeClient();
    ConnectOptionStores(*client);
    StartClient(*client);
    return client;
}

void TestEnv::store(const QList<std::pair<QString, QString>>& values) const
{
    const auto registry = std::make_unique<UserRegistryFile>(registryPath());
    for (const auto& [name, value] : values)
        registry->write(name, value);
}

std::unique_ptr<UserRegistry> TestEnv::programStore() const
{
    return UserRegistry::open(); // below XDG_CONFIG_HOME (registryPath()) on POSIX systems
}

void TestEnv::storeForPrograms(const QList<std::pair<QString, QString>>& values) const
{
    const auto registry = programStore();
    for (const auto& [name, value] : values)
        registry->write(name, value);
}

QByteArray TestEnv::programSettings() const
{
#ifdef Q_OS_WIN
    QSettings store(programStore()->location(), QSettings::NativeFormat);
    QByteArray lines;
    for (const QString& name : store.allKeys())
        lines += name.toUtf8() + '=' + store.value(name).toString().toUtf8() + '\n';
    return lines;
#else
    return readAll(registryPath());
#endif
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden, QDir::Name);
}

QStringList TestEnv::uploadEntries() const
{
    return entriesOf(upload());
}

QStringList TestEnv::jobs() const
{
    QStringList names = QDir(upload()).entryList({QStringLiteral("*.pvx")}, QDir::Files, QDir::Name);
    for (QString& name : names)
        name.chop(4);
    return names;
}

void TestEnv::takeJob(const QString& name) const
{
    for (const char* ext : {".pvx", ".msg"})
        QFile::remove(upload() + u'/' + name + QLatin1String(ext));
    QDir(upload() + u'/' + name + QStringLiteral(".dir")).removeRecursively();
}

SentRecord sentRecord(const QString& name, const QString& uploadFolder, SentOutcome outcome, const QDateTime& started)
{
    SentRecord r;
    r.name = name;
    r.uploadFolder = uploadFolder;
    r.started = started;
    r.outcome = outcome;
    r.recipients = {QStringLiteral("ann@example.org")};
    r.subject = QStringLiteral("Plans");
    return r;
}

bool setImmutable(const QString& path, bool on)
{
    return QProcess::execute(QStringLiteral("chattr"), {on ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

QString languageKeys()
{
    QStringList keys;
    for (const LanguageRecord& language : AllLanguages())
        keys << language.key;
    return keys.join(QStringLiteral(", "));
}

QProcessEnvironment environmentWith(const QStringList& extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& v : extra)
        environment.insert(v.section(u'=', 0, 0), v.section(u'=', 1));
    return environment;
}

QProcessEnvironment tracedEnvironment(const QStringList& extra)
{
    return environmentWith(QStringList{"ASAN_OPTIONS=" + qEnvironmentVariable("ASAN_OPTIONS") + ":detect_leaks=0"} + extra);
}

void startTraced(QProcess& process, const QStringList& straceArgs, const QStringList& command,
                 const QStringList& extra)
{
    process.setProgram(QStandardPaths::findExecutable(QStringLiteral("strace")));
    process.setArguments(straceArgs + command);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessEnvironment(tracedEnvironment(extra));
    process.start();
}

QString TestEnv::makeFile(const QString& relativePath, const QByteArray& content) const
{
    const QString path = root() + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return path;
}

int exitCodeOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const ProcessExit& e) {
        return e.code;
    }
    return -1;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray expectedRecord(const RecordFields& f)
{
    QByteArray record(kDescriptorSize, '\0');
    auto put = [&record](int offset, int size, const QString& text) {
        const QByteArray bytes = cp1252::encode(text).left(size - 1);
        record[offset] = char(bytes.size());
        record.replace(offset + 1, bytes.size(), bytes);
    };
    for (int slot = 0; slot < 500; ++slot)
        put(slot * 201, 201, slot < f.recipients.size() ? f.recipients[slot] : QStringLiteral("n/a"));
    put(100500, 201, f.senderEmail);
    put(100701, 201, f.senderName);
    put(100902, 201, f.senderCompany);
    put(101103, 201, f.subject);
    put(101304, 21, f.encrypted);
    put(101325, 21, f.selfExtracting);
    put(101346, 21, f.expire);
    record[101368] = 1;
    record[101369] = 0;
    return record;
}

QMap<QString, QByteArray> treeOf(const QString& root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        tree.insert(path.mid(root.size() + 1), it.fileInfo().isDir() ? QByteArray("<dir>") : readAll(path));
    }
    return tree;
}

namespace fsfault {
namespace {
#ifdef Q_OS_WIN
// Windows has no mounts a process may make for itself: the tests that need them skip.
bool noMounts(QString* why)
{
    if (why)
        *why = QStringLiteral("Windows has no private mounts");
    return false;
}
bool mountTmpfs(const QString&, const QString&, QString* why) { return noMounts(why); }
bool unmount(const QString&) { return false; }
} // namespace

bool remountReadOnly(const QString&, bool, QString* why)
{
    return noMounts(why);
}
#else
QString systemText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// A mount call's result; its failure, with the system's reason, in *why.
bool mounted(int result, const char* what, QString* why)
{
    if (result != 0 && why)
        *why = QLatin1String(what) + systemText();
    return result == 0;
}

// Enters a private mount namespace once per process: mounts vanish with the test process.
bool enterPrivateMounts(QString* why)
{
    static int state = 0; // 0 not tried, 1 done, -1 failed
    static QString reason;
    if (state == 0)
        state = mounted(::unshare(CLONE_NEWNS), "cannot make a private mount namespace: ", &reason) &&
                        mounted(::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), "cannot make mounts private: ",
                                &reason)
                    ? 1
                    : -1;
    if (state < 0 && why)
        *why = reason;
    return state > 0;
}

// Mounts a tmpfs at dir (created if missing). options: "size=64k", "nr_inodes=2"...
bool mountTmpfs(const QString& dir, const QString& options, QString* why)
{
    if (!enterPrivateMounts(why))
        return false;
    QDir().mkpath(dir);
    return mounted(::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, options.toLatin1().constData()),
                   "cannot mount a tmpfs: ", why);
}

bool unmount(const QString& dir)
{
    return ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH) == 0;
}
} // namespace

bool remountReadOnly(const QString& dir, bool readOnly, QString* why)
{
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return mounted(::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", flags, nullptr), "cannot remount: ", why);
}
#endif

bool ScopedTmpfs::mount(const QString& dir, const QString& options, QString* why)
{
    if (!mountTmpfs(dir, options, why))
        return false;
    m_dir = dir;
    return true;
}

ScopedTmpfs::~ScopedTmpfs()
{
    if (!m_dir.isEmpty())
        unmount(m_dir);
}

} // namespace fsfault

// A symbolic link (Qt's link makes a shortcut file on Windows). False where the system
// makes none: Wine's CreateSymbolicLinkW reports success and makes nothing.
bool symbolicLink(const QString& target, const QString& link)
{
#ifdef Q_OS_WIN
    const auto wide = [](const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); };
    const DWORD kind = QFileInfo(QFileInfo(link).dir(), target).isFile() ? 0 : SYMBOLIC_LINK_FLAG_DIRECTORY;
    ::CreateSymbolicLinkW(wide(link).c_str(), wide(target).c_str(), kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD attributes = ::GetFileAttributesW(wide(link).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
    return QFile::link(target, link);
#endif
}
bool symbolicLinksAreMade()
{
    static const bool made = [] {
        QTemporaryDir dir;
        return dir.isValid() && symbolicLink(dir.path(), dir.path() + QStringLiteral("/probe"));
    }();
    return made;
}

bool usersAlone(const QString& path)
{
#ifdef Q_OS_WIN
    PSECURITY_DESCRIPTOR sd = nullptr;
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (::GetNamedSecurityInfoW(QDir::toNativeSeparators(path).toStdWString().c_str(), SE_FILE_OBJECT, parts,
                                nullptr, nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS)
        return false;
    LPWSTR text = nullptr;
    const bool told = ::ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, parts, &text, nullptr);
    const QString sddl = told ? QString::fromWCharArray(text) : QString();
    ::LocalFree(text);
    ::LocalFree(sd);
    // Full access for the owner and nobody else, nothing inherited; Wine keeps no access
    // list but the file's mode, which it reads as one for the owner and the system (SY).
    return QRegularExpression(QStringLiteral(R"(^O:(S-[0-9-]+)D:P?(\(A;;FA;;;(\1|SY)\))+$)")).match(sddl).hasMatch();
#else
    return (QFile::permissions(path) & 0x7077) == (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

// Sets a folder's time to 2001-09-09 01:46:40 (10^9 seconds), as an old folder has.
bool makeOldFolder(const QString& path)
{
#ifdef Q_OS_WIN
    try {
        const auto folder = filetree::native().openFolder(QFile::encodeName(path));
        filetree::native().setFolderTime(*folder, 1000000000LL * 1000000000);
        return true;
    } catch (const IoError&) {
        return false;
    }
#else
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
#endif
}
