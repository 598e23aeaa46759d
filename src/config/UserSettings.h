#pragma once
// The user's stored choices: first-run defaults, loading at start-up (with the policy
// version rule and the locks) and saving.
struct Client;

void SetFirstRunDefaults(Client& client);
void LoadUserSettings(Client& client);
void SaveUserSettings(Client& client);
