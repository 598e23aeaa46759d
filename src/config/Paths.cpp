#include "config/Paths.h"

#include <QDir>

#include <algorithm>

QString WithTrailingSeparator(const QString& text)
{
    if (text.endsWith(u'/') || text.endsWith(QDir::separator()))
        return text;
    return text + QDir::separator();
}

QString PolicyFilePathFor(const QString& programPath)
{
    const qsizetype nameStart = std::max(programPath.lastIndexOf(u'/'), programPath.lastIndexOf(QDir::separator())) + 1;
    const qsizetype dot = programPath.lastIndexOf(u'.');
    // A dot that opens the file name (".hidden") starts no extension.
    if (dot > nameStart)
        return programPath.left(dot) + QStringLiteral(".INI");
    return programPath + QStringLiteral(".INI");
}
