#include "selection/Summary.h"

#include "client/Client.h"
#include "platform/Errors.h"

#include "TestSupport.h"

#include <QFile>
#include <QTest>

namespace {

constexpr qint64 MiB = 1024 * 1024;

// A file of the given size; sparse, so a gigabyte costs nothing.
QString sizedFile(const TestEnv& env, const QString& relative, qint64 size)
{
    const QString path = env.makeFile(relative, QByteArray());
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.resize(size))
        qFatal("cannot size %s", qPrintable(path));
    return path;
}

std::unique_ptr<Client> englishClient(const TestEnv& env)
{
    auto client = env.makeClient();
    client->texts.load(kEnglish, kProductTitle, kVersionText);
    return client;
}

SelectionEntry folderEntry(const TestEnv& env, const QString& relative,
                           const QString& marker = QStringLiteral("(:Folder:)"))
{
    return SelectionEntry::folder(env.root() + u'/' + relative, marker);
}

const QString kTooLarge = QStringLiteral(
    "  *** WARNING: Selected files/folders are too large, select fewer items or contact your system administrator *** ");
const QString kNothing = QStringLiteral("  *** WARNING: No files or folders selected, select one or more files or "
                                        "folders and press Finish again. *** ");

} // namespace

class TestSummary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every line of the summary. An entry selected twice counts twice; one that is gone
    // since it was selected counts too, with no bytes, and does not stop the job here.
    void theWholeSummary()
    {
        TestEnv env;
        auto client = englishClient(env);
        sizedFile(env, "Data/Project/a.bin", 3 * MiB);
        sizedFile(env, "Data/Project/sub/.b", MiB + 5);
        const SelectionEntry file = SelectionEntry::file(sizedFile(env, "Report.doc", 2 * MiB));
        client->form.setSelection({file, folderEntry(env, "Data/Project", "(:Map:)"), file,
                                   SelectionEntry::file(env.root() + "/gone.bin"), folderEntry(env, "gone")});
        client->form.setRecipients({"ann@example.com", "bo@example.se"});
        client->form.setFromText("Me <me@example.com>");
        client->form.setSubjectText("Plans");
        client->form.setExpireText("72");

        const SummaryResult r = MakeSummary(*client);
        QVERIFY(r.mayGo);
        const QStringList lines = {"Determine what to sent:", "  Number of files: 3", "  Number of folders: 2",
                                   "  Size of files: 4 MegaByte", "  Size of folders: 4 MegaByte",
                                   "  Total size: 8 MegaByte", "", "  To: ann@example.com", "  To: bo@example.se",
                                   "  From: Me <me@example.com>", "  Subject: Plans", "  Expires: 72 hours"};
        QCOMPARE(client->form.logLines(), lines);
        MakeSummary(*client); // again: from a clear log
        QCOMPARE(client->form.logLines(), lines);
    }

    // Megabytes of files, of folders and in all, each cut down from its own sum of bytes.
    void megabytesAreTruncatedPerKind_data()
    {
        QTest::addColumn<QList<qint64>>("files");
        QTest::addColumn<QList<qint64>>("folderFiles");
        QTest::addColumn<QList<int>>("megabytes");
        QTest::newRow("5,000,000 bytes") << QList<qint64>{5000000} << QList<qint64>{} << QList<int>{4, 0, 4};
        QTest::newRow("bytes summed first") << QList<qint64>{600000, 600000} << QList<qint64>{} << QList<int>{1, 0, 1};
        QTest::newRow("one byte short") << QList<qint64>{1048575} << QList<qint64>{} << QList<int>{0, 0, 0};
        QTest::newRow("split over the kinds") << QList<qint64>{700000} << QList<qint64>{400000, 300000} << QList<int>{0, 0, 0};
        QTest::newRow("folder") << QList<qint64>{} << QList<qint64>{MiB, MiB, MiB - 1} << QList<int>{0, 2, 2};
    }
    void megabytesAreTruncatedPerKind()
    {
        QFETCH(QList<qint64>, files);
        QFETCH(QList<qint64>, folderFiles);
        QFETCH(QList<int>, megabytes);
        TestEnv env;
        auto client = englishClient(env);
        QList<SelectionEntry> selection;
        for (int i = 0; i < files.size(); ++i)
            selection.append(SelectionEntry::file(sizedFile(env, QStringLiteral("f%1.bin").arg(i), files[i])));
        for (int i = 0; i < folderFiles.size(); ++i)
            sizedFile(env, QStringLiteral("dir/%1.bin").arg(i), folderFiles[i]);
        if (!folderFiles.isEmpty())
            selection.append(folderEntry(env, QStringLiteral("dir")));
        client->form.setSelection(selection);
        MakeSummary(*client);
        QCOMPARE(client->form.logLines().mid(3, 3),
                 QStringList({QStringLiteral("  Size of files: %1 MegaByte").arg(megabytes[0]),
                              QStringLiteral("  Size of folders: %1 MegaByte").arg(megabytes[1]),
                              QStringLiteral("  Total size: %1 MegaByte").arg(megabytes[2])}));
    }

    void theLimit_data()
    {
        QTest::addColumn<QString>("maxSize");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("finishBefore");
        QTest::addColumn<bool>("mayGo");
        QTest::addColumn<bool>("finishAfter");
        QTest::newRow("equal passes") << "1024" << 1024 * MiB << false << true << true;
        QTest::newRow("one more is refused") << "1024" << 1025 * MiB << true << false << false;
        QTest::newRow("-1 has no limit (on)") << "-1" << 5000 * MiB << true << true << true;
        QTest::newRow("-1 leaves Finish as it was") << "-1" << 5000 * MiB << false << true << false;
        QTest::newRow("0 passes below a megabyte") << "0" << MiB - 1 << false << true << true;
        QTest::newRow("0 refuses a megabyte") << "0" << MiB << true << false << false;
        QTest::newRow("blanks and sign") << "  +2" << 2 * MiB << false << true << true;
        QTest::newRow("hex") << "$10" << 17 * MiB << true << false << false;
    }
    void theLimit()
    {
        QFETCH(QString, maxSize);
        QFETCH(qint64, bytes);
        QFETCH(bool, finishBefore);
        QFETCH(bool, mayGo);
        QFETCH(bool, finishAfter);
        TestEnv env;
        auto client = englishClient(env);
        client->state.MaxSize = maxSize;
        client->form.setSelection({SelectionEntry::file(sizedFile(env, QStringLiteral("big.bin"), bytes))});
        client->form.setRecipients({QStringLiteral("ann@example.com")});
        client->form.setFinishEnabled(finishBefore);
        const SummaryResult r = MakeSummary(*client);
        QCOMPARE(r.mayGo, mayGo);
        QCOMPARE(int(r.reason), int(mayGo ? RefusalReason::None : RefusalReason::TooLarge));
        QCOMPARE(client->form.finishEnabled(), finishAfter);
        QCOMPARE(client->form.logLines().value(6), mayGo ? QString() : kTooLarge);
        // Without a recipient no size lets Finish on.
        client->form.setRecipients({});
        MakeSummary(*client);
        QCOMPARE(client->form.finishEnabled(), finishAfter && maxSize == "-1");
    }

    void nothingSelected()
    {
        TestEnv env;
        auto client = englishClient(env);
        client->form.setFinishEnabled(true);
        SummaryResult r = MakeSummary(*client);
        QVERIFY(!r.mayGo);
        QCOMPARE(int(r.reason), int(RefusalReason::NothingSelected));
        QCOMPARE(client->form.logLines().value(6), kNothing);
        QCOMPARE(client->form.logLines().value(7), QString());
        // The warning keeps Finish off, whatever the size step finds (0 <= 1024).
        QVERIFY(!client->form.finishEnabled());
        // A negative limit writes both warnings; too large is the reason given.
        client->state.MaxSize = QStringLiteral("-5");
        r = MakeSummary(*client);
        QCOMPARE(int(r.reason), int(RefusalReason::TooLarge));
        QCOMPARE(client->form.logLines().mid(6, 2), QStringList({kNothing, kTooLarge}));
    }

    void aMaxSizeThatIsNoNumberStopsTheSummary_data()
    {
        QTest::addColumn<QString>("maxSize");
        QTest::newRow("empty") << "";
        QTest::newRow("trailing text") << "12abc";
        QTest::newRow("too big") << "4294967297";
        QTest::newRow("past the signed 32 bits") << "2147483648";
        for (const char* more : {"1 ", "-", "$", "1.5"})
            QTest::newRow(more) << QString(more);
    }
    void aMaxSizeThatIsNoNumberStopsTheSummary()
    {
        QFETCH(QString, maxSize);
        TestEnv env;
        auto client = englishClient(env);
        client->state.MaxSize = maxSize;
        client->form.setRecipients({QStringLiteral("ann@example.com")});
        try {
            MakeSummary(*client);
            QFAIL("no error");
        } catch (const ConversionError& e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(maxSize));
        }
        // The lines so far stay: the counts and sizes and the nothing-selected warning.
        QCOMPARE(client->form.logLines().size(), 7);
        QCOMPARE(client->form.logLines().last(), kNothing);
    }
};

QTEST_GUILESS_MAIN(TestSummary)
#include "tst_summary.moc"
