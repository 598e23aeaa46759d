#pragma once
// The desktop's own address book, where the system has one: on Windows, the contacts
// of the mail program installed beside us, asked through its automation server by name.
// Each system has its own (or none); the build picks it.
#include <QList>
#include <QString>

#include <memory>

struct AddressBookEntry {
    QString fullName;
    QString email; // the first e-mail address; empty when the contact has none
};

struct AddressBookReading {
    QList<AddressBookEntry> entries; // in the book's own order, as far as reading went
    QString error;                   // the automation's text for what ended the reading; empty when all was read
    bool installed = true;           // false: the mail program is not there at all (error says so)
};

class AddressBook {
public:
    virtual ~AddressBook() = default;

    // This system's address book, or null where it has none.
    static std::unique_ptr<AddressBook> open();

    // Every contact afresh; never throws.
    virtual AddressBookReading read() = 0;
};
