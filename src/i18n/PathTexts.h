#pragma once
// The window's own messages about paths, in the five languages: a folder typed into the
// browser's path box that does not exist, the files and folders handed to the program
// that do not exist, and a running window that does not answer a later start.
#include <QString>
#include <QStringList>

struct PathMessage {
    QString caption;
    QString text;
};

// The texts for a language key; any key other than the four non-English ones gives
// English, as in the language tables.
PathMessage MissingFolderMessage(const QString& languageName, const QString& folder);
// Names every missing path, one to a line, the first kMaxNamed of them and then how
// many more there are. Each shows as ArgumentShown shows it.
PathMessage MissingPathsMessage(const QString& languageName, const QStringList& paths);
// Names every path the browser or a file dialog gave that could mean more than one
// file (a name that is no valid text reads like another), in the same form.
PathMessage UnclearPathsMessage(const QString& languageName, const QStringList& paths);
PathMessage NoAnswerMessage(const QString& languageName);

constexpr int kMaxNamed = 20;
