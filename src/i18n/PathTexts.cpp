#include "i18n/PathTexts.h"

#include "i18n/Languages.h"
#include "platform/Arguments.h"

namespace {
QString text(const TableText& t) { return t.toString(); }
} // namespace

PathMessage MissingFolderMessage(const QString& languageName, const QString& folder)
{
    const PathTable& t = LanguageFor(languageName).paths;
    return {text(t.folderCaption), text(t.folder).arg(folder)};
}

namespace {
PathMessage namingPaths(const PathTable& t, const TableText& first, const QStringList& paths)
{
    QStringList lines{text(first)};
    for (const QString& path : paths.mid(0, kMaxNamed))
        lines.append(ArgumentShown(path));
    if (paths.size() > kMaxNamed)
        lines.append(text(t.more).arg(paths.size() - kMaxNamed));
    return {text(t.pathsCaption), lines.join(u'\n')};
}
} // namespace

PathMessage MissingPathsMessage(const QString& languageName, const QStringList& paths)
{
    const PathTable& t = LanguageFor(languageName).paths;
    return namingPaths(t, t.paths, paths);
}

PathMessage UnclearPathsMessage(const QString& languageName, const QStringList& paths)
{
    const PathTable& t = LanguageFor(languageName).paths;
    return namingPaths(t, t.unclear, paths);
}

PathMessage NoAnswerMessage(const QString& languageName)
{
    const PathTable& t = LanguageFor(languageName).paths;
    return {text(t.noAnswerCaption), text(t.noAnswer)};
}
