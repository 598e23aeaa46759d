#pragma once
// The address book the contacts picker lists: a vCard file (3.0 or 4.0, UTF-8 or
// Windows-1252) named contacts.vcf in the user's data folder. Each card gives one
// contact, in the file's order: its full name (FN, or its N when it has no FN) and its
// first e-mail address. Reading is bounded: a file over 4 MiB or a line over 64 KiB
// is reported and not loaded whole; the contacts read up to that point stay.
#include <QList>
#include <QString>
#include <QStringList>

struct ClientState;
class ClientForm;

struct Contact {
    QString fullName;
    QString email; // the first address; empty when the card has none

    // The picker's entry: the name, " <", the address, ">".
    QString entryText() const;
    bool operator==(const Contact&) const = default;
};

struct ContactReading {
    QList<Contact> contacts; // complete cards in the file's order, as far as it was read
    QString error;           // why the reading stopped early; empty when it did not
};

class ContactSource {
public:
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;

    explicit ContactSource(QString path) : m_path(std::move(path)) {}
    // contacts.vcf in the user's data folder.
    static ContactSource forUser(const ClientState& state);

    const QString& path() const { return m_path; }
    // Never throws: a missing file, a read failure or a bound reached is the error
    // text of the result.
    ContactReading read() const;

private:
    QString m_path;
};

// OK in the picker: every chosen address that is not empty becomes a recipient, in
// the given order. Nothing removes duplicates.
void AddPickedRecipients(ClientForm& form, const QStringList& addresses);
