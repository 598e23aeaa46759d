#pragma once
// The program's small utility routines: computer name, date digits, random text,
// file and folder sizes, and the shell's copy and delete.
#include "platform/Errors.h"

#include <QString>
#include <QStringList>
#include <functional>

QString ComputerNameText();
// The local date as YYYYMMDD, then (unless the time is 00:00:00) a blank and the time
// in the user's long time format.
QString DateStamp();
QString DigitsOnly(const QString& text);
// mode 0: digits from clock-based numbers; 1: digits and A-Z; 2: digits, A-Z and a-z.
QString RandomText(int length, int mode);

// Bytes of the regular file (or the file a link leads to) at path; 0 when there is none.
qint64 FileBytes(const QString& path);
// Bytes of every file below folder, hidden ones included; links are followed, but a
// folder already on the walk's way down (a link cycle) is not entered again. 0 when
// the folder is missing or cannot be listed.
qint64 FolderBytes(const QString& folder);

// Removes a file, or a folder with everything in it, silently. True on success.
bool ShellDelete(const QString& path);

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

// Thrown when the user cancels a copy.
class CopyCancelled : public UserError {
public:
    CopyCancelled() : UserError(QStringLiteral("The copy was cancelled.")) {}
};

// Copies every source (a file, or a folder with its whole tree) directly into the
// existing folder dest, in one operation with one progress report. Two different
// sources with the same name do not overwrite each other: the later one gets a free
// name ("report (2).doc"); the same source given twice is copied once. Links are
// copied as what they point to, without entering a link cycle twice. The copied files
// are flushed to disk before it returns. Throws IoError (with the system's text and
// the path) on the first failure, CopyCancelled when the observer cancels.
void ShellCopy(const QStringList& sources, const QString& dest, const CopyObserver& observer = {});
