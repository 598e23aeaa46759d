#include "platform/ProfileReader.h"

#include "platform/Cp1252.h"
#include "platform/Text.h"

#include <QStringDecoder>

namespace {

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && ProfileReader::isBlank(s[b]))
        ++b;
    while (e > b && ProfileReader::isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// A name or a value ends at a NUL, as the Windows reader keeps them as C strings: the
// ']' and the '=' are looked for on the whole line, the text after a NUL is lost.
QStringView beforeNul(QStringView s)
{
    const qsizetype nul = s.indexOf(QChar(0));
    return nul < 0 ? s : s.first(nul);
}

QString unquote(QStringView v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2).toString();
    return v.toString();
}

// The file's text and how it is encoded. Windows-1252 unless a byte-order mark says
// otherwise: UTF-8 from a modern editor, UTF-16 from Notepad's "Unicode" (little-endian)
// and "Unicode big endian". Reading both UTF-16 forms is verified on Wine, not on
// Windows.
QString decodeText(const QByteArray& content, ProfileReader::Encoding* encoding)
{
    using Encoding = ProfileReader::Encoding;
    const auto decodeAs = [&](QStringConverter::Encoding e, qsizetype bomSize) {
        QStringDecoder decoder(e, QStringConverter::Flag::Stateless);
        return QString(decoder.decode(QByteArrayView(content).sliced(bomSize)));
    };
    if (content.startsWith("\xEF\xBB\xBF")) {
        *encoding = Encoding::Utf8;
        return decodeAs(QStringConverter::Utf8, 3);
    }
    if (content.startsWith("\xFF\xFE")) {
        *encoding = Encoding::Utf16LE;
        return decodeAs(QStringConverter::Utf16LE, 2);
    }
    if (content.startsWith("\xFE\xFF")) {
        *encoding = Encoding::Utf16BE;
        return decodeAs(QStringConverter::Utf16BE, 2);
    }
    *encoding = Encoding::Windows1252;
    return cp1252::decode(content);
}

} // namespace

bool ProfileReader::isBlank(QChar c)
{
    // Space and tab, and the other characters the C library counts as white space
    // within a line (vertical tab, form feed), and Ctrl-Z, the end-of-file mark that
    // old editors and copy commands leave after the last line. Trimming the last
    // three is verified on Wine, not on Windows.
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\v':
    case u'\f':
    case 0x1A:
        return true;
    default:
        return false;
    }
}

ProfileReader ProfileReader::fromBytes(const QByteArray& content, bool keepLines)
{
    ProfileReader r;
    const QString text = decodeText(content, &r.m_encoding);
    QString sectionKey;         // upper-cased
    QString sectionAsWritten;   // for the report
    QHash<QString, Value>* current = nullptr;
    bool inRepeat = false;
    const auto keep = [&](int number, Line::Kind kind, QStringView trimmed, QString key = {}, QString value = {}) {
        if (keepLines)
            r.m_lines.append({number, kind, trimmed.toString(), sectionAsWritten, std::move(key), std::move(value)});
    };

    // A line ends at CR, LF or CR LF, as the Windows reader has it. A file converted
    // twice (CR CR LF) thus ends a line and then an empty one, rather than leaving a
    // CR in a value.
    int number = 0;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        qsizetype next = end + 1;
        if (end + 1 < size && text[end] == u'\r' && text[end + 1] == u'\n') {
            ++r.m_crlf;
            next = end + 2;
        } else if (end < size) {
            ++(text[end] == u'\r' ? r.m_cr : r.m_lf);
        }
        ++number;
        const QStringView trimmed = trimBlanks(QStringView(text).sliced(start, end - start));
        start = next;

        if (trimmed.isEmpty() || trimmed.front() == u';')
            continue;
        if (trimmed.front() == u'[') {
            // A header is a '[' and a ']' after it; the name ends at the last ']' on
            // the line, so "[a]b]" names "a]b". A line without ']' is no header: the
            // keys after it still belong to the section before. Both verified on Wine,
            // not on Windows.
            const qsizetype close = trimmed.lastIndexOf(u']');
            if (close > 0) {
                sectionAsWritten = trimBlanks(beforeNul(trimmed.sliced(1, close - 1))).toString();
                sectionKey = asciiUpper(sectionAsWritten);
                inRepeat = r.m_sections.contains(sectionKey); // of a repeated section only the first counts
                current = inRepeat ? nullptr : &r.m_sections[sectionKey];
                keep(number, inRepeat ? Line::Kind::RepeatedSection : Line::Kind::Section, trimmed);
                continue;
            }
            if (!trimmed.contains(u'=')) {
                keep(number, Line::Kind::Unbracketed, trimmed);
                continue;
            }
        }
        const qsizetype eq = trimmed.indexOf(u'=');
        if (!current && !inRepeat) {
            keep(number, Line::Kind::BeforeSection, trimmed);
            continue;
        }
        if (eq < 0) {
            keep(number, Line::Kind::NoEquals, trimmed);
            continue;
        }
        const QString key = trimBlanks(beforeNul(trimmed.left(eq))).toString();
        QString value = unquote(trimBlanks(beforeNul(trimmed.sliced(eq + 1))));
        if (inRepeat) {
            keep(number, Line::Kind::InRepeatedSection, trimmed, key, std::move(value));
            continue;
        }
        const QString upperKey = asciiUpper(key);
        if (current->contains(upperKey)) {
            keep(number, Line::Kind::RepeatedKey, trimmed, key, std::move(value));
            continue;
        }
        current->insert(upperKey, {value, number});
        keep(number, Line::Kind::Key, trimmed, key, std::move(value));
    }
    r.m_lineCount = number;
    return r;
}

std::optional<ProfileReader::Value> ProfileReader::find(const QString& section, const QString& key) const
{
    const auto s = m_sections.constFind(asciiUpper(section));
    if (s == m_sections.constEnd())
        return std::nullopt;
    const auto k = s->constFind(asciiUpper(key));
    if (k == s->constEnd())
        return std::nullopt;
    return *k;
}

QString ProfileReader::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const auto v = find(section, key);
    return v ? v->text : defaultValue;
}

int ProfileReader::readInt(const QString& section, const QString& key, int defaultValue) const
{
    const auto v = find(section, key);
    if (!v || v->text.isEmpty())
        return defaultValue;
    return profileInteger(v->text);
}

int ProfileReader::profileInteger(const QString& value)
{
    qsizetype i = 0;
    while (i < value.size() && isBlank(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+')) {
        negative = value[i] == u'-';
        ++i;
    }
    // Only a lower-case "0x" starts a hexadecimal number: "0X1F" is 0. Verified on
    // Wine, not on Windows.
    int base = 10;
    if (i + 1 < value.size() && value[i] == u'0' && value[i + 1] == u'x') {
        base = 16;
        i += 2;
    }
    quint32 result = 0; // wraps like the 32-bit original on overlong input
    for (; i < value.size(); ++i) {
        const int digit = asciiDigit(value[i], base);
        if (digit < 0)
            break;
        result = result * quint32(base) + quint32(digit);
    }
    return int(negative ? 0u - result : result);
}
