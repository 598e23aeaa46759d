#pragma once
// What only the user who runs the program may reach: a folder of their own, a file of
// their own, and the process at the other end of a local socket. The window's hand-over
// socket lives in such a folder and answers only the user's own processes.
#include <QString>

namespace useronly {

// What stands at a path, looked at without following a link. Other: a link, anything
// but a plain file, or a plain file that has another name as well (a hard link).
enum class Entry { Missing, PlainFile, Other };
Entry entryAt(const QString& path);

// Makes path a plain file only its owner may read and write (made so when missing; its
// rights set when they are others), never through a link: PlainFile then. Other, left
// as it is, when a link or the like stands there; Missing, with the reason in *error,
// when it cannot be made or its rights cannot be set.
Entry makePrivateFile(const QString& path, QString* error);

// The folder name inside parent, made with rights for its owner alone when it is
// missing. Returns its path when it is a real folder (no link) that belongs to this
// process's user and that nobody else may enter; otherwise the empty text, with the
// reason in *error.
QString privateFolder(const QString& parent, const QString& name, QString* error);

// Whether the process at the other end of a connected local socket runs as this
// process's user.
bool peerIsThisUser(qintptr socketDescriptor);

} // namespace useronly
