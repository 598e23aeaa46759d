#include "recipients/MemoryFiles.h"

#include "client/Client.h"
#include "platform/Cp1252.h"
#include "platform/BoundedFile.h"
#include "platform/Errors.h"
#include "platform/Text.h"
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

// The lines without a control character (tabs pass where allowed). A line that holds
// one (a file damaged or written by another program) is not loaded, and a warning
// names the file and the lines.
QStringList withoutControls(Client& client, const QString& path, const QStringList& lines, bool allowTab)
{
    QStringList kept;
    QStringList dropped;
    QString first;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype at = firstControl(lines[i], allowTab);
        if (at < 0) {
            kept << lines[i];
            continue;
        }
        if (first.isEmpty())
            first = controlText(lines[i][at]);
        dropped << QString::number(i + 1);
    }
    if (!dropped.isEmpty()) {
        const qsizetype shown = 5;
        const QString numbers = dropped.mid(0, shown).join(QStringLiteral(", ")) +
                                (dropped.size() > shown ? QStringLiteral(" and %1 more").arg(dropped.size() - shown) : QString());
        client.prompter.warning(
            QStringLiteral("%1 holds control characters (the first is %2) on line %3; %4 not used.")
                .arg(path, first, numbers, dropped.size() == 1 ? QStringLiteral("that line is") : QStringLiteral("those lines are")));
    }
    return kept;
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
    const QString path = client.state.recipientCachePath();
    if (const auto lines = readLines(path))
        client.form.setRecipients(withoutControls(client, path, *lines, false));
}

void LoadMessageCache(Client& client)
{
    const QString path = client.state.messageCachePath();
    if (const auto lines = readLines(path))
        client.form.setMessageLines(client.form.messageLines() + withoutControls(client, path, *lines, true));
}
