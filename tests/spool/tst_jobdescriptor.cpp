#include "spool/JobDescriptor.h"

#include <QTest>

namespace {
// The text of a ShortText field: length byte, then the bytes.
QByteArray field(const QByteArray& record, int offset)
{
    return record.mid(offset + 1, quint8(record[offset]));
}
// Every byte past the field's text is zero.
bool restIsZero(const QByteArray& record, int offset, int size)
{
    const int length = quint8(record[offset]);
    for (int i = offset + 1 + length; i < offset + size; ++i)
        if (record[i] != 0)
            return false;
    return true;
}

JobDescriptor sample()
{
    JobDescriptor d;
    d.recipients = {QStringLiteral("ann@example.com"), QString(), QStringLiteral("Bj\u00f6rn <bjorn@example.se>")};
    d.senderEmail = QStringLiteral("me@example.com");
    d.senderName = QStringLiteral("Fran\u00e7ois");
    d.senderCompany = QStringLiteral("Trovik \u20ac");
    d.subject = QStringLiteral("Plans");
    d.encrypted = true;
    d.selfExtracting = false;
    d.expireHours = QStringLiteral("72");
    return d;
}
} // namespace

class TestJobDescriptor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutFieldByField()
    {
        const QByteArray r = EncodeJobDescriptor(sample());
        // The server's record size and offsets are written out here, not taken from the
        // code's constants, so that a change to the layout fails.
        QCOMPARE(r.size(), 101370);
        // Recipients from slot 0, the empty entry takes no slot, Windows-1252 bytes.
        QCOMPARE(field(r, 0), QByteArray("ann@example.com"));
        QCOMPARE(field(r, 201), QByteArray("Bj\xf6rn <bjorn@example.se>"));
        for (int slot = 2; slot < 500; ++slot) {
            QCOMPARE(r.mid(slot * 201, 4), QByteArray("\x03n/a"));
            QVERIFY(restIsZero(r, slot * 201, 201));
        }
        QVERIFY(restIsZero(r, 0, 201));
        QCOMPARE(field(r, 100500), QByteArray("me@example.com"));
        QCOMPARE(field(r, 100701), QByteArray("Fran\xe7ois"));
        QCOMPARE(field(r, 100902), QByteArray("Trovik \x80"));
        QCOMPARE(field(r, 101103), QByteArray("Plans"));
        QCOMPARE(field(r, 101304), QByteArray("ENABLED"));
        QCOMPARE(field(r, 101325), QByteArray("DISABLED"));
        QCOMPARE(field(r, 101346), QByteArray("72"));
        for (int offset : {100500, 100701, 100902, 101103})
            QVERIFY(restIsZero(r, offset, 201));
        for (int offset : {101304, 101325, 101346})
            QVERIFY(restIsZero(r, offset, 21));
        QCOMPARE(r[101367], '\0');
        QCOMPARE(r.right(2), QByteArray("\x01\x00", 2));
    }

    void noRecipientsLeavesEverySlotFree()
    {
        JobDescriptor d;
        const QByteArray r = EncodeJobDescriptor(d);
        for (int slot = 0; slot < 500; ++slot)
            QCOMPARE(field(r, slot * 201), QByteArray("n/a"));
        QCOMPARE(r[101103], '\0'); // empty subject
        QCOMPARE(field(r, 101304), QByteArray("DISABLED"));
    }

    void longTextsAreCut()
    {
        JobDescriptor d;
        d.subject = QString(250, u'S');
        d.recipients = {QString(201, u'r')};
        d.expireHours = QString(25, u'9');
        const QByteArray r = EncodeJobDescriptor(d);
        QCOMPARE(quint8(r[101103]), quint8(200));
        QCOMPARE(field(r, 101103), QByteArray(200, 'S'));
        QCOMPARE(field(r, 0), QByteArray(200, 'r'));
        QCOMPARE(field(r, 101346), QByteArray(20, '9'));
        QCOMPARE(r.size(), 101370);
    }

    void neverMoreThan500Slots()
    {
        JobDescriptor d;
        for (int i = 0; i < 520; ++i)
            d.recipients.append(QStringLiteral("r%1@example.com").arg(i));
        const QByteArray r = EncodeJobDescriptor(d);
        QCOMPARE(r.size(), 101370);
        QCOMPARE(field(r, 499 * 201), QByteArray("r499@example.com"));
        QCOMPARE(field(r, 100500), QByteArray()); // sender e-mail untouched
    }

    void decodeReadsWhatEncodeWrote()
    {
        QString problem;
        const auto d = DecodeJobDescriptor(EncodeJobDescriptor(sample()), &problem);
        QVERIFY2(d.has_value(), qPrintable(problem));
        QCOMPARE(d->recipients,
                 QStringList({QStringLiteral("ann@example.com"), QStringLiteral("Bj\u00f6rn <bjorn@example.se>")}));
        QCOMPARE(d->senderName, QStringLiteral("Fran\u00e7ois"));
        QCOMPARE(d->senderCompany, QStringLiteral("Trovik \u20ac"));
        QVERIFY(d->encrypted);
        QVERIFY(!d->selfExtracting);
        QCOMPARE(d->expireHours, QStringLiteral("72"));
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
        QTest::newRow("encryption GARBAGE") << with(101304, 21, "GARBAGE") << "\"GARBAGE\", not ENABLED or DISABLED";
        QTest::newRow("encryption lower case") << with(101304, 21, "enabled") << "encryption field holds";
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
