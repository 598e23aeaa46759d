#include "config/UserSettings.h"

#include "client/Client.h"
#include "client/UserValues.h"
#include "config/PolicyFile.h"
#include "platform/Errors.h"
#include "recipients/MemoryFiles.h"
#include "spool/JobOptions.h"
#include "util/FileCopy.h"
#include "platform/Text.h"

#include <QFileInfo>

#include <optional>

namespace {

const QString kEnabled = OptionState::word(true);

QString onOff(bool on) { return OptionState::word(on); }

// The stored colour scheme; a value that is no whole number (edited by hand) is 0.
quint8 storedColorScheme(const QString& value)
{
    try {
        return quint8(toInteger(value) & 0xFF);
    } catch (const ConversionError&) {
        // Deliberately not reported: the default scheme is the sensible reading of a
        // damaged value, and the next save writes a valid one.
        return 0;
    }
}

// A memory file that cannot be read is reported, and the start goes on without it:
// the steps after it still run, so a new policy version's locks are applied and the
// next save stores the right values.
void loadMemoryFile(Client& client, void (*load)(Client&))
{
    try {
        load(client);
    } catch (const IoError& e) {
        client.prompter.warning(e.message());
    }
}

// A text value for a field of the job (sender, subject). One that holds a control
// character (a damaged or hand-edited store) is not loaded, and a warning says which;
// the next save writes what the field holds then.
QString fieldValue(Client& client, const QString& name)
{
    const QString value = client.registry->read(name);
    if (const qsizetype at = firstControl(value); at >= 0) {
        client.prompter.warning(QStringLiteral("The value %1 in %2 holds %3, so it is not used.")
                                    .arg(name, client.registry->location(), controlText(value[at])));
        return {};
    }
    return value;
}

// The saves the loader itself makes; the command-line tool only reads.
void saveFromLoader(Client& client)
{
    if (client.settingsWritable)
        SaveUserSettings(client);
}

} // namespace

void SetFirstRunDefaults(Client& client)
{
    ClientForm& form = client.form;
    ClientState& state = client.state;
    form.setSkipWelcome(false);
    form.setEncr({true, form.encr().locked});
    form.setSfx({true, form.sfx().locked});
    form.setExpireText(QStringLiteral("48"));
    state.LanguageName = kEnglish;
    state.RememberTo = true;
    state.RememberMessage = false;
    state.ColorScheme = 0;
}

void LoadUserSettings(Client& client)
{
    ClientState& state = client.state;
    ClientForm& form = client.form;
    const UserRegistry& reg = *client.registry;

    if (!reg.keyExists()) {
        // This user's first start: defaults, then every policy over them.
        SetFirstRunDefaults(client);
        LoadPolicies(client, PolicyScope::Everything);
        if (!state.StartupFailed) {
            saveFromLoader(client);
            state.FirstRun = true;
        }
        return;
    }

    state.FirstRun = false;
    LoadPolicies(client, PolicyScope::Locations);
    const QString storedPolicyVersion = reg.read(uservalues::PolicyVersion);
    form.setExpireText(reg.read(uservalues::Expire));
    state.OutlookEnabled = reg.read(uservalues::Outlook) == kEnabled;
    if (const auto o = OptionState::fromText(reg.read(uservalues::Encrypted)))
        form.setEncr(*o);
    if (const auto o = OptionState::fromText(reg.read(uservalues::Sfx)))
        form.setSfx(*o);

    state.SenderName = fieldValue(client, uservalues::Name);
    state.SenderCompany = fieldValue(client, uservalues::Company);
    state.SenderEmail = fieldValue(client, uservalues::From);
    if (!state.SenderEmail.isEmpty())
        form.setFromText(state.SenderEmail);

    state.RememberTo = asciiUpper(reg.read(uservalues::RememberTo)) == kEnabled;
    if (state.RememberTo) {
        loadMemoryFile(client, &LoadRecipientCache);
        const QString subject = fieldValue(client, uservalues::Subject);
        if (!subject.isEmpty())
            form.setSubjectText(subject);
    }
    state.RememberMessage = asciiUpper(reg.read(uservalues::RememberMessage)) == kEnabled;
    if (state.RememberMessage)
        loadMemoryFile(client, &LoadMessageCache);

    // Files a job copies at once, when the user has set it (no policy governs it, and
    // nothing writes it: it is set by hand). Anything but 1 to 64 leaves the default.
    {
        bool ok = false;
        const int workers = reg.read(uservalues::Parallel).toInt(&ok);
        state.CopyWorkers = ok && workers >= 1 && workers <= kMaxCopyWorkers ? workers : 0;
    }
    state.LanguageName = asciiUpper(reg.read(uservalues::Language));
    const QString lastPath = reg.read(uservalues::LastPath);
    if (!lastPath.isEmpty() && QFileInfo(lastPath).isDir())
        form.setLastPath(lastPath);

    const bool skip = asciiUpper(reg.read(uservalues::SkipWelcome)) == kEnabled;
    form.setSkipWelcome(skip);
    form.setStartPage(skip ? Page::Select : Page::Welcome);

    // Settings from another program version: the colour scheme starts over, and the
    // whole store is rewritten from what is loaded so far (auto-quit as built).
    if (reg.read(uservalues::Version) != state.VersionText) {
        state.ColorScheme = 0;
        saveFromLoader(client);
    }
    state.ColorScheme = storedColorScheme(reg.read(uservalues::ColorScheme));
    form.applyColorScheme(state.ColorScheme, false);
    form.setAutoQuit(reg.read(uservalues::AutoQuit) == kEnabled);

    // A new policy version: its policies apply once over the user's choices.
    if (storedPolicyVersion != state.PolicyVersion) {
        LoadPolicies(client, PolicyScope::Everything);
        if (!state.StartupFailed)
            saveFromLoader(client);
    }
}

void SaveUserSettings(Client& client)
{
    const ClientState& state = client.state;
    const ClientForm& form = client.form;
    const UserRegistry& reg = *client.registry;

    reg.write(uservalues::PolicyVersion, state.PolicyVersion);
    reg.write(uservalues::Title, state.ProductTitle);
    reg.write(uservalues::Version, state.VersionText);
    reg.write(uservalues::Encrypted, form.encr().text());
    reg.write(uservalues::Sfx, form.sfx().text());
    reg.write(uservalues::Outlook, onOff(state.OutlookEnabled));
    reg.write(uservalues::SkipWelcome, onOff(form.skipWelcome()));
    reg.write(uservalues::Language, state.LanguageName);
    reg.write(uservalues::Expire, form.expireText());
    reg.write(uservalues::From, state.SenderEmail);
    reg.write(uservalues::Name, state.SenderName);
    reg.write(uservalues::Company, state.SenderCompany);
    reg.write(uservalues::ColorScheme, QString::number(state.ColorScheme));
    reg.write(uservalues::AutoQuit, onOff(form.autoQuit()));

    if (state.RememberTo) {
        // At a first start the list holds nothing of the user's yet.
        if (!state.FirstRun)
            SaveRecipientCache(client);
        reg.write(uservalues::Subject, form.subjectText());
    }
    reg.write(uservalues::RememberTo, onOff(state.RememberTo));
    if (state.RememberMessage)
        SaveMessageCache(client);
    reg.write(uservalues::RememberMessage, onOff(state.RememberMessage));
    reg.write(uservalues::LastPath, form.lastPath());
}
