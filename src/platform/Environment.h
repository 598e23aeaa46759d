#pragma once
// What the program asks of its surroundings: the user's data folder, the computer's
// name, the local clock and the user's long time format.
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace environment {

// The variable APPDATA when set, otherwise the system's folder for the user's
// application data (on POSIX systems the XDG data home, ~/.local/share).
QString appData();
// The variable COMPUTERNAME when set, otherwise the system's name for this computer.
QString computerName();
// The policy file an installed program reads when none lies beside it (on POSIX
// systems /etc/parvela/parvelaclient.INI); empty where there is none. The variable
// PARVELA_SYSTEM_POLICY, when set, names it instead (tests, and packages that keep it
// elsewhere; set and empty: there is none).
QString systemPolicyFile();

// The current local date and time. Tests may replace the clock.
QDateTime now();
void setClock(std::function<QDateTime()> clock); // empty: the real clock

// The parts of the user's long time format that name the hour: 12- or 24-hour clock,
// leading zero of the hour, and where the AM/PM marker stands.
struct TimeFormat {
    bool twelveHour = false;
    bool leadingZero = true;
    bool markerFirst = false;
    QString amText = QStringLiteral("AM");
    QString pmText = QStringLiteral("PM");
};
TimeFormat longTimeFormat();
void setLongTimeFormat(std::optional<TimeFormat> format); // tests; nullopt: the system's
// Reads the clock settings out of a Qt time format pattern ("HH:mm:ss", "h:mm:ss AP"...).
TimeFormat timeFormatFromPattern(const QString& pattern);

} // namespace environment
