// On Windows the address book is the contacts folder of the mail program installed on
// the same desktop, read through its automation server by name: its application
// object, the MAPI namespace, the default contacts folder (number 10), and there each
// item's full name and first e-mail address, in the folder's order. The calls run on
// the calling (window) thread and block it until the server answers.
#include "platform/AddressBook.h"

#include "platform/windows/Dispatch.h"

namespace {

const wchar_t* const kProgId = L"Outlook.Application";
constexpr int kContactsFolder = 10;

class OutlookAddressBook final : public AddressBook {
public:
    AddressBookReading read() override;
};

// The server's class is not known here at all: the program is not installed.
bool notInstalled(HRESULT hr)
{
    return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG;
}

AddressBookReading OutlookAddressBook::read()
{
    AddressBookReading reading;
    try {
        // Declared first, so that every object goes before COM is undone.
        const ComApartment com;
        try {
            const DispatchObject application = DispatchObject::create(kProgId);
            Variant mapi(L"MAPI");
            const DispatchObject names = application.object(L"GetNameSpace", &mapi);
            Variant contacts(kContactsFolder);
            const DispatchObject folder = names.object(L"GetDefaultFolder", &contacts);
            const int count = folder.object(L"Items").integer(L"Count");
            for (int i = 1; i <= count; ++i) {
                Variant index(i);
                const DispatchObject item = folder.object(L"Items").object(L"Item", &index);
                AddressBookEntry entry;
                entry.fullName = item.text(L"FullName");
                entry.email = item.text(L"Email1Address");
                reading.entries.append(std::move(entry));
            }
        } catch (const DispatchError& e) {
            reading.installed = !notInstalled(e.code());
            // The bare code says little: the name that is missing goes with it.
            reading.error = e.message();
            if (!reading.installed) {
                if (reading.error.endsWith(u'.'))
                    reading.error.chop(1);
                reading.error += QStringLiteral(": ") + QString::fromWCharArray(kProgId);
            }
        }
    } catch (const DispatchError& e) {
        reading.error = e.message();
    }
    return reading;
}

} // namespace

std::unique_ptr<AddressBook> AddressBook::open()
{
    return std::make_unique<OutlookAddressBook>();
}
