#pragma once
// Start-up and the one way out.
#include <QString>
struct Client;
struct ClientState;

// The main window's caption: title, version and the vendor's address.
QString MainWindowCaption(const ClientState& state);
// Fixes the file locations and titles, creates the user data folder, empties the
// recipient list and loads the user's settings (which reads the policy file).
void StartClient(Client& client);
// Immediate: save and end. Otherwise ask "Quit?" first; No returns and changes nothing.
// Ending throws ProcessExit{0} after the settings are saved.
void QuitProgram(Client& client, bool immediate);
