#include "platform/Arguments.h"

#include <QFile>

namespace {
// Stand-ins for the bytes 0x80 to 0xFF: lone low surrogates, which no valid text holds.
constexpr char16_t kStandIn = 0xDC00;

bool isStandIn(QChar c)
{
    return c.unicode() >= kStandIn + 0x80 && c.unicode() <= kStandIn + 0xFF;
}
} // namespace

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        QString text = QFile::decodeName(bytes);
        if (QFile::encodeName(text) != bytes) {
            text.clear();
            for (const char byte : bytes)
                text += (byte & 0x80) ? QChar(char16_t(kStandIn + quint8(byte))) : QChar(char16_t(byte));
        }
        arguments.append(text);
    }
    return arguments;
}

QByteArray ArgumentBytes(const QString& argument)
{
    QByteArray bytes;
    QString run;
    for (const QChar c : argument) {
        if (!isStandIn(c)) {
            run += c;
            continue;
        }
        bytes += QFile::encodeName(run);
        run.clear();
        bytes += char(c.unicode() - kStandIn);
    }
    return bytes + QFile::encodeName(run);
}
