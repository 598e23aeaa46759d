#pragma once
// What only the user who runs the program may reach: a folder of their own, and the
// process at the other end of a local socket. The window's hand-over socket lives in
// such a folder and answers only the user's own processes.
#include <QString>

namespace useronly {

// The folder name inside parent, made with rights for its owner alone when it is
// missing. Returns its path when it is a real folder (no link) that belongs to this
// process's user and that nobody else may enter; otherwise the empty text, with the
// reason in *error.
QString privateFolder(const QString& parent, const QString& name, QString* error);

// Whether the process at the other end of a connected local socket runs as this
// process's user.
bool peerIsThisUser(qintptr socketDescriptor);

} // namespace useronly
