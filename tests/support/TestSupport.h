#pragma once
// A private world for one test: its own APPDATA, XDG_CONFIG_HOME, system policy file,
// upload folder and a program path whose policy file the test writes. Nothing touches
// the real home, and nothing installed on the machine is read.
#include "client/Client.h"
#include "client/OptionState.h"
#include "platform/UserRegistry.h"
#include "sent/SentRecord.h"

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(OptionState)

class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    QString root() const { return m_dir.path(); }
    QString appData() const { return root() + QStringLiteral("/appdata"); }
    QString configHome() const { return root() + QStringLiteral("/config"); }
    QString upload() const { return root() + QStringLiteral("/upload"); }
    QString programPath() const { return root() + QStringLiteral("/bin/parvelaclient"); }
    QString policyPath() const { return programPath() + QStringLiteral(".INI"); }
    // The settings store of the test's clients: the file store (UserRegistryFile), on
    // every system, so that its rules are tested everywhere.
    QString registryPath() const { return configHome() + QStringLiteral("/TROVIK/PVX2007.ini"); }
    // The system's policy file, as this test's programs see it (missing until written).
    QString systemPolicyPath() const { return root() + QStringLiteral("/etc/parvela/parvelaclient.INI"); }
    QString userDataFolder() const { return appData() + QStringLiteral("/Parvela/"); }

    // Writes the policy file as given (bytes as they stand, Windows-1252).
    void writePolicy(const QByteArray& content) const;
    // A policy file naming the test's upload folder, plus extra lines under [POLICIES].
    void writeDefaultPolicy(const QByteArray& policies = {}) const;

    // A client whose program path, registry and prompter belong to this test.
    std::unique_ptr<Client> makeClient() const;
    // Such a client started on the default policy, in English, expiring in 48 hours:
    // ready for a selection and recipients, then a job.
    std::unique_ptr<Client> startedClient() const;

    // A client started as the window starts one: the option stores connected, then the
    // start-up on whatever policy the test wrote.
    std::unique_ptr<Client> windowClient() const;

    // Writes values into the user's settings store, as an earlier start would have.
    void store(const QList<std::pair<QString, QString>>& values) const;
    // The settings store of the programs a test starts (parvela, the window program):
    // this system's own. On Windows that is the user's registry key, which each TestEnv
    // removes when it starts and when it ends (the Windows tests run in a Wine
    // installation of their own).
    std::unique_ptr<UserRegistry> programStore() const;
    // Writes values into it, as an earlier start would have.
    void storeForPrograms(const QList<std::pair<QString, QString>>& values) const;
    // Everything in that store as NAME=value lines, for comparing before and after.
    QByteArray programSettings() const;

    // Writes a file with the given content (creating folders); returns its path.
    QString makeFile(const QString& relativePath, const QByteArray& content) const;

    // Every name in the upload folder, hidden ones too, sorted.
    QStringList uploadEntries() const;
    // The jobs in the upload folder (their descriptors' names without ".pvx"), sorted.
    QStringList jobs() const;
    // The server's part: takes a job out of the upload folder.
    void takeJob(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldAppData, m_oldConfig, m_oldSystemPolicy;
    bool m_hadSystemPolicy = false;
};

// Every language key the program takes, as an administrator is told them: "ENGLISH, ...".
QString languageKeys();

// Every name in folder, hidden ones too, sorted.
QStringList entriesOf(const QString& folder);

// A record of a sent job as the record of sent jobs keeps it: for ann@example.org,
// subject "Plans".
SentRecord sentRecord(const QString& name, const QString& uploadFolder, SentOutcome outcome,
                      const QDateTime& started = QDateTime::currentDateTimeUtc());

// Makes a file or folder immutable (on) or not: what stops even root from writing.
bool setImmutable(const QString& path, bool on);

// A symbolic link (Qt's link makes a shortcut file on Windows). False where the system
// makes none: Wine's CreateSymbolicLinkW reports success and makes nothing.
bool symbolicLink(const QString& target, const QString& link);
// Whether this system makes symbolic links, found by making one (once per process), for
// tests whose setup makes links out of sight; their skip text.
bool symbolicLinksAreMade();
inline constexpr char kNoSymbolicLinks[] = "This system made no symbolic link (Wine reports success and makes none)";
// Whether only the file's owner may open it: the owner's read and write bits alone on
// POSIX systems, an access list of the owner's (and the system's) alone on Windows.
bool usersAlone(const QString& path);
// Sets a folder's time to 2001-09-09 01:46:40 (10^9 seconds), as an old folder has.
bool makeOldFolder(const QString& path);

// The code a body ends the program with (ProcessExit), or -1 when it returns.
int exitCodeOf(const std::function<void()>& body);

// Reads a whole file (empty when missing).
QByteArray readAll(const QString& path);

// This process's environment with extra variables set ("NAME=value").
QProcessEnvironment environmentWith(const QStringList& extra);
// The environment of a program run under strace: the leak check cannot run in a
// traced process, so it is off; extra holds further variables ("NAME=value").
QProcessEnvironment tracedEnvironment(const QStringList& extra = {});
// Starts command under strace, which traces and holds calls as straceArgs say, with
// that environment and an empty standard input. The caller waits for the start.
void startTraced(QProcess& process, const QStringList& straceArgs, const QStringList& command,
                 const QStringList& extra = {});

// The job record a server expects, built here from its layout alone (not through the
// program's encoder): 500 recipient slots of 201 bytes ("n/a" when free), sender
// e-mail, name, company and subject (201 bytes each), encryption, self-extracting
// and expiry (21 bytes each), one spare byte and the closing word 1, little-endian;
// a length byte before each text, zeros after it, Windows-1252 throughout.
struct RecordFields {
    QStringList recipients{};
    QString senderEmail{}, senderName{}, senderCompany{}, subject{};
    QString encrypted = QStringLiteral("ENABLED");
    QString selfExtracting = QStringLiteral("ENABLED");
    QString expire = QStringLiteral("48");
};
QByteArray expectedRecord(const RecordFields& fields);

// Every file and folder below root: relative path -> content ("<dir>" for folders).
QMap<QString, QByteArray> treeOf(const QString& root);

// Real file-system faults for tests, as root, in a private mount namespace of the test
// process (mounts vanish with it): small tmpfs mounts that fill up or run out of
// inodes, and read-only remounts. Each returns false (with the reason in *why) when
// the machine does not allow it; the test then skips with that reason.
namespace fsfault {
// Makes the mount at dir read-only (true) or writable again (false).
bool remountReadOnly(const QString& dir, bool readOnly, QString* why);

// A tmpfs mounted for one scope, gone again before the test's folders are.
class ScopedTmpfs {
public:
    ScopedTmpfs() = default;
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;
    ~ScopedTmpfs();
    bool mount(const QString& dir, const QString& options, QString* why);

private:
    QString m_dir;
};
} // namespace fsfault
