// The address book the contacts picker lists: vCard cards read as (name, first
// address) in the file's order, within bounds, and what OK adds to the recipients.
#include "recipients/ContactSource.h"

#include "client/ClientForm.h"

#include "TestSupport.h"

#include <QFile>
#include <QStringEncoder>
#include <QTest>

namespace {
ContactReading readFile(const TestEnv& env, const QByteArray& content)
{
    return ContactSource(env.makeFile(QStringLiteral("contacts.vcf"), content)).read();
}

QByteArray card(const QByteArray& name, const QByteArray& email)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name + "\r\nEMAIL:" + email + "\r\nEND:VCARD\r\n";
}
} // namespace

class TestContactSource : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cards_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("3.0, the first address of each, in file order")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Zeta;Zoe;;;\r\nFN:Zoe Zeta\r\n"
                          "EMAIL;TYPE=INTERNET,WORK:zoe@work.example\r\nEMAIL;TYPE=HOME:zoe@home.example\r\n"
                          "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Al Alpha\r\nEMAIL:al@example.org\r\n"
                          "END:VCARD\r\n")
            << QStringList{"Zoe Zeta <zoe@work.example>", "Al Alpha <al@example.org>"};
        QTest::newRow("4.0: groups, quoted parameters, lower case, LF only")
            << QByteArray("begin:vcard\nversion:4.0\nfn:Bea Beta\n"
                          "item1.EMAIL;PREF=1;TYPE=\"work,x:y\":bea@example.org\nend:vcard\n")
            << QStringList{"Bea Beta <bea@example.org>"};
        QTest::newRow("folded lines and escapes")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Carl\r\n  Gamma\\, Jr.\r\nEMAIL:carl@exa\r\n\tmple.org\r\n"
                          "END:VCARD\r\n")
            << QStringList{"Carl Gamma, Jr. <carl@example.org>"};
        QTest::newRow("no FN: the name from N; no EMAIL: nothing between the brackets")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Delta;Dora;Q.,R.;Dr.;PhD\r\nEND:VCARD\r\n")
            << QStringList{"Dr. Dora Q. R. Delta PhD <>"};
        QTest::newRow("UTF-8 with a byte-order mark")
            << QByteArray("\xEF\xBB\xBF" "BEGIN:VCARD\r\nFN:J\xC3\xB6rg \xC3\x85str\xC3\xB6m\r\nEMAIL:j@example.se\r\n"
                          "END:VCARD\r\n")
            << QStringList{QStringLiteral("J\u00F6rg \u00C5str\u00F6m <j@example.se>")};
        QTest::newRow("UTF-16 little-endian with its byte-order mark")
            << QByteArray("\xFF\xFE")
                   + QStringEncoder(QStringConverter::Utf16LE)
                         .encode(QStringLiteral("BEGIN:VCARD\r\nFN:\u00C5sa\r\nEMAIL:asa@example.se\r\nEND:VCARD\r\n"))
            << QStringList{QStringLiteral("\u00C5sa <asa@example.se>")};
        QTest::newRow("Windows-1252")
            << QByteArray("BEGIN:VCARD\r\nFN:Fran\xE7oise \x80uro\r\nEMAIL:f@example.fr\r\nEND:VCARD\r\n")
            << QStringList{QStringLiteral("Fran\u00E7oise \u20ACuro <f@example.fr>")};
        QTest::newRow("a last card without END still counts")
            << QByteArray("BEGIN:VCARD\r\nFN:Eve\r\nEMAIL:eve@example.org\r\n")
            << QStringList{"Eve <eve@example.org>"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }
    void cards()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        TestEnv env;
        const ContactReading r = readFile(env, file);
        QCOMPARE(r.error, QString());
        QStringList got;
        for (const Contact& c : r.contacts)
            got.append(c.entryText());
        QCOMPARE(got, entries);
    }

    // Whatever stops the reading is reported with its text; the whole cards before the
    // stop stay, the one it cut does not.
    void failuresKeepWhatWasReadBefore()
    {
        TestEnv env;
        const QString missing = env.root() + QStringLiteral("/nowhere/contacts.vcf");
        const ContactReading none = ContactSource(missing).read();
        QVERIFY(none.contacts.isEmpty());
        QCOMPARE(none.error, QStringLiteral("No such file or directory: ") + missing);

        const ContactReading folder = ContactSource(env.root()).read();
        QCOMPARE(folder.error, QStringLiteral("Not a regular file: ") + env.root());

        const QByteArray longLine = "NOTE:" + QByteArray(ContactSource::kMaxLineBytes, 'x') + "\r\n";
        const ContactReading cut = readFile(env, card("Ann", "ann@example.org") +
                                                     "BEGIN:VCARD\r\nFN:Bob\r\nEMAIL:bob@example.org\r\n" +
                                                     longLine + "END:VCARD\r\n" + card("Cy", "cy@example.org"));
        QCOMPARE(cut.contacts, (QList<Contact>{{"Ann", "ann@example.org"}}));
        QCOMPARE(cut.error, env.root() + QStringLiteral("/contacts.vcf, line 9: the line is longer than 64 KiB; "
                                                        "the contacts from there on were not read."));
        // A line of exactly the bound is still read.
        const QByteArray atBound = "NOTE:" + QByteArray(ContactSource::kMaxLineBytes - 5, 'x') + "\r\n";
        QCOMPARE(readFile(env, "BEGIN:VCARD\r\n" + atBound + "FN:Bob\r\nEND:VCARD\r\n").error, QString());

        // A file over the bound: the cards within its first 4 MiB.
        const QByteArray one = card("Dee", "dee@example.org");
        QByteArray big;
        while (big.size() + one.size() <= ContactSource::kMaxFileBytes)
            big += one;
        const qsizetype whole = big.size() / one.size();
        big += one + one;
        const ContactReading large = readFile(env, big);
        QCOMPARE(large.contacts.size(), whole);
        QCOMPARE(large.error, env.root() + QStringLiteral("/contacts.vcf: the file is larger than 4 MiB; the "
                                                          "contacts after its first 4 MiB were not read."));
    }

    void okAddsTheAddressesThatAreThere()
    {
        ClientForm form;
        form.setRecipients({"first@example.org"});
        AddPickedRecipients(form, {"ann@example.org", QString(), "ann@example.org"});
        QCOMPARE(form.recipients(), QStringList({"first@example.org", "ann@example.org", "ann@example.org"}));
    }
};

QTEST_GUILESS_MAIN(TestContactSource)
#include "tst_contactsource.moc"
