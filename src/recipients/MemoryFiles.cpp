#include "recipients/MemoryFiles.h"

#include "client/Client.h"
#include "platform/Cp1252.h"
#include "platform/BoundedFile.h"
#include "platform/Errors.h"
#include "platform/WholeFile.h"

#include <QFileInfo>

#include <optional>

namespace {

constexpr qsizetype kMessageLinesKept = 5000;
// Far above what the program writes (5000 message lines); anything bigger is not ours
// and is not loaded into memory.
constexpr qint64 kMemoryFileMaxBytes = 1024 * 1024;

// Replaces the file as a whole: the old content stays until the new one is complete.
void writeLines(const QString& path, const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines)
        out += cp1252::encode(line) + "\r\n";
    replaceWhole(path, out);
}

// The lines of an existing file; nullopt when there is no file. A line is read before
// the end of the file is tested, so an empty file still gives one empty line, and a
// line end at the very end of the file starts no further line. Throws IoError for a
// file that cannot be read, is not a plain file or is over 1 MiB.
std::optional<QStringList> readLines(const QString& path)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const QByteArray content = BoundedFile::read(path, kMemoryFileMaxBytes);

    QStringList lines;
    qsizetype start = 0;
    while (true) {
        const qsizetype lf = content.indexOf('\n', start);
        const qsizetype end = lf < 0 ? content.size() : lf;
        const qsizetype cut = (end > start && content[end - 1] == '\r') ? end - 1 : end;
        lines.append(cp1252::decode(content.mid(start, cut - start)));
        if (lf < 0 || lf + 1 == content.size())
            break;
        start = lf + 1;
    }
    return lines;
}

} // namespace

void SaveRecipientCache(Client& client)
{
    const QStringList& entries = client.form.recipients();
    if (entries.isEmpty())
        return;
    QStringList lines;
    for (const QString& e : entries)
        if (!e.isEmpty())
            lines.append(e);
    writeLines(client.state.recipientCachePath(), lines);
}

void SaveMessageCache(Client& client)
{
    const QStringList& message = client.form.messageLines();
    if (message.isEmpty())
        return;
    writeLines(client.state.messageCachePath(), message.mid(0, kMessageLinesKept));
}

void LoadRecipientCache(Client& client)
{
    if (const auto lines = readLines(client.state.recipientCachePath()))
        client.form.setRecipients(*lines);
}

void LoadMessageCache(Client& client)
{
    if (const auto lines = readLines(client.state.messageCachePath()))
        client.form.setMessageLines(client.form.messageLines() + *lines);
}
