#include "i18n/PathTexts.h"

#include "i18n/Languages.h"

namespace {
QString text(const TableText& t) { return t.toString(); }
} // namespace

PathMessage MissingFolderMessage(const QString& languageName, const QString& folder)
{
    const PathTable& t = LanguageFor(languageName).paths;
    return {text(t.folderCaption), text(t.folder).arg(folder)};
}

PathMessage MissingPathsMessage(const QString& languageName, const QStringList& paths)
{
    const PathTable& t = LanguageFor(languageName).paths;
    QStringList lines{text(t.paths)};
    lines += paths.mid(0, kMaxNamed);
    if (paths.size() > kMaxNamed)
        lines.append(text(t.more).arg(paths.size() - kMaxNamed));
    return {text(t.pathsCaption), lines.join(u'\n')};
}

PathMessage NoAnswerMessage(const QString& languageName)
{
    const PathTable& t = LanguageFor(languageName).paths;
    return {text(t.noAnswerCaption), text(t.noAnswer)};
}
