#include "spool/Submission.h"

#include "client/Client.h"
#include "platform/Errors.h"
#include "spool/JobDescriptor.h"
#include "util/FileCopy.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTest>

#include <QRegularExpression>

#include <fcntl.h>
#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <sys/un.h>
#endif
#include <sys/stat.h>

#include <unistd.h>

namespace {

const QString kReleased = QStringLiteral("05 - Lock released");

QStringList uploadEntries(const TestEnv& env)
{
    return QDir(env.upload()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The one job in the upload folder: its name without extension.
QString jobName(const TestEnv& env)
{
    QStringList names;
    for (const QString& e : uploadEntries(env))
        names.append(e.left(e.lastIndexOf(u'.')));
    names.removeDuplicates();
    return names.size() == 1 ? names.first() : QString();
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

int countShown(const Client& client, PromptKind kind)
{
    int n = 0;
    for (const Prompt& p : client.prompter.shown())
        n += p.kind == kind;
    return n;
}

// What the window records of a submission.
struct Recorder {
    QList<bool> windowStates;
    SubmissionHooks hooks(CopyObserver observer = {})
    {
        SubmissionHooks h;
        h.setWindowEnabled = [this](bool on) { windowStates.append(on); };
        h.copyObserver = std::move(observer);
        return h;
    }
};


} // namespace

using Tree = QMap<QString, QByteArray>;

class TestSubmission : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aWholeJob()
    {
        TestEnv env;
        auto client = env.startedClient();
        const QString report = env.makeFile(QStringLiteral("src/Report.DOC"), "report \x01\x02");
        // Only readable by its owner, and old: the copy is readable as new files are,
        // and keeps its time.
        QVERIFY(QFile::setPermissions(report, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
        {
            QFile f(report);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(old, QFileDevice::FileModificationTime));
        }
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
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;

        const mode_t umask = ::umask(022);
        const SubmissionResult result = FinishJob(*client, rec.hooks());
        ::umask(umask);

        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Confirm);
        QCOMPARE(client->prompter.shown().first().text, QStringLiteral("Sending, are you sure"));
        const QString name = jobName(env);
        QVERIFY2(name.startsWith(QStringLiteral("PV_")), qPrintable(uploadEntries(env).join(u' ')));
        QCOMPARE(uploadEntries(env), QStringList({name + ".dir", name + ".msg", name + ".pvx"}));
        const QString base = env.upload() + u'/' + name;

        // The descriptor, field by field.
        const QByteArray pvx = readAll(base + QStringLiteral(".pvx"));
        QCOMPARE(pvx.size(), kDescriptorSize);
        QCOMPARE(pvx.mid(0, 16), QByteArray("\x0f" "ann@example.com"));
        QCOMPARE(pvx.mid(201, 21), QByteArray("\x14" "Bj\xf6rn <b@example.se>"));
        QCOMPARE(pvx.mid(402, 4), QByteArray("\x03n/a"));
        QCOMPARE(pvx.mid(499 * 201, 4), QByteArray("\x03n/a"));
        QCOMPARE(pvx.mid(100500, 16), QByteArray("\x0f" "ann@example.com"));
        QCOMPARE(pvx.mid(100701, 11), QByteArray("\x0a" "Ann \xc5str\xf6m"));
        QCOMPARE(pvx.mid(100902, 7), QByteArray("\x06Trovik"));
        QCOMPARE(pvx.mid(101103, 8), QByteArray("\x07Pl\xe4ne \x80"));
        QCOMPARE(pvx.mid(101304, 8), QByteArray("\x07" "ENABLED"));
        QCOMPARE(pvx.mid(101325, 9), QByteArray("\x08" "DISABLED"));
        QCOMPARE(pvx.mid(101346, 3), QByteArray("\x02" "72"));
        QCOMPARE(pvx.right(2), QByteArray("\x01\x00", 2));
        QVERIFY(DecodeJobDescriptor(pvx).has_value());

        // The folder holds exact copies of both items, names and case kept.
        QMap<QString, QByteArray> expected;
        const auto projectTree = treeOf(project);
        for (auto it = projectTree.begin(); it != projectTree.end(); ++it)
            expected.insert(QStringLiteral("Project/") + it.key(), it.value());
        expected.insert(QStringLiteral("Project"), "<dir>");
        expected.insert(QStringLiteral("Report.DOC"), "report \x01\x02");
        expected.insert(QStringLiteral("Report.DOC (:Map:)"), "chosen");
        QCOMPARE(treeOf(base + QStringLiteral(".dir")), expected);
        const QFileInfo copy(base + QStringLiteral(".dir/Report.DOC"));
        QCOMPARE(int(copy.permissions() & 0x0fff), int(QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                         QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QCOMPARE(copy.lastModified().toUTC(), old);

        QCOMPARE(readAll(base + QStringLiteral(".msg")), QByteArray("Hello,\r\n\r\nGr\xfc\xdf" "e \x96 Ann\r\n"));

        const QStringList log = client->form.logLines();
        QCOMPARE(log.mid(log.size() - 8),
                 QStringList({QString(), QString(), QStringLiteral("Processing job, please wait"),
                              QStringLiteral("01 - Creating lock"), QStringLiteral("02 - Creating PVX"),
                              QStringLiteral("03 - Copying files/folders"), QStringLiteral("04 - Creating MSG file"),
                              kReleased}));
        QCOMPARE(log.first(), QStringLiteral("Determine what to sent:"));
        QCOMPARE(rec.windowStates, QList<bool>({false, true}));
        // Written whole: the window asks what next.
        QCOMPARE(result.end, SubmissionResult::End::Written);
        QVERIFY(result.lockReleased && !result.autoQuit);
        // The message memory is saved first, in every case.
        QVERIFY(QFile::exists(client->state.messageCachePath()));
    }

    void theLockFileAndAnEmptyMessage()
    {
        TestEnv env;
        auto client = env.startedClient();
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        QString lockText;
        // The lock, as it stands while the job is written.
        Recorder rec;
        SubmissionHooks hooks = rec.hooks([&](const CopyProgress&) {
            for (const QString& e : uploadEntries(env))
                if (e.endsWith(QStringLiteral(".lck")))
                    lockText = QString::fromLatin1(readAll(env.upload() + u'/' + e)) + u'|' + e;
            return true;
        });
        client->prompter.queueAnswers({PromptAnswer::Yes});
        FinishJob(*client, hooks);
        const QString name = jobName(env);
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
        client->prompter.queueAnswers({PromptAnswer::No});
        Recorder rec;
        const SubmissionResult result = FinishJob(*client, rec.hooks());
        QVERIFY(uploadEntries(env).isEmpty());
        QCOMPARE(client->form.logLines().last(), QStringLiteral("  Expires: 48 hours"));
        QCOMPARE(result.end, SubmissionResult::End::NotSent);
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("box");
        QTest::newRow("nothing selected")
            << "nothing" << "WARNING: No files or folders selected, select one or more files or folders and press Finish again.";
        QTest::newRow("too large") << "large"
                                   << "WARNING: Selected files/folders are too large, select fewer items or contact your "
                                      "system administrator";
        QTest::newRow("501 recipients") << "recipients" << "There are 501 recipients, but a job can go to at most 500.";
        QTest::newRow("subject") << "subject" << "The subject contains the character \"\u0141\" (U+0141)";
        QTest::newRow("recipient") << "recipient" << "The recipient \u0142@example.pl contains the character";
        QTest::newRow("sender name") << "name" << "The sender's name contains the character \"\u4e2d\" (U+4E2D)";
        QTest::newRow("sender e-mail") << "email" << "The sender's e-mail address contains";
        QTest::newRow("sender company") << "company" << "The sender's company contains";
        QTest::newRow("message") << "message" << "The message contains the character \"\U0001F600\" (U+1F600)";
        // A control character would reach the server inside a field (a line break in an
        // address makes a mail header of its own): refused, naming field and character.
        QTest::newRow("recipient with a line end")
            << "recipient crlf"
            << "The recipient a@x.org\\r\\nbcc@evil.org holds a carriage return (U+000D), which a job cannot carry.";
        QTest::newRow("subject with an escape") << "subject esc" << "The subject holds an escape character (U+001B)";
        QTest::newRow("subject with a C1 control") << "subject c1" << "The subject holds a control character (U+0085)";
        QTest::newRow("sender name with a NUL") << "name nul" << "The sender's name holds a NUL character (U+0000)";
        QTest::newRow("sender e-mail with DEL") << "email del" << "The sender's e-mail address holds a delete character";
        QTest::newRow("message with a bell") << "message bell" << "The message holds a bell character (U+0007)";
        // Fields longer than the job holds are refused, never cut (a cut address is another one).
        QTest::newRow("long recipient")
            << "long recipient"
            << "The recipient " + QString(40, u'r') + "... is 212 characters long, but a job has room for 200. "
                                                      "Shorten it and press Finish again.";
        QTest::newRow("long subject") << "long subject"
                                      << "The subject is 201 characters long, but a job has room for 200. Shorten it "
                                         "and press Finish again.";
        QTest::newRow("long sender e-mail") << "long email"
                                            << "The sender's e-mail address is 201 characters long, but a job has room "
                                               "for 200. Shorten it in the Settings and press Finish again.";
        QTest::newRow("long sender name") << "long name" << "The sender's name is 201 characters long";
        QTest::newRow("long sender company") << "long company" << "The sender's company is 201 characters long";
        QTest::newRow("long message") << "long message"
                                      << "The message is 4001 characters long, but a message holds at most 4000.";
        QTest::newRow("empty expiry") << "empty expiry" << "The expiry \"\" is not a number of hours of 1 to 5 digits.";
        QTest::newRow("expiry in words") << "expiry words" << "The expiry \"1 week\" is not a number of hours";
    }
    void refusalsWriteNothing()
    {
        QFETCH(QString, what);
        QFETCH(QString, box);
        TestEnv env;
        auto client = env.startedClient();
        ClientForm& form = client->form;
        if (what != u"nothing")
            form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), QByteArray(2 * 1024 * 1024, 'a')))});
        if (what == u"large")
            client->state.MaxSize = QStringLiteral("1");
        if (what == u"recipients") {
            for (int i = 0; i < 501; ++i)
                form.appendRecipient(QStringLiteral("r%1@example.com").arg(i));
            form.appendRecipient(QString()); // empty entries take no slot and do not count
        }
        if (what == u"subject")
            form.setSubjectText(QStringLiteral("Zw\u0141"));
        if (what == u"recipient")
            form.setRecipients({QStringLiteral("ok@example.com"), QStringLiteral("\u0142@example.pl")});
        if (what == u"name")
            client->state.SenderName = QStringLiteral("\u4e2d");
        if (what == u"email")
            client->state.SenderEmail = QStringLiteral("\u0410@example.ru");
        if (what == u"company")
            client->state.SenderCompany = QStringLiteral("\u0100 Ltd");
        if (what == u"message")
            form.setMessageLines({QStringLiteral("fine"), QStringLiteral("\U0001F600")});
        if (what == u"recipient crlf")
            form.setRecipients({QStringLiteral("a@x.org\r\nbcc@evil.org")});
        if (what == u"subject esc")
            form.setSubjectText(QStringLiteral("Plans\x1b[2J"));
        if (what == u"subject c1")
            form.setSubjectText(QStringLiteral("Plans\u0085"));
        if (what == u"name nul")
            client->state.SenderName = QStringLiteral("Ann") + QChar(0);
        if (what == u"email del")
            client->state.SenderEmail = QStringLiteral("ann\x7f@example.org");
        if (what == u"message bell")
            form.setMessageLines({QStringLiteral("ring\x07")});
        if (what == u"long recipient")
            form.setRecipients({QStringLiteral("ok@example.com"), QString(200, u'r') + QStringLiteral("@example.com")});
        if (what == u"long subject")
            form.setSubjectText(QString(201, u's'));
        if (what == u"long email")
            client->state.SenderEmail = QString(201, u'e');
        if (what == u"long name")
            client->state.SenderName = QString(201, u'n');
        if (what == u"long company")
            client->state.SenderCompany = QString(201, u'c');
        if (what == u"long message") // two line ends count one character each
            form.setMessageLines({QString(2000, u'a'), QString(1999, u'b'), QString()});
        if (what == u"empty expiry")
            form.setExpireText(QString());
        if (what == u"expiry words")
            form.setExpireText(QStringLiteral("1 week"));
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        QVERIFY(uploadEntries(env).isEmpty());
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
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        const QString job = env.upload() + u'/' + jobName(env);
        QString problem;
        const auto d = DecodeJobDescriptor(readAll(job + QStringLiteral(".pvx")), &problem);
        QVERIFY2(d.has_value(), qPrintable(problem));
        QCOMPARE(d->recipients, form.recipients());
        QCOMPARE(d->recipients.last().size(), kTextFieldBytes);
        QCOMPARE(d->subject, form.subjectText());
        QCOMPARE(d->senderEmail, client->state.SenderEmail);
        QCOMPARE(d->senderName, client->state.SenderName);
        QCOMPARE(d->senderCompany, client->state.SenderCompany);
        QCOMPARE(d->expireHours, QStringLiteral("99999"));
        QCOMPARE(readAll(job + QStringLiteral(".msg")).size(), kMessageMaxChars - 2 + 3 * 2);
    }

    // Sources that real home folders hold, each through Finish: either the job copies
    // what the row says (and its summary names what it leaves out), or Finish refuses
    // with one box naming the item and the reason, and nothing is written.
    void oddSources_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QMap<QString, QByteArray>>("copied"); // below the job folder
        QTest::addColumn<int>("files");                         // files in the job folder
        QTest::addColumn<QString>("leftOut");                   // the summary's lines about it
        // %root: the test's folder; …: anything
        QTest::addColumn<QString>("refusal");
        using Tree = QMap<QString, QByteArray>;
        const Tree justA{{"t", "<dir>"}, {"t/a.txt", "a"}};
        QTest::newRow("link to /proc") << "proc" << justA << 1
                                       << "  Links and system folders not followed: 1 (%root/t/proc)" << "";
        QTest::newRow("15 levels of two links each") << "levels" << Tree() << 1
                                                     << "  Links and system folders not followed: 15 (" << "";
        QTest::newRow("link cycle, dangling link")
            << "cycle" << Tree{{"t", "<dir>"}, {"t/a.txt", "a"}, {"t/sub", "<dir>"}, {"t/sub/b.txt", "b"}} << 2
            << "  Links and system folders not followed: 2 (" << "";
        QTest::newRow("link to a file") << "file link" << Tree{{"t", "<dir>"}, {"t/a.txt", "a"}, {"t/x", "outside"}}
                                        << 2 << "" << "";
        QTest::newRow("pipe and socket inside")
            << "specials" << justA << 1 << "  Special files left out (pipes, devices, sockets): 2 (%root/t/" << "";
        QTest::newRow("name that is no text") << "bytes" << Tree() << -1 << "" << "";
        QTest::newRow("link into the upload folder")
            << "upload link" << justA << 1 << "  Links and system folders not followed: 1 (%root/t/jobs)" << "";
        QTest::newRow("pipe selected") << "pipe" << Tree() << 0 << ""
                                       << "Cannot send %root/p: it is a named pipe (FIFO), not a file or folder.";
        QTest::newRow("system file selected")
            << "proc file" << Tree() << 0 << ""
            << "Cannot send /proc/self/status: it lies on a system file system, whose files are views of the "
               "running system, not data.";
        QTest::newRow("gone since it was added") << "gone" << Tree() << 0 << ""
                                                 << "Cannot send %root/t/a.txt: it cannot be examined (No such file "
                                                    "or directory).";
        QTest::newRow("the upload folder") << "upload" << Tree() << 0 << ""
                                           << "Cannot send %root/upload: it is the upload folder or lies inside it.";
        QTest::newRow("a folder holding it") << "root" << Tree() << 0 << ""
                                             << "Cannot send %root: the upload folder %root/upload lies inside it.";
        QTest::newRow("name too long after its (2)")
            << "long name" << Tree() << 0 << ""
            << "Cannot send %root/b/%250.txt: its name is 258 bytes long, and the upload folder's file system takes "
               "names of at most 255 bytes.";
        QTest::newRow("path too long in the job")
            << "long path" << Tree() << 0 << ""
            << "Cannot send %root/d/%200/…: its path in the job, %root/upload/PV_… bytes long, and the upload "
               "folder's file system takes paths of at most 4095 bytes.";
        QTest::newRow("not enough room") << "room" << Tree() << 0 << ""
                                         << "Not enough room in the upload folder %root/upload/: the job needs 5…"
                                            " bytes, 1048576 bytes are free.";
    }
    void oddSources()
    {
        QFETCH(QString, source);
        QFETCH(Tree, copied);
        QFETCH(int, files);
        QFETCH(QString, leftOut);
        QFETCH(QString, refusal);
        TestEnv env;
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (source == u"room" && !tmpfs.mount(env.upload(), QStringLiteral("size=1m"), &why))
            QSKIP(qPrintable(why));
        auto client = env.startedClient();
        const QString root = env.root();
        const QString t = root + QStringLiteral("/t");
        env.makeFile(QStringLiteral("t/a.txt"), "a");
        const auto link = [](const QString& target, const QString& name) { QVERIFY(QFile::link(target, name)); };
        QList<SelectionEntry> selection{SelectionEntry::folder(t, QStringLiteral("(:Folder:)"))};
        if (source == u"proc")
            link(QStringLiteral("/proc"), t + QStringLiteral("/proc"));
        if (source == u"levels") {
            // L0 holds two links to L1, L1 two links to L2 ... L15 one file: followed
            // as links go, 2^15 copies of it.
            QDir().mkpath(root + QStringLiteral("/L/L15"));
            env.makeFile(QStringLiteral("L/L15/f"), "12345678");
            for (int i = 0; i < 15; ++i) {
                QDir().mkpath(root + QStringLiteral("/L/L%1").arg(i));
                for (const char* n : {"/a", "/b"})
                    link(QStringLiteral("../L%1").arg(i + 1), root + QStringLiteral("/L/L%1").arg(i) + QLatin1String(n));
            }
            selection = {SelectionEntry::folder(root + QStringLiteral("/L/L0"), QStringLiteral("(:Folder:)"))};
        }
        if (source == u"cycle") {
            env.makeFile(QStringLiteral("t/sub/b.txt"), "b");
            link(t, t + QStringLiteral("/sub/loop"));
            link(root + QStringLiteral("/nowhere"), t + QStringLiteral("/dangling"));
        }
        if (source == u"file link")
            link(env.makeFile(QStringLiteral("x.txt"), "outside"), t + QStringLiteral("/x"));
        if (source == u"specials") {
#ifdef Q_OS_WIN
            QSKIP("Windows folders hold no named pipes or sockets");
#else
            QCOMPARE(::mkfifo(QFile::encodeName(t + QStringLiteral("/fifo")).constData(), 0644), 0);
            const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, QFile::encodeName(t + QStringLiteral("/sock")).constData(), sizeof address.sun_path);
            QCOMPARE(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(sock);
#endif
        }
        if (source == u"bytes") {
#ifdef Q_OS_WIN
            QSKIP("a Windows name is always text");
#else
            const int fd = ::creat((QFile::encodeName(t) + "/\xff\xfe.bin").constData(), 0644);
            QVERIFY(fd >= 0 && ::write(fd, "odd", 3) == 3 && ::close(fd) == 0);
#endif
        }
        if (source == u"upload link")
            link(env.upload(), t + QStringLiteral("/jobs"));
        if (source == u"pipe") {
#ifdef Q_OS_WIN
            QSKIP("Windows folders hold no named pipes");
#else
            QCOMPARE(::mkfifo(QFile::encodeName(root + QStringLiteral("/p")).constData(), 0644), 0);
#endif
            selection = {SelectionEntry::file(root + QStringLiteral("/p"))};
        }
        if (source == u"proc file")
            selection = {SelectionEntry::file(QStringLiteral("/proc/self/status"))};
        if (source == u"gone") {
            selection = {SelectionEntry::file(t + QStringLiteral("/a.txt"))};
            QVERIFY(QFile::remove(t + QStringLiteral("/a.txt")));
        }
        if (source == u"upload")
            selection = {SelectionEntry::folder(env.upload(), QStringLiteral("(:Folder:)"))};
        if (source == u"root")
            selection = {SelectionEntry::folder(root, QStringLiteral("(:Folder:)"))};
        const QString n250(250, u'n');
        if (source == u"long name")
            selection = {SelectionEntry::file(env.makeFile(QStringLiteral("a/") + n250 + QStringLiteral(".txt"), "1")),
                         SelectionEntry::file(env.makeFile(QStringLiteral("b/") + n250 + QStringLiteral(".txt"), "2"))};
        const QString n200(200, u'n');
        if (source == u"long path") {
            // A source path the system still takes, whose copy's path in the job is too long.
            const int length = 4060 - int(root.size()) - 1;
            QString deep = QStringLiteral("d");
            while (deep.size() + 201 <= length)
                deep += u'/' + n200;
            deep += u'/' + QString(length - deep.size() - 1, u'm');
            QVERIFY(QDir().mkpath(root + u'/' + deep));
            selection = {SelectionEntry::folder(root + QStringLiteral("/d"), QStringLiteral("(:Folder:)"))};
        }
        if (source == u"room")
            selection = {SelectionEntry::file(env.makeFile(QStringLiteral("big.bin"), QByteArray(5 << 20, 'b')))};
        client->form.setSelection(selection);
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());

        const auto fill = [&](QString text) {
            return text.replace(QStringLiteral("%root"), root).replace(QStringLiteral("%250"), n250).replace(
                QStringLiteral("%200"), n200);
        };
        const QStringList log = client->form.logLines();
        if (!refusal.isEmpty()) {
            QCOMPARE(client->prompter.shown().size(), 1);
            QCOMPARE(client->prompter.shown().first().kind, PromptKind::Plain);
            const QString text = client->prompter.shown().first().text;
            QVERIFY2(matches(text, fill(refusal)), qPrintable(text));
            QVERIFY(uploadEntries(env).isEmpty());
            return;
        }
        QCOMPARE(log.last(), kReleased);
        const QString folder = env.upload() + u'/' + jobName(env) + QStringLiteral(".dir");
        const QMap<QString, QByteArray> tree = treeOf(folder);
        if (!copied.isEmpty())
            QCOMPARE(tree, copied);
        if (files >= 0)
            QCOMPARE(std::count_if(tree.begin(), tree.end(), [](const QByteArray& c) { return c != "<dir>"; }),
                     qsizetype(files));
        if (source == u"bytes") {
            // Read and removed by its bytes: Qt's names cannot reach it.
            const QByteArray copy = QFile::encodeName(folder) + "/t/\xff\xfe.bin";
            char buffer[8] = {};
            const int fd = ::open(copy.constData(), O_RDONLY);
            QVERIFY(fd >= 0);
            QCOMPARE(::read(fd, buffer, sizeof buffer), ssize_t(3));
            ::close(fd);
            QCOMPARE(QByteArray(buffer), QByteArray("odd"));
            QCOMPARE(::unlink(copy.constData()), 0);
            QCOMPARE(::unlink((QFile::encodeName(t) + "/\xff\xfe.bin").constData()), 0);
        }
        const QStringList notes = log.filter(QRegularExpression(QStringLiteral("^  (Links|Special)")));
        QCOMPARE(notes.join(u'|').left(fill(leftOut).size()), fill(leftOut));
        QCOMPARE(notes.isEmpty(), leftOut.isEmpty());
    }

    // A job that fails after its lock was made takes away what it wrote, the lock
    // last; the box says what failed and whether the job is gone. Each row makes one
    // fault happen for real while the selection is copied.
    void aFailedJobIsTakenAway_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("error"); // %job: the job's path without extension
        QTest::addColumn<QStringList>("left"); // %name: the job's name
        const QString removed = QStringLiteral("\nThe job was removed from the upload folder.");
        QTest::newRow("cancelled") << "cancel" << "The copy was cancelled." + removed << QStringList();
        // The cancel is told in the user's language.
        QTest::newRow("cancelled, German") << "cancel de" << "Das Kopieren wurde abgebrochen." + removed << QStringList();
        QTest::newRow("source shrinks") << "shrink" << "%root/big.bin changed while it was being copied." + removed
                                        << QStringList();
        QTest::newRow("interrupted") << "stop" << "Interrupted (SIGTERM)." + removed << QStringList();
        QTest::newRow("message name taken") << "plant" << "File exists: %job.msg" + removed << QStringList{"%name.msg"};
        QTest::newRow("disk fills") << "fill" << "No space left on device: %job.dir/big.bin" + removed
                                    << QStringList{"filler"};
        QTest::newRow("removal fails too")
            << "immutable"
            << "Operation not permitted: %job.dir/big.bin\nThe job could not be removed completely (Operation not "
               "permitted); left in the upload folder %root/upload/: %name.lck, %name.dir"
            << QStringList{"%name.dir", "%name.lck"};
    }
    void aFailedJobIsTakenAway()
    {
        QFETCH(QString, fault);
        QFETCH(QString, error);
        QFETCH(QStringList, left);
        TestEnv env;
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (fault == u"fill" && !tmpfs.mount(env.upload(), QStringLiteral("size=4m"), &why))
            QSKIP(qPrintable(why));
        auto client = env.startedClient();
        client->state.CopyWorkers = 8; // a failure in one worker while others copy
        if (fault == u"cancel de") {
            client->state.LanguageName = kGerman;
            fault = QStringLiteral("cancel");
        }
        const QString source = env.makeFile(QStringLiteral("big.bin"), QByteArray(fault == u"shrink" ? 40 << 20 : 3 << 20, 'b'));
        client->form.setSelection({SelectionEntry::file(source)});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        QString name;
        bool done = false, stop = false;
        SubmissionHooks hooks = rec.hooks([&](const CopyProgress&) {
            if (fault == u"cancel")
                return false;
            if (name.isEmpty()) {
                // The faults come once the job has its lock (a report may come before).
                const QString lock = uploadEntries(env).filter(QStringLiteral(".lck")).value(0);
                if (lock.isEmpty())
                    return true;
                name = lock.chopped(4);
            }
            if (done)
                return true;
            // At the first report, before the copy opens it (a change in the middle of a
            // copy is the command line's test, with strace holding the copy there).
            if (fault == u"shrink")
                done = QFile::resize(source, 1 << 20);
            if (fault == u"stop")
                done = stop = true;
            if (fault == u"plant")
                done = !env.makeFile(QStringLiteral("upload/") + name + QStringLiteral(".msg"), "planted").isEmpty();
            if (fault == u"fill")
                done = !env.makeFile(QStringLiteral("upload/filler"), QByteArray(2 << 20, 'f')).isEmpty();
            if (fault == u"immutable")
                done = setImmutable(env.upload() + u'/' + name + QStringLiteral(".dir"), true);
            return true;
        });
        hooks.stopRequested = [&stop] { return stop ? QStringLiteral("Interrupted (SIGTERM).") : QString(); };
        const SubmissionResult result = FinishJob(*client, hooks);
        if (fault == u"immutable") {
            setImmutable(env.upload() + u'/' + name + QStringLiteral(".dir"), false);
            if (!done)
                QSKIP("this file system cannot make a folder immutable");
        }
        QVERIFY(done || fault == u"cancel");

        const auto fill = [&](QString text) {
            return text.replace(QStringLiteral("%job"), env.upload() + u'/' + name)
                .replace(QStringLiteral("%name"), name)
                .replace(QStringLiteral("%root"), env.root());
        };
        QCOMPARE(countShown(*client, PromptKind::Error), 1);
        QCOMPARE(client->prompter.shown().last().text, fill(error));
        QStringList expectedLeft;
        for (const QString& entry : left)
            expectedLeft << fill(entry);
        QCOMPARE(uploadEntries(env), expectedLeft);
        QVERIFY(!client->form.logLines().contains(kReleased));
        QCOMPARE(rec.windowStates, QList<bool>({false, true}));
        // Nothing follows a job taken away; a stop is told apart from a failure.
        QCOMPARE(result.end, fault == u"stop" ? SubmissionResult::End::Stopped : SubmissionResult::End::Failed);
        QCOMPARE(result.message, fill(error));
    }

    void aReadOnlyUploadFolderGetsNoEntry()
    {
        TestEnv env;
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (!tmpfs.mount(env.upload(), QStringLiteral("size=1m"), &why))
            QSKIP(qPrintable(why));
        auto client = env.startedClient(); // the probe passes
        QVERIFY2(fsfault::remountReadOnly(env.upload(), true, &why), qPrintable(why));
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        QCOMPARE(countShown(*client, PromptKind::Error), 1);
        QVERIFY(client->prompter.shown().last().text.startsWith(QStringLiteral("Read-only file system: ")));
        QVERIFY(uploadEntries(env).isEmpty());
        QCOMPARE(client->form.logLines().last(), QStringLiteral("01 - Creating lock"));
    }

    void aLockThatCannotBeDeletedIsReported()
    {
        TestEnv env;
        auto client = env.startedClient();
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        QString lock;
        const SubmissionResult result = FinishJob(*client, rec.hooks([&](const CopyProgress&) {
            for (const QString& e : uploadEntries(env))
                if (lock.isEmpty() && e.endsWith(QStringLiteral(".lck")) && setImmutable(env.upload() + u'/' + e, true))
                    lock = env.upload() + u'/' + e;
            return true;
        }));
        if (lock.isEmpty())
            QSKIP("this file system cannot make a file immutable");
        setImmutable(lock, false);
        QCOMPARE(countShown(*client, PromptKind::Error), 1);
        QCOMPARE(client->prompter.shown().last().text, QStringLiteral("Operation not permitted: ") + lock);
        QVERIFY(QFile::exists(lock));
        QCOMPARE(client->form.logLines().last(), QStringLiteral("04 - Creating MSG file"));
        // The rest goes on as usual: the job is otherwise complete.
        QVERIFY(QFile::exists(lock.chopped(4) + QStringLiteral(".msg")));
        QCOMPARE(result.end, SubmissionResult::End::Written);
        QVERIFY(!result.lockReleased);
    }

    // The job ends first, whole; ending the program is the caller's to do.
    void autoQuitComesBackWithTheWrittenJob()
    {
        TestEnv env;
        auto client = env.startedClient();
        client->form.setAutoQuit(true);
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        const SubmissionResult result = FinishJob(*client, rec.hooks());
        QCOMPARE(result.end, SubmissionResult::End::Written);
        QVERIFY(result.autoQuit);
        QCOMPARE(client->form.logLines().last(), kReleased);
        QCOMPARE(client->prompter.shown().size(), 1); // the confirmation only
    }
};

QTEST_GUILESS_MAIN(TestSubmission)
#include "tst_submission.moc"
