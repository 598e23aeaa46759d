#pragma once
// The keys of the administrator's policy file: the section the program asks for each
// under, and the value a missing key stands for.
#include "i18n/LanguageTexts.h"

#include <QList>
#include <QString>

struct PolicyKey {
    QString section;
    QString name;
    QString defaultValue;
};

namespace policykeys {
// Section names match without regard to case: "Settings" and "SETTINGS" are one.
inline const PolicyKey ServerUpload{QStringLiteral("Settings"), QStringLiteral("SERVERUPLOAD"), QString()};
inline const PolicyKey PolicyVersion{QStringLiteral("POLICIES"), QStringLiteral("POLICYVERSION"), QStringLiteral("-1")};
inline const PolicyKey MaxSize{QStringLiteral("SETTINGS"), QStringLiteral("MAXSIZE"), QStringLiteral("1024")};
inline const PolicyKey Encrypted{QStringLiteral("POLICIES"), QStringLiteral("ENCRYPTED"), QStringLiteral("ENABLED")};
inline const PolicyKey Sfx{QStringLiteral("POLICIES"), QStringLiteral("SFX"), QStringLiteral("ENABLED")};
inline const PolicyKey DefaultExpire{QStringLiteral("POLICIES"), QStringLiteral("DEFAULTEXPIRE"), QStringLiteral("48")};
inline const PolicyKey SkipWelcome{QStringLiteral("POLICIES"), QStringLiteral("SKIPWELCOME"), QStringLiteral("ENABLED")};
inline const PolicyKey DefaultLanguage{QStringLiteral("POLICIES"), QStringLiteral("DEFAULTLANGUAGE"), kEnglish};
inline const PolicyKey OutlookAdr{QStringLiteral("POLICIES"), QStringLiteral("OUTLOOKADR"), QStringLiteral("DISABLED")};
inline const PolicyKey ColorScheme{QStringLiteral("POLICIES"), QStringLiteral("COLORSCHEME"), QStringLiteral("0")};

// Every key, in the order the program reads them.
inline const QList<PolicyKey>& all()
{
    static const QList<PolicyKey> keys{ServerUpload, PolicyVersion, MaxSize,         Encrypted,  Sfx,
                                       DefaultExpire, SkipWelcome,  DefaultLanguage, OutlookAdr, ColorScheme};
    return keys;
}
} // namespace policykeys
