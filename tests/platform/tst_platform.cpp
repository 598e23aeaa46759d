#include "platform/portable/UserRegistryFile.h"
#include "platform/Cp1252.h"
#include "platform/ProfileReader.h"
#include "platform/UserRegistry.h"
#include "platform/Errors.h"
#include "platform/UserOnly.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <ctime>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The table byte by byte against Qt's own converter: each of the 251 bytes
    // Windows-1252 defines reads as the same character, and each of the five it leaves
    // undefined as the control character of its own value; every byte's character
    // writes back as that byte. A table wrong both ways round-trips and is caught here.
    void cp1252AgreesWithAnIndependentDecoder()
    {
#ifdef Q_OS_WIN // Qt without ICU has no Windows-1252 converter there; the system has one
        const auto decode = [](const QByteArray& byte) {
            wchar_t c = 0;
            return ::MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, byte.constData(), 1, &c, 1) == 1
                       ? QString(QChar(char16_t(c)))
                       : QString();
        };
#else
        QStringDecoder reference("windows-1252");
        QVERIFY2(reference.isValid(), "the toolkit has no Windows-1252 converter");
        const auto decode = [&reference](const QByteArray& byte) { return reference.decode(byte); };
#endif
        const QByteArray undefined("\x81\x8d\x8f\x90\x9d");
        for (int b = 0; b < 256; ++b) {
            const QByteArray byte(1, char(b));
            const QString ours = cp1252::decode(byte);
            if (undefined.contains(char(b))) {
                QCOMPARE(ours, QString(QChar(char16_t(b))));
            } else {
                const QString theirs = decode(byte);
                QVERIFY2(ours == theirs, qPrintable(QStringLiteral("byte %1: %2, not %3").arg(b, 2, 16).arg(ours, theirs)));
            }
            QCOMPARE(cp1252::encode(ours), byte);
        }
        // What it cannot hold is written as '?', and named.
        QCOMPARE(cp1252::encode(QString::fromUtf8("a\u0141b\U0001F600c")), QByteArray("a?b?c"));
        QString bad;
        QVERIFY(!cp1252::canEncode(QString::fromUtf8("ok \u0141"), &bad));
        QCOMPARE(bad, QString::fromUtf8("\u0141"));
        QVERIFY(cp1252::canEncode(QString::fromUtf8("Fran\u00e7ais \u20ac")));
    }

    void profileReaderFollowsThePrivateProfileRules()
    {
        const auto r = ProfileReader::fromBytes(
            "key=before any section\r\n"
            "[ settings ]\r\n"
            "  ServerUpload  =  \"C:\\upload\"  \r\n"
            "serverupload=second wins not\r\n"
            "; comment=1\r\n"
            "#hash=kept\r\n"
            "noequals\r\n"
            "single='x'\r\n"
            "mixed=\"x'\r\n"
            "after=value ; not a comment\r\n"
            "[POLICIES]\r\n"
            "A=1\r\n"
            "[Settings]\r\n"
            "LATE=ignored\r\n");
        QCOMPARE(r.readString("SETTINGS", "SERVERUPLOAD", "d"), QString("C:\\upload"));
        QCOMPARE(r.readString("Settings", "key", "d"), QString("d"));
        QCOMPARE(r.readString("Settings", "; comment", "d"), QString("d"));
        QCOMPARE(r.readString("Settings", "#hash", "d"), QString("kept"));
        QCOMPARE(r.readString("Settings", "noequals", "d"), QString("d"));
        QCOMPARE(r.readString("Settings", "single", "d"), QString("x"));
        QCOMPARE(r.readString("Settings", "mixed", "d"), QString("\"x'"));
        QCOMPARE(r.readString("Settings", "after", "d"), QString("value ; not a comment"));
        QCOMPARE(r.readString("Settings", "LATE", "d"), QString("d"));
        QCOMPARE(r.readString("policies", "a", "d"), QString("1"));
        // A number: its default when missing or empty, 0 when it is no number.
        const auto n = ProfileReader::fromBytes("[P]\nA=\nB=x\n");
        QCOMPARE(n.readInt("P", "A", 5), 5);
        QCOMPARE(n.readInt("P", "B", 5), 0);
        QCOMPARE(n.readInt("P", "C", 5), 5);
    }

    // Where a file's bytes read otherwise than the plain rules suggest: the blanks
    // trimmed at the edges are more than space and tab; a header needs its ']', and
    // ends at the last one.
    void profileEdgesAndHeaders_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("value"); // of key K, "d" when missing
        QTest::newRow("Ctrl-Z after the last value") << QByteArray("[P]\r\nK=ENABLED,LOCKED\x1a") << "P" << "ENABLED,LOCKED";
        QTest::newRow("form feed, vertical tab") << QByteArray("[\x0cP\x0b]\r\n\x0bK\x0c=\x0c v\x1a\x0b\r\n") << "P" << "v";
        QTest::newRow("inside a value they stay") << QByteArray("[P]\nK=a\x1a\x0c b\n") << "P" << "a\x1a\x0c b";
        QTest::newRow("no ']': no header, the key stays in the section before")
            << QByteArray("[S]\r\nA=1\r\n[P\r\nK=2\r\n") << "S" << "2";
        QTest::newRow("no ']': the section it names is not opened") << QByteArray("[S]\r\n[P\r\nK=2\r\n") << "P" << "d";
        QTest::newRow("the name ends at the last ']'") << QByteArray("[a]b]\r\nK=3\r\n") << "a]b" << "3";
        QTest::newRow("not at the first") << QByteArray("[a]b]\r\nK=3\r\n") << "a" << "d";
        // A NUL ends a name or a value; the ']' and '=' after it still count.
        QTest::newRow("NUL in a header") << QByteArrayLiteral("[POLICIES\0]\r\nK=4\r\n") << "POLICIES" << "4";
        QTest::newRow("NUL in a key") << QByteArrayLiteral("[P]\r\nK\0x=5\r\n") << "P" << "5";
        QTest::newRow("NUL in a value") << QByteArrayLiteral("[P]\r\nK=\"6\"\0x\r\n") << "P" << "6";
    }
    void profileEdgesAndHeaders()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, value);
        QCOMPARE(ProfileReader::fromBytes(content).readString(section, "K", "d"), value);
    }

    // Files as administrators save them: other line ends, converted twice, a modern
    // editor's UTF-8 with its byte-order mark.
    void profileLineEndsAndEncodings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("language");
        const QByteArray lines[] = {"[Settings]", "SERVERUPLOAD=/srv/up", "[POLICIES]", "ENCRYPTED=ENABLED",
                                    "DEFAULTLANGUAGE=FRAN\xe7" "AIS"};
        auto joined = [&lines](const QByteArray& end) {
            QByteArray out;
            for (const QByteArray& l : lines)
                out += l + end;
            return out;
        };
        const QString french = QString::fromUtf8("FRAN\u00e7AIS");
        QTest::newRow("CR LF") << joined("\r\n") << french;
        QTest::newRow("LF") << joined("\n") << french;
        QTest::newRow("CR") << joined("\r") << french;
        QTest::newRow("CR CR LF") << joined("\r\r\n") << french;
        QTest::newRow("no end on the last") << joined("\r\n").chopped(2) << french;
        QByteArray utf8 = "\xef\xbb\xbf" + joined("\r\n");
        utf8.replace("\xe7", "\xc3\xa7");
        QTest::newRow("UTF-8 with byte-order mark") << utf8 << french;
        // Without the mark the bytes are Windows-1252, whatever they look like.
        QTest::newRow("UTF-8 bytes without the mark") << utf8.mid(3) << QString::fromUtf8("FRAN\u00c3\u00a7AIS");
        // Notepad's "Unicode" and "Unicode big endian".
        const QString text = QString::fromLatin1(joined("\r\n"));
        QTest::newRow("UTF-16 LE with byte-order mark") << "\xff\xfe" + QStringEncoder(QStringConverter::Utf16LE).encode(text) << french;
        QTest::newRow("UTF-16 BE with byte-order mark") << "\xfe\xff" + QStringEncoder(QStringConverter::Utf16BE).encode(text) << french;
    }
    void profileLineEndsAndEncodings()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, language);
        const auto r = ProfileReader::fromBytes(content);
        QCOMPARE(r.readString("Settings", "SERVERUPLOAD", "d"), QString("/srv/up"));
        QCOMPARE(r.readString("POLICIES", "ENCRYPTED", "d"), QString("ENABLED"));
        QCOMPARE(r.readString("POLICIES", "DEFAULTLANGUAGE", "d"), language);
    }

    void registryStoresNamesWithoutRegardToCaseAndKeepsOtherLines()
    {
        TestEnv env;
        const UserRegistryFile reg(env.registryPath());
        QVERIFY(!reg.keyExists());
        QCOMPARE(reg.read("COLORSCHEME"), QString());
        reg.write("COlORSCHEME", "2");
        QVERIFY(reg.keyExists());
        QCOMPARE(reg.read("COLORSCHEME"), QString("2"));
        reg.write("subject", QString::fromUtf8("a\\b\nc = d \u00e7"));
        QCOMPARE(reg.read("SUBJECT"), QString::fromUtf8("a\\b\nc = d \u00e7"));
        reg.write("colorscheme", "1");
        QCOMPARE(reg.read("ColorScheme"), QString("1"));
        QCOMPARE(readAll(env.registryPath()).count("COLORSCHEME="), 1);
        // A value the store already holds is not written again: the file stays the
        // same file (a replacement would be a new one).
        const auto inode = [&] {
            struct stat st {};
            return ::stat(QFile::encodeName(env.registryPath()).constData(), &st) == 0 ? st.st_ino : 0;
        };
        const auto before = inode();
        reg.write("ColorScheme", "1");
        QCOMPARE(inode(), before);

        // A write changes the lines of its own name and nothing else: another program's
        // key with bytes that are no UTF-8, a line's letter case, comments and CR LF stay
        // byte for byte. The first line of the name takes the value; a later one goes; a
        // new name follows the last line's line end.
        const QByteArray others = "Other=caf\xe9 \xff\r\n; a note\nLanguage=deutsch\n";
        env.makeFile("config/TROVIK/PVX2007.ini", "[PVX2007]\r\n" + others + "name=old\r\nNAME=later\n");
        reg.write("NAME", "new");
        reg.write("COMPANY", "Smit");
        QCOMPARE(readAll(env.registryPath()), "[PVX2007]\r\n" + others + "NAME=new\r\nCOMPANY=Smit\r\n");
        QCOMPARE(reg.read("language"), QString("deutsch"));
    }

    // A store of 100,000 values is read in one pass: a reader that compares every name
    // with every name before it takes minutes here.
    void registryReadsALargeStoreInOnePass()
    {
        TestEnv env;
        QByteArray content = "[PVX2007]\n";
        for (int i = 0; i < 100000; ++i)
            content += "NAME" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\n";
        content += "name5=a later value of a name counts not\n";
        env.makeFile("config/TROVIK/PVX2007.ini", content);
        const UserRegistryFile reg(env.registryPath());
        // Processor time, not the clock: other work on the machine must not count.
        const std::clock_t start = std::clock();
        QCOMPARE(reg.read("name99999"), QString("value 99999"));
        reg.write("NAME5", "changed");
        const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
        QVERIFY2(seconds < 10, qPrintable(QString::number(seconds)));
        QCOMPARE(reg.read("NAME5"), QString("changed"));
        QCOMPARE(reg.read("NAME6"), QString("value 6"));
    }

    void registryWriteFailureKeepsTheOldStore()
    {
        // The store lives on a disk too small for its next version: the write fails
        // part way, and the store still holds what it held before.
        TestEnv env;
        const QString dir = env.root() + "/small";
        QString why;
        fsfault::ScopedTmpfs disk;
        if (!disk.mount(dir, "size=16k", &why))
            QSKIP(qPrintable(why));
        const auto reg = UserRegistry::open(dir + "/PVX2007.ini");
        reg->write("NAME", "kept");
        reg->write("COMPANY", QString(6000, u'c'));
        const QByteArray before = readAll(dir + "/PVX2007.ini");
        try {
            reg->write("COMPANY", QString(12000, u'x'));
            QFAIL("a write that does not fit was taken");
        } catch (const IoError& e) {
            QCOMPARE(e.systemText(), QString("No space left on device"));
        }
        QCOMPARE(readAll(dir + "/PVX2007.ini"), before);
        QCOMPARE(reg->read("NAME"), QString("kept"));
    }

    // The window's hand-over socket lives in a folder of the user's own: one made with
    // the owner's rights alone, or one found that is a real folder of this user which
    // nobody else may enter. Anything else is refused, so the socket is never put
    // where another user could reach it or replace it.
    void aPrivateFolderIsTheUsersAlone_data()
    {
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("refusal"); // empty: the folder is taken
        QTest::newRow("missing: made") << "missing" << "";
        QTest::newRow("the user's own") << "0700" << "";
        QTest::newRow("others may enter") << "0755" << "others may enter";
        QTest::newRow("a link to a folder of the user's own") << "link" << "is no folder";
        QTest::newRow("another user's") << "other user" << "belongs to another user";
    }
    void aPrivateFolderIsTheUsersAlone()
    {
#ifdef Q_OS_WIN
        QSKIP("POSIX folder modes and owners; the Windows folder is checked by its owner's SID");
#else
        QFETCH(QString, found);
        QFETCH(QString, refusal);
        TestEnv env;
        const QString path = env.root() + "/parvelaclient";
        const QByteArray bytes = QFile::encodeName(path);
        if (found == u"0700" || found == u"0755" || found == u"other user")
            QCOMPARE(::mkdir(bytes.constData(), found == u"0755" ? 0755 : 0700), 0);
        if (found == u"link") {
            QCOMPARE(::mkdir(QFile::encodeName(env.root() + "/real").constData(), 0700), 0);
            QVERIFY(QFile::link(env.root() + "/real", path));
        }
        if (found == u"other user" && (::geteuid() != 0 || ::chown(bytes.constData(), 65534, 65534) != 0))
            QSKIP("only root can give a folder to another user");
        QString error;
        const QString taken = useronly::privateFolder(env.root(), "parvelaclient", &error);
        if (refusal.isEmpty()) {
            QCOMPARE(taken, path);
            struct stat st {};
            QCOMPARE(::lstat(bytes.constData(), &st), 0);
            QCOMPARE(int(st.st_mode & 07777), 0700);
        } else {
            QVERIFY(taken.isEmpty());
            QVERIFY2(error.contains(refusal), qPrintable(error));
        }
#endif
    }

    // The record of sent jobs is the user's alone on Windows too: made, or found and
    // set, with a protected access list (nothing inherited from the folder) that lets
    // in its owner, this user, and nobody else (the system aside).
    void aPrivateFileIsTheUsersAlone()
    {
#ifndef Q_OS_WIN
        QSKIP("Windows access lists; the POSIX mode is checked with the record of sent jobs");
#else
        TestEnv env;
        for (const QString& path : {env.root() + "/made.db", env.makeFile("found.db", "x")}) {
            QString error;
            QCOMPARE(useronly::makePrivateFile(path, &error), useronly::Entry::PlainFile);
            QVERIFY(usersAlone(path));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
