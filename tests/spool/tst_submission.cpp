#include "spool/Submission.h"

#include "client/Client.h"
#include "app/Startup.h"
#include "platform/Errors.h"
#include "selection/SelectionEntry.h"
#include "spool/JobDescriptor.h"
#include "util/FileCopy.h"
#include "util/FileSizes.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTest>

namespace {

const QString kReleased = QStringLiteral("05 - Lock released");

std::unique_ptr<Client> startClient(const TestEnv& env)
{
    env.writeDefaultPolicy();
    auto client = env.makeClient();
    StartClient(*client);
    client->texts.load(kEnglish, kProductTitle, kVersionText);
    client->form.setExpireText(QStringLiteral("48"));
    return client;
}

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
    int afterSubmission = 0;
    SubmissionHooks hooks(CopyObserver observer = {})
    {
        SubmissionHooks h;
        h.setWindowEnabled = [this](bool on) { windowStates.append(on); };
        h.copyObserver = std::move(observer);
        h.afterSubmission = [this] { ++afterSubmission; };
        return h;
    }
};

bool setImmutable(const QString& path, bool on)
{
    return QProcess::execute(QStringLiteral("chattr"), {on ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

} // namespace

class TestSubmission : public QObject {
    Q_OBJECT
private:
    // A failed job: exactly one error box with the given text in it, the lock still
    // there, the main window enabled again, no "05 - Lock released".
    void checkFailedJob(const TestEnv& env, const Client& client, const Recorder& rec, const QString& errorPart)
    {
        QCOMPARE(countShown(client, PromptKind::Error), 1);
        const QString error = client.prompter.shown().last().text;
        QVERIFY2(error.contains(errorPart), qPrintable(error));
        const QString name = jobName(env);
        QVERIFY(!name.isEmpty());
        QVERIFY(QFile::exists(env.upload() + u'/' + name + QStringLiteral(".lck")));
        QVERIFY(client.form.logLines().last() != kReleased);
        QVERIFY(!client.form.logLines().contains(kReleased));
        QCOMPARE(rec.windowStates, QList<bool>({false, true}));
        QCOMPARE(rec.afterSubmission, 0);
    }

private Q_SLOTS:
    void aWholeJob()
    {
        TestEnv env;
        auto client = startClient(env);
        const QString report = env.makeFile(QStringLiteral("src/Report.DOC"), "report \x01\x02");
        env.makeFile(QStringLiteral("src/Data/Project/plan.txt"), "plan");
        env.makeFile(QStringLiteral("src/Data/Project/.hidden/x.bin"), QByteArray(70000, 'x'));
        env.makeFile(QStringLiteral("src/Data/Project/Sub Folder/y"), "y");
        const QString project = env.root() + QStringLiteral("/src/Data/Project");
        ClientForm& form = client->form;
        form.setSelection({report, MakeFolderEntry(project, QStringLiteral("(:Ordner:)"))});
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

        FinishJob(*client, rec.hooks());

        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Confirm);
        QCOMPARE(client->prompter.shown().first().text, QStringLiteral("Sending, are you sure"));
        const QString name = jobName(env);
        QVERIFY2(name.startsWith(QStringLiteral("PV_")), qPrintable(uploadEntries(env).join(u' ')));
        QCOMPARE(uploadEntries(env), QStringList({name + ".dir", name + ".msg", name + ".pvx"}));
        const QString base = env.upload() + u'/' + name;

        // The descriptor, field by field.
        const QByteArray pvx = readAll(base + QStringLiteral(".pvx"));
        QCOMPARE(pvx.size(), 101370);
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
        QCOMPARE(treeOf(base + QStringLiteral(".dir")), expected);

        QCOMPARE(readAll(base + QStringLiteral(".msg")), QByteArray("Hello,\r\n\r\nGr\xfc\xdf" "e \x96 Ann\r\n"));

        const QStringList log = client->form.logLines();
        QCOMPARE(log.mid(log.size() - 8),
                 QStringList({QString(), QString(), QStringLiteral("Processing job, please wait"),
                              QStringLiteral("01 - Creating lock"), QStringLiteral("02 - Creating PVX"),
                              QStringLiteral("03 - Copying files/folders"), QStringLiteral("04 - Creating MSG file"),
                              kReleased}));
        QCOMPARE(log.first(), QStringLiteral("Determine what to sent:"));
        QCOMPARE(rec.windowStates, QList<bool>({false, true}));
        QCOMPARE(rec.afterSubmission, 1);
        // The message memory is saved first, in every case.
        QVERIFY(QFile::exists(client->state.messageCachePath()));
    }

    void theLockFileAndAnEmptyMessage()
    {
        TestEnv env;
        auto client = startClient(env);
        client->form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
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
        auto client = startClient(env);
        client->form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
        client->prompter.queueAnswers({PromptAnswer::No});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        QVERIFY(uploadEntries(env).isEmpty());
        QCOMPARE(client->form.logLines().last(), QStringLiteral("  Expires: 48 hours"));
        QCOMPARE(rec.afterSubmission, 0);
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
        auto client = startClient(env);
        ClientForm& form = client->form;
        if (what != u"nothing")
            form.setSelection({env.makeFile(QStringLiteral("a.txt"), QByteArray(2 * 1024 * 1024, 'a'))});
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
        auto client = startClient(env);
        ClientForm& form = client->form;
        form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
        for (int i = 0; i < 500; ++i)
            form.appendRecipient(QStringLiteral("%1@example.com").arg(i, 188, 10, QLatin1Char('r')));
        form.setSubjectText(QString(200, u'\u00e9'));
        client->state.SenderEmail = QString(200, u'e');
        client->state.SenderName = QString(200, u'n');
        client->state.SenderCompany = QString(200, u'\u20ac');
        form.setMessageLines({QString(3998, u'm'), QString(), QString()});
        form.setExpireText(QStringLiteral("99999"));
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        const QString job = env.upload() + u'/' + jobName(env);
        QString problem;
        const auto d = DecodeJobDescriptor(readAll(job + QStringLiteral(".pvx")), &problem);
        QVERIFY2(d.has_value(), qPrintable(problem));
        QCOMPARE(d->recipients, form.recipients());
        QCOMPARE(d->recipients.last().size(), 200);
        QCOMPARE(d->subject, form.subjectText());
        QCOMPARE(d->senderEmail, client->state.SenderEmail);
        QCOMPARE(d->senderName, client->state.SenderName);
        QCOMPARE(d->senderCompany, client->state.SenderCompany);
        QCOMPARE(d->expireHours, QStringLiteral("99999"));
        QCOMPARE(readAll(job + QStringLiteral(".msg")).size(), 3998 + 3 * 2);
    }

    void clashesAndDuplicatesInAJob()
    {
        TestEnv env;
        auto client = startClient(env);
        const QString a = env.makeFile(QStringLiteral("a/report.doc"), "A");
        const QString b = env.makeFile(QStringLiteral("b/report.doc"), "B");
        client->form.setSelection({a, b, a});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        QCOMPARE(treeOf(env.upload() + u'/' + jobName(env) + QStringLiteral(".dir")),
                 (QMap<QString, QByteArray>{{QStringLiteral("report.doc"), "A"}, {QStringLiteral("report (2).doc"), "B"}}));
    }

    void aLinkCycleIsSizedAndCopiedOnce()
    {
        TestEnv env;
        auto client = startClient(env);
        env.makeFile(QStringLiteral("t/a.bin"), QByteArray(5000, 'a'));
        env.makeFile(QStringLiteral("t/sub/b.bin"), QByteArray(600, 'b'));
        const QString t = env.root() + QStringLiteral("/t");
        QVERIFY(QFile::link(t, t + QStringLiteral("/sub/loop")));
        client->form.setSelection({MakeFolderEntry(t, QStringLiteral("(:Folder:)"))});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        QCOMPARE(client->form.logLines().last(), kReleased);
        const QString copy = env.upload() + u'/' + jobName(env) + QStringLiteral(".dir/t");
        QCOMPARE(FolderBytes(copy), qint64(5600));
        QCOMPARE(FolderBytes(t), FolderBytes(copy));
        QVERIFY(!QFileInfo::exists(copy + QStringLiteral("/sub/loop")));
    }

    void aSourceRemovedAfterItWasAdded()
    {
        TestEnv env;
        auto client = startClient(env);
        const QString kept = env.makeFile(QStringLiteral("kept.txt"), "k");
        const QString gone = env.makeFile(QStringLiteral("gone.txt"), "g");
        client->form.setSelection({kept, gone});
        QVERIFY(QFile::remove(gone));
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        checkFailedJob(env, *client, rec, QStringLiteral("No such file or directory: ") + gone);
        QCOMPARE(client->form.logLines().last(), QStringLiteral("03 - Copying files/folders"));
        QVERIFY(!QFile::exists(env.upload() + u'/' + jobName(env) + QStringLiteral(".msg")));
    }

    void cancelStopsTheJob()
    {
        TestEnv env;
        auto client = startClient(env);
        client->form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks([](const CopyProgress&) { return false; }));
        checkFailedJob(env, *client, rec, QStringLiteral("The copy was cancelled."));

        // The message is in the user's language.
        TestEnv german;
        auto other = startClient(german);
        other->state.LanguageName = kGerman;
        other->form.setSelection({german.makeFile(QStringLiteral("a.txt"), "a")});
        other->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder otherRec;
        FinishJob(*other, otherRec.hooks([](const CopyProgress&) { return false; }));
        checkFailedJob(german, *other, otherRec, QStringLiteral("Das Kopieren wurde abgebrochen."));
    }

    void aDiskThatFillsDuringTheCopy()
    {
        TestEnv env;
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (!tmpfs.mount(env.upload(), QStringLiteral("size=1m"), &why))
            QSKIP(qPrintable(why));
        auto client = startClient(env);
        client->form.setSelection({env.makeFile(QStringLiteral("big.bin"), QByteArray(3 * 1024 * 1024, 'b'))});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        FinishJob(*client, rec.hooks());
        checkFailedJob(env, *client, rec, QStringLiteral("No space left on device: "));
        QVERIFY(client->prompter.shown().last().text.endsWith(QStringLiteral(".dir/big.bin")));
    }

    void anUploadFolderMadeReadOnlyDuringTheJob()
    {
        TestEnv env;
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (!tmpfs.mount(env.upload(), QStringLiteral("size=4m"), &why))
            QSKIP(qPrintable(why));
        auto client = startClient(env);
        client->form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        bool remounted = false;
        FinishJob(*client, rec.hooks([&](const CopyProgress&) {
            if (!remounted)
                remounted = fsfault::remountReadOnly(env.upload(), true, &why);
            return true;
        }));
        QVERIFY2(remounted, qPrintable(why));
        checkFailedJob(env, *client, rec, QStringLiteral("Read-only file system: "));
    }

    void aReadOnlyUploadFolderGetsNoEntry()
    {
        TestEnv env;
        QString why;
        fsfault::ScopedTmpfs tmpfs;
        if (!tmpfs.mount(env.upload(), QStringLiteral("size=1m"), &why))
            QSKIP(qPrintable(why));
        auto client = startClient(env); // the probe passes
        QVERIFY2(fsfault::remountReadOnly(env.upload(), true, &why), qPrintable(why));
        client->form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
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
        auto client = startClient(env);
        client->form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        QString lock;
        FinishJob(*client, rec.hooks([&](const CopyProgress&) {
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
        QCOMPARE(rec.afterSubmission, 1);
    }

    void autoQuitEndsRightAfterTheLockIsReleased()
    {
        TestEnv env;
        auto client = startClient(env);
        client->form.setAutoQuit(true);
        client->form.setSelection({env.makeFile(QStringLiteral("a.txt"), "a")});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        SubmissionHooks hooks = rec.hooks();
        hooks.endProgram = [&] { QuitProgram(*client, true); };
        bool ended = false;
        try {
            FinishJob(*client, hooks);
        } catch (const ProcessExit& e) {
            ended = true;
            QCOMPARE(e.code, 0);
        }
        QVERIFY(ended);
        QCOMPARE(client->form.logLines().last(), kReleased);
        QCOMPARE(rec.afterSubmission, 0);
        QCOMPARE(client->prompter.shown().size(), 1); // the confirmation only
    }
};

QTEST_GUILESS_MAIN(TestSubmission)
#include "tst_submission.moc"
