#include "app/Startup.h"

#include "client/Client.h"
#include "config/Paths.h"
#include "config/UserSettings.h"
#include "platform/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString MainWindowCaption(const ClientState& state)
{
    return state.ProductTitle + u' ' + state.VersionText + QStringLiteral("  -  ") + kVendorAddress;
}

void StartClient(Client& client)
{
    ClientState& state = client.state;
    client.form.setRecipients({});
    state.ProductTitle = kProductTitle;
    state.VersionText = kVersionText;

    const QString program =
        client.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : client.programPath;
    state.ExeFolder = QFileInfo(program).absolutePath();

    state.UserDataFolder = UserDataFolderPath();
    // One level only, and a failure is not reported here: the memory files written
    // into the folder later report it with the system's reason.
    if (!QFileInfo(state.UserDataFolder).isDir())
        QDir().mkdir(state.UserDataFolder);

    state.MessageCacheName = QStringLiteral("pvxcache.txt");
    state.RecipientCacheName = QStringLiteral("pvxto.txt");
    state.OutlookEnabled = false;
    state.PolicyFilePath =
        client.policyFileOverride.isEmpty() ? LocatePolicyFile(program) : client.policyFileOverride;
    LoadUserSettings(client);
}

void QuitProgram(Client& client, bool immediate)
{
    if (!immediate && !client.prompter.confirm(client.texts[QuitCaption] + u'?'))
        return;
    SaveUserSettings(client);
    throw ProcessExit{0};
}
