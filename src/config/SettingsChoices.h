#pragma once
// What the Settings dialog shows and what confirming it does, without the dialog. The
// dialog is filled from the running client, the user changes the values, and only a
// confirmation puts them back: options, colours, memories, language, sender, then one
// save of every setting.
#include "client/OptionState.h"

#include <QString>
#include <functional>

struct Client;

struct SettingsChoices {
    bool skipWelcome = false;
    OptionState encr;           // default encryption; a locked one shows as a disabled box
    OptionState sfx;            // default self-extracting result, the same way
    bool rememberTo = false;    // last recipients and subject
    bool rememberMessage = false;
    int languageEntry = 0;      // into LanguageListItems()
    int colorScheme = 0;        // the colour list's entry: 0 default, 1 white
    QString name, company, email;
};

// The dialog's title: product, version and the active language's "Settings".
QString SettingsDialogTitle(const Client& client);

// The values the dialog opens with. A stored colour scheme above 1 shows as the
// default one; an unknown language shows as the first entry, "Deutsch".
SettingsChoices FillSettingsChoices(const Client& client);

// Puts confirmed values into effect and saves every setting. A locked option keeps its
// state whatever was chosen. A memory switched off has its file deleted at once.
// relabel runs once the language key is set, told whether the key changed, so that
// the window can put the new language on its controls before anything is saved.
void ApplySettingsChoices(Client& client, const SettingsChoices& chosen,
                          const std::function<void(bool languageChanged)>& relabel);
