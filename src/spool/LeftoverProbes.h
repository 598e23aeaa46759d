#pragma once
// What a start-up or a listing leaves in the upload folder when it is killed before it
// tidies up: the test folder of the start-up's probe (20 digits, ".pvltest") and the
// clock probe of a listing (20 digits, ".pvltime"). Each carries ProbeOwnerMark(), so
// that clean can tell this computer's from everyone else's.
#include "platform/FileTree.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The file in a test folder that says whose it is.
inline const QByteArray kProbeOwnerFile = QByteArrayLiteral("computer.txt");

// Whether name is a probe's: 20 digits, then ".pvltest" or ".pvltime".
bool IsProbeName(const QByteArray& name);

// The upload folder's own clock, in nanoseconds since 1970: the time a file takes when
// it is made there (a clock probe, made and removed again at once). Lock times are
// stamped by the same clock, so an age measured against it holds whatever the clocks of
// the computers that share the folder say. None, with the system's text in *why, when
// the folder takes no file.
std::optional<qint64> UploadFolderNow(const filetree::FileSystem& fs, filetree::Folder& upload, QString* why);

// Whether the probe name in folder is this computer's, whole as a probe is made (its own
// files only, nothing followed) and made olderThan seconds ago or earlier by the folder's
// clock; otherwise why not. Removes it when remove is set and it is.
struct LeftoverProbe {
    bool removable = false;
    bool removed = false;
    QString why; // not removable, or its removal failed: why
};
LeftoverProbe LookAtLeftoverProbe(const QString& folder, const QByteArray& name, qint64 olderThan, bool remove);
