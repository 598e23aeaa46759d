#pragma once
// Reads an administrator's INI file the way the Windows private-profile functions do:
// section and key names match without regard to case, blanks are trimmed, one outer
// pair of quotes is removed, ';' starts a comment line, the first occurrence wins; a
// line ends at CR, LF or CR LF, and a name or value at a NUL. The text is Windows-1252, or UTF-8 or UTF-16 after a
// byte-order mark.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class ProfileReader {
public:
    enum class Encoding { Windows1252, Utf8, Utf16LE, Utf16BE }; // the last three after their byte-order mark

    // What one line of the file was to the reader. Blank lines and comments are not kept.
    struct Line {
        enum class Kind {
            Section,           // a section's first header
            RepeatedSection,   // the header of a section seen before: its keys are never searched
            Key,               // a key in effect
            RepeatedKey,       // a key the section had already: the first one counts
            InRepeatedSection, // a key under a repeated header
            BeforeSection,     // a line before the first header
            Unbracketed,       // starts with '[' but has no ']': no header, and no key either
            NoEquals,          // no '=', so no key
        };
        int number = 0; // from 1
        Kind kind = Kind::Key;
        QString text;    // the line less its blanks
        QString section; // the section as written in its header (for keys: the header in force)
        QString key;     // the key as written (keys only)
        QString value;   // the value as read: trimmed, outer quotes removed (keys only)
    };

    struct Value {
        QString text;
        int line = 0; // where the file gives it
    };

    // Parses file content. With keepLines the reader also keeps what each line was
    // (lines()), for a report on the file; a start-up needs only the values.
    static ProfileReader fromBytes(const QByteArray& content, bool keepLines = false);

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    // The value a key has in the file, and its line; empty when the file lacks it.
    std::optional<Value> find(const QString& section, const QString& key) const;

    Encoding encoding() const { return m_encoding; }
    // How the file's lines end: counts of CR LF, LF and CR.
    int crLfCount() const { return m_crlf; }
    int lfCount() const { return m_lf; }
    int crCount() const { return m_cr; }
    int lineCount() const { return m_lineCount; }
    // The lines that are neither blank nor comments, when fromBytes was asked to keep them.
    const QList<Line>& lines() const { return m_lines; }

    // The integer conversion of the private-profile reader: leading blanks, optional
    // '-' or '+', decimal digits up to the first non-digit, "0x" for hex; no digits gives 0.
    static int profileInteger(const QString& value);
    // The characters the reader trims as blanks at the edges of names and values.
    static bool isBlank(QChar c);

private:
    // Upper-cased section name -> (upper-cased key -> value); first occurrences only.
    QHash<QString, QHash<QString, Value>> m_sections;
    QList<Line> m_lines;
    Encoding m_encoding = Encoding::Windows1252;
    int m_crlf = 0, m_lf = 0, m_cr = 0, m_lineCount = 0;
};
