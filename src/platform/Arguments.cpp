#include "platform/Arguments.h"

#include "platform/Text.h"

#include <QFile>
#include <QStringDecoder>

namespace {
// Stand-ins for the bytes 0x80 to 0xFF: lone low surrogates, which no valid text holds.
constexpr char16_t kStandIn = 0xDC00;

bool isStandIn(QChar c)
{
    return c.unicode() >= kStandIn + 0x80 && c.unicode() <= kStandIn + 0xFF;
}
} // namespace

QString ArgumentText(const QByteArray& bytes)
{
    // One pass for the usual name; only one that is no valid text takes stand-ins.
    QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        text.clear();
        for (const char byte : bytes)
            text += (byte & 0x80) ? QChar(char16_t(kStandIn + quint8(byte))) : QChar(char16_t(byte));
    }
    return text;
}

#ifndef Q_OS_WIN // Windows has them as UTF-16 text: platform/windows/ArgumentsWindows.cpp
QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(ArgumentText(QByteArray(argv[i])));
    return arguments;
}

QString ArgumentOfUrl(const QUrl& url)
{
    // The name's own bytes, as the file manager percent-encoded them: decoding them
    // as text would turn a name that is no valid text into another name.
    return ArgumentText(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}
#endif

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

QString ArgumentShown(const QString& argument)
{
    QString shown;
    QString run;
    for (const QChar c : argument) {
        if (!isStandIn(c)) {
            run += c;
            continue;
        }
        shown += escapedControls(std::exchange(run, {}));
        shown += QStringLiteral("\\x") + QString::number(c.unicode() - kStandIn, 16).toUpper();
    }
    return shown + escapedControls(run);
}
