#include "config/Paths.h"

#include "platform/Environment.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString WithTrailingSeparator(const QString& text)
{
    if (text.endsWith(u'/') || text.endsWith(QDir::separator()))
        return text;
    // The separator the path already uses: on Windows a path Qt made ("C:/Users/ann")
    // goes on with '/', one the user or the system wrote ("C:\Users\ann") with '\'.
    const QChar native = QDir::separator();
    return text + (text.lastIndexOf(u'/') > text.lastIndexOf(native) ? QChar(u'/') : native);
}

QString UserDataFolderPath()
{
    return WithTrailingSeparator(WithTrailingSeparator(environment::appData()) + QStringLiteral("Parvela"));
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

QString LocatePolicyFile(const QString& programPath)
{
    const QString systemFile = environment::systemPolicyFile();
    const QString beside = PolicyFilePathFor(programPath);
    if (!QFileInfo::exists(beside) && !systemFile.isEmpty() && QFileInfo::exists(systemFile))
        return systemFile;
    return beside;
}
