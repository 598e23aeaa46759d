#include "platform/UserRegistry.h"

#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QSet>

#include <optional>

// Off Windows the store is a small text file of NAME=value lines under one [PVX2007]
// heading, in UTF-8, with backslash escapes for '\\', CR and LF. It is replaced as a
// whole (write a temporary file, then rename it over the old one) so that a crash
// or a full disk never leaves a half-written store, and failures carry the system's
// text. QSettings would do the rename too, but it reports no system text and keeps
// an in-process cache, which breaks the "every call opens and closes" rule.
namespace {

using Values = QList<QPair<QString, QString>>;

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

// One name's value, as load() would find it, without making text of the other lines:
// every start reads a dozen values, each with the store opened afresh. Upper-casing
// touches only the ASCII letters, so comparing UTF-8 bytes that way is the same rule.
std::optional<QString> findValue(const QByteArray& data, const QByteArray& wanted)
{
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        const QByteArrayView line(data.constData() + start, end - start);
        start = end + 1;
        if (line.startsWith('['))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq != wanted.size())
            continue;
        bool same = true;
        for (qsizetype i = 0; i < eq && same; ++i)
            same = upperAscii(line[i]) == wanted[i];
        if (!same)
            continue;
        QByteArrayView value = line.sliced(eq + 1);
        if (value.endsWith('\r'))
            value.chop(1);
        return unescape(QString::fromUtf8(value));
    }
    return std::nullopt;
}

Values load(const QString& path, bool* exists = nullptr)
{
    Values values;
    const QString text = QString::fromUtf8(readStore(path, exists));
    // One pass over the file; the first value of a name counts (a set of the names
    // seen keeps a large store from taking time by the square of its size).
    QSet<QString> seen;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype eq = line.indexOf(u'=');
        if (line.startsWith(u'[') || eq <= 0)
            continue;
        QString name = asciiUpper(line.left(eq).toString());
        if (seen.contains(name))
            continue;
        seen.insert(name);
        values.append({std::move(name), unescape(line.mid(eq + 1))});
    }
    return values;
}

} // namespace

UserRegistry::UserRegistry(QString filePath) : m_path(filePath.isEmpty() ? defaultPath() : std::move(filePath)) {}

QString UserRegistry::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/TROVIK/PVX2007.ini");
}

bool UserRegistry::keyExists() const
{
    return QFileInfo(m_path).isFile();
}

QString UserRegistry::read(const QString& name) const
{
    const QString wanted = asciiUpper(name);
    return findValue(readStore(m_path), wanted.toUtf8()).value_or(QString());
}

void UserRegistry::write(const QString& name, const QString& text) const
{
    Values values = load(m_path);
    const QString key = asciiUpper(name);
    bool found = false;
    bool changed = false;
    for (auto& v : values) {
        if (v.first == key) {
            changed = changed || v.second != text;
            v.second = text;
            found = true;
        }
    }
    if (!found) {
        values.append({key, text});
        changed = true;
    }
    // A value the store already holds costs a flush to disk and changes nothing; every
    // start writes back the skip-welcome choice it has just read.
    if (!changed)
        return;

    const QString dir = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(dir))
        throw IoError(dir, QStringLiteral("Cannot create the folder"));
    QByteArray out = "[PVX2007]\n";
    for (const auto& v : values)
        out += v.first.toUtf8() + '=' + escape(v.second).toUtf8() + '\n';
    replaceWhole(m_path, out);
}
