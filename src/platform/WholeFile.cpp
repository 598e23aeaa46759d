#include "platform/WholeFile.h"

#include "platform/Errors.h"

#include <QSaveFile>

void writeWhole(QFileDevice& file, const QByteArray& bytes, const QString& path)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        // A short count means the system stopped part way; the next call either goes
        // on or fails with the reason, which is what the user gets to read.
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            throw IoError(path, file.errorString());
        done += n;
    }
}

void replaceWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw IoError(path, file.errorString());
    writeWhole(file, bytes, path);
    if (!file.commit())
        throw IoError(path, file.errorString());
}
