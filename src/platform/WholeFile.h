#pragma once
// Writing a file's whole content so that a full disk is an error, never a shorter file.
// Qt's buffered write takes a short write by the system (the disk filled part way) for
// success; these write unbuffered and keep going until every byte is down or the
// system names its reason ("No space left on device").
#include <QByteArray>
#include <QString>

class QFileDevice;

// Writes all of bytes to file, which must be open with QIODevice::Unbuffered. Throws
// IoError with the system's text and path.
void writeWhole(QFileDevice& file, const QByteArray& bytes, const QString& path);

// Replaces the file at path with bytes as one step: the old content stays until the
// new one is completely written (a temporary file renamed over it). Throws IoError.
void replaceWhole(const QString& path, const QByteArray& bytes);
