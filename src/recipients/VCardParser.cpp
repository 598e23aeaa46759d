#include "recipients/VCardParser.h"

#include "platform/Cp1252.h"
#include "platform/Text.h"

#include <QStringDecoder>

#include <algorithm>
#include <climits>
#include <optional>

namespace {

// ---- Values --------------------------------------------------------------------

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

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "=XX" becomes the byte XX (in either letter case, as lenient writers send it); an
// '=' that starts no such pair stays as it is. Soft line breaks are gone already.
QByteArray decodeQuotedPrintable(QByteArrayView v)
{
    QByteArray out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        const int high = v[i] == '=' && i + 2 < v.size() ? hexDigit(v[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(v[i + 2]) : -1;
        if (low >= 0) {
            out += char(high * 16 + low);
            i += 2;
        } else {
            out += v[i];
        }
    }
    return out;
}

bool isUtf8(QByteArrayView bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return true;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // errors are known once the text is made
    return !utf8.hasError();
}

// UTF-16 without a byte-order mark. A card starts with "BEGIN:VCARD" in ASCII, where
// every other byte is zero: the first of each pair big-endian, the second
// little-endian. No 8-bit vCard holds a zero byte.
std::optional<QStringConverter::Encoding> unmarkedUtf16(QByteArrayView bytes)
{
    const QByteArrayView start = bytes.first(qMin<qsizetype>(bytes.size(), 64) & ~qsizetype(1));
    qsizetype zeros[2] = {0, 0}; // at even and at odd places
    for (qsizetype i = 0; i < start.size(); ++i)
        zeros[i % 2] += start[i] == '\0';
    const qsizetype most = start.size() / 4;
    if (zeros[1] > most && zeros[0] == 0)
        return QStringConverter::Utf16LE;
    if (zeros[0] > most && zeros[1] == 0)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

// ---- Content lines -------------------------------------------------------------

constexpr int kNotPreferred = INT_MAX;

// One content line: NAME;PARAM=VALUE;...:value.
struct Property {
    QByteArray name; // upper-cased, without its group ("item1.EMAIL" is EMAIL)
    QByteArray value;
    QByteArray charset; // upper-cased; empty when not given
    bool quotedPrintable = false;
    int preference = kNotPreferred; // lower is preferred: PREF=n, or 1 for TYPE=PREF
    int line = 0;
};

// Where the name and parameters end: the first colon outside double quotes (a
// parameter value may hold a quoted colon). -1 when the line has none.
qsizetype valueColon(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

QList<QByteArray> splitOutsideQuotes(QByteArrayView text, char sep)
{
    QList<QByteArray> parts(1);
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (c == sep && !quoted)
            parts.append(QByteArray());
        else
            parts.last() += c;
    }
    return parts;
}

QByteArray upper(QByteArrayView text)
{
    QByteArray out = text.toByteArray();
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

// The name and the parameters of a line whose value starts after colon. A vCard 2.1
// parameter may be a bare value ("EMAIL;PREF;INTERNET", "FN;QUOTED-PRINTABLE").
Property parseHead(QByteArrayView head)
{
    Property p;
    const QList<QByteArray> parts = splitOutsideQuotes(head, ';');
    p.name = upper(parts.first());
    p.name = p.name.mid(p.name.lastIndexOf('.') + 1);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf('=');
        const QByteArray name = eq < 0 ? QByteArray("TYPE") : upper(parts[i].left(eq).trimmed());
        const QByteArray value = upper(parts[i].mid(eq + 1).trimmed());
        if (name == "ENCODING" || (eq < 0 && value == "QUOTED-PRINTABLE")) {
            p.quotedPrintable = value == "QUOTED-PRINTABLE";
        } else if (name == "CHARSET") {
            p.charset = value;
        } else if (name == "PREF") {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (ok && n >= 1)
                p.preference = qMin(p.preference, n);
        } else if (name == "TYPE") {
            for (const QByteArray& type : splitOutsideQuotes(value, ','))
                if (type.trimmed() == "PREF" || type.trimmed() == "\"PREF\"")
                    p.preference = qMin(p.preference, 1);
        }
    }
    return p;
}

// Whether a logical line (as far as it is known) is a quoted-printable property.
std::optional<bool> isQuotedPrintable(QByteArrayView text)
{
    const qsizetype colon = valueColon(text);
    if (colon < 0)
        return std::nullopt;
    return parseHead(text.first(colon)).quotedPrintable;
}

// ---- The parser ----------------------------------------------------------------

class Parser {
public:
    Parser(const QByteArray& bytes, bool wholeFile, const QString& fileName)
        : m_bytes(bytes), m_wholeFile(wholeFile), m_fileName(fileName)
    {
        // UTF-16 (address books saved on Windows often are), with its byte-order mark
        // or without, is made UTF-8 first: one encoding for the whole file, which then
        // holds for every card.
        const bool marked = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        const std::optional<QStringConverter::Encoding> wide =
            marked ? (bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE)
                   : unmarkedUtf16(bytes);
        if (wide) {
            QStringDecoder utf16(*wide, QStringConverter::Flag::Stateless);
            m_bytes = QString(utf16.decode(QByteArrayView(bytes).sliced(marked ? 2 : 0))).toUtf8();
            m_wide = true;
        } else if (bytes.startsWith("\xEF\xBB\xBF")) {
            m_bytes = bytes.sliced(3);
        }
    }

    VCardParse run()
    {
        const char* data = m_bytes.constData();
        const qsizetype size = m_bytes.size();
        qsizetype pos = 0;
        int number = 0;
        while (pos < size) {
            qsizetype end = pos;
            while (end < size && data[end] != '\r' && data[end] != '\n')
                ++end;
            qsizetype next = end + 1;
            if (end + 1 < size && data[end] == '\r' && data[end + 1] == '\n')
                ++next;
            next = qMin(next, size);
            addPhysicalLine(QByteArrayView(m_bytes).sliced(pos, end - pos), ++number);
            pos = next;
        }
        flush();
        if (m_card && m_wholeFile)
            finishCard();
        return m_result;
    }

private:
    // ---- Unfolding: physical lines into logical ones, within the bound ----

    void addPhysicalLine(QByteArrayView line, int number)
    {
        const bool folded = !line.isEmpty() && (line[0] == ' ' || line[0] == '\t');
        if (m_open && (m_softBreak || folded)) {
            append(m_softBreak ? line : line.sliced(1));
        } else {
            flush();
            m_open = true;
            m_text.clear();
            m_tooLong = false;
            m_quotedPrintable.reset();
            m_head.clear();
            m_firstLine = number;
            m_softBreak = false;
            append(line);
        }
    }

    void append(QByteArrayView piece)
    {
        if (!m_tooLong && m_text.size() + piece.size() > kMaxVCardLineBytes) {
            // What tells which property is skipped, and whether its lines go on
            // after a soft break, is in its head: kept, the rest is not.
            m_tooLong = true;
            const QByteArray start = m_text + piece.first(qMin<qsizetype>(piece.size(), 1024)).toByteArray();
            m_head = start.left(qMax<qsizetype>(0, valueColon(start)));
            if (!m_quotedPrintable)
                m_quotedPrintable = isQuotedPrintable(start);
            m_text.clear();
        }
        if (m_tooLong) {
            m_softBreak = m_quotedPrintable.value_or(false) && piece.endsWith('=');
            return;
        }
        m_text += piece;
        if (!m_quotedPrintable)
            m_quotedPrintable = isQuotedPrintable(m_text);
        // A quoted-printable line that ends in '=' goes on in the next line, which
        // then needs no blank in front.
        m_softBreak = m_quotedPrintable.value_or(false) && m_text.endsWith('=');
        if (m_softBreak)
            m_text.chop(1);
    }

    void flush()
    {
        if (!m_open)
            return;
        m_open = false;
        if (m_tooLong) {
            skippedTooLong();
            return;
        }
        const qsizetype colon = valueColon(m_text);
        if (colon < 0)
            return;
        // The card's lines say how its text is encoded, once unfolded: a line may be
        // folded inside a character.
        if (m_card)
            m_card->utf8 = m_card->utf8 && isUtf8(m_text);
        Property p = parseHead(QByteArrayView(m_text).first(colon));
        p.value = m_text.mid(colon + 1);
        p.line = m_firstLine;
        take(std::move(p));
    }

    // A property over the bound is skipped. A photo or a note the picker never shows
    // goes without a word; a name or an address is reported, as the contact then
    // lacks it.
    void skippedTooLong()
    {
        const QByteArray name = parseHead(m_head).name;
        if (!m_card || !(name == "FN" || name == "N" || name == "EMAIL"))
            return;
        m_result.problems.append(QStringLiteral("%1, line %2: the %3 property is longer than %4 KiB and was skipped.")
                                     .arg(m_fileName)
                                     .arg(m_firstLine)
                                     .arg(QString::fromLatin1(name))
                                     .arg(kMaxVCardLineBytes / 1024));
    }

    // ---- Cards ----

    struct Card {
        QList<Property> names, structuredNames, emails;
        bool utf8 = true; // all its lines are valid UTF-8 (else they are Windows-1252)
    };

    void take(Property&& p)
    {
        const bool vcard = upper(p.value.trimmed()) == "VCARD";
        if (p.name == "BEGIN" && vcard) {
            if (m_card) // the card before lacked its END
                finishCard();
            m_card = Card{};
        } else if (!m_card) {
            return;
        } else if (p.name == "END" && vcard) {
            finishCard();
        } else if (p.name == "FN") {
            m_card->names.append(std::move(p));
        } else if (p.name == "N") {
            m_card->structuredNames.append(std::move(p));
        } else if (p.name == "EMAIL") {
            m_card->emails.append(std::move(p));
        }
    }

    void finishCard()
    {
        const Card card = std::move(*m_card);
        m_card.reset();
        const bool utf8 = card.utf8;
        Contact contact;
        for (const Property& p : card.names) {
            contact.fullName = unescape(text(p, utf8)).trimmed();
            if (!contact.fullName.isEmpty())
                break;
        }
        if (contact.fullName.isEmpty() && !card.structuredNames.isEmpty())
            contact.fullName = nameFromN(text(card.structuredNames.first(), utf8));
        // The preferred address (the lowest preference), else the first; an empty one
        // is no address.
        int best = INT_MAX;
        for (const Property& p : card.emails) {
            const QString address = unescape(text(p, utf8)).trimmed();
            if (!address.isEmpty() && (contact.email.isEmpty() || p.preference < best)) {
                contact.email = address;
                best = p.preference;
            }
        }
        m_result.contacts.append(contact);
    }

    // A value's text. Quoted-printable is decoded first; the bytes are then in the
    // character set the CHARSET parameter names. Without one, a plain value is in its
    // card's encoding, and decoded quoted-printable is UTF-8 when it is valid UTF-8.
    QString text(const Property& p, bool cardIsUtf8)
    {
        const QByteArray bytes = p.quotedPrintable ? decodeQuotedPrintable(p.value) : p.value;
        bool utf8 = p.quotedPrintable ? isUtf8(bytes) : cardIsUtf8;
        // A UTF-16 file's text is the file's, whatever a parameter says; decoded
        // quoted-printable bytes follow CHARSET there too.
        if (!p.charset.isEmpty() && (p.quotedPrintable || !m_wide)) {
            const QByteArray& cs = p.charset;
            if (cs == "UTF-8" || cs == "UTF8")
                return QString::fromUtf8(bytes);
            // Writers that say ISO-8859-1 mean Windows-1252 (its superset), as the web
            // reads them too; ASCII is a subset of both.
            if (cs == "WINDOWS-1252" || cs == "CP1252" || cs == "ISO-8859-1" || cs == "ISO_8859-1" ||
                cs == "LATIN1" || cs == "US-ASCII" || cs == "ASCII")
                return cp1252::decode(bytes);
            QStringDecoder other(cs.constData(), QStringConverter::Flag::Stateless);
            if (other.isValid())
                return other.decode(bytes);
            m_result.problems.append(QStringLiteral("%1, line %2: the character set %3 is not known here; the value "
                                                    "was read as %4.")
                                         .arg(m_fileName)
                                         .arg(p.line)
                                         .arg(QString::fromLatin1(cs),
                                              utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252")));
        }
        return utf8 ? QString::fromUtf8(bytes) : cp1252::decode(bytes);
    }

    QByteArray m_bytes;
    bool m_wholeFile;
    QString m_fileName;
    bool m_wide = false; // the file was UTF-16

    // The logical line being gathered.
    bool m_open = false;
    QByteArray m_text;
    QByteArray m_head; // of a line over the bound: its name and parameters
    bool m_tooLong = false;
    bool m_softBreak = false;
    std::optional<bool> m_quotedPrintable; // unknown until its colon is read
    int m_firstLine = 0;

    std::optional<Card> m_card;
    VCardParse m_result;
};

} // namespace

QString Contact::entryText() const { return fullName + QStringLiteral(" <") + email + u'>'; }

VCardParse ParseVCards(const QByteArray& bytes, bool wholeFile, const QString& fileName)
{
    return Parser(bytes, wholeFile, fileName).run();
}
