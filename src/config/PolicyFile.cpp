#include "config/PolicyFile.h"

#include "client/Client.h"
#include "config/Paths.h"
#include "config/PolicyKeys.h"
#include "config/UploadProbe.h"
#include "platform/BoundedFile.h"
#include "platform/Errors.h"
#include "platform/Text.h"

#include <QFileInfo>

namespace {

const QString kEnabled = OptionState::word(true);

constexpr int kUploadFolderMaxChars = 250;

QString read(const ProfileReader& policy, const PolicyKey& key)
{
    return policy.readString(key.section, key.name, key.defaultValue);
}

// The file as the private-profile reader sees it. A file that is there but cannot be
// read stops the start like a missing one (the program cannot run without its
// policies), but with the reason so the administrator can fix it.
ProfileReader readPolicyFile(Client& client)
{
    const QString path = client.state.PolicyFilePath;
    if (!QFileInfo(path).isFile()) {
        client.prompter.plain(kApplicationTitle,
                              QStringLiteral("No INI file found, contact your system administrator for help."));
        throw ProcessExit{0};
    }
    try {
        return ReadPolicyFile(path);
    } catch (const IoError& e) {
        client.prompter.error(e.message());
        throw ProcessExit{0};
    }
}

} // namespace

void LoadPolicies(Client& client, PolicyScope scope)
{
    ClientState& state = client.state;
    ClientForm& form = client.form;
    const ProfileReader policy = readPolicyFile(client);

    const QString upload = read(policy, policykeys::ServerUpload);
    ProbeUploadFolder(client, upload);
    state.UploadFolder = leftChars(WithTrailingSeparator(upload), kUploadFolderMaxChars);

    state.PolicyVersion = read(policy, policykeys::PolicyVersion);
    state.MaxSize = read(policy, policykeys::MaxSize);
    if (scope != PolicyScope::Everything)
        return;

    // ENCRYPTED is read in any letter case, and a text that is none of the four states
    // leaves the option as it stands; SFX counts only as written, anything else is off
    // and free. Administrators' files rely on both readings.
    if (const auto encr = OptionState::fromText(read(policy, policykeys::Encrypted)))
        form.setEncr(*encr);
    form.setSfx(OptionState::fromExactText(read(policy, policykeys::Sfx)));
    form.setExpireText(read(policy, policykeys::DefaultExpire));
    form.setSkipWelcome(read(policy, policykeys::SkipWelcome) == kEnabled);
    state.LanguageName = read(policy, policykeys::DefaultLanguage);
    state.OutlookEnabled = read(policy, policykeys::OutlookAdr) == kEnabled;
    state.ColorScheme = quint8(policy.readInt(policykeys::ColorScheme.section, policykeys::ColorScheme.name, 0) & 0xFF);
    form.applyColorScheme(state.ColorScheme, false);
}

QByteArray ReadPolicyBytes(const QString& path)
{
    BoundedFile file(path);
    if (!file.isRegular())
        throw IoError(path, file.notRegularText());
    if (file.size() > kMaxPolicyFileBytes)
        throw IoError(path, QStringLiteral("The policy file is larger than %1 MiB (%2 bytes) and is not read")
                                .arg(kMaxPolicyFileBytes / (1024 * 1024))
                                .arg(file.size()));
    return file.readAll();
}

ProfileReader ReadPolicyFile(const QString& path)
{
    return ProfileReader::fromBytes(ReadPolicyBytes(path));
}
