#pragma once
// The last recipients (pvxto.txt) and the last message (pvxcache.txt) in the user's
// data folder: Windows-1252 text with CR LF line ends, replaced atomically.
struct Client;

void SaveRecipientCache(Client& client);
void SaveMessageCache(Client& client);
void LoadRecipientCache(Client& client);
void LoadMessageCache(Client& client);
