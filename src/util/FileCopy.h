#pragma once
// Carrying out a copy plan: the whole selection copied into a job folder in one
// operation, with progress and cancel.
#include "platform/Errors.h"

#include <QString>
#include <functional>

struct CopyPlan;
namespace filetree {
class FileSystem;
class Folder;
} // namespace filetree

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

// Makes every folder and copies every file of plan into dest, an open folder that
// holds nothing of the plan yet; every entry is created new and never through a link.
// Copies get the permissions new files get from this process and keep their
// modification times; sparse files stay sparse. With flush, everything is on disk
// before it returns (else the caller flushes, once for all it writes). Throws IoError
// (with the system's text and the path) on the first failure, SourceChanged for a file
// that changed while it was copied, CopyCancelled when the observer cancels.
void ShellCopy(const filetree::FileSystem& fs, const CopyPlan& plan, filetree::Folder& dest,
               const CopyObserver& observer = {}, bool flush = true);
