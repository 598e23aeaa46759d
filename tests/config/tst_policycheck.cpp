// What an administrator is told about a policy file: each key's value in effect with
// its line and meaning, and a warning for every line ignored and every value the
// program does not recognise.
#include "config/PolicyCheck.h"
#include "platform/Cp1252.h"

#include "TestSupport.h"

#include <QTest>

namespace {
const QByteArray kHead = "[Settings]\r\nSERVERUPLOAD=/srv/up\r\n[POLICIES]\r\n"; // lines 1 to 3

QStringList warningsOf(const PolicyCheck& c)
{
    QStringList out;
    for (const PolicyWarning& w : c.warnings)
        out << QStringLiteral("%1: %2").arg(w.line).arg(w.text);
    return out;
}
} // namespace

class TestPolicyCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void warnings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("clean") << kHead + "SFX=DISABLED,LOCKED\r\nCOLORSCHEME=0x01\r\n; note\r\n\r\n" << QStringList{};
        QTest::newRow("a header without ']'")
            << kHead + "[Extra\r\nSFX=DISABLED\r\n"
            << QStringList{"4: \"[Extra\" has no \"]\": it is no section header, and the keys after it belong to "
                           "[POLICIES]"};
        QTest::newRow("lines ignored")
            << "K=1\r\n" + kHead + "just words\r\nFOO=1\r\nMAXSIZE=5\r\n[Extra]\r\nK=2\r\n"
            << QStringList{"1: \"K=1\" comes before the first section header: ignored",
                           "5: \"just words\" has no \"=\": no key, ignored",
                           "6: FOO is not a key the program reads: ignored",
                           "7: MAXSIZE belongs in [Settings], not in [POLICIES]: ignored here",
                           "8: section [Extra] is not one the program reads (Settings, POLICIES): its keys are ignored"};
        QTest::newRow("a key twice") << kHead + "SFX=ENABLED\r\nsfx=DISABLED\r\n"
                                     << QStringList{"5: sfx appears a second time in [POLICIES] (first on line 4): the "
                                                    "first value counts"};
        QTest::newRow("states")
            << kHead + "SFX=ENABLED,LOCKD\r\nENCRYPTED=sometimes\r\n"
            << QStringList{"4: SFX \"ENABLED,LOCKD\" is none of ENABLED, DISABLED, ENABLED,LOCKED or DISABLED,LOCKED: "
                           "read as off, the user may change it",
                           "5: ENCRYPTED \"sometimes\" is none of ENABLED, DISABLED, ENABLED,LOCKED or "
                           "DISABLED,LOCKED: each user's own setting stays"};
        QTest::newRow("SFX in lower case") << kHead + "SFX=enabled,locked\r\n"
                                           << QStringList{"4: SFX \"enabled,locked\" counts only in capitals: read as "
                                                          "off, the user may change it"};
        QTest::newRow("a character that is not printable")
            << kHead + "DEFAULTEXPIRE=4\x1b" "8\r\n"
            << QStringList{"4: the value of DEFAULTEXPIRE holds a character that is not printable: an escape character (U+001B)",
                           "4: DEFAULTEXPIRE \"4\x1b" "8\" is not a number of hours of 1 to 5 digits: Finish refuses "
                           "a job until the user corrects it"};
        QTest::newRow("switches and language")
            << kHead + "SKIPWELCOME=yes\r\nOUTLOOKADR=Enabled\r\nDEFAULTLANGUAGE=Deutsch\r\n"
            << QStringList{"4: SKIPWELCOME \"yes\" is neither ENABLED nor DISABLED as written: read as DISABLED",
                           "5: OUTLOOKADR \"Enabled\" is neither ENABLED nor DISABLED as written: read as DISABLED",
                           "6: DEFAULTLANGUAGE \"Deutsch\" is not written as one of {languages}: the window may speak English"};
        QTest::newRow("colour schemes")
            << kHead + "COLORSCHEME=0X1F\r\n[Settings]\r\n" << QStringList{"4: COLORSCHEME \"0X1F\" is not a whole number: read as 0",
                                                                          "5: section [Settings] appears a second time (first on line 1): the keys under this header are ignored"};
        QTest::newRow("no scheme") << kHead + "COLORSCHEME=2\r\n" << QStringList{"4: COLORSCHEME \"2\" is no scheme (0 or 1): shown as Default (R111)"};
        QTest::newRow("sizes and the upload folder")
            << QByteArray("[Settings]\r\nMAXSIZE=1 GB\r\n")
            << QStringList{"0: SERVERUPLOAD names no upload folder: the program stops at start with PVLERR:01",
                           "2: MAXSIZE \"1 GB\" is not a whole number: Finish fails with \"'1 GB' is not a valid integer value\""};
        QTest::newRow("a size beyond the check") << QByteArray("[Settings]\r\nSERVERUPLOAD=/u\r\nMAXSIZE=9223372036854775807")
            << QStringList{"3: MAXSIZE \"9223372036854775807\" is beyond the whole numbers the size check reads (-2147483648 "
                           "to 2147483647): Finish fails with \"'9223372036854775807' is not a valid integer value\""};
        QTest::newRow("a relative folder, a size below 0") << QByteArray("[Settings]\r\nSERVERUPLOAD=up\r\nMAXSIZE=-5")
            << QStringList{"2: SERVERUPLOAD \"up\" is no absolute path: every job goes below whatever folder the program is "
                           "started from", "3: MAXSIZE \"-5\" is below 0: every job is refused as too large (only -1, "
                           "written so, means no limit)"};
        QTest::newRow("a folder too long")
            << "[Settings]\r\nSERVERUPLOAD=/" + QByteArray(250, 'u') + "\r\n"
            << QStringList{"2: SERVERUPLOAD is longer than 250 characters with its separator: the program uses its first 250"};
        QTest::newRow("UTF-8 without its mark")
            << kHead + "DEFAULTLANGUAGE=FRAN\xc3\xa7" "AIS\r\n"
            << QStringList{"0: the file is UTF-8 without a byte-order mark; it is read as Windows-1252, so its letters "
                           "beyond ASCII read differently (save it with the mark, or as Windows-1252)",
                           QString::fromUtf8("4: DEFAULTLANGUAGE \"FRAN\u00c3\u00a7AIS\" is not written as one of "
                                             "{languages}: the window may speak English")};
    }
    void warnings()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, warnings);
        // A misspelt language is answered with every key the program takes...
        warnings.replaceInStrings(QStringLiteral("{languages}"), languageKeys());
        QCOMPARE(warningsOf(CheckPolicy(content)), warnings);
        // ... and each of those keys, as written there, reads clean.
        for (const QString& key : languageKeys().split(QStringLiteral(", ")))
            QCOMPARE(warningsOf(CheckPolicy(kHead + "DEFAULTLANGUAGE=" + cp1252::encode(key) + "\r\n")), QStringList());
    }

    void encodingsAndLineEnds()
    {
        const PolicyCheck utf16 = CheckPolicy(QByteArray("\xff\xfe[\0S\0]\0\n\0K\0=\0v\0", 16));
        QCOMPARE(utf16.encoding, QString("UTF-16 little-endian with a byte-order mark"));
        QCOMPARE(utf16.lineEnds, QString("LF"));
        QCOMPARE(CheckPolicy("\xef\xbb\xbf[S]\r\nA=1\rB=2\nC=3\r\n").lineEnds, QString("mixed (2 CR LF, 1 LF, 1 CR)"));
        QCOMPARE(CheckPolicy("[S]").lineEnds, QString("none"));
    }
};

QTEST_GUILESS_MAIN(TestPolicyCheck)
#include "tst_policycheck.moc"
