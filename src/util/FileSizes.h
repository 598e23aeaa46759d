#pragma once
// The sizes of what is selected: one file, or a whole folder tree.
#include <QString>

// Bytes of the regular file (or the file a link leads to) at path; 0 when there is none.
qint64 FileBytes(const QString& path);
// Bytes of every file below folder, hidden ones included, counted by the walk a copy
// makes (see CopyPlan). What cannot be listed counts 0; 0 when the folder is missing.
qint64 FolderBytes(const QString& folder);
