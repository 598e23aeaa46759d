#include "platform/BoundedFile.h"

#include "platform/Errors.h"

QString BoundedFile::notRegularText() const
{
    return m_isFolder ? QStringLiteral("Is a directory") : QStringLiteral("Not a regular file");
}

QByteArray BoundedFile::read(const QString& path, qint64 maxBytes)
{
    BoundedFile file(path);
    if (!file.isRegular())
        throw IoError(path, file.notRegularText());
    if (file.size() > maxBytes)
        throw IoError(path, QStringLiteral("File too large (%1 bytes, at most %2 are read)").arg(file.size()).arg(maxBytes));
    return file.readAll();
}
