#pragma once
// The engine behind ShellCopy, with the file-system implementation to use.
#include "util/ak7.h"

namespace filetree {
class FileSystem;
}

// ShellCopy on the given file system (native, or the portable one in tests).
void CopyTrees(const filetree::FileSystem& fs, const QStringList& sources, const QString& dest,
               const CopyObserver& observer);

// The first name of the form "name", "name (2)", "name (3)"... for which taken()
// answers false; a file's extension stays at the end ("report (2).doc").
QString FreeName(const QString& name, bool isFile, const std::function<bool(const QString&)>& taken);
