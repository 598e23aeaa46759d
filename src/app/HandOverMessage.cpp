#include "app/HandOverMessage.h"

#include "platform/Arguments.h"

#include <QDir>
#include <QtEndian>

namespace handover {

namespace {
// "PVXOPEN1", the length of what follows (32 bits, big-endian), then each path in
// UTF-8 followed by a zero byte.
constexpr char kMagic[] = "PVXOPEN1";
constexpr qsizetype kMagicSize = sizeof kMagic - 1;
constexpr qsizetype kHeaderSize = kMagicSize + 4;
static_assert(kMaxMessage == kHeaderSize + kMaxPayload);

QByteArray messageOf(const QByteArray& payload)
{
    QByteArray message(kMagic, kMagicSize);
    char length[4];
    qToBigEndian(quint32(payload.size()), length);
    message.append(length, 4);
    return message + payload;
}
} // namespace

QList<QByteArray> encodeAll(const QStringList& paths)
{
    QList<QByteArray> messages;
    QByteArray payload;
    for (const QString& path : paths) {
        const QByteArray bytes = ArgumentBytes(path) + '\0';
        if (!payload.isEmpty() && payload.size() + bytes.size() > kPayloadSent)
            messages.append(messageOf(std::exchange(payload, {})));
        payload += bytes;
    }
    messages.append(messageOf(payload));
    return messages;
}

Reading decode(const QByteArray& received, QStringList* paths)
{
    const QByteArray magic(kMagic, kMagicSize);
    if (received.size() < kHeaderSize)
        return magic.startsWith(received.left(kMagicSize)) ? Reading::Incomplete : Reading::Malformed;
    if (!received.startsWith(magic))
        return Reading::Malformed;
    const quint32 length = qFromBigEndian<quint32>(received.constData() + kMagicSize);
    if (length > quint32(kMaxPayload))
        return Reading::Malformed;
    const qsizetype total = kHeaderSize + qsizetype(length);
    if (received.size() < total)
        return Reading::Incomplete;
    if (received.size() > total)
        return Reading::Malformed; // one message per connection
    const QByteArray payload = received.mid(kHeaderSize);
    if (!payload.isEmpty() && !payload.endsWith('\0'))
        return Reading::Malformed;

    QStringList result;
    qsizetype start = 0;
    while (start < payload.size()) {
        const qsizetype end = payload.indexOf('\0', start);
        const QByteArray bytes = payload.mid(start, end - start);
        start = end + 1;
        const QString path = ArgumentText(bytes);
        if (bytes.isEmpty() || !QDir::isAbsolutePath(path))
            return Reading::Malformed;
        result.append(path);
    }
    *paths = result;
    return Reading::Complete;
}

QStringList PathsFromArguments(const QStringList& arguments, const QString& folder)
{
    QStringList paths;
    const QDir base(folder);
    for (const QString& argument : arguments) {
        if (!argument.isEmpty())
            paths.append(QDir::cleanPath(base.absoluteFilePath(argument)));
    }
    return paths;
}

} // namespace handover
