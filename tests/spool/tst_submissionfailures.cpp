// A job that goes wrong once Finish has begun: taken away again, lock last, or left
// with what stays named; each fault happens for real while the job is written.
#include "client/Client.h"
#include "sent/SentRecorder.h"
#include "sent/SentStore.h"

#include "SubmissionRecorder.h"
#include "TestSupport.h"

#include <QFile>
#include <QTest>

#include <algorithm>

class TestSubmissionFailures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A job that fails after its lock was made takes away what it wrote, the lock
    // last; the box says what failed and whether the job is gone. Each row makes one
    // fault happen for real while the selection is copied.
    void aFailedJobIsTakenAway_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("error"); // %job: the job's path without extension
        QTest::addColumn<QStringList>("left"); // %name: the job's name
        const QString removed = QStringLiteral("\nThe job was removed from the upload folder.");
        // The cancel is told in the user's language.
        QTest::newRow("cancelled, German") << "cancel" << "Das Kopieren wurde abgebrochen." + removed << QStringList();
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
        if (fault == u"cancel")
            client->state.LanguageName = kGerman;
        const QString source = env.makeFile(QStringLiteral("big.bin"), QByteArray(fault == u"shrink" ? 40 << 20 : 3 << 20, 'b'));
        client->form.setSelection({SelectionEntry::file(source)});
        client->prompter.queueAnswers({PromptAnswer::Yes});
        Recorder rec;
        SentStore store(SentStore::pathIn(env.userDataFolder()));
        SentRecorder sent(store);
        rec.observer = &sent;
        QString name;
        bool done = false, stop = false;
        SubmissionHooks hooks = rec.hooks([&](const CopyProgress&) {
            if (fault == u"cancel")
                return false;
            if (name.isEmpty()) {
                // The faults come once the job has its lock (a report may come before).
                const QString lock = env.uploadEntries().filter(QStringLiteral(".lck")).value(0);
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
        QCOMPARE(std::ranges::count(client->prompter.shown(), PromptKind::Error, &Prompt::kind), 1);
        QCOMPARE(client->prompter.shown().last().text, fill(error));
        QStringList expectedLeft;
        for (const QString& entry : left)
            expectedLeft << fill(entry);
        QCOMPARE(env.uploadEntries(), expectedLeft);
        QVERIFY(!client->form.logLines().contains(kReleased));
        QCOMPARE(rec.windowStates, QList<bool>({false, true}));
        // Nothing follows a job taken away; a stop is told apart from a failure.
        QCOMPARE(result.end, fault == u"stop" ? SubmissionResult::End::Stopped : SubmissionResult::End::Failed);
        QCOMPARE(result.message, fill(error));
        // The record of sent jobs keeps how it ended, a lock left behind too.
        const SentRecord record = store.records()->value(0);
        QCOMPARE(record.outcome, fault == u"immutable" ? SentOutcome::FailedLocked : SentOutcome::FailedRemoved);
        QCOMPARE(record.problem, fill(error));
        QVERIFY(record.ended.isValid());
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
        Recorder rec;
        rec.finish(*client);
        QCOMPARE(std::ranges::count(client->prompter.shown(), PromptKind::Error, &Prompt::kind), 1);
        QVERIFY(client->prompter.shown().last().text.startsWith(QStringLiteral("Read-only file system: ")));
        QVERIFY(env.uploadEntries().isEmpty());
        QCOMPARE(client->form.logLines().last(), QStringLiteral("01 - Creating lock"));
    }

    void aLockThatCannotBeDeletedIsReported()
    {
        TestEnv env;
        auto client = env.startedClient();
        client->form.setSelection({SelectionEntry::file(env.makeFile(QStringLiteral("a.txt"), "a"))});
        Recorder rec;
        SentStore store(SentStore::pathIn(env.userDataFolder()));
        SentRecorder sent(store);
        rec.observer = &sent;
        QString lock;
        const SubmissionResult result = rec.finish(*client, [&](const CopyProgress&) {
            for (const QString& e : env.uploadEntries())
                if (lock.isEmpty() && e.endsWith(QStringLiteral(".lck")) && setImmutable(env.upload() + u'/' + e, true))
                    lock = env.upload() + u'/' + e;
            return true;
        });
        if (lock.isEmpty())
            QSKIP("this file system cannot make a file immutable");
        setImmutable(lock, false);
        QCOMPARE(std::ranges::count(client->prompter.shown(), PromptKind::Error, &Prompt::kind), 1);
        QCOMPARE(client->prompter.shown().last().text, QStringLiteral("Operation not permitted: ") + lock);
        QVERIFY(QFile::exists(lock));
        QCOMPARE(client->form.logLines().last(), QStringLiteral("04 - Creating MSG file"));
        // The rest goes on as usual: the job is otherwise complete.
        QVERIFY(QFile::exists(lock.chopped(4) + QStringLiteral(".msg")));
        QCOMPARE(result.end, SubmissionResult::End::Written);
        QVERIFY(!result.lockReleased);
        QCOMPARE(store.records()->value(0).outcome, SentOutcome::FailedLocked);
        QCOMPARE(store.records()->value(0).problem, QStringLiteral("Operation not permitted: ") + lock);
    }
};

QTEST_GUILESS_MAIN(TestSubmissionFailures)
#include "tst_submissionfailures.moc"
