#include "recipients/PickerContacts.h"

#include "platform/AddressBook.h"

#include <QFileInfo>

ContactReading ReadPickerContacts(AddressBook* book, const ContactSource& file)
{
    if (!book)
        return file.read();
    AddressBookReading fromBook = book->read();
    ContactReading result;
    if (fromBook.installed) {
        for (AddressBookEntry& e : fromBook.entries)
            result.contacts.append(Contact{std::move(e.fullName), std::move(e.email)});
        if (!fromBook.error.isEmpty())
            result.problems.append(fromBook.error);
        return result;
    }
    // No mail program: its error first, then the file's contacts and problems, if any.
    result.problems.append(fromBook.error);
    if (QFileInfo::exists(file.path())) {
        ContactReading fromFile = file.read();
        result.problems.append(QStringLiteral("The contacts of %1 are listed instead.").arg(file.path()));
        result.contacts = std::move(fromFile.contacts);
        result.problems += fromFile.problems;
    }
    return result;
}
