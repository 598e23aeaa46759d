#pragma once
// The options stored the moment they change: encryption, self-extracting result,
// skip-welcome and expiry.
#include <QString>
struct Client;

// Connects the form's option signals to their stores (CBencrClick, CBsfxClick,
// CBskipwClick): encryption and self-extracting are stored only while the main window
// is visible, skip-welcome always.
void ConnectOptionStores(Client& client);
// Enter in LEexp and Apply: a value of 0 becomes "1", then EXPIRE is stored.
// Throws ConversionError for a text that is no whole number.
void StoreExpire(Client& client);
