#include "client/SelectionEntry.h"

#include "platform/Arguments.h"

#include <QFile>

SelectionEntry SelectionEntry::file(const QString& path)
{
    return {ArgumentBytes(path), false, QString()};
}

SelectionEntry SelectionEntry::folder(const QString& path, const QString& marker)
{
    return {ArgumentBytes(path), true, marker};
}

QString SelectionEntry::text() const
{
    const QString shown = QFile::decodeName(path);
    return isFolder ? shown + u' ' + marker : shown;
}

QStringList SelectionTexts(const QList<SelectionEntry>& entries)
{
    QStringList texts;
    texts.reserve(entries.size());
    for (const SelectionEntry& e : entries)
        texts.append(e.text());
    return texts;
}
