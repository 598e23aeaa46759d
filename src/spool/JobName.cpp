#include "spool/JobName.h"

#include "client/ClientState.h"
#include "platform/Cp1252.h"
#include "util/NameParts.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Blanks and control characters off both ends.
QString trimControls(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

// The computer name as a piece of a file name: a name from the environment may hold
// anything, and a separator in it would put the job into another folder. A character
// Windows-1252 has no byte for becomes '-' as well (one for each character, however
// many UTF-16 units it takes): the lock file's text names its own file in that code
// page, and a '?' there would name another one.
QString fileNameSafe(const QString& name)
{
    QString safe;
    safe.reserve(name.size());
    for (const char32_t u : name.toUcs4()) {
        const QString c = QString::fromUcs4(&u, 1);
        if (u < 0x20 || u == 0x7F || QStringView(u"\\/:*?\"<>|").contains(c) || !cp1252::canEncode(c))
            safe += u'-';
        else
            safe += c;
    }
    return safe;
}

// Any entry of the folder's name blocks it: a folder, but also a file or a (broken)
// link, since the job folder could not be made there.
bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

JobNames MakeJobName(const ClientState& state, const std::function<QString()>& randomPart)
{
    // No bound on the tries: every round draws a new random part, so it ends at the first
    // free name. Only the job folder's name decides; a stray .lck, .pvx or .msg of the same name
    // is overwritten by the submission.
    for (;;) {
        const QString computer = JobComputerName();
        const QString date = DigitsOnly(DateStamp());
        const QString random = randomPart();
        const QString jobName = trimControls(QStringLiteral("PV_") + computer + u'_' + date + u'_' + random);
        JobNames names;
        names.descriptor = jobName + QStringLiteral(".pvx");
        names.folder = jobName + QStringLiteral(".dir");
        names.message = jobName + QStringLiteral(".msg");
        names.lock = jobName + QStringLiteral(".lck");
        if (!isTaken(state.UploadFolder + names.folder))
            return names;
    }
}

JobNames MakeJobName(const ClientState& state)
{
    return MakeJobName(state, [] { return RandomText(40, RandomMode::DigitsUpperLower); });
}

QString JobComputerName()
{
    return fileNameSafe(ComputerNameText());
}

std::optional<JobNameParts> ParseJobName(const QString& jobName)
{
    constexpr qsizetype kRandom = 40;
    const auto isAlnum = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    };
    if (!jobName.startsWith(QLatin1String("PV_")) || jobName.size() < 3 + 1 + 8 + 1 + kRandom)
        return std::nullopt;
    JobNameParts parts;
    parts.random = jobName.right(kRandom);
    if (!std::all_of(parts.random.cbegin(), parts.random.cend(), isAlnum) || jobName[jobName.size() - kRandom - 1] != u'_')
        return std::nullopt;
    // The date is the run of digits before the random part; the computer's name ends
    // at the '_' in front of it.
    const QString rest = jobName.mid(3, jobName.size() - 3 - kRandom - 1);
    const qsizetype cut = rest.lastIndexOf(u'_');
    if (cut < 0)
        return std::nullopt;
    parts.computer = rest.left(cut);
    parts.date = rest.mid(cut + 1);
    const bool digits = std::all_of(parts.date.cbegin(), parts.date.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const qsizetype n = parts.date.size();
    if (!digits || (n != 8 && n != 13 && n != 14))
        return std::nullopt;
    return parts;
}
