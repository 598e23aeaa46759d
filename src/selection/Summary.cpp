#include "selection/Summary.h"

#include "client/Client.h"
#include "platform/FileTree.h"
#include "selection/SelectionEntry.h"
#include "platform/Text.h"
#include "util/FileSizes.h"

#include <QtNumeric>

namespace {

// Sums the sizes of one kind of entry; the sum is turned into whole megabytes by
// truncating division.
template <typename SizeOf>
qint64 megabytesOf(const Client& client, bool folders, SizeOf sizeOf)
{
    qint64 sum = 0;
    for (const QString& entry : client.form.selection()) {
        const SelectionEntry e = ReadSelectionEntry(entry);
        if (e.isFolder != folders)
            continue;
        if (qAddOverflow(sum, sizeOf(e.path), &sum))
            throw filetree::SizeOverflow(e.path);
    }
    return sum / 1024 / 1024;
}

QString warningLine(const QString& text)
{
    return QStringLiteral("  *** ") + text + QStringLiteral(" *** ");
}

} // namespace

SelectionCounts CountEntries(const Client& client)
{
    SelectionCounts counts;
    for (const QString& entry : client.form.selection()) {
        if (ReadSelectionEntry(entry).isFolder)
            ++counts.folders;
        else
            ++counts.files;
    }
    return counts;
}

qint64 SizeOfFileEntries(const Client& client)
{
    return megabytesOf(client, false, [](const QString& path) { return FileBytes(path); });
}

qint64 SizeOfFolderEntries(const Client& client)
{
    return megabytesOf(client, true, [](const QString& path) { return FolderBytes(path); });
}

SummaryResult MakeSummary(Client& client)
{
    ClientForm& form = client.form;
    const LanguageTexts& t = client.texts;
    SummaryResult result;

    form.clearLog();
    form.addStatusLine(t[SummaryHeading]);
    const SelectionCounts counts = CountEntries(client);
    const qint64 fileMegabytes = SizeOfFileEntries(client);
    const qint64 folderMegabytes = SizeOfFolderEntries(client);
    const qint64 totalMegabytes = fileMegabytes + folderMegabytes;
    form.addStatusLine(t[SummaryFileCount] + QString::number(counts.files));
    form.addStatusLine(t[SummaryFolderCount] + QString::number(counts.folders));
    form.addStatusLine(t[SummaryFileSize] + QString::number(fileMegabytes) + t[MegaByteUnit]);
    form.addStatusLine(t[SummaryFolderSize] + QString::number(folderMegabytes) + t[MegaByteUnit]);
    form.addStatusLine(t[SummaryTotalSize] + QString::number(totalMegabytes) + t[MegaByteUnit]);

    if (counts.files == 0 && counts.folders == 0) {
        result = {false, RefusalReason::NothingSelected};
        form.addStatusLine(warningLine(t[WarnNothingSelected]));
        form.setFinishEnabled(false);
    }
    // "-1" means no limit; any other text must be a whole number (the conversion
    // error stops the summary here, with the lines so far kept).
    if (client.state.MaxSize != QStringLiteral("-1")) {
        const qint64 limit = toInteger(client.state.MaxSize);
        if (totalMegabytes > limit) {
            form.addStatusLine(warningLine(t[WarnTooLarge]));
            form.setFinishEnabled(false);
            result = {false, RefusalReason::TooLarge};
        } else {
            form.setFinishEnabled(true);
        }
    }

    form.addStatusLine(QString());
    for (const QString& recipient : form.recipients())
        form.addStatusLine(t[SummaryTo] + recipient);
    form.addStatusLine(t[SummaryFrom] + form.fromText());
    form.addStatusLine(t[SummarySubject] + form.subjectText());
    form.addStatusLine(t[SummaryExpires] + form.expireText() + t[HoursUnit]);
    return result;
}
