#pragma once
// A job's name, unique in the upload folder, and its four entries.
#include <QString>
struct ClientState;

struct JobNames {
    QString descriptor; // JobName + ".pvx"
    QString folder;     // JobName + ".dir"
    QString message;    // JobName + ".msg"
    QString lock;       // JobName + ".lck"
};

// "PV_" + computer name + "_" + date digits + "_" + 40 random characters, trimmed;
// drawn again while a ".dir" folder of that name exists in the upload folder.
JobNames MakeJobName(const ClientState& state);
