#pragma once
// Where the picker's contacts come from at each opening: the desktop's address book
// where the system has one, else the vCard file. When the address book's program is not
// installed, the vCard file serves instead, if there is one, and the user is told.
#include "recipients/ContactSource.h"

class AddressBook;

// book may be null (the system has none). Never throws.
ContactReading ReadPickerContacts(AddressBook* book, const ContactSource& file);
