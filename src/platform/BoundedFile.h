#pragma once
// Reading a file whose kind and size are known before its first byte is read. What is
// not a plain file is not even opened (a pipe cannot hang the reader, a device is not
// touched); a plain file's kind and size are taken again from the opened handle, so
// nothing swapped in between counts; and a huge file is refused instead of filling
// the memory.
#include <QByteArray>
#include <QString>
#include <memory>

class QFile;

class BoundedFile {
public:
    // Looks at path and opens it for reading when it is a plain file. Throws IoError
    // with the system's text when it cannot.
    explicit BoundedFile(const QString& path);
    ~BoundedFile();
    BoundedFile(const BoundedFile&) = delete;
    BoundedFile& operator=(const BoundedFile&) = delete;

    // A plain file (not a folder, pipe, device or socket).
    bool isRegular() const { return m_regular; }
    // Its size in bytes when it was opened (only meaningful for a plain file).
    qint64 size() const { return m_size; }
    // Why a file that is not plain cannot be read: "Is a directory" or "Not a regular file".
    QString notRegularText() const;

    // The content of a plain file, at most size() bytes. Throws IoError with the
    // system's text when a read fails, and for anything that is not a plain file.
    QByteArray readAll();

    // The whole content of the plain file at path, which may hold at most maxBytes.
    // Throws IoError: the system's text, "Not a regular file" or "File too large".
    static QByteArray read(const QString& path, qint64 maxBytes);

private:
    QString m_path;
    int m_fd = -1;                 // POSIX systems
    std::unique_ptr<QFile> m_file; // elsewhere
    bool m_regular = false;
    bool m_isFolder = false;
    qint64 m_size = 0;
};
