// Where Windows keeps what the program asks of its surroundings.
#include "platform/Environment.h"

#include <QDir>

#include <windows.h>
#include <shlobj.h>

namespace environment {

QString appData()
{
    if (const QString v = qEnvironmentVariable("APPDATA"); !v.isEmpty())
        return v;
    wchar_t* path = nullptr;
    QString out;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path)))
        out = QString::fromWCharArray(path);
    ::CoTaskMemFree(path);
    return out.isEmpty() ? QDir::toNativeSeparators(QDir::homePath()) : out;
}

QString computerName()
{
    if (qEnvironmentVariableIsSet("COMPUTERNAME"))
        return qEnvironmentVariable("COMPUTERNAME");
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return ::GetComputerNameW(name, &size) ? QString::fromWCharArray(name, int(size)) : QString();
}

QString systemPolicyFile()
{
    // An installed program's policy file lies beside it; there is no second place.
    return qEnvironmentVariable("PARVELA_SYSTEM_POLICY");
}

} // namespace environment
