#include "platform/ProfileReader.h"

#include "platform/Cp1252.h"
#include "platform/Text.h"

#include <QFile>

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

QString unquote(const QString& v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// The lines of text: a line ends at CR, LF or CR LF, as the Windows reader has it. A
// file converted twice (CR CR LF) thus ends a line and then an empty one, rather than
// leaving a CR in a value.
QList<QStringView> lines(QStringView text)
{
    QList<QStringView> result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        result.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    result.append(text.mid(start));
    return result;
}

// A file saved by a modern editor may start with UTF-8's byte-order mark: it is then
// UTF-8 throughout. Any other file is Windows-1252.
QString decodeText(const QByteArray& content)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (content.startsWith(bom))
        return QString::fromUtf8(content.mid(bom.size()));
    return cp1252::decode(content);
}

} // namespace

std::optional<ProfileReader> ProfileReader::open(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromBytes(f.readAll());
}

ProfileReader ProfileReader::fromBytes(const QByteArray& content)
{
    ProfileReader r;
    const QString text = decodeText(content);
    QHash<QString, QString>* current = nullptr;
    bool skippingRepeat = false;
    for (QStringView line : lines(text)) {
        const QString trimmed = trimBlanks(line);
        if (trimmed.isEmpty() || trimmed.front() == u';')
            continue;
        if (trimmed.front() == u'[') {
            const qsizetype close = trimmed.indexOf(u']');
            const QString name = asciiUpper(trimBlanks(QStringView(trimmed).mid(1, close < 0 ? -1 : close - 1)));
            skippingRepeat = r.m_sections.contains(name); // of a repeated section only the first counts
            current = skippingRepeat ? nullptr : &r.m_sections[name];
            continue;
        }
        if (!current || skippingRepeat)
            continue; // lines before the first section, or in a repeated section
        const qsizetype eq = trimmed.indexOf(u'=');
        if (eq < 0)
            continue; // a line without '=' is no key
        const QString key = asciiUpper(trimBlanks(QStringView(trimmed).left(eq)));
        if (current->contains(key))
            continue; // the first occurrence wins
        current->insert(key, unquote(trimBlanks(QStringView(trimmed).mid(eq + 1))));
    }
    return r;
}

std::optional<QString> ProfileReader::find(const QString& section, const QString& key) const
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
    return find(section, key).value_or(defaultValue);
}

int ProfileReader::readInt(const QString& section, const QString& key, int defaultValue) const
{
    const auto v = find(section, key);
    if (!v || v->isEmpty())
        return defaultValue;
    return profileInteger(*v);
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
    int base = 10;
    if (i + 1 < value.size() && value[i] == u'0' && (value[i + 1] == u'x' || value[i + 1] == u'X')) {
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
