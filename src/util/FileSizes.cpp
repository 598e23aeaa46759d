// The sizes of what is selected: one file, or a whole folder tree.
#include "util/FileSizes.h"

#include "platform/FileTree.h"
#include "util/CopyPlan.h"

#include <QFile>

qint64 FileBytes(const QString& path)
{
    // A regular file, or a link to one, counts whatever its time stamp says.
    const filetree::Status s = filetree::native().status(QFile::encodeName(path));
    return s.kind == filetree::Kind::File ? s.size : 0;
}

qint64 FolderBytes(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (filetree::native().status(path).kind != filetree::Kind::Folder)
        return 0;
    // The same walk the copy makes, so the size counted is the size copied.
    return MakeCopyPlan(filetree::native(), {{path, true}}, QByteArray()).bytes;
}
