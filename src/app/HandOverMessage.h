#pragma once
// The message a later start of the window program sends to the one already running:
// the files and folders it was given, as absolute paths. The running window takes
// nothing else from it; anything that is not exactly such a message is dropped.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace handover {

// The most a message may carry: far more paths than a file manager hands over at once.
constexpr qsizetype kMaxPayload = 1024 * 1024;
// A whole message at most: its head (a mark and the payload's length) and the payload.
constexpr qsizetype kMaxMessage = 12 + kMaxPayload;

// What a later start puts into one message: the window reads a message at once, and
// one this size takes it a few milliseconds.
constexpr qsizetype kPayloadSent = 128 * 1024;

// The messages for paths (absolute, as PathsFromArguments makes them): as many as it
// takes, each within kPayloadSent unless one path is longer, the paths in their order.
// Each path goes as the system's bytes, so a name that is no valid text arrives as itself.
QList<QByteArray> encodeAll(const QStringList& paths);

enum class Reading {
    Incomplete, // a well-formed start; more bytes are to come
    Complete,   // one whole message: *paths holds its paths
    Malformed,  // anything else; the connection is to be dropped
};
// Reads what has arrived on a connection so far.
Reading decode(const QByteArray& received, QStringList* paths);

// The window program's arguments (without the program's name) as absolute paths, taken
// from folder where they are relative: the running window has a current folder of its
// own. "." and ".." and a trailing separator are resolved in the text, as the
// command-line tool does; an empty argument names nothing and is left out.
QStringList PathsFromArguments(const QStringList& arguments, const QString& folder);

} // namespace handover
