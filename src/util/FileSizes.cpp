// The sizes of what is selected: one file, or a whole folder tree.
#include "util/FileSizes.h"

#include "platform/FileTree.h"

qint64 FileBytes(const QString& path)
{
    // A regular file, or a link to one, counts whatever its time stamp says.
    const filetree::Entry e = filetree::native().examine(path);
    return e.kind == filetree::Kind::File ? e.size : 0;
}

qint64 FolderBytes(const QString& folder)
{
    // The same walk the copy makes, so the size counted is the size copied.
    return filetree::native().treeBytes(folder);
}
