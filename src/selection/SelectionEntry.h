#pragma once
// The drop zone's entries: a file's full path, or a folder's full path, one blank and
// the folder marker of the language active when it was added.
#include <QString>
#include <QStringList>

QString MakeFolderEntry(const QString& folderPath, const QString& marker);

// The reading rule for every consumer: an entry whose text contains any of the five
// markers (ASCII case ignored) is a folder entry; its path is the entry less its last
// (marker length + 1) characters, in the entry's own case.
struct SelectionEntry {
    bool isFolder = false;
    QString path;
};
SelectionEntry ReadSelectionEntry(const QString& entry);

// The copy sources of a selection, in order.
QStringList SelectionSources(const QStringList& entries);
