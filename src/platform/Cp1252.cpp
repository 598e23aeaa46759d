#include "platform/Cp1252.h"

#include <QList>

#include <array>

// Hand-written rather than QStringEncoder("windows-1252"): the library's converter
// replaces an unmappable character with 0x1A (SUB), and the files we write must carry
// '?' there, exactly as the Windows conversion does.
namespace {

// Bytes 0x80-0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byteFor(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] == 0)
        return int(c); // the five undefined bytes pass through, as Windows maps them
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

namespace cp1252 {

QByteArray encode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        const int b = byteFor(c);
        out.append(b < 0 ? '?' : char(b));
    }
    return out;
}

QString decode(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            out.append(QChar(kHigh[b - 0x80] ? kHigh[b - 0x80] : char16_t(b)));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

bool canEncode(const QString& text, QString* firstBad)
{
    for (char32_t c : text.toUcs4()) {
        if (byteFor(c) < 0) {
            if (firstBad)
                *firstBad = QString::fromUcs4(&c, 1);
            return false;
        }
    }
    return true;
}

} // namespace cp1252
