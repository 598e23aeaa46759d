#include "client/Client.h"
#include "spool/JobOptions.h"

#include "TestSupport.h"

#include <QDir>
#include <QTest>

class TestJobOptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Encryption and self-extracting are stored only while the window is on screen,
    // with their lock; skip-welcome always. A store that cannot be written is shown,
    // and the error never leaves the handler.
    void optionChangesAreStored()
    {
        TestEnv env;
        auto client = env.makeClient();
        ConnectOptionStores(*client);
        ClientForm& form = client->form;

        form.setEncr({true, true});
        form.setSfx({true, false});
        QVERIFY(!QFile::exists(env.registryPath()));
        form.setSkipWelcome(true);
        QCOMPARE(client->registry->read("SKIPWELCOME"), QString("ENABLED"));
        QVERIFY(client->registry->read("ENCRYPTED").isEmpty());

        form.setWindowVisible(true);
        const QList<std::pair<OptionState, QString>> states = {
            {{false, false}, "DISABLED"},
            {{true, false}, "ENABLED"},
            {{true, true}, "ENABLED,LOCKED"},
            {{false, true}, "DISABLED,LOCKED"},
        };
        for (const auto& [option, text] : states) {
            form.setEncr(option);
            QCOMPARE(client->registry->read("ENCRYPTED"), text);
            form.setSfx(option);
            QCOMPARE(client->registry->read("SFX"), text);
        }
        form.setSkipWelcome(false);
        QCOMPARE(client->registry->read("SKIPWELCOME"), QString("DISABLED"));
        QVERIFY(client->prompter.shown().isEmpty());

        QVERIFY(QFile::remove(env.registryPath()) && QDir().mkpath(env.registryPath()));
        form.setSkipWelcome(true);
        form.setEncr({true, false});
        QCOMPARE(client->prompter.shown().size(), 2);
        QCOMPARE(client->prompter.shown().first().kind, PromptKind::Error);
        QVERIFY(client->prompter.shown().first().text.contains(env.registryPath()));
    }

    // What is typed is stored, a zero made 1; nothing typed is a conversion error that
    // is shown and stores nothing, the earlier value staying.
    void expiryIsStored_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("zero") << "0" << "1";
        QTest::newRow("double zero") << "00" << "1";
        QTest::newRow("leading zero kept") << "048" << "048";
        QTest::newRow("empty") << "" << "24";
    }
    void expiryIsStored()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TestEnv env;
        auto client = env.makeClient();
        client->registry->write("EXPIRE", "24");
        client->form.setExpireText(typed);
        QCOMPARE(client->guarded([&] { StoreExpire(*client); }), !typed.isEmpty());
        QCOMPARE(client->registry->read("EXPIRE"), stored);
        if (typed.isEmpty())
            QCOMPARE(client->prompter.shown().value(0).text, QString("'' is not a valid integer value"));
        else
            QCOMPARE(client->form.expireText(), stored);
    }
};

QTEST_GUILESS_MAIN(TestJobOptions)
#include "tst_joboptions.moc"
