#include "config/SettingsChoices.h"

#include "client/Client.h"
#include "config/UserSettings.h"
#include "i18n/LanguageList.h"
#include "util/FileDelete.h"

QString SettingsDialogTitle(const Client& client)
{
    const ClientState& state = client.state;
    return state.ProductTitle + u' ' + state.VersionText + QStringLiteral(" - ") + client.texts[SettingsCaption];
}

SettingsChoices FillSettingsChoices(const Client& client)
{
    const ClientState& state = client.state;
    const ClientForm& form = client.form;
    SettingsChoices c;
    c.skipWelcome = form.skipWelcome();
    c.encr = form.encr();
    c.sfx = form.sfx();
    c.rememberTo = state.RememberTo;
    c.rememberMessage = state.RememberMessage;
    c.languageEntry = LanguageListIndex(state.LanguageName);
    c.colorScheme = state.ColorScheme > 1 ? 0 : state.ColorScheme;
    c.name = state.SenderName;
    c.company = state.SenderCompany;
    c.email = state.SenderEmail;
    return c;
}

void ApplySettingsChoices(Client& client, const SettingsChoices& chosen,
                          const std::function<void(bool languageChanged)>& relabel)
{
    ClientState& state = client.state;
    ClientForm& form = client.form;

    // Each change is stored at once by the option's own store, as a click would be.
    form.setSkipWelcome(chosen.skipWelcome);
    if (!form.encr().locked)
        form.setEncr({chosen.encr.checked, false});
    if (!form.sfx().locked)
        form.setSfx({chosen.sfx.checked, false});

    state.ColorScheme = quint8(chosen.colorScheme);
    form.applyColorScheme(state.ColorScheme, false);

    const bool rememberedTo = state.RememberTo;
    const bool rememberedMessage = state.RememberMessage;
    state.RememberTo = chosen.rememberTo;
    state.RememberMessage = chosen.rememberMessage;
    // A memory the user no longer wants goes now, not at the next save. A file that
    // cannot be removed is deliberately not reported: no new one is written while
    // remembering is off, and the next start does not read it.
    if (rememberedTo && !state.RememberTo)
        ShellDelete(state.recipientCachePath());
    if (rememberedMessage && !state.RememberMessage)
        ShellDelete(state.messageCachePath());

    const QString previousLanguage = state.LanguageName;
    state.LanguageName = LanguageKeyOfEntry(chosen.languageEntry);
    if (relabel)
        relabel(state.LanguageName != previousLanguage);

    state.SenderName = chosen.name;
    state.SenderEmail = chosen.email;
    form.setFromText(state.SenderEmail);
    state.SenderCompany = chosen.company;

    SaveUserSettings(client);
}
