#pragma once
// One running client: its state, the form values, the language texts, the message
// boxes and the user's settings store. The window program owns one; the command-line
// tool and the tests make their own.
#include "client/ClientForm.h"
#include "client/ClientState.h"
#include "i18n/LanguageTexts.h"
#include "platform/AddressBook.h"
#include "platform/Prompter.h"
#include "platform/UserRegistry.h"

#include <functional>

struct Client {
    ClientState state;
    ClientForm form;
    LanguageTexts texts;
    Prompter prompter;
    std::unique_ptr<UserRegistry> registry = UserRegistry::open();
    // The desktop's address book that the contacts picker reads; null where there is none.
    std::unique_ptr<AddressBook> addressBook = AddressBook::open();
    // The full path of the program file; the policy file lies beside it.
    QString programPath;
    // When set, the policy file to read instead of the one beside the program.
    QString policyFileOverride;
    // Whether the loader may write the user's settings (the command-line tool only reads).
    bool settingsWritable = true;

    // Runs body; a UserError is shown in an error box and swallowed there. Returns
    // false when body failed. ProcessExit passes through to the outermost caller.
    bool guarded(const std::function<void()>& body);
};
