#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "client/OptionState.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "spool/JobDescriptor.h"

namespace cli {

int checkCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("check"), QStringLiteral("check FILE.pvx"),
                     QStringLiteral("Checks that FILE.pvx is a job descriptor a server can take: a plain file of\n"
                                    "exactly %1 bytes that keeps every rule of the record; prints its fields.\n"
                                    "Exit codes: 0 valid, 1 invalid, 2 error.")
                         .arg(kDescriptorSize));
    if (const std::optional<int> done = line.parse(arguments))
        return *done;
    if (line.parser().positionalArguments().size() != 1)
        return line.usageError(QStringLiteral("give one descriptor file"));
    QString problem;
    std::optional<JobDescriptor> d;
    try {
        d = ReadJobDescriptorFile(line.parser().positionalArguments().first(), &problem);
    } catch (const IoError& e) {
        console::err(QStringLiteral("parvela: ") + e.message());
        return Failed;
    }
    if (!d) {
        console::out(QStringLiteral("invalid: ") + escapedControls(problem));
        return Refused;
    }
    // The fields are a stranger's text: control characters are shown escaped.
    console::out(QStringLiteral("valid job descriptor"));
    for (int i = 0; i < d->recipients.size(); ++i)
        console::out(QStringLiteral("recipient %1: %2").arg(i).arg(escapedControls(d->recipients[i])));
    console::out(QStringLiteral("sender e-mail: ") + escapedControls(d->senderEmail));
    console::out(QStringLiteral("sender name: ") + escapedControls(d->senderName));
    console::out(QStringLiteral("sender company: ") + escapedControls(d->senderCompany));
    console::out(QStringLiteral("subject: ") + escapedControls(d->subject));
    console::out(QStringLiteral("encrypted: ") + OptionState::word(d->encrypted));
    console::out(QStringLiteral("self-extracting: ") + OptionState::word(d->selfExtracting));
    console::out(QStringLiteral("expire hours: ") + escapedControls(d->expireHours));
    return Sent;
}

} // namespace cli
