// Where a POSIX system keeps what the program asks of its surroundings.
#include "platform/Environment.h"

#include <QDir>
#include <QSysInfo>

namespace environment {

QString appData()
{
    if (const QString v = qEnvironmentVariable("APPDATA"); !v.isEmpty())
        return v;
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    return xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : xdg;
}

QString computerName()
{
    if (qEnvironmentVariableIsSet("COMPUTERNAME"))
        return qEnvironmentVariable("COMPUTERNAME");
    return QSysInfo::machineHostName();
}

QString systemPolicyFile()
{
    if (qEnvironmentVariableIsSet("PARVELA_SYSTEM_POLICY"))
        return qEnvironmentVariable("PARVELA_SYSTEM_POLICY");
    return QStringLiteral("/etc/parvela/parvelaclient.INI");
}

} // namespace environment
