#include "client/Client.h"
#include "app/Startup.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "platform/Arguments.h"
#include "platform/Cp1252.h"
#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "platform/StopSignals.h"
#include "selection/Summary.h"
#include "spool/JobName.h"
#include "spool/Submission.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace cli {

namespace {

struct SendRequest {
    QStringList to;
    std::optional<QString> subject;
    std::optional<QStringList> message;
    std::optional<QString> expire;
    std::optional<bool> encrypt;
    std::optional<bool> sfx;
    QString policy;
    bool dryRun = false;
    bool yes = false;
    QStringList paths;
};

// A path given on the command line, in the system's bytes. "." and ".." name no entry
// of their own, so they are taken from the current folder.
QByteArray pathBytes(const QString& argument)
{
    QString path = QDir::cleanPath(argument);
    const QString last = path.mid(path.lastIndexOf(u'/') + 1);
    if (last == u"." || last == u"..")
        path = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    return ArgumentBytes(path);
}

// The message's lines: a line ends at CR LF, LF or a lone CR, as a text typed or
// pasted into the window's editor does. An empty text is no line at all.
QStringList messageLines(QString text)
{
    if (text.isEmpty())
        return {};
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.split(u'\n');
}

// A message file: UTF-8 when it is valid UTF-8 (a byte-order mark is dropped), else
// Windows-1252, the code page of the message the job carries. It may be a pipe, so it
// is read as a stream, and only as far as a message could reach: a message holds
// 4000 characters, and no file much bigger can be one.
QString readMessageFile(const QString& path)
{
    constexpr qint64 kMaxBytes = 1024 * 1024;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw IoError(path, f.errorString());
    const QByteArray bytes = f.read(kMaxBytes + 1);
    if (f.error() != QFileDevice::NoError)
        throw IoError(path, f.errorString());
    if (bytes.size() > kMaxBytes)
        throw IoError(path, QStringLiteral("File too large (more than %1 bytes); a message holds at most %2 characters")
                                .arg(kMaxBytes)
                                .arg(kMessageMaxChars));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    return cp1252::decode(bytes);
}

// Throws UserError with the reason when the arguments are not usable.
SendRequest parseSend(const QStringList& arguments)
{
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("ADDR"));
    const QCommandLineOption subject(QStringLiteral("subject"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption message(QStringLiteral("message"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption messageFile(QStringLiteral("message-file"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption expire(QStringLiteral("expire"), QString(), QStringLiteral("HOURS"));
    const QCommandLineOption encrypt(QStringLiteral("encrypt"));
    const QCommandLineOption noEncrypt(QStringLiteral("no-encrypt"));
    const QCommandLineOption sfx(QStringLiteral("sfx"));
    const QCommandLineOption noSfx(QStringLiteral("no-sfx"));
    const QCommandLineOption policy(QStringLiteral("policy"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption yes(QStringLiteral("yes"));
    p.addOptions({to, subject, message, messageFile, expire, encrypt, noEncrypt, sfx, noSfx, policy, dryRun, yes});
    if (!p.parse(QStringList{QStringLiteral("parvela send")} + arguments))
        throw UserError(p.errorText());

    SendRequest r;
    r.to = p.values(to);
    if (p.isSet(subject))
        r.subject = p.value(subject);
    if (p.isSet(message) && p.isSet(messageFile))
        throw UserError(QStringLiteral("--message and --message-file exclude each other"));
    if (p.isSet(message))
        r.message = messageLines(p.value(message));
    if (p.isSet(messageFile)) {
        QString text = readMessageFile(p.value(messageFile));
        // The file's last line end closes its last line; it starts no further one.
        if (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
        r.message = messageLines(text);
    }
    if (p.isSet(expire)) {
        const QString hours = p.value(expire);
        bool digitsOnly = !hours.isEmpty() && hours.size() <= 5;
        for (QChar c : hours)
            digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
        if (!digitsOnly)
            throw UserError(QStringLiteral("--expire takes 1 to 5 digits (hours), not '%1'").arg(hours));
        // As in the window: a value of 0 is made 1 when it is applied.
        r.expire = hours.toInt() == 0 ? QStringLiteral("1") : hours;
    }
    if (p.isSet(encrypt) && p.isSet(noEncrypt))
        throw UserError(QStringLiteral("--encrypt and --no-encrypt exclude each other"));
    if (p.isSet(encrypt) || p.isSet(noEncrypt))
        r.encrypt = p.isSet(encrypt);
    if (p.isSet(sfx) && p.isSet(noSfx))
        throw UserError(QStringLiteral("--sfx and --no-sfx exclude each other"));
    if (p.isSet(sfx) || p.isSet(noSfx))
        r.sfx = p.isSet(sfx);
    r.policy = p.value(policy);
    r.dryRun = p.isSet(dryRun);
    r.yes = p.isSet(yes);
    r.paths = p.positionalArguments();
    if (r.paths.isEmpty())
        throw UserError(QStringLiteral("nothing to send: give one or more files or folders"));
    return r;
}

// A locked option keeps its value; asking for the other one is refused.
QString applyOption(OptionState current, std::optional<bool> wanted, const QString& name,
                    const std::function<void(OptionState)>& set)
{
    if (!wanted || *wanted == current.checked)
        return {};
    if (current.locked)
        return QStringLiteral("%1 is locked %2 by the administrator's policy and cannot be changed")
            .arg(name, current.checked ? QStringLiteral("on") : QStringLiteral("off"));
    current.checked = *wanted;
    set(current);
    return {};
}

int runSend(const SendRequest& r)
{
    Client client;
    client.programPath = windowProgramPath();
    client.policyFileOverride = r.policy;
    client.settingsWritable = false; // the tool reads the user's settings, never writes them
    client.prompter.setPresenter(console::present);

    try {
        StartClient(client);
    } catch (const ProcessExit&) {
        return Failed; // the policy file is missing; the message is already out
    }
    if (client.state.StartupFailed)
        return Failed; // the upload folder is unusable; its message is already out

    ClientForm& form = client.form;
    client.texts.load(client.state.LanguageName, client.state.ProductTitle, client.state.VersionText);
    // Only what this command names is sent: no remembered recipients or message.
    form.setRecipients(r.to);
    form.setMessageLines(r.message.value_or(QStringList()));
    form.setSubjectText(r.subject.value_or(QString()));
    form.setAutoQuit(false);
    if (r.expire)
        form.setExpireText(*r.expire);
    for (const QString& refusal :
         {applyOption(form.encr(), r.encrypt, QStringLiteral("Encryption"), [&](auto o) { form.setEncr(o); }),
          applyOption(form.sfx(), r.sfx, QStringLiteral("Self-extracting"), [&](auto o) { form.setSfx(o); })}) {
        if (!refusal.isEmpty()) {
            console::err(refusal);
            return Refused;
        }
    }

    // Entries are made from the paths as the system names them; a name is never read
    // from a text shown to the user.
    QList<SelectionEntry> entries;
    for (const QString& path : r.paths) {
        const QByteArray bytes = pathBytes(path);
        const filetree::Status st = filetree::native().status(bytes);
        if (st.kind == filetree::Kind::Missing)
            throw IoError(filetree::shown(bytes), st.error);
        const bool folder = st.kind == filetree::Kind::Folder;
        entries.append({bytes, folder, folder ? client.texts[FolderMarker] : QString()});
    }
    form.setSelection(entries);

    // The summary and then the status lines appear as they are written.
    QObject::connect(&form, &ClientForm::statusLineAdded, [](const QString& line) { console::out(line); });
    const SummaryResult summary = MakeSummary(client);
    if (!summary.mayGo) {
        console::err(client.texts[summary.reason == RefusalReason::TooLarge ? WarnTooLarge : WarnNothingSelected]);
        return Refused;
    }
    // The window offers Finish only with at least one recipient; so does the tool. An
    // empty --to would take no slot in the job: it is no recipient either.
    if (r.to.isEmpty()) {
        console::err(QStringLiteral("No recipients: give at least one --to ADDR."));
        return Refused;
    }
    if (r.to.contains(QString())) {
        console::err(QStringLiteral("An empty --to was given: each --to needs an address."));
        return Refused;
    }
    if (const QString refusal = JobRefusal(client, RefusalAudience::CommandLine); !refusal.isEmpty()) {
        console::err(refusal);
        return Refused;
    }
    if (const QString refusal = PlanRefusal(client, summary.plan, MakeJobName(client.state).folder);
        !refusal.isEmpty()) {
        console::err(refusal);
        return Refused;
    }
    if (r.dryRun)
        return Sent;
    if (!r.yes) {
        if (!console::stdinIsTerminal()) {
            console::err(QStringLiteral("Not confirmed: give --yes to send without asking."));
            return Refused;
        }
        if (!console::askYesNo(client.texts[ConfirmSend]))
            return Refused;
    }

    SubmissionHooks hooks;
    hooks.copyObserver = console::progressBar();
    // From the lock on, Ctrl-C and SIGTERM take the job away before the tool ends.
    stopsignals::catchThem();
    hooks.stopRequested = [] {
        const int signal = stopsignals::pending();
        return signal ? QStringLiteral("Interrupted (%1).").arg(stopsignals::name(signal)) : QString();
    };
    return SubmitJob(client, summary.plan, hooks) ? Sent : Failed;
}

} // namespace

int sendCommand(const QStringList& arguments)
{
    int result = Failed;
    try {
        result = runSend(parseSend(arguments));
    } catch (const UserError& e) {
        console::err(QStringLiteral("parvela: ") + e.message());
    } catch (const ProcessExit&) {
    }
    // A signal that came while the job was written ends the tool as it asked, now that
    // the job is complete or gone.
    stopsignals::endIfPending();
    return result;
}

} // namespace cli
