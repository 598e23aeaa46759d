// Reading a bounded file through Qt's file classes, where the system offers nothing
// better.
#include "platform/BoundedFile.h"

#include "platform/Errors.h"

#include <QFile>
#include <QFileInfo>

BoundedFile::BoundedFile(const QString& path) : m_path(path), m_file(std::make_unique<QFile>(path))
{
    const QFileInfo info(path);
    if (!info.exists())
        throw IoError(path, QStringLiteral("No such file or directory"));
    m_regular = info.isFile();
    m_isFolder = info.isDir();
    m_size = m_regular ? info.size() : 0;
    if (m_regular && !m_file->open(QIODevice::ReadOnly))
        throw IoError(path, m_file->errorString());
}

BoundedFile::~BoundedFile() = default;

QByteArray BoundedFile::readAll()
{
    if (!m_regular)
        throw IoError(m_path, notRegularText());
    const QByteArray bytes = m_file->read(m_size);
    if (m_file->error() != QFileDevice::NoError)
        throw IoError(m_path, m_file->errorString());
    return bytes;
}
