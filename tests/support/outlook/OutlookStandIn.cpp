// A stand-in for the mail program's automation server, in-process, for the picker's
// tests under Wine. Its objects answer by name (GetIDsOfNames, then Invoke) the calls
// the picker makes: Application.GetNameSpace("MAPI"), NameSpace.GetDefaultFolder(10),
// Folder.Items, Items.Count and Items.Item(i), ContactItem.FullName and Email1Address.
// The contacts are what the test gave StandInSetContacts, one a line:
//     name TAB address         a contact (the address may be empty)
//     !fail TAB description    this item fails: DISP_E_EXCEPTION with that description
//     !count TAB text          Count answers with this text instead of the number
// StandInCalls() gives every call since the last application object was made, one a
// line ("Item(2)"); StandInLiveObjects() how many objects are not yet released. DllRegisterServer registers it as
// "Outlook.Application" for the user (HKEY_CURRENT_USER\Software\Classes); where COM does
// not look there (Wine 8 reads only the machine's classes), for the machine.
// DllUnregisterServer takes it out of both.
#include <windows.h>
#include <oaidl.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// {5D0F3C61-8A47-4E0B-9C2E-6B1D7F40A915}, the stand-in's own class.
const CLSID kClsid = {0x5d0f3c61, 0x8a47, 0x4e0b, {0x9c, 0x2e, 0x6b, 0x1d, 0x7f, 0x40, 0xa9, 0x15}};

const wchar_t* const kClsidText = L"{5D0F3C61-8A47-4E0B-9C2E-6B1D7F40A915}";
HMODULE g_module = nullptr;
LONG g_live = 0;
std::wstring g_calls;
std::wstring g_contacts; // as StandInSetContacts gave them

struct Row {
    bool fails;
    std::wstring name, address; // a failing item: the failure's description as its name
};

struct Book {
    std::vector<Row> rows;
    std::wstring countText; // set: Count answers with it
};

std::shared_ptr<Book> loadBook()
{
    auto book = std::make_shared<Book>();
    for (size_t start = 0; start < g_contacts.size();) {
        size_t end = g_contacts.find(L'\n', start);
        if (end == std::wstring::npos)
            end = g_contacts.size();
        const std::wstring line = g_contacts.substr(start, end - start);
        start = end + 1;
        const size_t tab = line.find(L'\t');
        const std::wstring first = line.substr(0, tab), second = tab == line.npos ? L"" : line.substr(tab + 1);
        if (first == L"!count")
            book->countText = second;
        else if (first == L"!fail")
            book->rows.push_back({true, second, L""});
        else
            book->rows.push_back({false, first, second});
    }
    return book;
}

enum class Kind { Application, NameSpace, Folder, Items, Contact };
struct Member {
    Kind kind;
    const wchar_t* name;
};
const Member kMembers[] = {{Kind::Application, L"GetNameSpace"}, {Kind::NameSpace, L"GetDefaultFolder"},
                           {Kind::Folder, L"Items"},            {Kind::Items, L"Count"},
                           {Kind::Items, L"Item"},              {Kind::Contact, L"FullName"},
                           {Kind::Contact, L"Email1Address"}};

HRESULT fail(EXCEPINFO* info, const std::wstring& text)
{
    if (info) {
        *info = EXCEPINFO{};
        info->scode = DISP_E_EXCEPTION;
        info->bstrSource = SysAllocString(L"Outlook stand-in");
        info->bstrDescription = SysAllocString(text.c_str());
    }
    return DISP_E_EXCEPTION;
}

class Object final : public IDispatch {
public:
    Object(Kind kind, std::shared_ptr<Book> book, size_t row = 0) : m_kind(kind), m_book(std::move(book)), m_row(row)
    {
        InterlockedIncrement(&g_live);
    }
    ~Object() { InterlockedDecrement(&g_live); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override
    {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (count != 1)
            return E_INVALIDARG;
        for (DISPID id = 0; id < DISPID(std::size(kMembers)); ++id) {
            const Member& m = kMembers[id];
            if (m.kind == m_kind && _wcsicmp(m.name, names[0]) == 0) {
                ids[0] = id + 1;
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override
    {
        if (id < 1 || id > DISPID(std::size(kMembers)) || kMembers[id - 1].kind != m_kind)
            return DISP_E_MEMBERNOTFOUND;
        // The argument, as text, for the record of calls.
        std::wstring argument;
        if (params->cArgs == 1) {
            VARIANT text;
            VariantInit(&text);
            if (SUCCEEDED(VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR)))
                argument = text.bstrVal;
            VariantClear(&text);
        } else if (params->cArgs > 1) {
            return DISP_E_BADPARAMCOUNT;
        }
        g_calls += std::wstring(kMembers[id - 1].name) + (params->cArgs ? L"(" + argument + L")" : L"") + L"\n";
        if (!result)
            return E_POINTER;
        VariantInit(result);
        const size_t count = m_book->rows.size();
        switch (id) {
        case 1: // GetNameSpace
            if (argument != L"MAPI")
                return fail(info, L"No such namespace: " + argument);
            return answer(result, Kind::NameSpace);
        case 2: // GetDefaultFolder
            if (argument != L"10")
                return fail(info, L"Not the contacts folder: " + argument);
            return answer(result, Kind::Folder);
        case 3: // Items
            return answer(result, Kind::Items);
        case 4: // Count
            if (!m_book->countText.empty()) {
                result->vt = VT_BSTR;
                result->bstrVal = SysAllocString(m_book->countText.c_str());
            } else {
                result->vt = VT_I4;
                result->lVal = LONG(count);
            }
            return S_OK;
        case 5: { // Item(i), counted from 1
            const long i = argument.empty() ? 0 : std::wcstol(argument.c_str(), nullptr, 10);
            if (i < 1 || size_t(i) > count)
                return DISP_E_BADINDEX;
            if (m_book->rows[i - 1].fails)
                return fail(info, m_book->rows[i - 1].name);
            return answer(result, Kind::Contact, i - 1);
        }
        default: // FullName, Email1Address
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString((id == 6 ? m_book->rows[m_row].name : m_book->rows[m_row].address).c_str());
            return S_OK;
        }
    }

private:
    HRESULT answer(VARIANT* result, Kind kind, size_t row = 0)
    {
        result->vt = VT_DISPATCH;
        result->pdispVal = new Object(kind, m_book, row);
        return S_OK;
    }

    LONG m_refs = 1;
    Kind m_kind;
    std::shared_ptr<Book> m_book;
    size_t m_row;
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        g_calls.clear();
        auto* application = new Object(Kind::Application, loadBook());
        const HRESULT hr = application->QueryInterface(iid, out);
        application->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
Factory g_factory;

struct ClassesRoot {
    HKEY key;
    std::wstring under;
};
const ClassesRoot kUserClasses{HKEY_CURRENT_USER, L"Software\\Classes\\"};
const ClassesRoot kMachineClasses{HKEY_CLASSES_ROOT, L""};

LSTATUS setText(const ClassesRoot& root, const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    return RegSetKeyValueW(root.key, (root.under + key).c_str(), name, REG_SZ, text.c_str(),
                           DWORD((text.size() + 1) * sizeof(wchar_t)));
}

void unregister(const ClassesRoot& root)
{
    RegDeleteTreeW(root.key, (root.under + L"Outlook.Application").c_str());
    RegDeleteTreeW(root.key, (root.under + L"CLSID\\" + kClsidText).c_str());
}

// The stand-in's class under root; true when COM now finds it by its name.
bool registerAt(const ClassesRoot& root)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(g_module, path, MAX_PATH);
    const std::wstring server = std::wstring(L"CLSID\\") + kClsidText + L"\\InprocServer32";
    CLSID found;
    if (setText(root, L"Outlook.Application\\CLSID", nullptr, kClsidText) || setText(root, server, nullptr, path) ||
        setText(root, server, L"ThreadingModel", L"Apartment") || FAILED(CLSIDFromProgID(L"Outlook.Application", &found))) {
        unregister(root);
        return false;
    }
    return true;
}

} // namespace

extern "C" {
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = module;
    return TRUE;
}

HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return registerAt(kUserClasses) || registerAt(kMachineClasses) ? S_OK : E_FAIL;
}

HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    unregister(kUserClasses);
    unregister(kMachineClasses);
    return S_OK;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (clsid != kClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return g_live == 0 ? S_OK : S_FALSE;
}

LONG STDAPICALLTYPE StandInLiveObjects()
{
    return g_live;
}

void STDAPICALLTYPE StandInSetContacts(const wchar_t* contacts)
{
    g_contacts = contacts;
}

const wchar_t* STDAPICALLTYPE StandInCalls()
{
    return g_calls.c_str();
}
}
