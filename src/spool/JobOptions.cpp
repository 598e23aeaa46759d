#include "spool/JobOptions.h"

#include "client/Client.h"
#include "platform/Text.h"

void ConnectOptionStores(Client& client)
{
    ClientForm& form = client.form;
    // Encryption and self-extracting change during start-up too (settings, policies):
    // those changes are saved with the settings, not one by one.
    const auto storeWhileVisible = [&client](const QString& name, ClientForm::Option (ClientForm::*option)() const) {
        return [&client, name, option] {
            client.guarded([&client, &name, option] {
                if (!client.form.windowVisible())
                    return;
                const ClientForm::Option o = (client.form.*option)();
                client.registry.write(name, OptionText(o.checked, o.enabled));
            });
        };
    };
    QObject::connect(&form, &ClientForm::encrChanged, &form, storeWhileVisible(QStringLiteral("ENCRYPTED"), &ClientForm::encr));
    QObject::connect(&form, &ClientForm::sfxChanged, &form, storeWhileVisible(QStringLiteral("SFX"), &ClientForm::sfx));
    QObject::connect(&form, &ClientForm::skipWelcomeChanged, &form, [&client] {
        client.guarded([&client] {
            client.registry.write(QStringLiteral("SKIPWELCOME"),
                                  client.form.skipWelcome() ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED"));
        });
    });
}

QString OptionText(bool checked, bool enabled)
{
    QString text = checked ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED");
    if (!enabled)
        text += QStringLiteral(",LOCKED");
    return text;
}

void StoreExpire(Client& client)
{
    if (toInteger(client.form.expireText()) == 0)
        client.form.setExpireText(QStringLiteral("1"));
    client.registry.write(QStringLiteral("EXPIRE"), client.form.expireText());
}
