#include "client/Client.h"
#include "app/Startup.h"
#include "config/Paths.h"
#include "config/UserSettings.h"
#include "platform/Errors.h"
#include "spool/JobOptions.h"

#include "TestSupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using Option = OptionState;

namespace {

// The values of the settings store as "NAME=value", in the order they stand in it.
QStringList storedValues(const TestEnv& env)
{
    QStringList values;
    for (const QByteArray& line : readAll(env.registryPath()).split('\n'))
        if (line.contains('=') && !line.startsWith('['))
            values.append(QString::fromUtf8(line.trimmed()));
    return values;
}

// The store as a later program version would find it, plus the given values.
void seedStore(const TestEnv& env, const QList<std::pair<QString, QString>>& values)
{
    env.store(QList<std::pair<QString, QString>>{{"POLICYVERSION", "-1"}, {"VERSION", kVersionText}} + values);
}

} // namespace

class TestUserSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The policy file is the program's name with ".INI"; an installed program without
    // one beside it reads the system's one, but a file beside it always wins. A start
    // makes the user data folder and clears what the form held.
    void whereEverythingIs()
    {
        for (const auto& [program, policy] : {std::pair{"/opt/pv/parvelaclient", "/opt/pv/parvelaclient.INI"},
                                              {"/opt/pv/parvelaclient.exe", "/opt/pv/parvelaclient.INI"},
                                              {"/opt/pv/parvela.client.bin", "/opt/pv/parvela.client.INI"},
                                              {"/opt/pv.d/parvelaclient", "/opt/pv.d/parvelaclient.INI"}})
            QCOMPARE(PolicyFilePathFor(program), QString(policy));
        TestEnv env;
        QCOMPARE(LocatePolicyFile(env.programPath()), env.policyPath());
        env.makeFile("etc/parvela/parvelaclient.INI", "[Settings]\r\n");
        QCOMPARE(LocatePolicyFile(env.programPath()), env.systemPolicyPath());
        env.writeDefaultPolicy();
        QCOMPARE(LocatePolicyFile(env.programPath()), env.policyPath());

        auto client = env.makeClient();
        client->form.setRecipients({"left over"});
        StartClient(*client);
        const ClientState& s = client->state;
        QCOMPARE(s.ExeFolder, env.root() + "/bin");
        QCOMPARE(s.PolicyFilePath, env.policyPath());
        QCOMPARE(s.UserDataFolder, env.userDataFolder()); // made: tst_mainwindow's startEndsAfterOneMessage
        QVERIFY(client->form.recipients().isEmpty());
        QCOMPARE(MainWindowCaption(s), QString("Trovik Parvela Client 2007 - R1.2.6  -  ") + kVendorAddress);
    }

    void firstStartThenNextStart()
    {
        TestEnv env;
        env.writeDefaultPolicy("POLICYVERSION=7\r\nSKIPWELCOME=DISABLED\r\nDEFAULTEXPIRE=24\r\nSFX=DISABLED,LOCKED\r\n");
        auto first = env.windowClient();
        QVERIFY(first->state.FirstRun);
        QVERIFY(first->prompter.shown().isEmpty());
        QCOMPARE(storedValues(env),
                 QStringList({"POLICYVERSION=7", "TITLE=Trovik Parvela Client", "VERSION=2007 - R1.2.6",
                              "ENCRYPTED=ENABLED", "SFX=DISABLED,LOCKED", "OUTLOOK=DISABLED", "SKIPWELCOME=DISABLED",
                              "LANGUAGE=ENGLISH", "EXPIRE=24", "FROM=", "NAME=", "COMPANY=", "COLORSCHEME=0",
                              "AUTOQUIT=DISABLED", "SUBJECT=", "REMEMBERTO=ENABLED", "REMEMBEREMAIL=DISABLED",
                              "LASTPATH="}));
        // At a first start the (empty) recipient list is not remembered.
        QVERIFY(!QFile::exists(env.userDataFolder() + "pvxto.txt"));

        const QByteArray stored = readAll(env.registryPath());
        // What the next start reads back: the tests of stored values below.
        auto next = env.windowClient();
        QVERIFY(!next->state.FirstRun);
        QVERIFY(next->prompter.shown().isEmpty());
        QCOMPARE(next->form.startPage(), Page::Welcome);
        QCOMPARE(readAll(env.registryPath()), stored); // same versions: nothing rewritten
    }

    void raisedPolicyVersionAppliesOnce()
    {
        TestEnv env;
        env.writeDefaultPolicy("POLICYVERSION=1\r\nDEFAULTEXPIRE=48\r\n");
        env.windowClient();
        env.store({{"ENCRYPTED", "DISABLED"}, {"EXPIRE", "100"}}); // the user's own choices since
        auto same = env.windowClient();
        QCOMPARE(same->form.encr(), (Option{false, false}));
        QCOMPARE(same->form.expireText(), QString("100"));

        env.writeDefaultPolicy("POLICYVERSION=2\r\nENCRYPTED=ENABLED,LOCKED\r\nDEFAULTEXPIRE=12\r\n");
        auto raised = env.windowClient();
        QCOMPARE(raised->form.encr(), (Option{true, true}));
        QCOMPARE(raised->form.expireText(), QString("12"));
        QCOMPARE(raised->registry->read("POLICYVERSION"), QString("2"));
        QCOMPARE(raised->registry->read("ENCRYPTED"), QString("ENABLED,LOCKED"));
        QVERIFY(!raised->state.FirstRun);

        env.store({{"EXPIRE", "99"}});
        auto after = env.windowClient();
        QCOMPARE(after->form.expireText(), QString("99")); // the policy is not applied again
        QCOMPARE(after->form.encr(), (Option{true, true})); // but its lock holds
    }

    // A stored lock outlives the start that set it, in any letter case, and a save
    // writes it back; an empty or unknown value leaves the box unchecked.
    void storedOptions_data()
    {
        QTest::addColumn<QString>("encrypted");
        QTest::addColumn<QString>("sfx");
        QTest::addColumn<OptionState>("encr");
        QTest::addColumn<OptionState>("sfxShown");
        QTest::addColumn<QString>("sfxSaved");
        QTest::newRow("locks") << "ENABLED,LOCKED" << "disabled,locked" << Option{true, true} << Option{false, true}
                               << "DISABLED,LOCKED";
        QTest::newRow("empty or unknown") << "" << "maybe" << Option{false, false} << Option{false, false} << "DISABLED";
    }
    void storedOptions()
    {
        QFETCH(QString, encrypted);
        QFETCH(QString, sfx);
        QFETCH(OptionState, encr);
        QFETCH(OptionState, sfxShown);
        QFETCH(QString, sfxSaved);
        TestEnv env;
        env.writeDefaultPolicy("ENCRYPTED=DISABLED\r\nSFX=ENABLED\r\n"); // not read: same version
        seedStore(env, {{"ENCRYPTED", encrypted}, {"SFX", sfx}});
        auto client = env.windowClient();
        QCOMPARE(client->form.encr(), encr);
        QCOMPARE(client->form.sfx(), sfxShown);
        QCOMPARE(exitCodeOf([&] { QuitProgram(*client, true); }), 0);
        QCOMPARE(client->registry->read("ENCRYPTED"), QString(encr.checked ? "ENABLED,LOCKED" : "DISABLED"));
        QCOMPARE(client->registry->read("SFX"), sfxSaved);
    }

    // A store of another program version (or none) loses its colour scheme and its
    // automatic quit; the rest of the user's values stay. The scheme is read by its low
    // eight bits, and a value that is no number is the default one.
    void storedSchemeAndVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<bool>("autoQuit");
        QTest::addColumn<QString>("kept"); // in the store after the start
        QTest::newRow("same version") << kVersionText << "1" << 1 << true << "1";
        QTest::newRow("low eight bits") << kVersionText << "257" << 1 << true << "257";
        QTest::newRow("number with text") << kVersionText << "1x" << 0 << true << "1x";
        QTest::newRow("older version") << "2006 - R1.0.9" << "1" << 0 << false << "0";
        QTest::newRow("no version") << "" << "1" << 0 << false << "0";
    }
    void storedSchemeAndVersion()
    {
        QFETCH(QString, version);
        QFETCH(QString, stored);
        QFETCH(int, scheme);
        QFETCH(bool, autoQuit);
        QFETCH(QString, kept);
        TestEnv env;
        env.writeDefaultPolicy();
        seedStore(env, {{"VERSION", version}, {"COlORSCHEME", stored}, {"AUTOQUIT", "ENABLED"}, {"NAME", "Ann"},
                        {"EXPIRE", "72"}, {"LANGUAGE", "deutsch"}, {"ENCRYPTED", "DISABLED"}, {"LASTPATH", env.upload()},
                        {"OUTLOOK", "ENABLED"}});
        auto client = env.makeClient();
        ConnectOptionStores(*client);
        QSignalSpy applied(&client->form, &ClientForm::colorSchemeApplied);
        StartClient(*client);
        QVERIFY(client->prompter.shown().isEmpty());
        QCOMPARE(int(client->state.ColorScheme), scheme);
        QCOMPARE(applied.count(), 1);
        QCOMPARE(applied.first().at(0).toInt(), scheme);
        QCOMPARE(client->form.autoQuit(), autoQuit);
        QVERIFY(client->state.OutlookEnabled);
        QCOMPARE(client->state.SenderName, QString("Ann"));
        QCOMPARE(client->form.expireText(), QString("72"));
        QCOMPARE(client->state.LanguageName, QString("DEUTSCH"));
        QCOMPARE(client->form.encr(), (Option{false, false}));
        QCOMPARE(client->form.lastPath(), env.upload());
        QCOMPARE(client->registry->read("VERSION"), kVersionText);
        QCOMPARE(client->registry->read("COLORSCHEME"), kept);
        QCOMPARE(client->registry->read("NAME"), QString("Ann"));

        seedStore(env, {{"LASTPATH", env.root() + "/gone"}});
        QVERIFY(env.windowClient()->form.lastPath().isEmpty());
    }

    // OUTLOOK and AUTOQUIT are compared exactly (only "ENABLED" is on); the remember
    // switches and SKIPWELCOME are upper-cased first.
    void letterCaseOfStoredSwitches()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        env.makeFile("appdata/Parvela/pvxto.txt", "a@example.org\r\n");
        env.makeFile("appdata/Parvela/pvxcache.txt", "Hello\r\n");
        seedStore(env, {{"OUTLOOK", "enabled"}, {"AUTOQUIT", "Enabled"}, {"REMEMBERTO", "enabled"},
                        {"SUBJECT", "Plans"}, {"REMEMBEREMAIL", "eNaBlEd"}, {"SKIPWELCOME", "enabled"},
                        {"FROM", "me@example.org"}, {"COMPANY", "Trovik"}});
        auto client = env.windowClient();
        QVERIFY(!client->state.OutlookEnabled);
        QVERIFY(!client->form.autoQuit());
        QVERIFY(client->state.RememberTo);
        QCOMPARE(client->form.recipients(), QStringList{"a@example.org"});
        QCOMPARE(client->form.subjectText(), QString("Plans"));
        QVERIFY(client->state.RememberMessage);
        QCOMPARE(client->form.messageLines(), QStringList{"Hello"});
        QVERIFY(client->form.skipWelcome());
        QCOMPARE(client->form.startPage(), Page::Select);
        QCOMPARE(client->state.SenderEmail, QString("me@example.org"));
        QCOMPARE(client->form.fromText(), QString("me@example.org"));
        QCOMPARE(client->state.SenderCompany, QString("Trovik"));
    }

    void subjectStaysStoredWhenRecipientsAreNotRemembered()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        env.makeFile("appdata/Parvela/pvxto.txt", "old@example.org\r\n");
        seedStore(env, {{"REMEMBERTO", "DISABLED"}, {"SUBJECT", "Old subject"}});
        auto client = env.windowClient();
        QVERIFY(!client->state.RememberTo);
        QVERIFY(client->form.subjectText().isEmpty());
        QVERIFY(client->form.recipients().isEmpty());
        client->form.setSubjectText("New subject");
        client->form.setRecipients({"new@example.org"});
        SaveUserSettings(*client);
        QCOMPARE(client->registry->read("SUBJECT"), QString("Old subject"));
        QCOMPARE(client->registry->read("REMEMBERTO"), QString("DISABLED"));
        QCOMPARE(readAll(env.userDataFolder() + "pvxto.txt"), QByteArray("old@example.org\r\n"));
    }

    // The first start fails its probe: nothing is saved, but the policy's skip-welcome
    // change is stored by its own handler and creates the key. The next start then
    // takes the usual road and fills the store.
    void firstStartWithFailingProbe()
    {
        TestEnv env;
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + env.root().toUtf8() + "/none\r\n");
        auto first = env.windowClient();
        QVERIFY(first->state.StartupFailed);
        QVERIFY(!first->state.FirstRun);
        QCOMPARE(storedValues(env), QStringList{"SKIPWELCOME=ENABLED"});

        env.writeDefaultPolicy();
        auto next = env.windowClient();
        QVERIFY(!next->state.StartupFailed);
        QVERIFY(!next->state.FirstRun);
        QVERIFY(next->prompter.shown().isEmpty());
        QCOMPARE(next->form.encr(), (Option{true, false})); // the policies, once
        QCOMPARE(next->form.expireText(), QString("48"));
        QCOMPARE(next->registry->read("POLICYVERSION"), QString("-1"));
        QCOMPARE(next->registry->read("VERSION"), kVersionText);
        QCOMPARE(next->registry->read("ENCRYPTED"), QString("ENABLED"));
        QCOMPARE(next->registry->read("LASTPATH"), QString());
    }

    // The command-line tool loads the same way but never writes the store, not even for
    // a new policy version (a new user's start: tst_cli).
    void readOnlyLoaderWritesNothing()
    {
        TestEnv env;
        env.writeDefaultPolicy("DEFAULTEXPIRE=36\r\n");
        seedStore(env, {{"VERSION", "old"}, {"POLICYVERSION", "0"}, {"EXPIRE", "5"}});
        const QByteArray stored = readAll(env.registryPath());
        auto cli = env.makeClient();
        cli->settingsWritable = false;
        StartClient(*cli);
        QCOMPARE(cli->form.expireText(), QString("36")); // the policies applied in memory
        QCOMPARE(readAll(env.registryPath()), stored);
    }

    // A damaged store or memory file never puts a control character into a field: the
    // value or line that holds one is not loaded, a warning names it, and the rest
    // loads (a tab stays in the message).
    void controlCharactersAreNotLoaded()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        env.makeFile("appdata/Parvela/pvxto.txt", QByteArray("ann@x.org\r\n\0\0\0\r\nbob@x.org\r\n", 27));
        env.makeFile("appdata/Parvela/pvxcache.txt", "a\tb\r\nring\x07\r\nend\r\n");
        seedStore(env, {{"NAME", "Ann\x1b]0;x\x07"}, {"COMPANY", "Acme"}, {"FROM", "ann@x.org\r\nBcc: e@x"},
                        {"REMEMBERTO", "ENABLED"}, {"SUBJECT", "Plans\x1b"}, {"REMEMBEREMAIL", "ENABLED"}});
        auto client = env.windowClient();
        QCOMPARE(client->state.SenderName, QString());
        QCOMPARE(client->state.SenderCompany, QString("Acme"));
        QCOMPARE(client->state.SenderEmail, QString());
        QCOMPARE(client->form.subjectText(), QString());
        QCOMPARE(client->form.recipients(), QStringList({"ann@x.org", "bob@x.org"}));
        QCOMPARE(client->form.messageLines(), QStringList({"a\tb", "end"}));
        QStringList warnings;
        for (const Prompt& p : client->prompter.shown())
            warnings << p.text;
        QCOMPARE(warnings.size(), 5);
        QVERIFY(warnings[0].startsWith("The value NAME in " + env.registryPath() + " holds an escape character (U+001B)"));
        QVERIFY(warnings[1].startsWith("The value FROM in "));
        QCOMPARE(warnings[2], env.userDataFolder() + "pvxto.txt holds control characters (the first is a NUL character "
                                                       "(U+0000)) on line 2; that line is not used.");
        QVERIFY(warnings[3].startsWith("The value SUBJECT in "));
        QVERIFY(warnings[4].startsWith(env.userDataFolder() + "pvxcache.txt holds control characters (the first is a "
                                                               "bell character (U+0007)) on line 2"));
    }

    // Memory files that cannot be read are reported, and the start goes on with every
    // later step: a new policy version's lock is applied and stored at once, and the
    // next quit saves what the user sees.
    void unreadableMemoryFilesAreReportedAndTheStartGoesOn()
    {
        TestEnv env;
        env.writeDefaultPolicy("POLICYVERSION=2\r\nENCRYPTED=DISABLED,LOCKED\r\n");
        QVERIFY(QDir().mkpath(env.userDataFolder() + "pvxto.txt"));
        env.makeFile("appdata/Parvela/pvxcache.txt", QByteArray(2 * 1048576, 'm'));
        seedStore(env, {{"POLICYVERSION", "1"}, {"ENCRYPTED", "ENABLED"}, {"REMEMBERTO", "ENABLED"},
                        {"SUBJECT", "Plans"}, {"REMEMBEREMAIL", "ENABLED"}, {"AUTOQUIT", "ENABLED"}});
        auto client = env.makeClient();
        ConnectOptionStores(*client);
        QVERIFY(client->guarded([&] { StartClient(*client); }));
        const QList<Prompt> shown = client->prompter.shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].kind, PromptKind::Warning);
        QVERIFY(shown[0].text.contains(env.userDataFolder() + "pvxto.txt"));
        QCOMPARE(shown[1].kind, PromptKind::Warning);
        QVERIFY(shown[1].text.startsWith("File too large"));
        QCOMPARE(client->form.subjectText(), QString("Plans")); // the steps after each file ran
        QVERIFY(client->form.autoQuit());
        QVERIFY(client->form.messageLines().isEmpty());
        QCOMPARE(client->form.encr(), (Option{false, true}));
        QCOMPARE(client->registry->read("POLICYVERSION"), QString("2"));
        QCOMPARE(client->registry->read("ENCRYPTED"), QString("DISABLED,LOCKED"));
    }

    // A quit asks in the user's language (English, and No: tst_mainwindow's
    // quitQuestion); Yes saves and ends.
    void quitAskedAndAnswered()
    {
        TestEnv env;
        env.writeDefaultPolicy();
        auto client = env.windowClient();
        client->texts.load(kSwedish, kProductTitle, kVersionText);
        client->state.RememberMessage = true;
        client->form.setMessageLines({"Bye"});
        client->form.setExpireText("12");

        client->prompter.queueAnswers({PromptAnswer::Yes});
        QCOMPARE(exitCodeOf([&] { QuitProgram(*client, false); }), 0);
        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Confirm);
        QCOMPARE(client->prompter.shown().first().text, QStringLiteral("Avsluta?"));
        QCOMPARE(client->registry->read("EXPIRE"), QString("12"));
        QCOMPARE(client->registry->read("REMEMBEREMAIL"), QString("ENABLED"));
        QCOMPARE(readAll(env.userDataFolder() + "pvxcache.txt"), QByteArray("Bye\r\n"));

        // An immediate quit asks nothing and saves.
        client->form.setAutoQuit(true);
        QCOMPARE(exitCodeOf([&] { QuitProgram(*client, true); }), 0);
        QCOMPARE(client->prompter.shown().size(), 1);
        QCOMPARE(client->registry->read("AUTOQUIT"), QString("ENABLED"));

        // The store cannot be replaced: the error comes out, the program stays.
        QVERIFY(QFile::remove(env.registryPath()));
        QVERIFY(QDir().mkdir(env.registryPath()));
        bool ioError = false;
        try {
            QuitProgram(*client, true);
        } catch (const IoError& e) {
            ioError = e.path() == env.registryPath();
        }
        QVERIFY(ioError);
    }
};

QTEST_GUILESS_MAIN(TestUserSettings)
#include "tst_usersettings.moc"
