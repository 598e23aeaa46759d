#pragma once
// A job's name, unique in the upload folder, and its four entries.
#include <QString>
#include <functional>
#include <optional>
struct ClientState;

struct JobNames {
    QString descriptor; // JobName + ".pvx"
    QString folder;     // JobName + ".dir"
    QString message;    // JobName + ".msg"
    QString lock;       // JobName + ".lck"
};

// "PV_" + computer name + "_" + date digits + "_" + 40 random characters, trimmed;
// drawn again while a ".dir" folder of that name exists in the upload folder.
// A computer name with characters that cannot stand in a file name (path separators
// above all) has them replaced by '-', so the job never lands outside the upload folder.
JobNames MakeJobName(const ClientState& state);
// The same with the random part drawn by randomPart instead of RandomText(40, DigitsUpperLower), so a
// test can decide which names come up.
JobNames MakeJobName(const ClientState& state, const std::function<QString()>& randomPart);

// The parts of a name MakeJobName made (without extension). Read from the right end,
// where the widths are fixed: the last 40 characters are the random part (letters and
// digits), before them '_', the date digits (8, 13 or 14) and '_'. What stands between
// "PV_" and that is the computer's name, whole, whatever '_' or digits it holds.
// nullopt for any other name.
struct JobNameParts {
    QString computer;
    QString date;
    QString random;
};
std::optional<JobNameParts> ParseJobName(const QString& jobName);

// This computer's name as its job names hold it: COMPUTERNAME, or else the host name,
// with every character that cannot stand in a file name replaced by '-'.
QString JobComputerName();
