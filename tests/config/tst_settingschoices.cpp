// The Settings dialog's rules without the dialog: what it opens with, and what
// confirming it changes, deletes and saves.
#include "config/SettingsChoices.h"

#include "client/Client.h"
#include "i18n/LanguageList.h"

#include "TestSupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {
// A started client as the window has it: the option stores connected, the window up.
std::unique_ptr<Client> start(const TestEnv& env, const QByteArray& policies = {})
{
    env.writeDefaultPolicy(policies);
    auto client = env.windowClient();
    client->texts.load(client->state.LanguageName, kProductTitle, kVersionText);
    client->form.setWindowVisible(true);
    return client;
}

// Confirms the dialog with values; returns what relabel was told, one entry a call.
QList<bool> confirm(Client& client, const SettingsChoices& chosen)
{
    QList<bool> relabelled;
    ApplySettingsChoices(client, chosen, [&](bool changed) { relabelled.append(changed); });
    return relabelled;
}
} // namespace

class TestSettingsChoices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void languageEntry_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("entry");     // the list entry chosen
        QTest::addColumn<QString>("confirmed"); // the key after OK
        QTest::newRow("English") << "ENGLISH" << "English" << "ENGLISH";
        QTest::newRow("english in any case") << "eNgLiSh" << "English" << "ENGLISH";
        QTest::newRow("French key") << kFrench << QStringLiteral("Fran\u00E7ais") << kFrench;
        QTest::newRow("French as listed") << QStringLiteral("Fran\u00E7ais") << QStringLiteral("Fran\u00E7ais") << kFrench;
        // Only a to z change case: an upper-case C-cedilla matches no entry (the first is chosen).
        QTest::newRow("French, upper-case cedilla") << QStringLiteral("FRAN\u00C7AIS") << "Deutsch" << "DEUTSCH";
        // Every language's own entry and key: tst_languagetexts' everyLanguageIsWhole.
        QTest::newRow("unknown") << "KLINGON" << "Deutsch" << "DEUTSCH";
        QTest::newRow("empty") << "" << "Deutsch" << "DEUTSCH";
    }
    void languageEntry()
    {
        QFETCH(QString, key);
        QFETCH(QString, entry);
        QFETCH(QString, confirmed);
        TestEnv env;
        auto client = start(env);
        client->state.LanguageName = key;
        const SettingsChoices shown = FillSettingsChoices(*client);
        QCOMPARE(LanguageListItems().value(shown.languageEntry), entry);
        // OK without touching the list: the entry's key; relabelled only when it differs.
        QCOMPARE(confirm(*client, shown), QList<bool>{confirmed != key});
        QCOMPARE(client->state.LanguageName, confirmed);
        QCOMPARE(client->registry->read("LANGUAGE"), confirmed);
    }

    // The dialog opens with the client's values: an unusable scheme number shows as the
    // default one, a lock as a lock. Confirming puts the values back (a locked box keeps
    // its state), applies the scheme and saves.
    void fillThenConfirm()
    {
        TestEnv env;
        auto client = start(env, "SFX=ENABLED,LOCKED\r\n");
        ClientState& s = client->state;
        s.SenderName = "Ann Example";
        s.SenderCompany = "Example Ltd";
        s.SenderEmail = "ann@example.org";
        s.RememberMessage = true;
        s.ColorScheme = 7;
        SettingsChoices c = FillSettingsChoices(*client);
        QCOMPARE(c.encr, (OptionState{true, false}));
        QCOMPARE(c.sfx, (OptionState{true, true}));
        QVERIFY(c.skipWelcome && c.rememberTo && c.rememberMessage);
        QCOMPARE(c.colorScheme, 0);
        QCOMPARE(s.ColorScheme, quint8(7)); // shown as 0, kept
        QCOMPARE(QStringList({c.name, c.company, c.email}), QStringList({s.SenderName, s.SenderCompany, s.SenderEmail}));

        QSignalSpy colours(&client->form, &ClientForm::colorSchemeApplied);
        c.name = "Bo Other";
        c.company = "Other Ltd";
        c.email = "bo@example.org";
        c.colorScheme = 1;
        c.skipWelcome = false;
        c.encr.checked = false;
        c.sfx.checked = false; // locked: stays checked
        QCOMPARE(confirm(*client, c), QList<bool>{false}); // same language: nothing to relabel
        QCOMPARE(QStringList({s.SenderName, s.SenderCompany, s.SenderEmail}), QStringList({c.name, c.company, c.email}));
        QCOMPARE(s.ColorScheme, quint8(1));
        QCOMPARE(colours.size(), 1);
        QCOMPARE(colours[0], (QList<QVariant>{1, false}));
        QCOMPARE(client->form.encr(), (OptionState{false, false}));
        QCOMPARE(client->form.sfx(), (OptionState{true, true}));
        QVERIFY(!client->form.skipWelcome());
        const UserRegistry& reg = *client->registry;
        QCOMPARE(QStringList({reg.read("NAME"), reg.read("COMPANY"), reg.read("FROM"), reg.read("COLORSCHEME"),
                              reg.read("ENCRYPTED"), reg.read("SFX"), reg.read("SKIPWELCOME")}),
                 QStringList({c.name, c.company, c.email, "1", "DISABLED", "ENABLED,LOCKED", "DISABLED"}));
    }

    // A memory switched off loses its file at once, and the save after it writes none.
    void switchingMemoriesOffDeletesTheirFiles()
    {
        TestEnv env;
        auto client = start(env);
        client->state.FirstRun = false;
        client->state.RememberMessage = true;
        client->form.setRecipients({"ann@example.org"});
        client->form.setMessageLines({"Hello"});
        confirm(*client, FillSettingsChoices(*client)); // nothing changed: both written
        const QString to = client->state.recipientCachePath();
        const QString message = client->state.messageCachePath();
        QVERIFY(QFile::exists(to));
        QVERIFY(QFile::exists(message));

        SettingsChoices c = FillSettingsChoices(*client);
        c.rememberMessage = false;
        confirm(*client, c);
        QVERIFY(!QFile::exists(message));
        QVERIFY(QFile::exists(to));
        QCOMPARE(client->registry->read("REMEMBEREMAIL"), QStringLiteral("DISABLED"));

        c.rememberTo = false;
        confirm(*client, c);
        QVERIFY(!QFile::exists(to));
        QCOMPARE(client->registry->read("REMEMBERTO"), QStringLiteral("DISABLED"));
        QVERIFY(client->prompter.shown().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsChoices)
#include "tst_settingschoices.moc"
