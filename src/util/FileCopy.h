#pragma once
// The copy of a whole selection into a job folder, with progress and cancel.
#include "platform/Errors.h"

#include <QString>
#include <QStringList>
#include <functional>

// Progress of a copy, reported as it goes.
struct CopyProgress {
    qint64 filesDone = 0;
    qint64 filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    QString currentName;
};
// Return false to cancel the copy.
using CopyObserver = std::function<bool(const CopyProgress&)>;

// Thrown when the user cancels a copy; the text may be given in the user's language.
class CopyCancelled : public UserError {
public:
    explicit CopyCancelled(const QString& text = QStringLiteral("The copy was cancelled.")) : UserError(text) {}
};

// Copies every source (a file, or a folder with its whole tree) directly into the
// existing folder dest, in one operation with one progress report. Two different
// sources with the same name do not overwrite each other: the later one gets a free
// name ("report (2).doc"); the same source given twice is copied once. Links are
// copied as what they point to, without entering a link cycle twice. The copied files
// are flushed to disk before it returns. Throws IoError (with the system's text and
// the path) on the first failure, CopyCancelled when the observer cancels.
void ShellCopy(const QStringList& sources, const QString& dest, const CopyObserver& observer = {});

namespace filetree {
class FileSystem;
}

// ShellCopy on the given file system (native, or the portable one in tests).
void CopyTrees(const filetree::FileSystem& fs, const QStringList& sources, const QString& dest,
               const CopyObserver& observer);

// The first name of the form "name", "name (2)", "name (3)"... for which taken()
// answers false; a file's extension stays at the end ("report (2).doc").
QString FreeName(const QString& name, bool isFile, const std::function<bool(const QString&)>& taken);
