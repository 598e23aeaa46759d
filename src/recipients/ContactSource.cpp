#include "recipients/ContactSource.h"

#include "client/ClientForm.h"
#include "client/ClientState.h"
#include "platform/Cp1252.h"
#include "platform/Errors.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>

namespace {

// The text of a property value: the escapes \\ \, \; \: become the character, \n and
// \N a blank (an entry in a list has one line).
QString unescape(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw[++i];
        out += (next == u'n' || next == u'N') ? QChar(u' ') : next;
    }
    return out;
}

// Splits a raw value at every sep that no backslash escapes.
QStringList splitUnescaped(const QString& raw, QChar sep)
{
    QStringList parts(1);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\\' && i + 1 < raw.size()) {
            parts.last() += c;
            parts.last() += raw[++i];
        } else if (c == sep) {
            parts.append(QString());
        } else {
            parts.last() += c;
        }
    }
    return parts;
}

// A structured name (family; given; additional; prefixes; suffixes) as it is spoken:
// prefixes, given, additional, family, suffixes, each part's values separated by blanks.
QString nameFromN(const QString& raw)
{
    const QStringList parts = splitUnescaped(raw, u';');
    QStringList words;
    for (const int i : {3, 1, 2, 0, 4}) {
        for (const QString& value : splitUnescaped(parts.value(i), u',')) {
            const QString word = unescape(value).trimmed();
            if (!word.isEmpty())
                words.append(word);
        }
    }
    return words.join(u' ');
}

struct Card {
    std::optional<QString> fn, n, email;

    Contact contact() const
    {
        const QString full = fn.value_or(QString());
        return {full.isEmpty() ? nameFromN(n.value_or(QString())) : full, email.value_or(QString())};
    }
};

// Where the name of a content line ends: the first colon outside double quotes (a
// parameter value may hold a quoted colon).
qsizetype valueColon(const QString& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u':' && !quoted)
            return i;
    }
    return -1;
}

// UTF-16 after its byte-order mark (address books saved on Windows often are); UTF-8
// when the bytes are valid UTF-8 (a byte-order mark is dropped); otherwise Windows-1252.
QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.startsWith("\xFF\xFE");
        QStringDecoder utf16(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                             QStringConverter::Flag::Stateless);
        return utf16.decode(bytes.mid(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? cp1252::decode(bytes) : text;
}

// The logical lines of a vCard: a physical line that starts with a blank or a tab
// continues the one before it, less that first character.
QStringList unfold(const QString& text)
{
    QStringList lines;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!lines.isEmpty() && (line.startsWith(u' ') || line.startsWith(u'\t')))
            lines.last() += QStringView(line).mid(1);
        else
            lines.append(line);
    }
    return lines;
}

// The cards of a text, in order; a card cut off by the end of the text counts when
// the text is the whole file (a missing last END), not when reading stopped early.
QList<Contact> parseCards(const QString& text, bool wholeFile)
{
    QList<Contact> contacts;
    std::optional<Card> card;
    for (const QString& line : unfold(text)) {
        const qsizetype colon = valueColon(line);
        if (colon < 0)
            continue;
        const QString head = line.left(colon);
        QString name = asciiUpper(head.left(head.indexOf(u';')));
        name = name.mid(name.lastIndexOf(u'.') + 1); // "item1.EMAIL" is an EMAIL
        const QString value = line.mid(colon + 1);
        if (name == QLatin1String("BEGIN") && asciiUpper(value.trimmed()) == QLatin1String("VCARD")) {
            if (card) // the card before lacked its END
                contacts.append(card->contact());
            card.emplace();
        } else if (!card) {
            continue;
        } else if (name == QLatin1String("END") && asciiUpper(value.trimmed()) == QLatin1String("VCARD")) {
            contacts.append(card->contact());
            card.reset();
        } else if (name == QLatin1String("FN") && !card->fn) {
            card->fn = unescape(value).trimmed();
        } else if (name == QLatin1String("N") && !card->n) {
            card->n = value;
        } else if (name == QLatin1String("EMAIL") && !card->email) {
            card->email = unescape(value).trimmed();
        }
    }
    if (card && wholeFile)
        contacts.append(card->contact());
    return contacts;
}

} // namespace

QString Contact::entryText() const { return fullName + QStringLiteral(" <") + email + u'>'; }

ContactSource ContactSource::forUser(const ClientState& state)
{
    return ContactSource(state.UserDataFolder + QStringLiteral("contacts.vcf"));
}

ContactReading ContactSource::read() const
{
    ContactReading result;
    const QFileInfo info(m_path);
    // A pipe or a device would block or never end; only a file is an address book.
    if (info.exists() && !info.isFile()) {
        result.error = IoError(m_path, QStringLiteral("Not a regular file")).message();
        return result;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = IoError(m_path, file.errorString()).message();
        return result;
    }
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    // A read that fails part way keeps what came before, like a bound reached.
    const QString readError =
        file.error() == QFileDevice::NoError ? QString() : IoError(m_path, file.errorString()).message();

    // Only whole lines within both bounds are read; the first bound reached is the
    // one reported.
    const bool tooLarge = bytes.size() > kMaxFileBytes;
    const bool cutShort = tooLarge || !readError.isEmpty();
    const qsizetype limit = qMin<qsizetype>(bytes.size(), kMaxFileBytes);
    qsizetype start = 0;
    for (int lineNo = 1; start < limit; ++lineNo) {
        qsizetype lf = bytes.indexOf('\n', start);
        const bool cut = lf < 0 || lf >= limit;
        if (cut)
            lf = limit;
        qsizetype length = lf - start;
        if (length > 0 && bytes[start + length - 1] == '\r')
            --length;
        if (length > kMaxLineBytes) {
            result.error = QStringLiteral("%1, line %2: the line is longer than %3 KiB; the contacts from there on "
                                          "were not read.")
                               .arg(m_path, QString::number(lineNo), QString::number(kMaxLineBytes / 1024));
            break;
        }
        if (cut && cutShort)
            break; // the end of what was read cuts this line
        start = lf + 1;
    }
    if (result.error.isEmpty() && !readError.isEmpty()) {
        result.error = readError;
    } else if (result.error.isEmpty() && tooLarge) {
        result.error = QStringLiteral("%1: the file is larger than %2 MiB; the contacts after its first %2 MiB "
                                      "were not read.")
                           .arg(m_path, QString::number(kMaxFileBytes / (1024 * 1024)));
    }
    const qsizetype end = result.error.isEmpty() ? bytes.size() : start;
    bytes.truncate(end);
    result.contacts = parseCards(decode(bytes), result.error.isEmpty());
    return result;
}

void AddPickedRecipients(ClientForm& form, const QStringList& addresses)
{
    for (const QString& address : addresses) {
        if (!address.isEmpty())
            form.appendRecipient(address);
    }
}
