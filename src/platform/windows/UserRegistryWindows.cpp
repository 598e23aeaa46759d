// On Windows the user's settings are string values of the user's own registry key,
// HKEY_CURRENT_USER\Software\TROVIK\PVX2007. The program keeps its texts in Windows-1252,
// so a value holds what that code page can say: a character it has no byte for is
// stored as '?', as the ANSI registry calls would store it.
#include "platform/UserRegistry.h"

#include "platform/Cp1252.h"
#include "platform/Errors.h"
#include "platform/windows/WindowsErrors.h"

#include <windows.h>

namespace {

const QString kRoot = QStringLiteral("HKEY_CURRENT_USER\\");

// An open key, closed when it goes.
class Key {
public:
    Key() = default;
    ~Key()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

class UserRegistryWindows final : public UserRegistry {
public:
    explicit UserRegistryWindows(QString subKey) : m_subKey(std::move(subKey)) {}

    QString location() const override { return kRoot + m_subKey; }

    bool keyExists() const override
    {
        Key key;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, wide(m_subKey).c_str(), 0, KEY_QUERY_VALUE, key.out()) ==
               ERROR_SUCCESS;
    }

    QString read(const QString& name) const override
    {
        Key key;
        LSTATUS rc = ::RegOpenKeyExW(HKEY_CURRENT_USER, wide(m_subKey).c_str(), 0, KEY_QUERY_VALUE, key.out());
        if (rc == ERROR_FILE_NOT_FOUND)
            return {};
        if (rc != ERROR_SUCCESS)
            throw IoError(location(), winerr::text(DWORD(rc)));
        const std::wstring valueName = wide(name);
        for (;;) {
            DWORD type = 0;
            DWORD bytes = 0;
            rc = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes);
            if (rc == ERROR_FILE_NOT_FOUND)
                return {};
            if (rc != ERROR_SUCCESS)
                throw IoError(location() + u'\\' + name, winerr::text(DWORD(rc)));
            if (type != REG_SZ && type != REG_EXPAND_SZ)
                return {}; // not a text: as if there were none
            std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
            DWORD got = DWORD(buffer.size() * sizeof(wchar_t));
            rc = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(buffer.data()), &got);
            if (rc == ERROR_MORE_DATA)
                continue; // written meanwhile: again
            if (rc != ERROR_SUCCESS)
                throw IoError(location() + u'\\' + name, winerr::text(DWORD(rc)));
            buffer.resize(got / sizeof(wchar_t));
            while (!buffer.empty() && buffer.back() == L'\0')
                buffer.pop_back();
            return QString::fromStdWString(buffer);
        }
    }

    void write(const QString& name, const QString& text) const override
    {
        Key key;
        LSTATUS rc = ::RegCreateKeyExW(HKEY_CURRENT_USER, wide(m_subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_SET_VALUE, nullptr, key.out(), nullptr);
        if (rc != ERROR_SUCCESS)
            throw IoError(location(), winerr::text(DWORD(rc)));
        const std::wstring value = wide(cp1252::decode(cp1252::encode(text)));
        rc = ::RegSetValueExW(key.get(), wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              DWORD((value.size() + 1) * sizeof(wchar_t)));
        if (rc != ERROR_SUCCESS)
            throw IoError(location() + u'\\' + name, winerr::text(DWORD(rc)));
    }

private:
    QString m_subKey;
};

} // namespace

std::unique_ptr<UserRegistry> UserRegistry::open(const QString& location)
{
    // location: another key below HKEY_CURRENT_USER (a test's own); a test run names its
    // own for every program it starts, so the user's settings are never touched.
    QString subKey = !location.isEmpty() ? location
                                         : qEnvironmentVariable("PARVELA_SETTINGS_KEY", QStringLiteral("Software\\TROVIK\\PVX2007"));
    if (subKey.startsWith(kRoot, Qt::CaseInsensitive))
        subKey = subKey.mid(kRoot.size());
    return std::make_unique<UserRegistryWindows>(subKey);
}
