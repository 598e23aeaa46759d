#pragma once
// Carrying out a copy plan: the whole selection copied into a job folder in one
// operation, with progress and cancel, several files in flight where the upload
// folder's file system rewards it.
#include "platform/Errors.h"

#include <QByteArray>
#include <QString>
#include <functional>

struct CopyPlan;
namespace filetree {
class FileSystem;
class Folder;
} // namespace filetree

// Progress of a copy, reported as it goes (from the thread that called ShellCopy).
struct CopyProgress {
    qint64 filesDone = 0;
    qint64 filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    QString currentName;      // the file begun last, below the job folder
    qint64 silentSeconds = 0; // since a byte last moved or an entry was last made
};
// Return false to cancel the copy. It may also throw to stop the copy with that error.
using CopyObserver = std::function<bool(const CopyProgress&)>;

// After this many silent seconds a copy says that the upload folder does not answer.
constexpr qint64 kSilentSecondsShown = 10;

// Thrown when the user cancels a copy; the text may be given in the user's language.
class CopyCancelled : public UserError {
public:
    explicit CopyCancelled(const QString& text = QStringLiteral("The copy was cancelled.")) : UserError(text) {}
};

struct CopyOptions {
    // Files copied at once: 1 copies them one after the other in the plan's order.
    int workers = 1;
    // Everything on disk before ShellCopy returns (else the caller flushes once for all).
    bool flush = true;
};

// The most files a copy takes at once.
constexpr int kMaxCopyWorkers = 64;

// Files copied at once by default onto the file system of uploadFolder: network and
// FUSE file systems answer each call after a round trip, so eight files are in flight
// there; a local disk gains little from more than two.
int DefaultCopyWorkers(const filetree::FileSystem& fs, const QByteArray& uploadFolder);

// Makes every folder and copies every file of plan into dest, an open folder that
// holds nothing of the plan yet; every entry is created new and never through a link.
// Folders are made in the plan's order by one thread; the files go through
// options.workers threads. Copies get the permissions new files get from this process
// and keep their modification times; sparse files stay sparse; a folder gets its time
// once everything in it is made. The work runs on threads of its own, and observer is
// called on this one every few milliseconds, also while a call to a share that stalls
// has not returned. Throws the first failure once every thread has stopped: IoError
// (with the system's text and the path), SourceChanged for a file that changed while
// it was copied, CopyCancelled when the observer cancels, or what the observer threw.
void ShellCopy(const filetree::FileSystem& fs, const CopyPlan& plan, filetree::Folder& dest,
               const CopyObserver& observer = {}, const CopyOptions& options = {});
