// On POSIX systems the user's settings are a file of the program's own below the
// user's configuration folder.
#include "platform/portable/UserRegistryFile.h"

#include <QDir>

std::unique_ptr<UserRegistry> UserRegistry::open(const QString& location)
{
    if (!location.isEmpty())
        return std::make_unique<UserRegistryFile>(location);
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return std::make_unique<UserRegistryFile>(base + QStringLiteral("/TROVIK/PVX2007.ini"));
}
