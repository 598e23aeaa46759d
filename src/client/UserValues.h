#pragma once
// The names of the values in the user's settings store. Stores that earlier versions
// wrote hold the user's choices under these names, so they never change; every reader
// and writer takes them from here.
#include <QString>

namespace uservalues {
inline const QString PolicyVersion = QStringLiteral("POLICYVERSION");
inline const QString Title = QStringLiteral("TITLE");
inline const QString Version = QStringLiteral("VERSION");
inline const QString Encrypted = QStringLiteral("ENCRYPTED");
inline const QString Sfx = QStringLiteral("SFX");
inline const QString Outlook = QStringLiteral("OUTLOOK");
inline const QString SkipWelcome = QStringLiteral("SKIPWELCOME");
inline const QString Language = QStringLiteral("LANGUAGE");
inline const QString Expire = QStringLiteral("EXPIRE");
inline const QString From = QStringLiteral("FROM");
inline const QString Name = QStringLiteral("NAME");
inline const QString Company = QStringLiteral("COMPANY");
// Written spelt "COlORSCHEME", as it always has been: users' stores hold the value under
// that name, and names match in any letter case, so reading "COLORSCHEME" finds it.
inline const QString ColorScheme = QStringLiteral("COlORSCHEME");
inline const QString AutoQuit = QStringLiteral("AUTOQUIT");
inline const QString Subject = QStringLiteral("SUBJECT");
inline const QString RememberTo = QStringLiteral("REMEMBERTO");
inline const QString RememberMessage = QStringLiteral("REMEMBEREMAIL");
inline const QString LastPath = QStringLiteral("LASTPATH");
// Set by hand only: the files a job copies at once.
inline const QString Parallel = QStringLiteral("PARALLEL");
// The Sent jobs window's size, "WIDTHxHEIGHT".
inline const QString SentJobsWindow = QStringLiteral("SENTJOBSWINDOW");
// Its place on the desktop, "X,Y" (a value of its own: earlier versions read the size alone).
inline const QString SentJobsWindowPlace = QStringLiteral("SENTJOBSPLACE");
} // namespace uservalues
