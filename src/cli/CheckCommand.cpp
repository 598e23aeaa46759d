#include "cli/Commands.h"
#include "cli/Console.h"
#include "client/OptionState.h"
#include "platform/Errors.h"
#include "spool/JobDescriptor.h"

namespace cli {

int checkCommand(const QStringList& arguments)
{
    if (arguments.size() != 1) {
        console::err(QStringLiteral("usage: parvela check FILE.pvx"));
        return Failed;
    }
    QString problem;
    std::optional<JobDescriptor> d;
    try {
        d = ReadJobDescriptorFile(arguments.first(), &problem);
    } catch (const IoError& e) {
        console::err(QStringLiteral("parvela: ") + e.message());
        return Failed;
    }
    if (!d) {
        console::out(QStringLiteral("invalid: ") + problem);
        return Refused;
    }
    console::out(QStringLiteral("valid job descriptor"));
    for (int i = 0; i < d->recipients.size(); ++i)
        console::out(QStringLiteral("recipient %1: %2").arg(i).arg(d->recipients[i]));
    console::out(QStringLiteral("sender e-mail: ") + d->senderEmail);
    console::out(QStringLiteral("sender name: ") + d->senderName);
    console::out(QStringLiteral("sender company: ") + d->senderCompany);
    console::out(QStringLiteral("subject: ") + d->subject);
    console::out(QStringLiteral("encrypted: ") + OptionState::word(d->encrypted));
    console::out(QStringLiteral("self-extracting: ") +
                 OptionState::word(d->selfExtracting));
    console::out(QStringLiteral("expire hours: ") + d->expireHours);
    return Sent;
}

} // namespace cli
