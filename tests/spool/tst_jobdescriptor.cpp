// The job descriptor against the server's record as TestSupport builds it from the
// layout alone (its sizes and offsets written out there, not taken from the code).
#include "spool/JobDescriptor.h"

#include "TestSupport.h"

#include <QTest>

Q_DECLARE_METATYPE(JobDescriptor)
Q_DECLARE_METATYPE(RecordFields)

namespace {
JobDescriptor sample()
{
    return {.recipients = {"ann@example.com", QString(), QStringLiteral("Bj\u00f6rn <bjorn@example.se>")},
            .senderEmail = "me@example.com", .senderName = QStringLiteral("Fran\u00e7ois"),
            .senderCompany = QStringLiteral("Trovik \u20ac"), .subject = "Plans", .encrypted = true,
            .selfExtracting = false, .expireHours = "72"};
}
} // namespace

class TestJobDescriptor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Recipients from slot 0 (an empty entry takes no slot, every free one "n/a"), texts
    // in Windows-1252 cut to their fields, zeros after each, the closing word 1.
    void encodesTheServersRecord_data()
    {
        QTest::addColumn<JobDescriptor>("job");
        QTest::addColumn<RecordFields>("record");
        const RecordFields all{.recipients = {"ann@example.com", QStringLiteral("Bj\u00f6rn <bjorn@example.se>")},
                               .senderEmail = "me@example.com", .senderName = QStringLiteral("Fran\u00e7ois"),
                               .senderCompany = QStringLiteral("Trovik \u20ac"), .subject = "Plans",
                               .selfExtracting = "DISABLED", .expire = "72"};
        QTest::newRow("every field") << sample() << all;
        const RecordFields none{.encrypted = "DISABLED", .selfExtracting = "DISABLED", .expire = ""};
        QTest::newRow("nothing set: every slot free") << JobDescriptor() << none;
        JobDescriptor longTexts;
        longTexts.subject = QString(250, u'S');
        longTexts.recipients = {QString(201, u'r')};
        longTexts.expireHours = QString(25, u'9');
        RecordFields cut = none;
        cut.subject = QString(200, u'S');
        cut.recipients = {QString(200, u'r')};
        cut.expire = QString(20, u'9');
        QTest::newRow("long texts are cut") << longTexts << cut;
        JobDescriptor many;
        RecordFields first500 = none;
        for (int i = 0; i < 520; ++i)
            many.recipients << QStringLiteral("r%1@example.com").arg(i);
        first500.recipients = many.recipients.mid(0, 500);
        QTest::newRow("never more than 500 slots") << many << first500;
    }
    void encodesTheServersRecord()
    {
        QFETCH(JobDescriptor, job);
        QFETCH(RecordFields, record);
        QCOMPARE(EncodeJobDescriptor(job), expectedRecord(record));
    }

    // Every field read back as written: the recipients without the free slots, and the
    // record made again from what was read is the same.
    void decodeReadsWhatEncodeWrote()
    {
        const QByteArray record = EncodeJobDescriptor(sample());
        QString problem;
        const auto d = DecodeJobDescriptor(record, &problem);
        QVERIFY2(d.has_value(), qPrintable(problem));
        QCOMPARE(d->recipients, QStringList({"ann@example.com", QStringLiteral("Bj\u00f6rn <bjorn@example.se>")}));
        QCOMPARE(EncodeJobDescriptor(*d), record);
    }

    void decodeRefusesBrokenRecords_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("problem");
        const QByteArray good = EncodeJobDescriptor(sample());
        QTest::newRow("short") << good.left(101369) << "101369 bytes";
        QTest::newRow("long") << good + '\0' << "101371 bytes";
        QByteArray closing = good;
        closing[101368] = 2;
        QTest::newRow("closing word") << closing << "closing word is 2";
        QByteArray bigEndian = good;
        bigEndian[101368] = 0;
        bigEndian[101369] = 1;
        QTest::newRow("closing word big-endian") << bigEndian << "closing word is 256";
        QByteArray subject = good;
        subject[101103] = char(201);
        QTest::newRow("subject length") << subject << "subject";
        QByteArray option = good;
        option[101346] = char(21);
        QTest::newRow("expiry length") << option << "expiry";
        QByteArray slot = good;
        slot[7 * 201] = char(255);
        QTest::newRow("recipient length") << slot << "slot 7";
        // A field's text replaced, zeros after it, as a writer that keeps to the layout would.
        auto with = [&good](int offset, int size, const QByteArray& text) {
            QByteArray r = good;
            r.replace(offset, size, QByteArray(size, '\0'));
            r[offset] = char(text.size());
            r.replace(offset + 1, text.size(), text);
            return r;
        };
        QTest::newRow("gap in recipients") << with(0, 201, "n/a") << "slot 1 is filled after the free slot 0";
        QTest::newRow("empty recipient slot") << with(201, 201, "") << "slot 1 is empty";
        QTest::newRow("free slot not n/a") << with(201 * 5, 201, "N/A") << "slot 5 is filled after the free slot 2";
        QTest::newRow("encryption lower case") << with(101304, 21, "enabled") << "holds \"enabled\", not ENABLED or DISABLED";
        QTest::newRow("self-extracting locked") << with(101325, 21, "ENABLED,LOCKED") << "self-extracting field";
        QTest::newRow("expiry not digits") << with(101346, 21, "48h") << "\"48h\", not 1 to 5 digits";
        QTest::newRow("expiry empty") << with(101346, 21, "") << "\"\", not 1 to 5 digits";
        QTest::newRow("expiry 6 digits") << with(101346, 21, "123456") << "not 1 to 5 digits";
        QByteArray afterText = good;
        afterText[101103 + 1 + 5 + 3] = 'x'; // after the subject "Plans"
        QTest::newRow("byte after a text") << afterText << "byte 101112, after the text of the subject field";
        QByteArray afterFree = good;
        afterFree[201 * 9 + 200] = 1;
        QTest::newRow("byte after n/a") << afterFree << "recipient slot 9 field";
        QByteArray spare = good;
        spare[101367] = 7;
        QTest::newRow("spare byte") << spare << "spare byte 101367 is 7";
        QTest::newRow("empty") << QByteArray() << "0 bytes";
    }
    void decodeRefusesBrokenRecords()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, problem);
        QString why;
        QVERIFY(!DecodeJobDescriptor(record, &why).has_value());
        QVERIFY2(why.contains(problem), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestJobDescriptor)
#include "tst_jobdescriptor.moc"
