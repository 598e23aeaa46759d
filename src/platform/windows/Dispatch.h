#pragma once
// Late-bound automation: calls by name on another program's objects through IDispatch.
// Each call asks the object for the name's number, then invokes it as a method or a
// property read. Every VARIANT is cleared and every interface released when its owner
// goes; a failed call throws DispatchError with the automation's own text.
#include "platform/Errors.h"

#include <windows.h>
#include <oaidl.h>

#include <utility>

// Initialises COM for the calling thread (single-threaded apartment) and undoes it at
// the end, where this call was the one that did it.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_initialised = false;
};

class DispatchError : public UserError {
public:
    DispatchError(QString text, HRESULT code) : UserError(std::move(text)), m_code(code) {}
    HRESULT code() const noexcept { return m_code; }

private:
    HRESULT m_code;
};

// A VARIANT of its own, cleared when it goes.
class Variant {
public:
    Variant() { ::VariantInit(&m_v); }
    explicit Variant(int value) : Variant()
    {
        m_v.vt = VT_I4;
        m_v.lVal = value;
    }
    explicit Variant(const wchar_t* text) : Variant()
    {
        m_v.vt = VT_BSTR;
        m_v.bstrVal = ::SysAllocString(text);
    }
    ~Variant() { ::VariantClear(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &m_v; }
    const VARIANT& value() const { return m_v; }

private:
    VARIANT m_v;
};

class DispatchObject {
public:
    // The automation server's object for progId (CLSIDFromProgID, CoCreateInstance).
    static DispatchObject create(const wchar_t* progId);

    DispatchObject(DispatchObject&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    DispatchObject& operator=(DispatchObject&&) = delete;
    ~DispatchObject();

    // name called with one argument or none, giving an object, a text or a whole number.
    DispatchObject object(const wchar_t* name, Variant* argument = nullptr) const;
    QString text(const wchar_t* name) const;
    int integer(const wchar_t* name) const;

private:
    explicit DispatchObject(IDispatch* object) : m_object(object) {}
    void invoke(const wchar_t* name, Variant* argument, Variant& result) const;

    IDispatch* m_object;
};

// The system's text for an automation result code, or its number where the system has none.
QString HresultText(HRESULT code);
