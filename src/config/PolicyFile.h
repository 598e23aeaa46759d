#pragma once
// The administrator's policy file beside the program (LoadPolicies).
struct Client;

enum class PolicyScope {
    // The upload folder (probed as it is read), the policy version and the maximum size.
    Locations,
    // The same, then every policy applied over the form and the client state.
    Everything,
};

// A missing file: the plain "No INI file found..." box, then ProcessExit{0}.
void LoadPolicies(Client& client, PolicyScope scope);
