// Files and folders given to the window program: on its command line, and from a later
// start through the running window's socket, which nothing but the user's own
// well-formed messages may use.
#include "GuiTestHelpers.h"

#include "app/HandOverMessage.h"
#include "app/gui/SingleWindow.h"
#include "i18n/PathTexts.h"
#include "platform/Arguments.h"
#include "selection/gui/DropZone.h"

#include <QDateTime>
#include <QFile>
#include <QListWidget>
#include <QLocalSocket>
#include <QProcess>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
// The user's runtime folder for this test: later starts find the window through it.
QString useRuntimeFolder(const TestEnv& env)
{
    const QString folder = env.root() + QStringLiteral("/runtime");
    QDir().mkdir(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", folder.toUtf8());
    return folder;
}

// The window program as the user starts it, with the test's world around it.
struct LaterStart {
    QProcess process;
    LaterStart(const QStringList& arguments, const QString& folder, const QString& program = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.setProgram(program.isEmpty() ? qEnvironmentVariable("PARVELA_BIN_DIR") + QStringLiteral("/parvelaclient")
                                             : program);
        process.setArguments(arguments);
        process.start();
    }
    // Waits with the events turning: the running window answers from this process.
    // The bound only ends a hang: the first window program Wine starts in a new
    // installation took over 30 s on a busy machine.
    bool finished()
    {
        if (QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, 80000))
            return true;
        process.kill();
        process.waitForFinished();
        return false;
    }
};

#ifdef Q_OS_LINUX
// New files by the system's bytes of their names, which need not be valid text (the
// test's folder cannot remove those by itself).
struct ByteNamedFiles {
    QList<QByteArray> made;
    bool make(const QByteArray& path, const QByteArray& bytes)
    {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        const bool written = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
        made.append(path);
        return fd >= 0 && ::close(fd) == 0 && written;
    }
    ~ByteNamedFiles()
    {
        for (const QByteArray& path : made)
            ::unlink(path.constData());
    }
};
#endif

// Every file below root with its bytes and its modification time.
QMap<QString, QString> stampsOf(const QString& root)
{
    QMap<QString, QString> stamps;
    const auto tree = treeOf(root);
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        const QFileInfo info(root + u'/' + it.key());
        stamps.insert(it.key(), QString::fromLatin1(it.value().toHex())
                                    + info.lastModified().toString(Qt::ISODateWithMs));
    }
    return stamps;
}

// Sends bytes on the socket; true when the window answered that it took them.
bool send(const QString& socketPath, const QByteArray& bytes)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(bytes);
    socket.flush();
    (void)QTest::qWaitFor([&socket] { return socket.bytesAvailable() > 0 || socket.state() != QLocalSocket::ConnectedState; }, 3000);
    return socket.read(1) == "1";
}

#ifdef Q_OS_LINUX
// Connects to the socket as the user nobody in a child process and sends bytes:
// 10 the connection was refused, 11 the window answered, 12 it did not.
int sendAsAnotherUser(const QString& socketPath, const QByteArray& bytes)
{
    const QByteArray path = QFile::encodeName(socketPath);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), std::min<size_t>(path.size(), sizeof address.sun_path - 1));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            ::_exit(10);
        if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            ::_exit(4);
        timeval wait{3, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char answer = 0;
        ::_exit(::read(fd, &answer, 1) == 1 && answer == '1' ? 11 : 12);
    }
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
        QTest::qWait(10);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif
} // namespace

class TestHandOver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void startPathsGoIntoTheDropZone();
    void laterStartHandsOverAndEnds();
    void namesThatAreNoTextStayThemselves();
};

void TestHandOver::startPathsGoIntoTheDropZone()
{
    const auto& [env, run] = StartedWindow("SKIPWELCOME=DISABLED\r\nDEFAULTLANGUAGE=DEUTSCH\r\n");
    const QString file = env.makeFile("a.pdf", "pdf");
    env.makeFile("project/plan.txt", "plan");
    const QString folder = env.root() + QStringLiteral("/project");
    QCOMPARE(run->page(), Page::Welcome);

    // As dropped names: a folder with the language's marker, a file as it is; the
    // missing ones named in one message in the user's language. The window moves on to
    // the Select page.
    const QString gone1 = env.root() + QStringLiteral("/gone.txt");
    const QString gone2 = env.root() + QStringLiteral("/also gone");
    run->window()->openPaths({file, gone1, folder, gone2}, MainWindow::PathsFrom::Start);
    QTRY_COMPARE(run->client->form.selectionTexts(), QStringList({file, folder + QStringLiteral(" (:Ordner:)")}));
    QCOMPARE(run->find<QListWidget>("CLB")->count(), 2);
    QCOMPARE(run->page(), Page::Select);
    const auto shown = run->client->prompter.shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].caption, QStringLiteral("Nicht hinzugef\u00fcgt"));
    QCOMPARE(shown[0].text.split(u'\n').mid(1), QStringList({gone1, gone2}));

    // While a dialog of ours waits for an answer, handed paths wait with it.
    run->client->prompter.clearShown();
    run->showPage(Page::Message);
    SettingsDialog* settings = run->program->settingsDialog();
    qsizetype whileOpen = -1;
    whenShown(settings, [&] {
        run->window()->openPaths({file}, MainWindow::PathsFrom::LaterStart);
        QTest::qWait(50);
        whileOpen = run->client->form.selection().size();
        settings->findChild<QPushButton*>("Bcancel")->click();
    });
    QTest::mouseClick(run->find<QPushButton>("Bsettings"), Qt::LeftButton);
    QCOMPARE(whileOpen, 2);
    QTRY_COMPARE(run->client->form.selection().size(), 3);
    // Added on the page the user was on.
    QCOMPARE(run->page(), Page::Message);
    QVERIFY(run->client->prompter.shown().isEmpty());
}

void TestHandOver::laterStartHandsOverAndEnds()
{
    const auto& [env, run] = StartedWindow("OUTLOOKADR=ENABLED\r\n");
    const QString runtime = useRuntimeFolder(env);
    const QString file = env.makeFile("elsewhere/b.txt", "b");
    SingleWindow single; // as the program claims: the lock now, the socket once the window is up
    QCOMPARE(single.claim({}, {}, false), SingleWindow::Claim::First);
    MainWindow* window = run->window();
    single.setReceiver([window](const QStringList& paths) { window->openPaths(paths, MainWindow::PathsFrom::LaterStart); });
    run->showPage(Page::Message);
    // The running window opens its record of sent jobs a second after it shows: the
    // stamps are taken once it has, so that only what a later start did could change them.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(env.userDataFolder() + "sent-jobs.sqlite"), 10000);
    const auto settingsBefore = stampsOf(env.configHome());
    const auto memoriesBefore = stampsOf(env.appData());

    // A relative path is taken from the later start's own current folder.
    LaterStart later({QStringLiteral("b.txt")}, env.root() + QStringLiteral("/elsewhere"));
    QTest::qWait(300); // it comes before the window listens, and keeps trying until it does
    QVERIFY(single.listenLate());
    QVERIFY(later.finished());
    QCOMPARE(later.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(later.process.exitCode(), 0);
    QTRY_COMPARE(run->client->form.selectionTexts(), QStringList({file}));

    // Without paths it only brings the window forward.
    LaterStart bare({}, env.root());
    QVERIFY(bare.finished());
    QCOMPARE(bare.process.exitCode(), 0);
    QTest::qWait(50);
    QCOMPARE(run->client->form.selection().size(), 1);

#ifdef Q_OS_LINUX
    // A name that is no valid text arrives as itself, never as the neighbour that reads
    // like it; and more paths than one message holds arrive all, in their order.
    const QString odd = env.root() + QStringLiteral("/odd");
    env.makeFile("odd/\uFFFD.txt", "NOT CHOSEN");
    ByteNamedFiles files;
    QVERIFY(files.make(QFile::encodeName(odd) + "/\xff.txt", "CHOSEN"));
    QStringList many;
    for (int i = 0; i < 40000; ++i) {
        many.append(QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')));
        QVERIFY(QFile(odd + u'/' + many.constLast()).open(QIODevice::WriteOnly));
    }
    LaterStart named(QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$(printf '\\377.txt')\" \"$@\""),
                           qEnvironmentVariable("PARVELA_BIN_DIR") + QStringLiteral("/parvelaclient")} + many,
                     odd, QStringLiteral("/bin/sh"));
    QVERIFY(named.finished());
    QVERIFY2(named.process.exitCode() == 0, named.process.readAllStandardError().constData());
    QTRY_COMPARE_WITH_TIMEOUT(run->client->form.selection().size(), 2 + many.size(), 20000);
    QCOMPARE(run->client->form.selection()[1].path, QFile::encodeName(odd) + "/\xff.txt");
    QCOMPARE(run->client->form.selection().constLast().path, QFile::encodeName(odd + u'/' + many.constLast()));
#endif

    // Neither start read or wrote anything of the user's.
    QCOMPARE(stampsOf(env.configHome()), settingsBefore);
    QCOMPARE(stampsOf(env.appData()), memoriesBefore);
    QVERIFY(run->client->prompter.shown().isEmpty());

    // On the socket nothing but the user's whole message of absolute paths is taken;
    // the rest is dropped unanswered, and the window goes on serving.
    run->client->form.setSelection({});
    const QString socket = single.socketPath();
    const QByteArray good = handover::encodeAll({file}).first();
    QByteArray oversized = good;
    oversized[8] = char(0x7f); // a length past what a message may carry
    const QList<QByteArray> foreign = {
        "hello, window", handover::encodeAll({QStringLiteral("b.txt")}).first(), oversized, good + "more",
        handover::encodeAll({file}).first().left(good.size() - 1), QByteArray(200000, 'P')};
    for (const QByteArray& bytes : foreign)
        QVERIFY2(!send(socket, bytes), bytes.left(40).toHex().constData());
    QTest::qWait(50);
    QVERIFY(run->client->form.selection().isEmpty());
    QVERIFY(send(socket, good));
    QTRY_COMPARE(run->client->form.selectionTexts(), QStringList({file}));

#ifdef Q_OS_LINUX
    if (::geteuid() != 0)
        QSKIP("another user's process needs root to be made");
    // Another user cannot reach the socket in its private folder, even where the
    // folders above it let everybody through; and where its rights are opened up too,
    // the window still takes nothing from that user.
    for (const QString& above : {env.root(), runtime})
        QVERIFY(QFile::setPermissions(above, QFile::permissions(above) | QFileDevice::ExeOther));
    QCOMPARE(sendAsAnotherUser(socket, good), 10);
    const QString folder = QFileInfo(socket).absolutePath();
    QVERIFY(QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::ExeOther));
    QVERIFY(QFile::setPermissions(socket, QFileDevice::Permissions(0x7777)));
    QCOMPARE(sendAsAnotherUser(socket, good), 12);
    QTest::qWait(50);
    QCOMPARE(run->client->form.selection().size(), 1);
#else
    Q_UNUSED(runtime);
#endif
}

void TestHandOver::namesThatAreNoTextStayThemselves()
{
#ifndef Q_OS_LINUX
    QSKIP("a name that is no text is made here through POSIX calls");
#else
    const auto& [env, run] = StartedWindow();
    const QByteArray odd = QFile::encodeName(env.root()) + "/odd";
    env.makeFile("odd/\uFFFD.txt", "NOT CHOSEN");
    ByteNamedFiles files;
    QVERIFY(files.make(odd + "/\xff.txt", "CHOSEN"));
    QVERIFY(files.make(odd + "/\xfe.bin", "alone"));

    // A file manager's drop carries the name's bytes percent-encoded.
    QMimeData mime;
    mime.setUrls({QUrl::fromEncoded("file://" + odd.toPercentEncoding("/") + "/%FF.txt")});
    dropOn(run->window(), mime);
    QTRY_COMPARE(run->client->form.selection().size(), 1);
    QCOMPARE(run->client->form.selection()[0].path, odd + "/\xff.txt");

    // The browser and the dialogs read names as text: a name is taken only where one
    // file in its folder reads so, and named escaped where it could be either.
    const QString oddText = QFile::decodeName(odd);
    QCOMPARE(ArgumentBytes(ExactPath(oddText + QStringLiteral("/\uFFFD.bin")).value_or(QString())), odd + "/\xfe.bin");
    QCOMPARE(ExactPath(oddText + QStringLiteral("/\uFFFD.txt")), std::nullopt);
    QCOMPARE(ExactPath(oddText + QStringLiteral("/none\uFFFD")), std::nullopt);
    const QString both = ArgumentText(odd + "/\xff.txt");
    QCOMPARE(UnclearPathsMessage(QString(), {both}).text.split(u'\n').last(), oddText + QStringLiteral("/\\xFF.txt"));
#endif
}

QTEST_MAIN(TestHandOver)
#include "tst_handover.moc"
