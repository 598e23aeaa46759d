// parvela sent and the waits for the server, run as separate processes, with a
// server stand-in that takes jobs out of the upload folder.
#include "sent/SentStore.h"

#include "ParvelaRun.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {


// Sends file as one job; its name.
QString send(const TestEnv& env, const QStringList& options)
{
    const QStringList before = env.jobs();
    const Run r = parvela(QStringList{"send", "--policy", env.policyPath(), "--yes"} + options +
                          QStringList{env.makeFile("src/a.txt", "alpha")});
    if (r.code != 0)
        qWarning("%s", qPrintable(r.err));
    for (const QString& name : env.jobs())
        if (!before.contains(name))
            return name;
    return {};
}

} // namespace

class TestSentCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Two jobs sent, one taken by the server: the list tells them apart, newest first,
    // as lines and as JSON; what is printed of a field cannot reach the terminal raw;
    // the time and the policy file choose which jobs are listed.
    void sentTellsEachJobsState()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const QString first = send(env, {"--to", "ann@example.org", "--to", "bo@example.org", "--subject", "Plans"});
        const QString second = send(env, {"--to", "cy@example.org", "--subject", "Second"});
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        env.takeJob(first);
        {
            SentStore store(SentStore::pathIn(env.userDataFolder()));
            const QDateTime now = QDateTime::currentDateTimeUtc();
            // A record holding what no job could carry (written by hand, or by another
            // program): printed, it cannot reach the terminal raw.
            SentRecord other = sentRecord("PV_other_folder", env.root() + "/other/", SentOutcome::Complete, now.addDays(-2));
            other.subject = QStringLiteral("Recorded \x1b[31mred");
            store.add(other);
            store.add(sentRecord("PV_old", env.upload() + u'/', SentOutcome::Refused, now.addDays(-300)));
            // Past a year: gone the next time the record is opened.
            store.add(sentRecord("PV_past_a_year", env.upload() + u'/', SentOutcome::Complete, now.addDays(-400)));
        }

        const Run r = parvela({"sent"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith("TIME ") && lines[0].contains(" STATE ") && lines[0].endsWith(" JOB"));
        QVERIFY2(lines[1].contains("  waiting for the server  ") && lines[1].contains("  Second  ") &&
                     lines[1].endsWith(second),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].contains("  taken 20") && lines[2].contains("ann@example.org (+1)") && lines[2].endsWith(first),
                 qPrintable(lines[2]));
        QVERIFY2(lines[3].contains("  cannot tell  ") && lines[3].contains("Recorded \\e[31mred") &&
                     lines[3].endsWith("PV_other_folder"),
                 qPrintable(lines[3]));

        const QJsonArray json = QJsonDocument::fromJson(parvela({"sent", "--json"}).out.toUtf8()).array();
        QCOMPARE(json.size(), 3);
        QCOMPARE(json[0]["name"].toString(), second);
        QCOMPARE(json[0]["state"].toString(), QStringLiteral("waiting"));
        QVERIFY(json[0]["taken"].isNull());
        QCOMPARE(json[2]["subject"].toString(), QStringLiteral("Recorded \x1b[31mred"));
        QCOMPARE(json[1]["state"].toString(), QStringLiteral("taken"));
        QVERIFY(QDateTime::fromString(json[1]["taken"].toString(), Qt::ISODateWithMs).isValid());
        QCOMPARE(json[1]["recipients"].toArray().size(), 2);
        QCOMPARE(json[1]["bytes"].toInt(), 5);

        const auto count = [](const Run& run) { return run.out.count(QStringLiteral("  PV_")); };
        QCOMPARE(count(parvela({"sent", "--all"})), 4);
        QCOMPARE(count(parvela({"sent", "--since", QDate::currentDate().addDays(-305).toString(Qt::ISODate)})), 4);
        QCOMPARE(count(parvela({"sent", "--since", QDate::currentDate().addDays(-1).toString(Qt::ISODate)})), 2);
        QCOMPARE(count(parvela({"sent", "--policy", env.policyPath()})), 2);
        // A time counts to the minute; a value is taken whole or not at all.
        const QDateTime minuteAfterOther = QDateTime::currentDateTime().addDays(-2).addSecs(60);
        QCOMPARE(count(parvela({"sent", "--since", minuteAfterOther.toString("yyyy-MM-ddTHH:mm")})), 2);
        for (const char* since : {"yesterday", "2024-05-01'; drop", "2024-05-01T25:00", "2024-05-01T14:00 x"}) {
            const Run bad = parvela({"sent", "--since", since});
            QVERIFY2(bad.code == 2 && bad.err.startsWith("parvela sent: --since takes a date"), since);
        }
    }

    // A wait ends when the server stand-in takes the job (0), when the time is up (3,
    // with the state), or at once for a job that failed (1); send --wait waits for the
    // job it has just written.
    void waitingForTheServer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says"); // after "NAME: "
        QTest::newRow("sent --wait, taken after a second") << "sent" << 0 << "taken 20";
        QTest::newRow("sent --wait, not taken in time") << "sent, not taken" << 3
                                                        << "waiting for the server (not taken within 1 s)";
        QTest::newRow("sent --wait, a failed job") << "sent, failed" << 1 << "failed: It broke. The job was removed.";
        QTest::newRow("send --wait, taken after a second") << "send" << 0 << "taken 20";
    }
    void waitingForTheServer()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        QFETCH(QString, says);
        TestEnv env;
        env.writeDefaultPolicy();
        QString job;
        if (how == u"sent, failed") {
            job = QStringLiteral("PV_failed");
            SentRecord r = sentRecord(job, env.upload() + u'/', SentOutcome::FailedRemoved);
            r.problem = QStringLiteral("It broke.\nThe job was removed.");
            SentStore(SentStore::pathIn(env.userDataFolder())).add(r);
        } else if (how != u"send") {
            job = send(env, {"--to", "ann@example.org"});
        }
        // The stand-in takes the job a second after it is complete (its lock gone).
        qint64 completeAt = -1, takenAt = -1;
        const auto server = [&](qint64 elapsed) {
            if (how == u"send" && job.isEmpty() && !env.jobs().isEmpty())
                job = env.jobs().first();
            if (job.isEmpty() || how.contains(u',') || takenAt >= 0)
                return;
            if (completeAt < 0 && !QFile::exists(env.upload() + u'/' + job + ".lck"))
                completeAt = elapsed;
            if (completeAt >= 0 && elapsed - completeAt >= 1000) {
                env.takeJob(job);
                takenAt = elapsed;
            }
        };
        const QStringList args = how == u"send"
                                     ? QStringList{"send", "--policy", env.policyPath(), "--yes", "--to",
                                                   "ann@example.org", "--wait", env.makeFile("src/b.txt", "b")}
                                     : QStringList{"sent", "--wait", job, "--timeout", how == u"sent" ? "30" : "1"};
        const Run r = parvela(args, {}, {}, server);
        QCOMPARE(r.code, code);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty() && lines.last().startsWith(job + QStringLiteral(": ") + says), qPrintable(r.out + r.err));
        if (code == 0)
            QVERIFY2(r.ms >= takenAt && takenAt >= 1000, qPrintable(QString::number(takenAt)));
        if (code == 1)
            QVERIFY(r.ms < 1000); // nothing to wait for
        if (code == 3)
            QVERIFY(r.ms >= 1000 && r.ms < 5000);
    }

    // However many jobs wait in one upload folder, one look lists it once. A listing
    // that breaks off (a share's read error) shows no job; a job is called taken only
    // when it is asked for by name as well, so it is "cannot tell" then, and waiting
    // again once the folder lists whole.
    void oneListingServesEveryJobAndABrokenOneTakesNone()
    {
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is not installed");
        TestEnv env;
        env.writeDefaultPolicy();
        for (int i = 0; i < 3; ++i)
            QVERIFY(!send(env, {"--to", "ann@example.org"}).isEmpty());
        const QString trace = env.root() + "/trace";
        QProcess whole, broken;
        startTraced(whole, {"-f", "-o", trace, "-P", env.upload(), "-e", "trace=getdents64"}, {parvelaPath(), "sent"});
        QVERIFY(whole.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(whole.readAllStandardOutput()).count("  waiting for the server  "), 3);
        // A listing ends with the call that finds no more entries.
        const QStringList calls = QString::fromUtf8(readAll(trace)).split(u'\n');
        QCOMPARE(calls.filter(QRegularExpression("getdents64\\(.*= 0$")).size(), 1);

        startTraced(broken, {"-f", "-o", "/dev/null", "-P", env.upload(), "-e", "trace=getdents64", "-e",
                             "inject=getdents64:error=EIO"},
                    {parvelaPath(), "sent", "--json"});
        QVERIFY(broken.waitForFinished(60000));
        const QJsonArray jobs = QJsonDocument::fromJson(broken.readAllStandardOutput()).array();
        QCOMPARE(jobs.size(), 3);
        for (const auto& job : jobs)
            QCOMPARE(job.toObject()["state"].toString(), QStringLiteral("cannot-tell"));
        const QJsonArray again = QJsonDocument::fromJson(parvela({"sent", "--json"}).out.toUtf8()).array();
        QCOMPARE(again[0]["state"].toString(), QStringLiteral("waiting"));
    }

    // The JSON list goes out as it is read: many jobs need no more memory than a
    // page of them (the sanitizer keeps no freed memory aside for the run measured).
    void aLongListNeedsNoMoreMemory()
    {
        TestEnv env;
        const QString path = SentStore::pathIn(env.userDataFolder());
        SentStore(path).add(sentRecord("PV_", env.upload() + u'/', SentOutcome::Refused));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("filler"));
        db.setDatabaseName(path);
        QVERIFY(db.open() && QSqlQuery(db).exec("WITH RECURSIVE n(k) AS (SELECT 2 UNION ALL SELECT k + 1 FROM n WHERE "
                                                "k < 40000) INSERT INTO jobs (name, upload_folder, started, outcome) "
                                                "SELECT name || k, upload_folder, started - k, outcome FROM jobs, n"));
        const Run r = parvela({"sent", "--all", "--json"}, {"ASAN_OPTIONS=" + qEnvironmentVariable("ASAN_OPTIONS") +
                                                           ":quarantine_size_mb=0:thread_local_quarantine_size_kb=0"});
        QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).array().size(), 40000);
        if (r.peakKb == 0 && QSysInfo::productType() == u"windows")
            QSKIP("The system told nothing of the program's peak working set (GetProcessMemoryInfo)");
        QVERIFY2(r.peakKb > 0 && r.peakKb < 100 * 1000, qPrintable(QStringLiteral("%1 KiB").arg(r.peakKb)));
    }

    // Another process holding the record for a while (a second writer) only makes
    // parvela send wait: its job is recorded, without a warning.
    void aBusyRecordIsWaitedFor()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        const QString path = SentStore::pathIn(env.userDataFolder());
        QVERIFY(SentStore(path).records().has_value()); // made, in its log mode
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery hold(db);
            QVERIFY(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
            bool released = false;
            const Run r = parvela({"send", "--policy", env.policyPath(), "--yes", "--to", "ann@example.org",
                                   env.makeFile("src/a.txt", "a")},
                                  {}, {}, [&](qint64 elapsed) {
                                      if (!released && elapsed > 1000)
                                          released = hold.exec(QStringLiteral("COMMIT"));
                                  });
            QVERIFY(released);
            QCOMPARE(r.code, 0);
            QCOMPARE(r.err, QString());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QCOMPARE(SentStore(path).records()->size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSentCli)
#include "tst_sentcli.moc"
