#include "selection/SelectionEntry.h"

#include "i18n/LanguageTexts.h"
#include "platform/Text.h"

QString MakeFolderEntry(const QString& folderPath, const QString& marker)
{
    return folderPath + u' ' + marker;
}

SelectionEntry ReadSelectionEntry(const QString& entry)
{
    // The markers are found without regard to ASCII case, but the path is cut from the
    // entry's own text: the file system may tell "Data" from "DATA".
    const QString upper = asciiUpper(entry);
    for (const QString& marker : LanguageTexts::allFolderMarkers()) {
        if (upper.contains(asciiUpper(marker)))
            return {true, leftChars(entry, int(entry.size() - marker.size() - 1))};
    }
    return {false, entry};
}

QStringList SelectionSources(const QStringList& entries)
{
    QStringList sources;
    sources.reserve(entries.size());
    for (const QString& entry : entries)
        sources.append(ReadSelectionEntry(entry).path);
    return sources;
}
