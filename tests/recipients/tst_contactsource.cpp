// The address book the contacts picker lists: vCard cards read as (name, first
// address) in the file's order, within bounds, and what OK adds to the recipients.
#include "recipients/ContactSource.h"

#include "client/ClientForm.h"

#include "TestSupport.h"

#include <QStringDecoder>
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
        // Told by the zero bytes: "BEGIN" puts one in every pair.
        for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE})
            QTest::addRow("UTF-16 %s without a byte-order mark", encoding == QStringConverter::Utf16LE ? "LE" : "BE")
                << QByteArray(QStringEncoder(encoding).encode(
                       QStringLiteral("BEGIN:VCARD\r\nFN:\u00C5sa \u03B2\r\nEMAIL:asa@example.se\r\nEND:VCARD\r\n")))
                << QStringList{QStringLiteral("\u00C5sa \u03B2 <asa@example.se>")};
        // A writer that folds at a byte count cuts a character in two.
        QTest::newRow("folded inside a UTF-8 character")
            << QByteArray("BEGIN:VCARD\r\nFN:\xCE\xB1\xCE\r\n \xB2\xCE\xB3\xCE\xB4\r\nEND:VCARD\r\n")
            << QStringList{QStringLiteral("\u03B1\u03B2\u03B3\u03B4 <>")};
        QTest::newRow("Windows-1252")
            << QByteArray("BEGIN:VCARD\r\nFN:Fran\xE7oise \x80uro\r\nEMAIL:f@example.fr\r\nEND:VCARD\r\n")
            << QStringList{QStringLiteral("Fran\u00E7oise \u20ACuro <f@example.fr>")};
        // What phones and older mail programs write: vCard 2.1 quoted-printable with
        // soft line breaks (one right after the colon), in the CHARSET named.
        QTest::newRow("2.1 quoted-printable, soft breaks, character sets")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Umlaut =C3=84 =C3=96 =\r\n"
                          "=C3=9C =C3=9F\r\nEMAIL;INTERNET;ENCODING=QUOTED-PRINTABLE:ann=40example.org\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:M=FCller;J=F6rg\r\n"
                          "FN;ENCODING=QUOTED-PRINTABLE:=\r\n\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nFN;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:=80 Co=\r\nst\r\nEND:VCARD\r\n")
            << QStringList{QStringLiteral("Umlaut \u00C4 \u00D6 \u00DC \u00DF <ann@example.org>"),
                           QStringLiteral("J\u00F6rg M\u00FCller <>"), QStringLiteral("\u20AC Cost <>")};
        QTest::newRow("2.1 quoted-printable in a character set Qt knows through ICU")
            << QByteArray("BEGIN:VCARD\r\nFN;CHARSET=KOI8-R;ENCODING=QUOTED-PRINTABLE:=F0=C5=D4=D2\r\nEND:VCARD\r\n")
            << QStringList{QStringLiteral("\u041F\u0435\u0442\u0440 <>")};
        QTest::newRow("one Windows-1252 card among UTF-8 ones")
            << QByteArray("BEGIN:VCARD\r\nFN:J\xC3\xB6rg\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Fran\xE7oise\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nFN:\xC3\x85sa\r\nEND:VCARD\r\n")
            << QStringList{QStringLiteral("J\u00F6rg <>"), QStringLiteral("Fran\u00E7oise <>"), QStringLiteral("\u00C5sa <>")};
        QTest::newRow("CR line ends")
            << QByteArray("BEGIN:VCARD\rFN:Ann\rEMAIL:ann@example.org\rEND:VCARD\rBEGIN:VCARD\rFN:Bob\rEND:VCARD\r")
            << QStringList{"Ann <ann@example.org>", "Bob <>"};
        QTest::newRow("no empty address; the preferred one, else the first")
            << QByteArray("BEGIN:VCARD\r\nFN:A\r\nEMAIL:\r\nEMAIL:a2@x.org\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nFN:B\r\nEMAIL:b1@x.org\r\nEMAIL;TYPE=INTERNET,pref:b2@x.org\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nFN:C\r\nEMAIL;PREF=2:c1@x.org\r\nEMAIL;PREF=1:c2@x.org\r\nEMAIL:c3@x.org\r\n"
                          "END:VCARD\r\nBEGIN:VCARD\r\nFN:D\r\nEMAIL:d1@x.org\r\nEMAIL;PREF;INTERNET:d2@x.org\r\n"
                          "END:VCARD\r\n")
            << QStringList{"A <a2@x.org>", "B <b2@x.org>", "C <c2@x.org>", "D <d2@x.org>"};
        QTest::newRow("a last card without END still counts")
            << QByteArray("BEGIN:VCARD\r\nFN:Eve\r\nEMAIL:eve@example.org\r\n")
            << QStringList{"Eve <eve@example.org>"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }
    void cards()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        if (file.contains("CHARSET=KOI8-R") && !QStringDecoder("KOI8-R").isValid())
            QSKIP("This Qt knows no KOI8-R: it was built without ICU, which brings every character set beyond "
                  "the Unicode ones and Latin-1");
        TestEnv env;
        const ContactReading r = readFile(env, file);
        QCOMPARE(r.problems, QStringList());
        QStringList got;
        for (const Contact& c : r.contacts)
            got.append(c.entryText());
        QCOMPARE(got, entries);
    }

    // Whatever stops the reading is reported with its text (a missing file: the
    // picker's test, tst_dialogs); the whole cards before the stop stay, the one it cut
    // does not.
    void failuresKeepWhatWasReadBefore()
    {
        TestEnv env;
        const ContactReading folder = ContactSource(env.root()).read();
        QCOMPARE(folder.problems, QStringList("Not a regular file: " + env.root()));

        // A character set nobody knows: said, and the value read as its card's text.
        const ContactReading unknown = readFile(env, "BEGIN:VCARD\r\nFN;CHARSET=X-NONE:Ann\r\nEND:VCARD\r\n");
        QCOMPARE(unknown.contacts, (QList<Contact>{{"Ann", ""}}));
        QCOMPARE(unknown.problems, QStringList(env.root() + "/contacts.vcf, line 2: the character set X-NONE is not "
                                                            "known here; the value was read as UTF-8."));

        // A file over the bound: the cards within its first 4 MiB.
        const QByteArray one = card("Dee", "dee@example.org");
        QByteArray big;
        while (big.size() + one.size() <= ContactSource::kMaxFileBytes)
            big += one;
        const qsizetype whole = big.size() / one.size();
        big += one + one;
        const ContactReading large = readFile(env, big);
        QCOMPARE(large.contacts.size(), whole);
        QCOMPARE(large.problems, QStringList(env.root() + "/contacts.vcf: the file is larger than 4 MiB; the "
                                                          "contacts after its first 4 MiB were not read."));
    }

    // The bound is on a property after unfolding, and a longer one is skipped, not the
    // file: a photo folded into 3 MB, or on one line of 70 KiB, goes without a word; a
    // name or an address over the bound is reported, and the card keeps the rest.
    void aLongPropertyIsSkippedNotTheFile()
    {
        TestEnv env;
        const auto folded = [](const QByteArray& head, qsizetype size) {
            QByteArray line = head;
            for (qsizetype n = 0; n < size; n += 74)
                line += QByteArray(74, 'A') + "\r\n ";
            return line + "A\r\n";
        };
        const ContactReading r = readFile(
            env, card("Ann", "ann@example.org") + "BEGIN:VCARD\r\nFN:Bob\r\n" + folded("PHOTO;ENCODING=b:", 3 << 20) +
                     "EMAIL:bob@example.org\r\nNOTE:" + QByteArray(70 * 1024, 'n') + "\r\nEND:VCARD\r\n" +
                     "BEGIN:VCARD\r\nN:Gamma;Cy\r\n" + folded("FN:", 100 * 1024) + "EMAIL:cy@example.org\r\nEND:VCARD\r\n" +
                     card("Dee", "dee@example.org"));
        QCOMPARE(r.contacts, (QList<Contact>{{"Ann", "ann@example.org"}, {"Bob", "bob@example.org"},
                                             {"Cy Gamma", "cy@example.org"}, {"Dee", "dee@example.org"}}));
        QCOMPARE(r.problems, QStringList(env.root() + "/contacts.vcf, line 42524: the FN property is longer than "
                                                      "64 KiB and was skipped."));
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
