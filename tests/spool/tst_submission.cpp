#include "client/Client.h"
#include "spool/JobDescriptor.h"

#include "SubmissionRecorder.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <sys/un.h>
#endif
#include <sys/stat.h>

#include <unistd.h>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// A file as it stands while its writer holds it. On Windows the writer of a lock
// holds it for its removal, so only a reader that shares removal may open it (Qt's
// files do not).
QByteArray readHeld(const QString& path)
{
#ifdef Q_OS_WIN
    const HANDLE file = ::CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      0, nullptr);
    char bytes[4096];
    DWORD n = 0;
    if (file == INVALID_HANDLE_VALUE)
        return {};
    if (!::ReadFile(file, bytes, sizeof bytes, &n, nullptr))
        n = 0;
    ::CloseHandle(file);
    return QByteArray(bytes, int(n));
#else
    return readAll(path);
#endif
}

// Whether text is pattern, where each … in pattern stands for any text.
bool matches(const QString& text, const QString& pattern)
{
    QString expression;
    for (const QString& part : pattern.split(u'…'))
        expression += (expression.isEmpty() ? QString() : QStringLiteral(".*")) + QRegularExpression::escape(part);
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::DotMatchesEverythingOption)
        .match(text)
        .hasMatch();
}


} // namespace

using Tree = QMap<QString, QByteArray>;
// What a row does to the client before Finish.
using Setup = std::function<void(Client&)>;
Q_DECLARE_METATYPE(Setup)
// Makes a row's odd sources in the test's folder and picks what is selected.
using Pick = std::function<void(const TestEnv&, QList<SelectionEntry>&)>;
Q_DECLARE_METATYPE(Pick)
const QString kN250(250, u'n'), kN200(200, u'n');

class TestSubmission : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aWholeJob()
    {
        TestEnv env;
        auto client = env.startedClient();
        // A copy's permissions and time are tst_copy's to check.
        const QString report = env.makeFile(QStringLiteral("src/Report.DOC"), "report \x01\x02");
        // A file whose name ends like a folder marker is sent as itself.
        const QString marked = env.makeFile(QStringLiteral("src/Report.DOC (:Map:)"), "chosen");
        env.makeFile(QStringLiteral("src/Data/Project/plan.txt"), "plan");
        env.makeFile(QStringLiteral("src/Data/Project/.hidden/x.bin"), QByteArray(70000, 'x'));
        env.makeFile(QStringLiteral("src/Data/Project/Sub Folder/y"), "y");
        const QString project = env.root() + QStringLiteral("/src/Data/Project");
        ClientForm& form = client->form;
        form.setSelection({SelectionEntry::file(report), SelectionEntry::folder(project, QStringLiteral("(:Ordner:)")),
                           SelectionEntry::file(marked)});
        form.setRecipients({QStringLiteral("ann@example.com"), QString(), QStringLiteral("Bj\u00f6rn <b@example.se>")});
        form.setSubjectText(QStringLiteral("Pl\u00e4ne \u20ac"));
        form.setMessageLines({QStringLiteral("Hello,"), QString(), QStringLiteral("Gr\u00fc\u00dfe \u2013 Ann")});
        form.setEncr({true, true});
        form.setSfx({false, false});
        form.setExpireText(QStringLiteral("72"));
        client->state.SenderEmail = QStringLiteral("ann@example.com");
        client->state.SenderName = QStringLiteral("Ann \u00c5str\u00f6m");
        client->state.SenderCompany = QStringLiteral("Trovik");
        Recorder rec;
        const SubmissionResult result = rec.finish(*client);

        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Confirm);
        QCOMPARE(client->prompter.shown().first().text, QStringLiteral("Sending, are you sure"));
        const QString name = env.jobs().value(0);
        QVERIFY2(name.startsWith(QStringLiteral("PV_")), qPrintable(env.uploadEntries().join(u' ')));
        QCOMPARE(env.uploadEntries(), QStringList({name + ".dir", name + ".msg", name + ".pvx"}));
        const QString base = env.upload() + u'/' + name;

        // The descriptor, byte for byte as the server reads it: the empty recipient takes no slot.
        const QByteArray pvx = readAll(base + QStringLiteral(".pvx"));
        QCOMPARE(pvx, expectedRecord({.recipients = {"ann@example.com", "Bj\u00f6rn <b@example.se>"},
                                      .senderEmail = "ann@example.com", .senderName = "Ann \u00c5str\u00f6m",
                                      .senderCompany = "Trovik", .subject = "Pl\u00e4ne \u20ac",
                                      .selfExtracting = "DISABLED", .expire = "72"}));

        // The folder holds exact copies of both items, names and case kept.
        Tree expected{{"Project", "<dir>"}, {"Report.DOC", "report \x01\x02"}, {"Report.DOC (:Map:)", "chosen"}};
        const Tree projectTree = treeOf(project);
        for (const auto& [path, content] : projectTree.asKeyValueRange())
            expected.insert(QStringLiteral("Project/") + path, content);
        QCOMPARE(treeOf(base + QStringLiteral(".dir")), expected);

        QCOMPARE(readAll(base + QStringLiteral(".msg")), QByteArray("Hello,\r\n\r\nGr\xfc\xdf" "e \x96 Ann\r\n"));

        const QStringList log = client->form.logLines();
        QCOMPARE(log.mid(log.size() - 8),
                 QStringList({QString(), QString(), QStringLiteral("Processing job, please wait"),
                              QStringLiteral("01 - Creating lock"), QStringLiteral("02 - Creating PVX"),
                              QStringLiteral("03 - Copying files/folders"), QStringLiteral("04 - Creating MSG file"),
                              kReleased}));
        QCOMPARE(rec.windowStates, QList<bool>({false, true}));
        // Written whole: the window asks what next.
        QCOMPARE(result.end, SubmissionResult::End::Written);
        QVERIFY(result.lockReleased && !result.autoQuit);
        // The message memory is saved first, in every case.
        QVERIFY(QFile::exists(client->state.messageCachePath()));
    }

    // With automatic quit on, the job ends first, whole: ending the program is the
    // caller's to do.
    void theLockFileAnEmptyMessageAndAutoQuit()
    {
        TestEnv env;
        auto client = env.startedClient();
        client->form.setAutoQuit(true);
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        QString lockText;
        // The lock, as it stands while the job is written.
        Recorder rec;
        const SubmissionResult result = rec.finish(*client, [&](const CopyProgress&) {
            for (const QString& e : env.uploadEntries())
                if (e.endsWith(QStringLiteral(".lck")))
                    lockText = QString::fromLatin1(readHeld(env.upload() + u'/' + e)) + u'|' + e;
            return true;
        });
        QVERIFY(result.end == SubmissionResult::End::Written && result.autoQuit);
        QCOMPARE(client->prompter.shown().size(), 1); // the confirmation only
        const QString name = env.jobs().value(0);
        QCOMPARE(lockText, QStringLiteral("LOCK, do not remove: %1.lck\r\n|%1.lck").arg(name));
        QCOMPARE(readAll(env.upload() + u'/' + name + QStringLiteral(".msg")), QByteArray());
        QVERIFY(QFile::exists(env.upload() + u'/' + name + QStringLiteral(".msg")));
        QCOMPARE(client->form.logLines().last(), kReleased);
    }

    void noWritesNothing()
    {
        TestEnv env;
        auto client = env.startedClient();
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        Recorder rec;
        const SubmissionResult result = rec.finish(*client, {}, PromptAnswer::No);
        QVERIFY(env.uploadEntries().isEmpty());
        QCOMPARE(client->form.logLines().last(), QStringLiteral("  Expires: 48 hours"));
        QCOMPARE(result.end, SubmissionResult::End::NotSent);
    }

    // Each row sets one thing the job cannot take on a client holding a 2 MB file.
    void refusalsWriteNothing_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("box");
        const auto row = [](const char* name, const QString& box, const Setup& setup) { QTest::newRow(name) << setup << box; };
        row("too large", "WARNING: Selected files/folders are too large, select fewer items or contact your system administrator",
            [](Client& c) { c.state.MaxSize = QStringLiteral("1"); });
        row("501 recipients", "There are 501 recipients, but a job can go to at most 500.", [](Client& c) {
            for (int i = 0; i < 501; ++i)
                c.form.appendRecipient(QStringLiteral("r%1@example.com").arg(i));
            c.form.appendRecipient(QString()); // empty entries take no slot and do not count
        });
        row("recipient", "The recipient \u0142@example.pl contains the character",
            [](Client& c) { c.form.setRecipients({"ok@example.com", "\u0142@example.pl"}); });
        row("sender name", "The sender's name contains the character \"\u4e2d\" (U+4E2D)", [](Client& c) { c.state.SenderName = "\u4e2d"; });
        row("sender e-mail", "The sender's e-mail address contains", [](Client& c) { c.state.SenderEmail = "\u0410@example.ru"; });
        row("sender company", "The sender's company contains", [](Client& c) { c.state.SenderCompany = "\u0100 Ltd"; });
        row("message", "The message contains the character \"\U0001F600\" (U+1F600)",
            [](Client& c) { c.form.setMessageLines({"fine", "\U0001F600"}); });
        // A control character would reach the server inside a field (a line break in an
        // address makes a mail header of its own): refused, naming field and character.
        row("recipient with a line end",
            "The recipient a@x.org\\r\\nbcc@evil.org holds a carriage return (U+000D), which a job cannot carry.",
            [](Client& c) { c.form.setRecipients({"a@x.org\r\nbcc@evil.org"}); });
        row("subject with an escape", "The subject holds an escape character (U+001B)", [](Client& c) { c.form.setSubjectText("Plans\x1b[2J"); });
        row("subject with a C1 control", "The subject holds a control character (U+0085)", [](Client& c) { c.form.setSubjectText("Plans\u0085"); });
        row("sender name with a NUL", "The sender's name holds a NUL character (U+0000)",
            [](Client& c) { c.state.SenderName = QStringLiteral("Ann") + QChar(0); });
        row("sender e-mail with DEL", "The sender's e-mail address holds a delete character",
            [](Client& c) { c.state.SenderEmail = "ann\x7f@example.org"; });
        row("message with a bell", "The message holds a bell character (U+0007)", [](Client& c) { c.form.setMessageLines({"ring\x07"}); });
        // Fields longer than the job holds are refused, never cut (a cut address is another one).
        // The subject, the message and the other sender's fields share these checks:
        // tst_cli's refusals and the rows above pin them.
        row("long recipient", "The recipient " + QString(40, u'r') + "... is 212 characters long, but a job has room for 200. "
                                                                     "Shorten it and press Finish again.",
            [](Client& c) { c.form.setRecipients({"ok@example.com", QString(200, u'r') + "@example.com"}); });
        row("long sender e-mail", "The sender's e-mail address is 201 characters long, but a job has room for 200. Shorten it "
                                  "in the Settings and press Finish again.",
            [](Client& c) { c.state.SenderEmail = QString(201, u'e'); });
        row("empty expiry", "The expiry \"\" is not a number of hours of 1 to 5 digits.", [](Client& c) { c.form.setExpireText({}); });
    }
    void refusalsWriteNothing()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, box);
        TestEnv env;
        auto client = env.startedClient();
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), QByteArray(2 * 1024 * 1024, 'a')))});
        setup(*client);
        Recorder rec;
        rec.finish(*client);
        QVERIFY(env.uploadEntries().isEmpty());
        QCOMPARE(client->prompter.shown().size(), 1);
        const Prompt p = client->prompter.shown().first();
        QCOMPARE(p.kind, PromptKind::Plain);
        QCOMPARE(p.caption, kApplicationTitle);
        QVERIFY2(p.text.startsWith(box), qPrintable(p.text));
        QVERIFY(rec.windowStates.isEmpty());
    }

    // Everything at its limit goes, uncut: 500 recipients of 200 characters, the
    // subject and the sender's fields of 200, a message of 4000 characters.
    void everyFieldAtItsLimitGoes()
    {
        TestEnv env;
        auto client = env.startedClient();
        ClientForm& form = client->form;
        form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        for (int i = 0; i < 500; ++i)
            form.appendRecipient(QStringLiteral("%1@example.com").arg(i, kTextFieldBytes - 12, 10, QLatin1Char('r')));
        form.setSubjectText(QString(kTextFieldBytes, u'\u00e9'));
        client->state.SenderEmail = QString(kTextFieldBytes, u'e');
        client->state.SenderName = QString(kTextFieldBytes, u'n');
        client->state.SenderCompany = QString(kTextFieldBytes, u'\u20ac');
        form.setMessageLines({QString(kMessageMaxChars - 3, u'm') + u'\t', QString(), QString()}); // a tab belongs to a message
        form.setExpireText(QStringLiteral("99999"));
        Recorder rec;
        rec.finish(*client);
        const QString job = env.upload() + u'/' + env.jobs().value(0);
        QCOMPARE(readAll(job + QStringLiteral(".pvx")),
                 expectedRecord({.recipients = form.recipients(), .senderEmail = client->state.SenderEmail,
                                 .senderName = client->state.SenderName, .senderCompany = client->state.SenderCompany,
                                 .subject = form.subjectText(), .expire = "99999"}));
        QCOMPARE(readAll(job + QStringLiteral(".msg")).size(), kMessageMaxChars - 2 + 3 * 2);
    }

    // Sources that real home folders hold, each through Finish: either the job copies
    // what the row says (and its summary names what it leaves out), or Finish refuses
    // with one box naming the item and the reason, and nothing is written.
    void oddSources_data()
    {
        QTest::addColumn<Pick>("pick");                          // makes the sources, sets the selection
        QTest::addColumn<QString>("tmpfs");                      // options of a tmpfs on the upload folder
        QTest::addColumn<QMap<QString, QByteArray>>("copied"); // below the job folder
        QTest::addColumn<int>("files");                         // files in the job folder
        QTest::addColumn<QString>("leftOut");                   // the summary's lines about it
        // %root: the test's folder; …: anything
        QTest::addColumn<QString>("refusal");
        const auto copies = [](const char* name, const Tree& copied, int files, const QString& leftOut, const Pick& pick) {
            QTest::newRow(name) << pick << QString() << copied << files << leftOut << QString();
        };
        const auto refuses = [](const char* name, const QString& refusal, const Pick& pick, const QString& tmpfs = {}) {
            QTest::newRow(name) << pick << tmpfs << Tree() << 0 << QString() << refusal;
        };
        const Tree justA{{"t", "<dir>"}, {"t/a.txt", "a"}};
        const auto link = [](const QString& target, const QString& name) { QVERIFY(symbolicLink(target, name)); };
        copies("link to /proc", justA, 1, "  Links and system folders not followed: 1 (%root/t/proc)",
               [=](const TestEnv& env, QList<SelectionEntry>&) { link("/proc", env.root() + "/t/proc"); });
        copies("15 levels of two links each", {}, 1, "  Links and system folders not followed: 15 (",
               [=](const TestEnv& env, QList<SelectionEntry>& selection) {
                   // L0 holds two links to L1, L1 two links to L2 ... L15 one file: followed
                   // as links go, 2^15 copies of it.
                   env.makeFile("L/L15/f", "12345678");
                   for (int i = 0; i < 15; ++i) {
                       QDir().mkpath(env.root() + QStringLiteral("/L/L%1").arg(i));
                       for (const char* n : {"/a", "/b"})
                           link(QStringLiteral("../L%1").arg(i + 1), env.root() + QStringLiteral("/L/L%1").arg(i) + n);
                   }
                   selection = {SelectionEntry::folder(env.root() + "/L/L0", "(:Folder:)")};
               });
        copies("link cycle, dangling link", {{"t", "<dir>"}, {"t/a.txt", "a"}, {"t/sub", "<dir>"}, {"t/sub/b.txt", "b"}}, 2,
               "  Links and system folders not followed: 2 (", [=](const TestEnv& env, QList<SelectionEntry>&) {
                   env.makeFile("t/sub/b.txt", "b");
                   link(env.root() + "/t", env.root() + "/t/sub/loop");
                   link(env.root() + "/nowhere", env.root() + "/t/dangling");
               });
        copies("link to a file", {{"t", "<dir>"}, {"t/a.txt", "a"}, {"t/x", "outside"}}, 2, "",
               [=](const TestEnv& env, QList<SelectionEntry>&) { link(env.makeFile("x.txt", "outside"), env.root() + "/t/x"); });
        copies("pipe and socket inside", justA, 1, "  Special files left out (pipes, devices, sockets): 2 (%root/t/",
               [](const TestEnv& env, QList<SelectionEntry>&) {
#ifdef Q_OS_WIN
                   Q_UNUSED(env);
                   QSKIP("Windows folders hold no named pipes or sockets");
#else
                   QCOMPARE(::mkfifo(QFile::encodeName(env.root() + "/t/fifo").constData(), 0644), 0);
                   const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
                   sockaddr_un address{};
                   address.sun_family = AF_UNIX;
                   qstrncpy(address.sun_path, QFile::encodeName(env.root() + "/t/sock").constData(), sizeof address.sun_path);
                   QCOMPARE(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
                   ::close(sock);
#endif
               });
        copies("link into the upload folder", justA, 1, "  Links and system folders not followed: 1 (%root/t/jobs)",
               [=](const TestEnv& env, QList<SelectionEntry>&) { link(env.upload(), env.root() + "/t/jobs"); });
        refuses("pipe selected", "Cannot send %root/p: it is a named pipe (FIFO), not a file or folder.",
                [](const TestEnv& env, QList<SelectionEntry>& selection) {
#ifdef Q_OS_WIN
                    QSKIP("Windows folders hold no named pipes");
#else
                    QCOMPARE(::mkfifo(QFile::encodeName(env.root() + "/p").constData(), 0644), 0);
#endif
                    selection = {SelectionEntry::file(env.root() + "/p")};
                });
        refuses("system file selected", "Cannot send /proc/self/status: it lies on a system file system, whose files are "
                                         "views of the running system, not data.",
                [](const TestEnv&, QList<SelectionEntry>& selection) {
#ifdef Q_OS_WIN
                    QSKIP("Windows has no /proc");
#endif
                    selection = {SelectionEntry::file("/proc/self/status")};
                });
        refuses("gone since it was added", "Cannot send %root/t/a.txt: it cannot be examined (No such file or directory).",
                [](const TestEnv& env, QList<SelectionEntry>& selection) {
                    selection = {SelectionEntry::file(env.root() + "/t/a.txt")};
                    QVERIFY(QFile::remove(env.root() + "/t/a.txt"));
                });
        refuses("the upload folder", "Cannot send %root/upload: it is the upload folder or lies inside it.",
                [](const TestEnv& env, QList<SelectionEntry>& selection) { selection = {SelectionEntry::folder(env.upload(), "(:Folder:)")}; });
        refuses("a folder holding it", "Cannot send %root: the upload folder %root/upload lies inside it.",
                [](const TestEnv& env, QList<SelectionEntry>& selection) { selection = {SelectionEntry::folder(env.root(), "(:Folder:)")}; });
        refuses("name too long after its (2)", "Cannot send %root/b/%250.txt: its name is 258 bytes long, and the upload "
                                               "folder's file system takes names of at most 255 bytes.",
                [](const TestEnv& env, QList<SelectionEntry>& selection) {
                    selection = {SelectionEntry::file(env.makeFile("a/" + kN250 + ".txt", "1")),
                                 SelectionEntry::file(env.makeFile("b/" + kN250 + ".txt", "2"))};
                });
        refuses("path too long in the job", "Cannot send %root/d/%200/…: its path in the job, %root/upload/PV_… bytes long, "
                                            "and the upload folder's file system takes paths of at most 4095 bytes.",
                [](const TestEnv& env, QList<SelectionEntry>& selection) {
                    // A source path the system still takes, whose copy's path in the job is too long.
#ifdef Q_OS_WIN
                    QSKIP("Linux's limit of 4095 bytes a path; Windows paths end elsewhere");
#endif
                    const int length = 4060 - int(env.root().size()) - 1;
                    QString deep = QStringLiteral("d");
                    while (deep.size() + 201 <= length)
                        deep += u'/' + kN200;
                    deep += u'/' + QString(length - deep.size() - 1, u'm');
                    QVERIFY(QDir().mkpath(env.root() + u'/' + deep));
                    selection = {SelectionEntry::folder(env.root() + "/d", "(:Folder:)")};
                });
        refuses("not enough room", "Not enough room in the upload folder %root/upload/: the job needs 5… bytes, 1048576 bytes are free.",
                [](const TestEnv& env, QList<SelectionEntry>& selection) {
                    selection = {SelectionEntry::file(env.makeFile("big.bin", QByteArray(5 << 20, 'b')))};
                }, "size=1m");
    }
    void oddSources()
    {
        QFETCH(Pick, pick);
        QFETCH(QString, tmpfs);
        QFETCH(Tree, copied);
        QFETCH(int, files);
        QFETCH(QString, leftOut);
        QFETCH(QString, refusal);
        if (QByteArray(QTest::currentDataTag()).contains("link") && !symbolicLinksAreMade())
            QSKIP("this system makes no symbolic links");
        TestEnv env;
        QString why;
        fsfault::ScopedTmpfs mount;
        if (!tmpfs.isEmpty() && !mount.mount(env.upload(), tmpfs, &why))
            QSKIP(qPrintable(why));
        auto client = env.startedClient();
        const QString root = env.root();
        const QString t = root + QStringLiteral("/t");
        env.makeFile(QStringLiteral("t/a.txt"), "a");
        QList<SelectionEntry> selection{SelectionEntry::folder(t, QStringLiteral("(:Folder:)"))};
        pick(env, selection);
        client->form.setSelection(selection);
        Recorder rec;
        rec.finish(*client);

        const auto fill = [&](QString text) {
            return text.replace(QStringLiteral("%root"), root).replace(QStringLiteral("%250"), kN250).replace(
                QStringLiteral("%200"), kN200);
        };
        const QStringList log = client->form.logLines();
        if (!refusal.isEmpty()) {
            QCOMPARE(client->prompter.shown().size(), 1);
            QCOMPARE(client->prompter.shown().first().kind, PromptKind::Plain);
            const QString text = client->prompter.shown().first().text;
            QVERIFY2(matches(text, fill(refusal)), qPrintable(text));
            QVERIFY(env.uploadEntries().isEmpty());
            return;
        }
        QCOMPARE(log.last(), kReleased);
        const QString folder = env.upload() + u'/' + env.jobs().value(0) + QStringLiteral(".dir");
        const QMap<QString, QByteArray> tree = treeOf(folder);
        if (!copied.isEmpty())
            QCOMPARE(tree, copied);
        QCOMPARE(std::count_if(tree.begin(), tree.end(), [](const QByteArray& c) { return c != "<dir>"; }), qsizetype(files));
        const QStringList notes = log.filter(QRegularExpression(QStringLiteral("^  (Links|Special)")));
        QCOMPARE(notes.join(u'|').left(fill(leftOut).size()), fill(leftOut));
        QCOMPARE(notes.isEmpty(), leftOut.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSubmission)
#include "tst_submission.moc"
