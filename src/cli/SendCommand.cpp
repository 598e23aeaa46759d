#include "client/Client.h"
#include "app/Startup.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "cli/SentReport.h"
#include "platform/Arguments.h"
#include "platform/Cp1252.h"
#include "platform/Errors.h"
#include "platform/FileTree.h"
#include "platform/StopSignals.h"
#include "selection/Summary.h"
#include "spool/JobDescriptor.h"
#include "spool/JobRefusal.h"
#include "sent/SentRecorder.h"
#include "sent/SentStore.h"
#include "sent/SentWait.h"
#include "spool/JobName.h"
#include "spool/Submission.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    int parallel = 0; // 0: the user's setting, else as the upload folder's file system suits
    bool wait = false;
    int timeoutSeconds = -1; // no limit
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
// kMessageMaxChars characters, and no file much bigger can be one.
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

// An argument that cannot be used as given: reported with the command's usage.
class UsageError : public UserError {
public:
    using UserError::UserError;
};

const QCommandLineOption kTo(QStringLiteral("to"), QStringLiteral("A recipient's address; once for each recipient."),
                             QStringLiteral("ADDR"));
const QCommandLineOption kSubject(QStringLiteral("subject"),
                                  QStringLiteral("The subject, at most %1 characters.").arg(kTextFieldBytes),
                                  QStringLiteral("TEXT"));
const QCommandLineOption kMessage(QStringLiteral("message"),
                                  QStringLiteral("The message, at most %1 characters.").arg(kMessageMaxChars),
                                  QStringLiteral("TEXT"));
const QCommandLineOption kMessageFile(QStringLiteral("message-file"),
                                      QStringLiteral("The message from a file (UTF-8, else Windows-1252)."),
                                      QStringLiteral("FILE"));
const QCommandLineOption kExpire(QStringLiteral("expire"),
                                 QStringLiteral("Hours the transfer stays available, 1 to 5 digits."),
                                 QStringLiteral("HOURS"));
const QCommandLineOption kEncrypt(QStringLiteral("encrypt"), QStringLiteral("Encrypt the result with a password."));
const QCommandLineOption kNoEncrypt(QStringLiteral("no-encrypt"), QStringLiteral("Do not encrypt the result."));
const QCommandLineOption kSfx(QStringLiteral("sfx"), QStringLiteral("Make the result self-extracting."));
const QCommandLineOption kNoSfx(QStringLiteral("no-sfx"), QStringLiteral("Do not make it self-extracting."));
const QCommandLineOption kPolicy = policyOption();
const QCommandLineOption kDryRun(QStringLiteral("dry-run"), QStringLiteral("Print the summary only; send nothing."));
const QCommandLineOption kYes(QStringLiteral("yes"), QStringLiteral("Send without asking \"Sending, are you sure\"."));
const QCommandLineOption kParallel(QStringLiteral("parallel"),
                                   QStringLiteral("Files copied at once, 1 to 64 (default: 8 onto a network share, 2\n"
                                                  "onto a local disk; 1 copies them one after the other)."),
                                   QStringLiteral("N"));
const QCommandLineOption kWait(QStringLiteral("wait"),
                               QStringLiteral("Once the job is written, wait until the server has taken it."));
const QCommandLineOption kTimeout(QStringLiteral("timeout"),
                                  QStringLiteral("Stop waiting after SECONDS and tell the job's state."),
                                  QStringLiteral("SECONDS"));

void addSendOptions(CommandLine& line)
{
    for (const QCommandLineOption& o : {kTo, kSubject, kMessage, kMessageFile, kExpire, kEncrypt, kNoEncrypt, kSfx, kNoSfx,
                                        kPolicy, kDryRun, kYes, kParallel, kWait, kTimeout})
        line.addOption(o);
}

// The request the parsed arguments make. Throws UsageError for arguments that cannot
// go together or are no good, IoError for a message file that cannot be read.
SendRequest requestFrom(const QCommandLineParser& p)
{
    SendRequest r;
    r.to = p.values(kTo);
    if (p.isSet(kSubject))
        r.subject = p.value(kSubject);
    if (p.isSet(kMessage) && p.isSet(kMessageFile))
        throw UsageError(QStringLiteral("--message and --message-file exclude each other"));
    if (p.isSet(kMessage))
        r.message = messageLines(p.value(kMessage));
    if (p.isSet(kMessageFile)) {
        QString text = readMessageFile(p.value(kMessageFile));
        // The file's last line end closes its last line; it starts no further one.
        if (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
        r.message = messageLines(text);
    }
    if (p.isSet(kExpire)) {
        const QString hours = p.value(kExpire);
        bool digitsOnly = !hours.isEmpty() && hours.size() <= 5;
        for (QChar c : hours)
            digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
        if (!digitsOnly)
            throw UsageError(QStringLiteral("--expire takes 1 to 5 digits (hours), not '%1'").arg(hours));
        // As in the window: a value of 0 is made 1 when it is applied.
        r.expire = hours.toInt() == 0 ? QStringLiteral("1") : hours;
    }
    if (p.isSet(kEncrypt) && p.isSet(kNoEncrypt))
        throw UsageError(QStringLiteral("--encrypt and --no-encrypt exclude each other"));
    if (p.isSet(kEncrypt) || p.isSet(kNoEncrypt))
        r.encrypt = p.isSet(kEncrypt);
    if (p.isSet(kSfx) && p.isSet(kNoSfx))
        throw UsageError(QStringLiteral("--sfx and --no-sfx exclude each other"));
    if (p.isSet(kSfx) || p.isSet(kNoSfx))
        r.sfx = p.isSet(kSfx);
    r.policy = p.value(kPolicy);
    r.dryRun = p.isSet(kDryRun);
    r.yes = p.isSet(kYes);
    if (p.isSet(kParallel)) {
        bool ok = false;
        r.parallel = p.value(kParallel).toInt(&ok);
        if (!ok || r.parallel < 1 || r.parallel > kMaxCopyWorkers)
            throw UsageError(QStringLiteral("--parallel takes a number of files from 1 to %1, not '%2'")
                                 .arg(kMaxCopyWorkers)
                                 .arg(p.value(kParallel)));
    }
    r.wait = p.isSet(kWait);
    if (p.isSet(kTimeout)) {
        if (!r.wait)
            throw UsageError(QStringLiteral("--timeout goes with --wait"));
        const std::optional<int> seconds = TimeoutSeconds(p.value(kTimeout));
        if (!seconds)
            throw UsageError(TimeoutUsage(p.value(kTimeout)));
        r.timeoutSeconds = *seconds;
    }
    r.paths = p.positionalArguments();
    if (r.paths.isEmpty())
        throw UsageError(QStringLiteral("nothing to send: give one or more files or folders"));
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

    // The start-up's probe of the upload folder makes a test folder there: it goes
    // again whatever signal comes meanwhile, and then the signal ends the tool (until
    // the job, Ctrl-C at the question ends it at once).
    stopsignals::catchThem();
    try {
        StartClient(client);
    } catch (const ProcessExit&) {
        return Failed; // the policy file is missing; the message is already out
    }
    stopsignals::endIfPending();
    if (client.state.StartupFailed)
        return Failed; // the upload folder is unusable; its message is already out

    ClientForm& form = client.form;
    client.texts.load(client.state.LanguageName, client.state.ProductTitle, client.state.VersionText);
    // Only what this command names is sent: no remembered recipients or message.
    form.setRecipients(r.to);
    form.setMessageLines(r.message.value_or(QStringList()));
    form.setSubjectText(r.subject.value_or(QString()));
    form.setAutoQuit(false);
    if (r.parallel > 0)
        client.state.CopyWorkers = r.parallel;
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
    SummaryResult summary;
    try {
        summary = MakeSummary(client);
    } catch (const ConversionError& e) {
        // The size check's own text, and then where the number it could not read stands.
        console::err(QStringLiteral("parvela: %1: MAXSIZE in the policy file %2")
                         .arg(e.message(), QFileInfo(client.state.PolicyFilePath).absoluteFilePath()));
        return Failed;
    }
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

    // Every job is recorded among the user's sent jobs, the record opened before the
    // job begins; a record that cannot be kept is one warning, and the job goes on.
    SentStore store(SentStore::pathIn(client.state.UserDataFolder), StoreWarnings(client.state.LanguageName));
    SentRecorder recorder(store);
    SubmissionHooks hooks;
    hooks.copyObserver = console::progressBar();
    if (store.open())
        hooks.observer = &recorder;
    // From the lock on, Ctrl-C and SIGTERM take the job away before the tool ends.
    stopsignals::catchThem();
    hooks.stopRequested = [] {
        const int signal = stopsignals::pending();
        return signal ? QStringLiteral("Interrupted (%1).").arg(stopsignals::name(signal)) : QString();
    };
    const SubmissionResult sent = SubmitJob(client, summary.plan, hooks);
    if (!sent.message.isEmpty())
        console::err(QStringLiteral("parvela: ") + sent.message);
    if (!sent.written() || !sent.lockReleased)
        return Failed; // a lock that stays was reported as it happened
    if (!r.wait)
        return Sent;
    // The job is complete: a signal now only ends the wait, and the job stays.
    SentRecord job = recorder.lastJob();
    job.state = SentState::Waiting;
    const WaitEnd end = WaitUntilTaken(job, &store, r.timeoutSeconds < 0 ? -1 : r.timeoutSeconds * 1000,
                                       [] { return stopsignals::pending() != 0; });
    console::out(WaitLine(job, end, r.timeoutSeconds));
    return WaitExitCode(end); // after a signal the tool ends as the signal asked, below
}

} // namespace

int sendCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("send"),
                     QStringLiteral("send [OPTIONS] PATH..."),
                     QStringLiteral("Writes the files and folders given as one job into the upload folder, as the\n"
                                    "window's Finish does: the same summary and status lines, the same refusals.\n"
                                    "The policy file and the user's settings (sender, options and their locks) are\n"
                                    "read, never written; a locked option cannot be changed. Without --yes the tool\n"
                                    "asks on a terminal and sends nothing without one. Every job is recorded among\n"
                                    "the user's sent jobs (see parvela sent); with --wait the tool waits until the\n"
                                    "server has taken it.\n"
                                    "Exit codes: 0 sent (and with --wait, taken), 1 refused (or, with --wait, the\n"
                                    "job failed), 2 error, 3 not taken within --timeout."));
    addSendOptions(line);
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    int result = Failed;
    try {
        result = runSend(requestFrom(line.parser()));
    } catch (const UsageError& e) {
        result = line.usageError(e.message());
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
