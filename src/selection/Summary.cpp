#include "selection/Summary.h"

#include "client/Client.h"
#include "i18n/LeftOutTexts.h"
#include "platform/FileTree.h"
#include "platform/Text.h"

#include <QFile>

#include <QtNumeric>

namespace {

// Sums the sizes of one kind of entry; the sum is turned into whole megabytes by
// truncating division.
qint64 megabytesOf(const Client& client, const CopyPlan& plan, bool folders)
{
    qint64 sum = 0;
    const QList<SelectionEntry>& entries = client.form.selection();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].isFolder != folders)
            continue;
        if (qAddOverflow(sum, plan.entryBytes.value(i), &sum))
            throw filetree::SizeOverflow(filetree::shown(entries[i].path));
    }
    return sum / 1024 / 1024;
}

// "3 (/a/fifo, /a/b/sock, ...)"
QString leftOutText(const LeftOut& left)
{
    QString text = QString::number(left.count) + QStringLiteral(" (") + left.first.join(QStringLiteral(", "));
    if (left.count > left.first.size())
        text += QStringLiteral(", ...");
    return text + u')';
}

QString warningLine(const QString& text)
{
    return QStringLiteral("  *** ") + text + QStringLiteral(" *** ");
}

} // namespace

SelectionCounts CountEntries(const Client& client)
{
    SelectionCounts counts;
    for (const SelectionEntry& entry : client.form.selection()) {
        if (entry.isFolder)
            ++counts.folders;
        else
            ++counts.files;
    }
    return counts;
}

CopyPlan PlanSelection(const Client& client)
{
    QList<PlanSource> sources;
    sources.reserve(client.form.selection().size());
    for (const SelectionEntry& entry : client.form.selection())
        sources.append({entry.path, entry.isFolder});
    return MakeCopyPlan(filetree::native(), sources, QFile::encodeName(client.state.UploadFolder));
}

qint64 SizeOfFileEntries(const Client& client, const CopyPlan& plan)
{
    return megabytesOf(client, plan, false);
}

qint64 SizeOfFolderEntries(const Client& client, const CopyPlan& plan)
{
    return megabytesOf(client, plan, true);
}

SummaryResult MakeSummary(Client& client)
{
    ClientForm& form = client.form;
    const LanguageTexts& t = client.texts;
    SummaryResult result;

    form.clearLog();
    form.addStatusLine(t[SummaryHeading]);
    const SelectionCounts counts = CountEntries(client);
    result.plan = PlanSelection(client);
    const qint64 fileMegabytes = SizeOfFileEntries(client, result.plan);
    const qint64 folderMegabytes = SizeOfFolderEntries(client, result.plan);
    const qint64 totalMegabytes = fileMegabytes + folderMegabytes;
    form.addStatusLine(t[SummaryFileCount] + QString::number(counts.files));
    form.addStatusLine(t[SummaryFolderCount] + QString::number(counts.folders));
    form.addStatusLine(t[SummaryFileSize] + QString::number(fileMegabytes) + t[MegaByteUnit]);
    form.addStatusLine(t[SummaryFolderSize] + QString::number(folderMegabytes) + t[MegaByteUnit]);
    form.addStatusLine(t[SummaryTotalSize] + QString::number(totalMegabytes) + t[MegaByteUnit]);
    // What the job leaves out, so that nobody is surprised by a copy without it.
    const QString& language = client.state.LanguageName;
    if (result.plan.notFollowed.count > 0)
        form.addStatusLine(LeftOutLabel(language, LeftOutLine::NotFollowed) + leftOutText(result.plan.notFollowed));
    if (result.plan.specials.count > 0)
        form.addStatusLine(LeftOutLabel(language, LeftOutLine::SpecialFiles) + leftOutText(result.plan.specials));

    if (counts.files == 0 && counts.folders == 0) {
        result.mayGo = false;
        result.reason = RefusalReason::NothingSelected;
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
            result.mayGo = false;
            result.reason = RefusalReason::TooLarge;
        } else {
            // Within the size Finish follows the page's own rule, recipients and a
            // selection (so the nothing-selected warning keeps it off): a job needs
            // someone to go to.
            form.setFinishEnabled(!form.recipients().isEmpty() && !form.selection().isEmpty());
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
