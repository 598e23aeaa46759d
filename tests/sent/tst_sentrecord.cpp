// The record of sent jobs with real jobs in a real upload folder: what is recorded,
// how the folder decides a job's state, failures, a damaged or unwritable record, and
// the watching that tells when a job is taken.
#include "client/Client.h"
#include "platform/FileTree.h"
#include "sent/SentMonitor.h"
#include "sent/SentRecorder.h"
#include "sent/SentStates.h"
#include "sent/SentStore.h"
#include "util/CopyPlan.h"

#include "SubmissionRecorder.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using FolderSetup = std::function<void(const TestEnv& env, const QString& job)>;
Q_DECLARE_METATYPE(FolderSetup)

namespace {

QString storePath(const TestEnv& env) { return SentStore::pathIn(env.userDataFolder()); }

// The warnings a store gave, as "kind: detail".
struct Warnings {
    QStringList seen;
    SentStore::Warn warn()
    {
        return [this](SentStore::Warning w, const QString& detail) {
            const char* kind = w == SentStore::Warning::NotRecorded ? "not recorded"
                               : w == SentStore::Warning::NotRead   ? "not read"
                                                                    : "set aside";
            seen << QString::fromLatin1(kind) + QStringLiteral(": ") + detail;
        };
    }
};

// Sends the client's form as a job through Finish, recorded in store.
void finish(Client& client, SentStore& store)
{
    SentRecorder recorder(store);
    Recorder rec;
    rec.observer = &recorder;
    rec.finish(client);
}

SentState stateNow(SentStore& store, SentRecord* seen = nullptr)
{
    QList<SentRecord> records = store.records().value_or(QList<SentRecord>());
    if (records.size() != 1)
        return SentState::CannotTell;
    LookAtUploadFolders(records, &store);
    if (seen)
        *seen = records.first();
    return records.first().state;
}

// The three entries a complete job leaves in the upload folder.
void makeCompleteJob(const TestEnv& env, const QString& name)
{
    env.makeFile(QStringLiteral("upload/") + name + QStringLiteral(".pvx"), expectedRecord({.recipients = {"ann@example.org"}}));
    env.makeFile(QStringLiteral("upload/") + name + QStringLiteral(".dir/a.txt"), "a");
    env.makeFile(QStringLiteral("upload/") + name + QStringLiteral(".msg"), "");
}

} // namespace

class TestSentRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A job sent through Finish is recorded whole and privately, and then followed as
    // a server takes it entry by entry (all at once: tst_sentcli).
    void aJobIsFollowedUntilTheServerTakesIt()
    {
        TestEnv env;
        auto client = env.startedClient();
        client->form.setSelection({SelectionEntry::file(env.makeFile("src/a.txt", "alpha")),
                                   SelectionEntry::folder(env.root() + "/src/Project", "(:Folder:)")});
        env.makeFile("src/Project/b.txt", "beta");
        env.makeFile("src/Project/Sub/c.txt", "gamma");
        client->form.setRecipients({"ann@example.org", "bo@example.org"});
        client->form.setSubjectText("Plans");
        client->form.setMessageLines({"line one", "line two"});
        client->form.setExpireText("72");
        client->form.setSfx({false, false});
        Warnings warnings;
        SentStore store(storePath(env), warnings.warn());
        const QDateTime before = QDateTime::currentDateTimeUtc();
        finish(*client, store);
        const QString job = QDir(env.upload()).entryList({"*.pvx"}).value(0).chopped(4);
        QVERIFY(!job.isEmpty());

        SentRecord r;
        QCOMPARE(stateNow(store, &r), SentState::Waiting);
        QCOMPARE(r.name, job);
        QCOMPARE(r.uploadFolder, env.upload() + u'/');
        QCOMPARE(r.outcome, SentOutcome::Complete);
        QVERIFY(r.started >= before.addMSecs(-1) && r.started <= r.ended && r.ended <= QDateTime::currentDateTimeUtc());
        QCOMPARE(r.started.timeSpec(), Qt::UTC);
        QCOMPARE(r.files, 3);
        QCOMPARE(r.folders, 2);
        QCOMPARE(r.bytes, 14);
        QCOMPARE(r.recipients, (QStringList{"ann@example.org", "bo@example.org"}));
        QCOMPARE(r.subject, QStringLiteral("Plans"));
        QCOMPARE(r.expireHours, QStringLiteral("72"));
        QVERIFY(r.encrypted && !r.selfExtracting);
        QVERIFY(r.problem.isEmpty() && !r.taken.isValid());
        QVERIFY(store.readDetails(r));
        QCOMPARE(r.messageLines, (QStringList{"line one", "line two"}));
        QCOMPARE(r.logLines, client->form.logLines());
        // Only its owner may read it (the group and other bits are off).
        QVERIFY(usersAlone(storePath(env)));

        const QString path = env.upload() + u'/' + job;
        QVERIFY(QFile::remove(path + ".pvx"));
        QCOMPARE(stateNow(store), SentState::BeingTaken);
        QVERIFY(QDir(path + ".dir").removeRecursively());
        QCOMPARE(stateNow(store), SentState::BeingTaken);
        env.takeJob(job);
        const QDateTime gone = QDateTime::currentDateTimeUtc();
        QCOMPARE(stateNow(store, &r), SentState::Taken);
        QVERIFY(r.taken >= gone.addMSecs(-1) && r.taken <= QDateTime::currentDateTimeUtc());
        // The time it was first seen gone is kept: a later look finds it in the record.
        const SentRecord stored = store.records()->first();
        QCOMPARE(stored.taken, r.taken);
        QCOMPARE(warnings.seen, QStringList());
    }

    // The listing of the upload folder decides, the same for the Sent jobs window and
    // `parvela sent` as for `parvela jobs`; a link is never taken for an entry, and a
    // folder out of reach is never taken for a job that is gone.
    void theFolderDecides_data()
    {
        QTest::addColumn<FolderSetup>("setup");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("listed"); // what the listing calls it
        const auto lock = [](qint64 ageSeconds) {
            return FolderSetup([ageSeconds](const TestEnv& env, const QString& name) {
                QFile f(env.makeFile("upload/" + name + ".lck", "LOCK"));
                QVERIFY(f.open(QIODevice::ReadWrite));
                QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
            });
        };
        QTest::newRow("lock held by its writer") << FolderSetup() << int(SentOutcome::Writing)
                                                 << int(SentState::BeingWritten) << "incomplete";
        QTest::newRow("lock nobody holds, marked alive lately")
            << lock(60) << int(SentOutcome::Writing) << int(SentState::BeingWritten) << "incomplete";
        QTest::newRow("lock nobody holds for 20 minutes")
            << lock(20 * 60) << int(SentOutcome::Writing) << int(SentState::LeftLocked) << "abandoned";
        QTest::newRow("its writer said it left its lock")
            << lock(60) << int(SentOutcome::FailedLocked) << int(SentState::LeftLocked) << "incomplete";
        QTest::newRow("a complete job whose lock came back 20 minutes ago")
            << FolderSetup([lock](const TestEnv& env, const QString& name) {
                   makeCompleteJob(env, name);
                   lock(20 * 60)(env, name);
               })
            << int(SentOutcome::Complete) << int(SentState::LeftLocked) << "abandoned";
        QTest::newRow("folder out of reach") << FolderSetup([](const TestEnv& env, const QString& name) {
            makeCompleteJob(env, name);
            QVERIFY(QDir().rename(env.upload(), env.root() + "/elsewhere"));
        }) << int(SentOutcome::Complete) << int(SentState::CannotTell) << "";
        QTest::newRow("a link in place of the job folder") << FolderSetup([](const TestEnv& env, const QString& name) {
            makeCompleteJob(env, name);
            QVERIFY(QDir(env.upload() + u'/' + name + ".dir").removeRecursively());
            env.makeFile("real/a.txt", "a");
            QVERIFY(symbolicLink(env.root() + "/real", env.upload() + u'/' + name + ".dir"));
        }) << int(SentOutcome::Complete) << int(SentState::BeingTaken) << "broken";
        QTest::newRow("writer stopped, nothing left") << FolderSetup([](const TestEnv&, const QString&) {})
                                                      << int(SentOutcome::Writing) << int(SentState::Failed) << "";
        QTest::newRow("lock about to be made") << FolderSetup() << int(SentOutcome::Writing)
                                               << int(SentState::BeingWritten) << "";
        QTest::newRow("writer finished without saying")
            << FolderSetup(makeCompleteJob) << int(SentOutcome::Writing) << int(SentState::Waiting) << "complete";
    }
    void theFolderDecides()
    {
        QFETCH(FolderSetup, setup);
        QFETCH(int, outcome);
        QFETCH(int, state);
        QFETCH(QString, listed);
        if (QTest::currentDataTag() == QLatin1String("a link in place of the job folder") && !symbolicLinksAreMade())
            QSKIP(kNoSymbolicLinks);
        TestEnv env;
        const QString name = QStringLiteral("PV_HOST_20240501120000_abc");
        SentStore store(storePath(env));
        SentRecord record = sentRecord(name, env.upload() + u'/', SentOutcome(outcome));
        // A job is recorded just before its lock is made: the moment after, nothing of
        // it is there yet.
        const bool fresh = QTest::currentDataTag() == QLatin1String("lock about to be made");
        if (!fresh)
            record.started = record.started.addSecs(-2 * kLockGraceSeconds);
        QVERIFY(store.add(record) > 0);
        const filetree::FileSystem& fs = filetree::native();
        const std::unique_ptr<filetree::Folder> upload = fs.openFolder(QFile::encodeName(env.upload()));
        std::unique_ptr<filetree::Lock> held;
        if (setup)
            setup(env, name);
        else if (!fresh)
            held = fs.createLock(*upload, QFile::encodeName(name + ".lck"), "LOCK");

        SentRecord seen;
        QCOMPARE(int(stateNow(store, &seen)), state);
        // The listing that `parvela jobs` prints calls it the same.
        QCOMPARE(seen.folderState, listed);
        if (QFileInfo(env.upload()).isDir()) {
            const JobListing all = ListJobs(env.upload());
            const auto it = std::find_if(all.jobs.cbegin(), all.jobs.cend(), [&](const auto& j) { return j.name == name; });
            QCOMPARE(it == all.jobs.cend() ? QString() : StateText(it->state), listed);
        }
        if (QTest::currentDataTag() == QLatin1String("writer finished without saying")) {
            // Its lock gone and its entries there: the writer finished it, and the
            // record says so, so that once it is gone it counts as taken.
            QCOMPARE(store.records()->first().outcome, SentOutcome::Complete);
            env.takeJob(name);
            QCOMPARE(stateNow(store), SentState::Taken);
        }
        if (QTest::currentDataTag() == QLatin1String("folder out of reach"))
            QVERIFY(!store.records()->first().taken.isValid());
    }

    // A job the listing found gone is asked for once more, name by name, before it
    // counts as taken: an entry there now, or a folder gone, say no.
    void aGoneJobIsAskedForOnceMore()
    {
        TestEnv env;
        const QString name = QStringLiteral("PV_HOST_20240501120000_abc");
        const QByteArray raw = name.toUtf8();
        QVERIFY(JobIsGone(env.upload(), raw));
        env.makeFile("upload/" + name + ".msg", "");
        QVERIFY(!JobIsGone(env.upload(), raw));
        QVERIFY(QFile::remove(env.upload() + u'/' + name + ".msg"));
        QVERIFY(QDir(env.upload()).removeRecursively());
        QVERIFY(!JobIsGone(env.upload(), raw));
        QVERIFY(QDir().mkdir(env.upload()));
        if (!symbolicLink(env.root() + "/nowhere", env.upload() + u'/' + name + ".lck"))
            QSKIP(kNoSymbolicLinks);
        QVERIFY(!JobIsGone(env.upload(), raw));
    }

    // A job refused when it is submitted (its plan went bad after the question) is
    // recorded with the reason; how failed jobs are recorded: tst_submissionfailures.
    void aRefusalIsRecorded()
    {
        TestEnv env;
        auto client = env.startedClient();
        SentStore store(storePath(env));
        SentRecorder recorder(store);
        Recorder rec;
        rec.observer = &recorder;
        CopyPlan plan;
        plan.problem = {QStringLiteral("/nowhere"), QStringLiteral("it is gone")};
        const SubmissionResult result = SubmitJob(*client, plan, rec.hooks());
        QCOMPARE(result.end, SubmissionResult::End::Refused);
        QCOMPARE(result.message, QStringLiteral("Cannot send /nowhere: it is gone."));
        SentRecord r;
        QCOMPARE(stateNow(store, &r), SentState::Failed);
        QCOMPARE(r.outcome, SentOutcome::Refused);
        QCOMPARE(r.problem, result.message);
        QVERIFY(r.ended.isValid());
    }

    // The record never fails a job: a damaged one is set aside under a dated name and a
    // new one takes the job; one that cannot be written is a warning. A link where the
    // record or its log belongs counts as damaged, and what it leads to is left as it was.
    void theJobGoesWhateverTheRecord_data()
    {
        QTest::addColumn<QString>("record");
        QTest::newRow("damaged") << "damaged";
        QTest::newRow("cannot be written") << "cannot be written";
        QTest::newRow("a link to another database") << "link";
        QTest::newRow("its log a link to another database") << "log link";
    }
    void theJobGoesWhateverTheRecord()
    {
        QFETCH(QString, record);
        TestEnv env;
        auto client = env.startedClient();
        client->form.setSelection({SelectionEntry::file(env.makeFile("src/a.txt", "a"))});
        client->form.setRecipients({"ann@example.org"});
        const QByteArray garbage = QByteArray("This is no database. ").repeated(200);
        const QString path = storePath(env), elsewhere = env.root() + "/elsewhere";
        if (record == u"damaged")
            env.makeFile("appdata/Parvela/sent-jobs.sqlite", garbage);
        if (record == u"cannot be written" || record == u"log link") // a record made before
            SentStore(path).add(sentRecord("PV_before", env.upload() + u'/', SentOutcome::Complete));
        if (record == u"cannot be written" && !setImmutable(path, true))
            QSKIP("this file system cannot make a file immutable");
        if (record.contains(u"link")) { // to a database elsewhere, readable to all
            SentStore(elsewhere).add(sentRecord("PV_elsewhere", env.upload() + u'/', SentOutcome::Complete));
            QVERIFY(QFile::setPermissions(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
            if (!symbolicLink(elsewhere, record == u"link" ? path : path + "-wal"))
                QSKIP(kNoSymbolicLinks);
            QVERIFY(!usersAlone(elsewhere));
        }
        const QByteArray before = readAll(elsewhere);
        Warnings warnings;
        {
            SentStore store(path, warnings.warn());
            finish(*client, store);
        }
        if (record == u"cannot be written")
            setImmutable(path, false);
        QCOMPARE(client->form.logLines().last(), QStringLiteral("05 - Lock released"));
        QCOMPARE(QDir(env.upload()).entryList({"*.pvx"}).size(), 1);
        for (const Prompt& p : client->prompter.shown())
            QCOMPARE(p.kind, PromptKind::Confirm); // no error box

        const QList<SentRecord> records = SentStore(path).records().value_or(QList<SentRecord>());
        if (record == u"cannot be written") {
            // Tried at the start and again, whole, at the end.
            QCOMPARE(warnings.seen.size(), 2);
            QVERIFY2(warnings.seen.first().startsWith("not recorded: "), qPrintable(warnings.seen.first()));
            QCOMPARE(records.size(), 1);
            QCOMPARE(records.first().name, QStringLiteral("PV_before"));
            return;
        }
        QCOMPARE(warnings.seen.size(), 1);
        QVERIFY2(warnings.seen.first().startsWith("set aside: " + path + ".damaged-20"), qPrintable(warnings.seen.first()));
        const QString setAside = warnings.seen.first().mid(11);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().outcome, SentOutcome::Complete);
        if (record == u"damaged")
            QCOMPARE(readAll(setAside), garbage);
        if (record.contains(u"link"))
            QVERIFY(QFileInfo(record == u"log link" ? setAside + "-wal" : setAside).isSymLink() &&
                    readAll(elsewhere) == before && !usersAlone(elsewhere));
    }

    // While it runs, the monitor tells of a job it saw waiting that is taken (the
    // folder is watched), and of one written since it started that is taken before it
    // ever looked; never of one taken while it did not run.
    void theMonitorTellsWhenAJobIsTaken()
    {
        TestEnv env;
        SentStore store(storePath(env));
        SentRecord takenBefore = sentRecord("PV_taken_before", env.upload() + u'/', SentOutcome::Complete);
        takenBefore.started = takenBefore.started.addSecs(-60); // and gone since
        store.add(takenBefore);
        SentRecord waiting = sentRecord("PV_waiting", env.upload() + u'/', SentOutcome::Complete);
        waiting.started = waiting.started.addSecs(-120);
        store.add(waiting);
        makeCompleteJob(env, waiting.name);
        SentMonitor monitor(store);
        store.add(sentRecord("PV_new_and_gone", env.upload() + u'/', SentOutcome::Complete)); // written after the monitor began

        QSignalSpy looked(&monitor, &SentMonitor::looked);
        QSignalSpy taken(&monitor, &SentMonitor::jobTaken);
        monitor.setInterval(600000); // only the watcher can bring the next look
        monitor.watchAlso(env.upload() + u'/');
        monitor.start();
        QTRY_COMPARE(looked.size(), 1);
        QCOMPARE(taken.size(), 1);
        QCOMPARE(taken.takeFirst().first().value<SentRecord>().name, QStringLiteral("PV_new_and_gone"));

        QVERIFY(QDir(env.upload() + "/PV_waiting.dir").removeRecursively());
        QVERIFY(QFile::remove(env.upload() + "/PV_waiting.pvx") && QFile::remove(env.upload() + "/PV_waiting.msg"));
        QTRY_COMPARE(taken.size(), 1);
        QCOMPARE(taken.first().first().value<SentRecord>().name, QStringLiteral("PV_waiting"));
        QTest::qWait(400);
        QCOMPARE(taken.size(), 1); // told once
    }
};

QTEST_GUILESS_MAIN(TestSentRecord)
#include "tst_sentrecord.moc"
