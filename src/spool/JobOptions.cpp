#include "spool/JobOptions.h"

#include "client/Client.h"
#include "client/UserValues.h"
#include "platform/Text.h"

void ConnectOptionStores(Client& client)
{
    ClientForm& form = client.form;
    // Encryption and self-extracting change during start-up too (settings, policies):
    // those changes are saved with the settings, not one by one.
    const auto storeWhileVisible = [&client](const QString& name, OptionState (ClientForm::*option)() const) {
        return [&client, name, option] {
            client.guarded([&client, &name, option] {
                if (!client.form.windowVisible())
                    return;
                const OptionState o = (client.form.*option)();
                client.registry->write(name, o.text());
            });
        };
    };
    QObject::connect(&form, &ClientForm::encrChanged, &form, storeWhileVisible(uservalues::Encrypted, &ClientForm::encr));
    QObject::connect(&form, &ClientForm::sfxChanged, &form, storeWhileVisible(uservalues::Sfx, &ClientForm::sfx));
    QObject::connect(&form, &ClientForm::skipWelcomeChanged, &form, [&client] {
        client.guarded([&client] {
            client.registry->write(uservalues::SkipWelcome,
                                  OptionState::word(client.form.skipWelcome()));
        });
    });
}

void StoreExpire(Client& client)
{
    if (toInteger(client.form.expireText()) == 0)
        client.form.setExpireText(QStringLiteral("1"));
    client.registry->write(uservalues::Expire, client.form.expireText());
}
