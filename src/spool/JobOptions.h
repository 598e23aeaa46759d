#pragma once
// The options stored the moment they change: encryption, self-extracting result,
// skip-welcome and expiry.
#include <QString>
struct Client;

// Stores each option the moment it changes: encryption and self-extracting only while
// the main window is visible (start-up's changes are saved with the settings),
// skip-welcome always.
void ConnectOptionStores(Client& client);
// Enter in LEexp and Apply: a value of 0 becomes "1", then EXPIRE is stored.
// Throws ConversionError for a text that is no whole number.
void StoreExpire(Client& client);
