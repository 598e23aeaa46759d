#include "config/PolicyFile.h"

#include "client/Client.h"
#include "config/Paths.h"
#include "config/UploadProbe.h"
#include "platform/Errors.h"
#include "platform/ProfileReader.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kSETTINGS = QStringLiteral("SETTINGS");
const QString kPolicies = QStringLiteral("POLICIES");
const QString kEnabled = OptionState::word(true);

constexpr int kUploadFolderMaxChars = 250;

// The file as the private-profile reader sees it. A file that is there but cannot be
// read stops the start like a missing one (the program cannot run without its
// policies), but with the system's reason so the administrator can fix it.
ProfileReader readPolicyFile(Client& client)
{
    const QString path = client.state.PolicyFilePath;
    if (!QFileInfo(path).isFile()) {
        client.prompter.plain(kApplicationTitle,
                              QStringLiteral("No INI file found, contact your system administrator for help."));
        throw ProcessExit{0};
    }
    QFile f(path);
    QByteArray content;
    if (f.open(QIODevice::ReadOnly))
        content = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        client.prompter.error(IoError(path, f.errorString()).message());
        throw ProcessExit{0};
    }
    return ProfileReader::fromBytes(content);
}

} // namespace

void LoadPolicies(Client& client, PolicyScope scope)
{
    ClientState& state = client.state;
    ClientForm& form = client.form;
    const ProfileReader policy = readPolicyFile(client);

    const QString upload = policy.readString(kSettings, QStringLiteral("SERVERUPLOAD"), QString());
    ProbeUploadFolder(client, upload);
    state.UploadFolder = leftChars(WithTrailingSeparator(upload), kUploadFolderMaxChars);

    state.PolicyVersion = policy.readString(kPolicies, QStringLiteral("POLICYVERSION"), QStringLiteral("-1"));
    state.MaxSize = policy.readString(kSETTINGS, QStringLiteral("MAXSIZE"), QStringLiteral("1024"));
    if (scope != PolicyScope::Everything)
        return;

    // ENCRYPTED is read in any letter case, and a text that is none of the four states
    // leaves the option as it stands; SFX counts only as written, anything else is off
    // and free. Administrators' files rely on both readings.
    if (const auto encr = OptionState::fromText(policy.readString(kPolicies, QStringLiteral("ENCRYPTED"), kEnabled)))
        form.setEncr(*encr);
    form.setSfx(OptionState::fromExactText(policy.readString(kPolicies, QStringLiteral("SFX"), kEnabled)));
    form.setExpireText(policy.readString(kPolicies, QStringLiteral("DEFAULTEXPIRE"), QStringLiteral("48")));
    form.setSkipWelcome(policy.readString(kPolicies, QStringLiteral("SKIPWELCOME"), kEnabled) == kEnabled);
    state.LanguageName = policy.readString(kPolicies, QStringLiteral("DEFAULTLANGUAGE"), QStringLiteral("ENGLISH"));
    state.OutlookEnabled =
        policy.readString(kPolicies, QStringLiteral("OUTLOOKADR"), OptionState::word(false)) == kEnabled;
    state.ColorScheme = quint8(policy.readInt(kPolicies, QStringLiteral("COLORSCHEME"), 0) & 0xFF);
    form.applyColorScheme(state.ColorScheme, false);
}
