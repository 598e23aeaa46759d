#pragma once
// The sizes of what is selected: one file, or a whole folder tree.
#include <QString>

// Bytes of the regular file (or the file a link leads to) at path; 0 when there is none.
qint64 FileBytes(const QString& path);
// Bytes of every file below folder, hidden ones included; links are followed, but a
// folder already on the walk's way down (a link cycle) is not entered again. 0 when
// the folder is missing or cannot be listed.
qint64 FolderBytes(const QString& folder);
