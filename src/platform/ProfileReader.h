#pragma once
// Reads an administrator's INI file the way the Windows private-profile functions do:
// section and key names match without regard to case, blanks are trimmed, one outer
// pair of quotes is removed, ';' starts a comment line, the first occurrence wins; a
// line ends at CR, LF or CR LF. The text is Windows-1252, or UTF-8 after a byte-order mark.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

class ProfileReader {
public:
    // Reads and parses the file at once (the file is closed again before returning).
    // Empty when the file cannot be opened.
    static std::optional<ProfileReader> open(const QString& path);
    // Parses file content.
    static ProfileReader fromBytes(const QByteArray& content);

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    int readInt(const QString& section, const QString& key, int defaultValue) const;

    // The integer conversion of the private-profile reader: leading blanks, optional
    // '-' or '+', decimal digits up to the first non-digit, "0x" for hex; no digits gives 0.
    static int profileInteger(const QString& value);

private:
    std::optional<QString> find(const QString& section, const QString& key) const;
    // Upper-cased section name -> (upper-cased key -> value); first occurrences only.
    QHash<QString, QHash<QString, QString>> m_sections;
};
