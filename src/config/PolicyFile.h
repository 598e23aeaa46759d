#pragma once
// The administrator's policy file beside the program (LoadPolicies).
struct Client;

// Scope 1 reads the upload folder (probing it), the policy version and the maximum
// size; scope 2 also applies the policies over the form and the client state.
// A missing file: the plain "No INI file found..." box, then ProcessExit{0}.
void LoadPolicies(Client& client, int scope);
