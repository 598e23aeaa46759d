#include "platform/windows/Dispatch.h"

ComApartment::ComApartment()
{
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A thread already in the other kind of apartment can make the calls all the same.
    if (FAILED(hr) && hr != RPC_E_CHANGED_MODE)
        throw DispatchError(HresultText(hr), hr);
    m_initialised = SUCCEEDED(hr);
}

ComApartment::~ComApartment()
{
    if (m_initialised)
        ::CoUninitialize();
}

QString HresultText(HRESULT code)
{
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const QString text = n != 0 ? QString::fromWCharArray(buffer, int(n)).trimmed()
                                : QStringLiteral("Error 0x") + QString::number(quint32(code), 16).toUpper().rightJustified(8, u'0');
    ::LocalFree(buffer);
    return text;
}

namespace {
// What the server says went wrong: its description where it gave one, else the
// system's text for its code.
QString exceptionText(EXCEPINFO& info, HRESULT hr)
{
    if (info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    QString text = info.bstrDescription ? QString::fromWCharArray(info.bstrDescription).trimmed() : QString();
    const HRESULT code = info.scode ? info.scode : hr;
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrHelpFile);
    return text.isEmpty() ? HresultText(code) : text;
}
} // namespace

DispatchObject DispatchObject::create(const wchar_t* progId)
{
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
    IDispatch* object = nullptr;
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
    if (FAILED(hr))
        throw DispatchError(HresultText(hr), hr);
    return DispatchObject(object);
}

DispatchObject::~DispatchObject()
{
    if (m_object)
        m_object->Release();
}

void DispatchObject::invoke(const wchar_t* name, Variant* argument, Variant& result) const
{
    DISPID id = 0;
    auto* oleName = const_cast<LPOLESTR>(name);
    HRESULT hr = m_object->GetIDsOfNames(IID_NULL, &oleName, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        throw DispatchError(HresultText(hr), hr);
    DISPPARAMS params{argument ? argument->get() : nullptr, nullptr, argument ? 1u : 0u, 0};
    EXCEPINFO info{};
    UINT argumentError = 0;
    hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                          result.get(), &info, &argumentError);
    if (hr == DISP_E_EXCEPTION)
        throw DispatchError(exceptionText(info, hr), info.scode ? info.scode : hr);
    if (FAILED(hr))
        throw DispatchError(HresultText(hr), hr);
}

namespace {
// value as the type wanted, the automation's own conversion (a number for a text, and
// the other way round); throws when it has none.
void convert(Variant& to, const Variant& from, VARTYPE type)
{
    const HRESULT hr = ::VariantChangeType(to.get(), const_cast<VARIANT*>(&from.value()), 0, type);
    if (FAILED(hr))
        throw DispatchError(HresultText(hr), hr);
}
} // namespace

DispatchObject DispatchObject::object(const wchar_t* name, Variant* argument) const
{
    Variant result;
    invoke(name, argument, result);
    Variant object;
    convert(object, result, VT_DISPATCH);
    if (!object.value().pdispVal) // Nothing
        throw DispatchError(HresultText(E_POINTER), E_POINTER);
    object.value().pdispVal->AddRef();
    return DispatchObject(object.value().pdispVal);
}

QString DispatchObject::text(const wchar_t* name) const
{
    Variant result;
    invoke(name, nullptr, result);
    // A property that was never set reads as no text.
    if (result.value().vt == VT_EMPTY || result.value().vt == VT_NULL)
        return QString();
    Variant text;
    convert(text, result, VT_BSTR);
    return QString::fromWCharArray(text.value().bstrVal, int(::SysStringLen(text.value().bstrVal)));
}

int DispatchObject::integer(const wchar_t* name) const
{
    Variant result;
    invoke(name, nullptr, result);
    Variant number;
    convert(number, result, VT_I4);
    return int(number.value().lVal);
}
