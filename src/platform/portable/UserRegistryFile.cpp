#include "platform/portable/UserRegistryFile.h"

#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

// The store is a small text file of NAME=value lines under one [PVX2007]
// heading, in UTF-8, with backslash escapes for '\\', CR and LF. It is replaced as a
// whole (write a temporary file, then rename it over the old one) so that a crash
// or a full disk never leaves a half-written store, and failures carry the system's
// text. QSettings would do the rename too, but it reports no system text, keeps an
// in-process cache, which breaks the "every call opens and closes" rule, and rewrites
// lines it does not own.
namespace {

QString escape(const QString& v)
{
    QString out;
    out.reserve(v.size());
    for (QChar c : v) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescape(QStringView v)
{
    if (!v.contains(u'\\'))
        return v.toString();
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == u'\\' && i + 1 < v.size()) {
            const QChar n = v[++i];
            out += n == u'n' ? QChar(u'\n') : n == u'r' ? QChar(u'\r') : n;
        } else {
            out += v[i];
        }
    }
    return out;
}

// The whole file, or nothing when there is none. Throws IoError when the file exists
// but cannot be read.
QByteArray readStore(const QString& path, bool* exists = nullptr)
{
    QFile f(path);
    if (exists)
        *exists = f.exists();
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly))
        throw IoError(path, f.errorString());
    return f.readAll();
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Whether a line of the store holds the value of wanted (upper-cased UTF-8): the name
// before its first '=' is wanted in any letter case. Upper-casing touches only the
// ASCII letters, so comparing UTF-8 bytes that way is the same rule as for text.
bool isLineOf(QByteArrayView line, const QByteArray& wanted)
{
    if (line.startsWith('[') || line.indexOf('=') != wanted.size())
        return false;
    for (qsizetype i = 0; i < wanted.size(); ++i)
        if (upperAscii(line[i]) != wanted[i])
            return false;
    return true;
}

QString valueOf(QByteArrayView line)
{
    QByteArrayView value = line.sliced(line.indexOf('=') + 1);
    if (value.endsWith('\r'))
        value.chop(1);
    return unescape(QString::fromUtf8(value));
}

// One name's value without making text of the other lines: every start reads a dozen
// values, each with the store opened afresh. The first line of a name counts.
std::optional<QString> findValue(const QByteArray& data, const QByteArray& wanted)
{
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        const QByteArrayView line(data.constData() + start, end - start);
        start = end + 1;
        if (isLineOf(line, wanted))
            return valueOf(line);
    }
    return std::nullopt;
}

} // namespace

bool UserRegistryFile::keyExists() const
{
    return QFileInfo(m_path).isFile();
}

QString UserRegistryFile::read(const QString& name) const
{
    const QString wanted = asciiUpper(name);
    return findValue(readStore(m_path), wanted.toUtf8()).value_or(QString());
}

void UserRegistryFile::write(const QString& name, const QString& text) const
{
    bool exists = false;
    const QByteArray data = readStore(m_path, &exists);
    const QByteArray key = asciiUpper(name).toUtf8();
    const QByteArray newLine = key + '=' + escape(text).toUtf8();

    // The lines of this name are the write's own: the first takes the new value (a
    // line that holds it already stays as it is), later ones, which no read sees, go.
    // Every other line stays byte for byte, whatever it holds: other programs' keys,
    // bytes that are no UTF-8, comments, letter case and line ends.
    QByteArray out;
    out.reserve(data.size() + newLine.size() + 16);
    bool found = false;
    bool changed = false;
    QByteArrayView lastEnding("\n");
    for (qsizetype start = 0; start < data.size();) {
        const qsizetype lf = data.indexOf('\n', start);
        const qsizetype next = lf < 0 ? data.size() : lf + 1;
        const QByteArrayView whole(data.constData() + start, next - start);
        start = next;
        QByteArrayView line = whole;
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArrayView ending = whole.sliced(line.size());
        if (!ending.isEmpty())
            lastEnding = ending;
        if (!isLineOf(line, key)) {
            out += whole;
        } else if (found) {
            changed = true;
        } else {
            found = true;
            if (valueOf(line) == text) {
                out += whole;
            } else {
                out += newLine;
                out += ending;
                changed = true;
            }
        }
    }
    if (!found) {
        if (!exists || data.isEmpty())
            out = "[PVX2007]\n";
        else if (!out.endsWith('\n') && !out.endsWith('\r'))
            out += lastEnding;
        out += newLine;
        out += lastEnding;
        changed = true;
    }
    // A value the store already holds costs a flush to disk and changes nothing; every
    // start writes back the skip-welcome choice it has just read.
    if (!changed)
        return;

    const QString dir = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(dir))
        throw IoError(dir, QStringLiteral("Cannot create the folder"));
    replaceWhole(m_path, out);
}
