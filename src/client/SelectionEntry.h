#pragma once
// One entry of the drop zone: a file or a folder, by its path in the system's bytes.
// Made from a path as ArgumentsOf gives it: bytes that are no valid text stay bytes.
// The drop zone shows a text made from it (a folder's path, one blank and the folder
// marker of the language active when it was added), but that text is only how the
// entry looks: it is never read back, so a file whose name ends like a marker is
// still sent as that file.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct SelectionEntry {
    QByteArray path;   // as the system names it
    bool isFolder = false;
    QString marker;    // a folder's marker, shown after its path

    static SelectionEntry file(const QString& path);
    static SelectionEntry folder(const QString& path, const QString& marker);
    // What the drop zone shows: the path, and for a folder one blank and its marker.
    QString text() const;
    bool operator==(const SelectionEntry&) const = default;
};

QStringList SelectionTexts(const QList<SelectionEntry>& entries);
