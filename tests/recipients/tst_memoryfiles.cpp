#include "client/Client.h"
#include "platform/Errors.h"
#include "recipients/MemoryFiles.h"

#include "TestSupport.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

namespace {

std::unique_ptr<Client> cacheClient(const TestEnv& env)
{
    auto client = env.makeClient();
    client->state.UserDataFolder = env.userDataFolder();
    QDir().mkpath(env.userDataFolder());
    return client;
}

QString recipientFile(const TestEnv& env) { return env.userDataFolder() + "pvxto.txt"; }
QString messageFile(const TestEnv& env) { return env.userDataFolder() + "pvxcache.txt"; }

} // namespace

using MakeFile = std::function<void(const QString& path)>;
Q_DECLARE_METATYPE(MakeFile)

class TestMemoryFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An empty list or message leaves the files as they are; a list of only empty
    // entries is not empty, and its file has no lines. What is saved is Windows-1252
    // with CR LF, empty entries left out.
    void savedBytesAreWindows1252WithCrLf()
    {
        TestEnv env;
        env.makeFile("appdata/Parvela/pvxto.txt", "kept@example.org\r\n");
        env.makeFile("appdata/Parvela/pvxcache.txt", "kept\r\n");
        auto client = cacheClient(env);
        SaveRecipientCache(*client);
        SaveMessageCache(*client);
        QCOMPARE(readAll(recipientFile(env)), QByteArray("kept@example.org\r\n"));
        QCOMPARE(readAll(messageFile(env)), QByteArray("kept\r\n"));
        client->form.setRecipients({""});
        SaveRecipientCache(*client);
        QCOMPARE(readAll(recipientFile(env)), QByteArray());

        client->form.setRecipients({"a@example.org", "", QString::fromUtf8("Jos\u00e9 <j@example.fr>"),
                                    "a@example.org", QString::fromUtf8("\u20ac\u0141")});
        client->form.setMessageLines({QString::fromUtf8("Gr\u00fc\u00dfe"), "", "  indented  ", ""});
        SaveRecipientCache(*client);
        SaveMessageCache(*client);
        QCOMPARE(readAll(recipientFile(env)),
                 QByteArray("a@example.org\r\nJos\xe9 <j@example.fr>\r\na@example.org\r\n\x80?\r\n"));
        QCOMPARE(readAll(messageFile(env)), QByteArray("Gr\xfc\xdf" "e\r\n\r\n  indented  \r\n\r\n"));
    }

    void messageKeepsItsFirst5000Lines_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("kept");
        QTest::newRow("3") << 3 << 3;
        QTest::newRow("5000") << 5000 << 5000;
        QTest::newRow("5001") << 5001 << 5000;
    }
    void messageKeepsItsFirst5000Lines()
    {
        QFETCH(int, lines);
        QFETCH(int, kept);
        TestEnv env;
        auto writer = cacheClient(env);
        QStringList message;
        for (int i = 1; i <= lines; ++i)
            message.append(QString::number(i));
        writer->form.setMessageLines(message);
        SaveMessageCache(*writer);
        QCOMPARE(readAll(messageFile(env)).count("\r\n"), kept);

        // Saving and reading back never adds a line.
        auto reader = cacheClient(env);
        LoadMessageCache(*reader);
        QCOMPARE(reader->form.messageLines(), message.mid(0, kept));
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("no file: nothing changes") << QByteArray() << QStringList();
        QTest::newRow("empty file") << QByteArray("") << QStringList{""};
        QTest::newRow("one line end") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("no end on the last") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << QStringList{"a", ""};
        QTest::newRow("Windows-1252") << QByteArray("\x80 Fran\xe7ois\r\n")
                                      << QStringList{QString::fromUtf8("\u20ac Fran\u00e7ois")};
    }
    void readLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, lines);
        TestEnv env;
        if (!content.isNull()) {
            env.makeFile("appdata/Parvela/pvxto.txt", content);
            env.makeFile("appdata/Parvela/pvxcache.txt", content);
        }
        auto client = cacheClient(env);
        client->form.setRecipients({"replaced"});
        client->form.setMessageLines({"kept"});
        LoadRecipientCache(*client);
        LoadMessageCache(*client);
        QCOMPARE(client->form.recipients(), content.isNull() ? QStringList{"replaced"} : lines);
        QCOMPARE(client->form.messageLines(), QStringList{"kept"} + lines);
    }

    // A memory file that is not a plain file or is bigger than the program ever writes
    // is refused unread (a pipe does not hang the start, a huge file does not fill the
    // memory), with its path and the reason.
    void unreadableFileThrowsWithItsPath_data()
    {
        QTest::addColumn<MakeFile>("make"); // makes the message file
        QTest::addColumn<QString>("reason");
        // A folder ("Is a directory"): tst_cli's sendWarnsOfAnUnreadableMemoryFileAndGoesOn.
#ifndef Q_OS_WIN // Windows folders hold no named pipes
        QTest::newRow("FIFO") << MakeFile([](const QString& path) {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        }) << "Not a regular file";
#endif
        QTest::newRow("over 1 MiB") << MakeFile([](const QString& path) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(400000000));
        }) << "File too large (400000000 bytes, at most 1048576 are read)";
    }
    void unreadableFileThrowsWithItsPath()
    {
        QFETCH(MakeFile, make);
        QFETCH(QString, reason);
        TestEnv env;
        auto client = cacheClient(env);
        make(messageFile(env));
        client->form.setMessageLines({"text"});
        try {
            LoadMessageCache(*client);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.path(), messageFile(env));
            QCOMPARE(e.systemText(), reason);
        }
        QCOMPARE(client->form.messageLines(), QStringList{"text"});
    }

    // A save that runs out of room fails with the system's reason and the path, and
    // the file from before stays whole; no temporary file is left behind.
    void failedSaveKeepsTheOldFile()
    {
        TestEnv env;
        fsfault::ScopedTmpfs tmpfs;
        QString why;
        if (!tmpfs.mount(env.userDataFolder(), QStringLiteral("size=16k"), &why))
            QSKIP(qPrintable(why));
        const QByteArray old = "first@example.org\r\nsecond@example.org\r\n";
        env.makeFile("appdata/Parvela/pvxto.txt", old);
        env.makeFile("appdata/Parvela/pvxcache.txt", "old message\r\n");
        auto client = cacheClient(env);
        client->form.setRecipients(QStringList(2000, QString(40, u'r')));
        client->form.setMessageLines(QStringList(2000, QString(40, u'm')));
        for (const auto& save : {&SaveRecipientCache, &SaveMessageCache}) {
            bool failed = false;
            try {
                save(*client);
            } catch (const IoError& e) {
                failed = e.systemText() == QStringLiteral("No space left on device") &&
                         e.path().startsWith(env.userDataFolder());
            }
            QVERIFY(failed);
        }
        QCOMPARE(readAll(recipientFile(env)), old);
        QCOMPARE(readAll(messageFile(env)), QByteArray("old message\r\n"));
        QCOMPARE(QDir(env.userDataFolder()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"pvxcache.txt", "pvxto.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestMemoryFiles)
#include "tst_memoryfiles.moc"
