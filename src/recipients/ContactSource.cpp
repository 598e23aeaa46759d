#include "recipients/ContactSource.h"

#include "client/ClientForm.h"
#include "client/ClientState.h"
#include "platform/Errors.h"

#include <QFile>
#include <QFileInfo>

ContactSource ContactSource::forUser(const ClientState& state)
{
    return ContactSource(state.UserDataFolder + QStringLiteral("contacts.vcf"));
}

ContactReading ContactSource::read() const
{
    ContactReading result;
    const QFileInfo info(m_path);
    // A pipe or a device would block or never end; only a file is an address book.
    if (info.exists() && !info.isFile()) {
        result.problems.append(IoError(m_path, QStringLiteral("Not a regular file")).message());
        return result;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problems.append(IoError(m_path, file.errorString()).message());
        return result;
    }
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    // A read that fails part way keeps what came before, like a bound reached.
    const QString readError =
        file.error() == QFileDevice::NoError ? QString() : IoError(m_path, file.errorString()).message();

    // Reading that stopped early keeps the whole lines before the stop; the card the
    // stop cut is left out.
    const bool tooLarge = bytes.size() > kMaxFileBytes;
    const bool cutShort = tooLarge || !readError.isEmpty();
    if (cutShort) {
        bytes.truncate(qMin<qsizetype>(bytes.size(), kMaxFileBytes));
        const qsizetype lastEnd = qMax(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes.truncate(lastEnd + 1);
    }
    VCardParse parse = ParseVCards(bytes, !cutShort, m_path);
    result.contacts = std::move(parse.contacts);
    result.problems = std::move(parse.problems);
    if (!readError.isEmpty())
        result.problems.append(readError);
    else if (tooLarge)
        result.problems.append(QStringLiteral("%1: the file is larger than %2 MiB; the contacts after its first %2 MiB "
                                              "were not read.")
                                   .arg(m_path, QString::number(kMaxFileBytes / (1024 * 1024))));
    return result;
}

void AddPickedRecipients(ClientForm& form, const QStringList& addresses)
{
    // All at once: the recipient list is drawn again at each change, and a whole
    // address book chosen would take minutes one by one.
    QStringList recipients = form.recipients();
    for (const QString& address : addresses) {
        if (!address.isEmpty())
            recipients.append(address);
    }
    form.setRecipients(recipients);
}
