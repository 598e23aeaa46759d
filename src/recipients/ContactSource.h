#pragma once
// The address book the contacts picker lists: a vCard file named contacts.vcf in the
// user's data folder (the cards as VCardParser reads them). Each card gives one
// contact, in the file's order: its full name (FN, or its N when it has no FN) and its
// preferred e-mail address. Reading is bounded: a file over 4 MiB is read as far as
// its first 4 MiB and reported; a property over 64 KiB is skipped (reported when it
// is a name or an address).
#include "recipients/VCardParser.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ClientState;
class ClientForm;

struct ContactReading {
    QList<Contact> contacts; // complete cards in the file's order, as far as it was read
    // What the user is told, one line each: a property skipped, a character set not
    // known, and last why the reading stopped early. Empty when all went well.
    QStringList problems;
};

class ContactSource {
public:
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

    explicit ContactSource(QString path) : m_path(std::move(path)) {}
    // contacts.vcf in the user's data folder.
    static ContactSource forUser(const ClientState& state);

    const QString& path() const { return m_path; }
    // Never throws: a missing file, a read failure or a bound reached is among the
    // problems of the result.
    ContactReading read() const;

private:
    QString m_path;
};

// OK in the picker: every chosen address that is not empty becomes a recipient, in
// the given order. Nothing removes duplicates.
void AddPickedRecipients(ClientForm& form, const QStringList& addresses);
