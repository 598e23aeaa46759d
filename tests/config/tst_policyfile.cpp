#include "client/Client.h"
#include "config/PolicyFile.h"
#include "config/UserSettings.h"
#include "platform/Errors.h"

#include "TestSupport.h"

#include <QSignalSpy>
#include <QTest>

using Option = OptionState;
// Writes (or not) the policy file a test starts on.
using PolicySetup = std::function<void(const TestEnv&)>;
Q_DECLARE_METATYPE(PolicySetup)

namespace {
std::unique_ptr<Client> policyClient(const TestEnv& env)
{
    auto client = env.makeClient();
    client->state.PolicyFilePath = env.policyPath();
    client->state.ProductTitle = kProductTitle;
    client->state.VersionText = kVersionText;
    return client;
}
} // namespace

class TestPolicyFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The section's name in any letter case (mixed here, so neither all-lower nor
    // all-upper passes by chance).
    void onlyTheUploadFolderGivesEveryDefault()
    {
        TestEnv env;
        env.writePolicy("[sEtTiNgS]\r\nSERVERUPLOAD=" + env.upload().toUtf8() + "\r\n");
        auto client = policyClient(env);
        QSignalSpy applied(&client->form, &ClientForm::colorSchemeApplied);
        LoadPolicies(*client, PolicyScope::Everything);

        const ClientState& s = client->state;
        QCOMPARE(s.UploadFolder, env.upload() + u'/');
        QCOMPARE(s.PolicyVersion, QString("-1"));
        QCOMPARE(s.MaxSize, QString("1024"));
        QCOMPARE(client->form.encr(), (Option{true, false}));
        QCOMPARE(client->form.sfx(), (Option{true, false}));
        QCOMPARE(client->form.expireText(), QString("48"));
        QVERIFY(client->form.skipWelcome());
        QCOMPARE(s.LanguageName, QString("ENGLISH"));
        QVERIFY(!s.OutlookEnabled);
        QCOMPARE(s.ColorScheme, quint8(0));
        QCOMPARE(applied.count(), 1);
        QCOMPARE(applied.at(0).at(1).toBool(), false);
        QVERIFY(client->prompter.shown().isEmpty());
        QVERIFY(!s.StartupFailed);
    }

    // ENCRYPTED is upper-cased and leaves the box alone when nothing matches; SFX is
    // taken as written, and anything but the exact texts is off and changeable.
    // SKIPWELCOME and OUTLOOKADR are on only for exactly "ENABLED".
    void optionStates_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<Option>("encr");
        QTest::addColumn<Option>("sfx");
        QTest::addColumn<bool>("on"); // the two switches
        const Option before{false, true}; // encryption's state before the policy
        QTest::newRow("lower disabled,locked") << QByteArray("disabled,locked") << Option{false, true} << Option{false, false} << false;
        QTest::newRow("lower enabled,locked") << QByteArray("enabled,locked") << Option{true, true} << Option{false, false} << false;
        QTest::newRow("ENABLED") << QByteArray("ENABLED") << Option{true, false} << Option{true, false} << true;
        QTest::newRow("quoted") << QByteArray("\"ENABLED\"") << Option{true, false} << Option{true, false} << true;
        QTest::newRow("DISABLED") << QByteArray("DISABLED") << Option{false, false} << Option{false, false} << false;
        QTest::newRow("ENABLED,LOCKED") << QByteArray("ENABLED,LOCKED") << Option{true, true} << Option{true, true} << false;
        QTest::newRow("DISABLED,LOCKED") << QByteArray("DISABLED,LOCKED") << Option{false, true} << Option{false, true} << false;
        QTest::newRow("unknown") << QByteArray("sometimes") << before << Option{false, false} << false;
        QTest::newRow("blank inside") << QByteArray("ENABLED, LOCKED") << before << Option{false, false} << false;
        QTest::newRow("empty") << QByteArray("") << before << Option{false, false} << false;
    }
    void optionStates()
    {
        QFETCH(QByteArray, value);
        QFETCH(Option, encr);
        QFETCH(Option, sfx);
        QFETCH(bool, on);
        TestEnv env;
        env.writeDefaultPolicy("ENCRYPTED=" + value + "\r\nSFX=" + value + "\r\nSKIPWELCOME=" + value +
                               "\r\nOUTLOOKADR=" + value + "\r\n");
        auto client = policyClient(env);
        client->form.setEncr({false, true});
        client->form.setSfx({true, true});
        client->form.setSkipWelcome(!on);
        client->state.OutlookEnabled = !on;
        LoadPolicies(*client, PolicyScope::Everything);
        QCOMPARE(client->form.encr(), encr);
        QCOMPARE(client->form.sfx(), sfx);
        QCOMPARE(client->form.skipWelcome(), on);
        QCOMPARE(client->state.OutlookEnabled, on);
    }

    void languageIsStoredAsWrittenAndScopeOneAppliesNoPolicy()
    {
        TestEnv env;
        env.writeDefaultPolicy("DEFAULTLANGUAGE=fran\xe7" "ais\r\nPOLICYVERSION=12b\r\nENCRYPTED=DISABLED\r\n"
                               "DEFAULTEXPIRE=7\r\nOUTLOOKADR=ENABLED\r\n[SETTINGS]\r\nMAXSIZE=abc\r\n");
        auto scopeOne = policyClient(env);
        LoadPolicies(*scopeOne, PolicyScope::Locations);
        QCOMPARE(scopeOne->state.PolicyVersion, QString("12b"));
        QCOMPARE(scopeOne->state.MaxSize, QString("1024")); // the second [SETTINGS] is never searched
        QCOMPARE(scopeOne->form.encr(), (Option{false, false}));
        QCOMPARE(scopeOne->form.expireText(), QString());
        QVERIFY(scopeOne->state.LanguageName.isEmpty());
        QVERIFY(!scopeOne->state.OutlookEnabled);

        auto scopeTwo = policyClient(env);
        LoadPolicies(*scopeTwo, PolicyScope::Everything);
        QCOMPARE(scopeTwo->state.LanguageName, QString::fromUtf8("fran\u00e7ais"));
    }

    void colorScheme_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("scheme");
        // The number as the system reads it: blanks, one sign, 0x for hexadecimal, the
        // digits up to the first other character, wrapped at 32 bits; then its low 8 bits.
        const QList<std::pair<QByteArray, int>> values = {
            {"1", 1}, {"2", 2}, {"258", 2}, {"-1", 255}, {"-7", 249}, {"+1", 1}, {" +12x", 12}, {"+-1", 0},
            {"0x01", 1}, {"0x1F", 31}, {"0X1F", 0}, {"1 (white)", 1}, {"white", 0}, {"4294967298", 2}};
        for (const auto& [value, scheme] : values)
            QTest::addRow("%s", value.constData()) << value << scheme;
    }
    void colorScheme()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, scheme);
        TestEnv env;
        env.writeDefaultPolicy("COLORSCHEME=" + value + "\r\n");
        auto client = policyClient(env);
        client->state.UserDataFolder = env.userDataFolder();
        QSignalSpy applied(&client->form, &ClientForm::colorSchemeApplied);
        LoadPolicies(*client, PolicyScope::Everything);
        QCOMPARE(int(client->state.ColorScheme), scheme);
        QCOMPARE(applied.count(), 1);
        QCOMPARE(applied.at(0).at(0).toInt(), scheme);
        // What the policy set is what the user's settings keep.
        SaveUserSettings(*client);
        QCOMPARE(client->registry->read("COLORSCHEME"), QString::number(scheme));
    }

    // The upload folder keeps at most 250 characters, its separator included.
    void uploadFolderIsCut_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("249 + separator") << 249;
        QTest::newRow("250 loses the separator") << 250;
        QTest::newRow("300 loses its end") << 300;
    }
    void uploadFolderIsCut()
    {
        QFETCH(int, length);
        TestEnv env;
        QString path = env.root() + QStringLiteral("/u");
        path += QString(length - path.size(), u'x');
        env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + path.toUtf8() + "\r\n");
        auto client = policyClient(env);
        LoadPolicies(*client, PolicyScope::Locations);
        QCOMPARE(client->state.UploadFolder, (path + u'/').left(250));
    }

    // A policy file that is missing, a folder, or over 1 MiB (an administrator's file is
    // a few hundred bytes) ends the program before anything is written, the last naming
    // the file and the bound; one of exactly 1 MiB is read.
    void aFileThatCannotBeReadEndsTheProgram_data()
    {
        QTest::addColumn<PolicySetup>("setup");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text"); // %p: the policy file; empty when the file is read
        const QString missing = "No INI file found, contact your system administrator for help.";
        const auto ofSize = [](int size) {
            return PolicySetup([size](const TestEnv& env) {
                const QByteArray content = "[Settings]\r\nSERVERUPLOAD=" + env.upload().toUtf8() + "\r\n;";
                env.writePolicy(content + QByteArray(size - content.size(), 'x'));
            });
        };
        QTest::newRow("no file") << PolicySetup([](const TestEnv&) {}) << int(PromptKind::Plain) << missing;
        QTest::newRow("a folder of that name") << PolicySetup([](const TestEnv& env) { QVERIFY(QDir().mkdir(env.policyPath())); })
                                               << int(PromptKind::Plain) << missing;
        QTest::newRow("exactly 1 MiB") << ofSize(1 << 20) << 0 << QString();
        QTest::newRow("1 MiB and a byte") << ofSize((1 << 20) + 1) << int(PromptKind::Error)
                                          << "The policy file is larger than 1 MiB (1048577 bytes) and is not read: %p";
    }
    void aFileThatCannotBeReadEndsTheProgram()
    {
        QFETCH(PolicySetup, setup);
        QFETCH(int, kind);
        QFETCH(QString, text);
        TestEnv env;
        setup(env);
        auto client = policyClient(env);
        const int code = exitCodeOf([&] { LoadPolicies(*client, PolicyScope::Everything); });
        if (text.isEmpty()) {
            QCOMPARE(code, -1);
            QCOMPARE(client->state.UploadFolder, env.upload() + u'/');
            return;
        }
        QCOMPARE(code, 0);
        QCOMPARE(client->prompter.shown().size(), 1);
        const Prompt p = client->prompter.shown().first();
        QCOMPARE(int(p.kind), kind);
        if (p.kind == PromptKind::Plain)
            QCOMPARE(p.caption, QString("Trovik Parvela Client 2007"));
        QCOMPARE(p.text, text.replace("%p", env.policyPath()));
        QVERIFY(!QFile::exists(env.registryPath()));
        QVERIFY(client->form.expireText().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPolicyFile)
#include "tst_policyfile.moc"
