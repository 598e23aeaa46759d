#pragma once
// The administrator's policy file beside the program (LoadPolicies).
#include "platform/ProfileReader.h"

struct Client;

enum class PolicyScope {
    // The upload folder (probed as it is read), the policy version and the maximum size.
    Locations,
    // The same, then every policy applied over the form and the client state.
    Everything,
};

// A missing file: the plain "No INI file found..." box, then ProcessExit{0}. A file
// that cannot be read, or is larger than kMaxPolicyFileBytes: an error box with the
// reason and the file's path, then ProcessExit{0}.
void LoadPolicies(Client& client, PolicyScope scope);

// An administrator's file is a few hundred bytes; a larger one than this is refused
// before it is read, so that a wrong file cannot fill the memory.
constexpr qint64 kMaxPolicyFileBytes = 1024 * 1024;

// The content of the policy file at path, read within the bound. Throws IoError: the
// system's text, "Not a regular file" (a folder, a pipe), or the bound with the size.
QByteArray ReadPolicyBytes(const QString& path);
// The same, as the private-profile reader sees it.
ProfileReader ReadPolicyFile(const QString& path);
