#include "platform/Text.h"

#include "platform/Errors.h"

#include <QDir>

#include <limits>

QString asciiUpper(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

int asciiDigit(QChar c, int base)
{
    const char16_t u = c.unicode();
    int digit = -1;
    if (u >= u'0' && u <= u'9')
        digit = u - u'0';
    else if (u >= u'a' && u <= u'z')
        digit = u - u'a' + 10;
    else if (u >= u'A' && u <= u'Z')
        digit = u - u'A' + 10;
    return digit < base ? digit : -1;
}

qint32 toInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    }
    if (i >= text.size())
        throw ConversionError(text);
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = asciiDigit(text[i], base);
        if (digit < 0)
            throw ConversionError(text);
        value = value * base + digit;
        if (value > qint64(0xFFFFFFFFLL) + 1)
            throw ConversionError(text);
    }
    if (base == 16 && !negative && value <= 0xFFFFFFFFLL)
        return qint32(quint32(value)); // hex spells the 32-bit pattern
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw ConversionError(text);
    return qint32(value);
}

QString leftChars(const QString& text, int n)
{
    return n <= 0 ? QString() : text.left(n);
}

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString escapedControls(const QString& text, Escaping how)
{
    const bool field = how != Escaping::Lines;
    const bool doubled = how == Escaping::Field || (how == Escaping::Path && QDir::separator() != u'\\');
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' && doubled)
            out += QStringLiteral("\\\\");
        else if (!isControl(c) || (!field && (u == u'\n' || u == u'\t')))
            out += c;
        else if (u == 0x1B)
            out += QStringLiteral("\\e");
        else if (u == u'\n')
            out += QStringLiteral("\\n");
        else if (u == u'\r')
            out += QStringLiteral("\\r");
        else if (u == u'\t')
            out += QStringLiteral("\\t");
        else if (u <= 0x7F)
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
    }
    return out;
}

qsizetype firstControl(const QString& text, bool allowTab)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isControl(text[i]) && !(allowTab && text[i] == u'\t'))
            return i;
    return -1;
}

QString controlText(QChar c)
{
    const char16_t u = c.unicode();
    const char* name = u == u'\n'   ? "a line break"
                       : u == u'\r' ? "a carriage return"
                       : u == u'\t' ? "a tab"
                       : u == 0     ? "a NUL character"
                       : u == 0x1B  ? "an escape character"
                       : u == 0x07  ? "a bell character"
                       : u == 0x7F  ? "a delete character"
                                    : "a control character";
    return QStringLiteral("%1 (U+%2)").arg(QLatin1String(name), QString::number(int(u), 16).toUpper().rightJustified(4, u'0'));
}
