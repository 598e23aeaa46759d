#pragma once
// Silent removal of a file or a folder tree.
#include <QString>

// Removes a file, or a folder with everything in it, silently. True on success.
bool ShellDelete(const QString& path);
