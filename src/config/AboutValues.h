#pragma once
// What the About dialog shows of the running program: its version and which files and
// folder it works with.
#include <QString>

struct Client;

struct AboutValues {
    QString applicationLine; // product title and version
    QString programFile;     // the program file's full path
    QString policyFile;
    QString uploadFolder;    // with its trailing separator
    QString policyVersion;   // "-1" when the policy file names none
    QString maxSize;         // megabytes, "1024" when the policy file names none
};

// The values of the current run, read afresh at every call.
AboutValues ReadAboutValues(const Client& client);
