#pragma once
// What a job cannot carry, found before anything of it is written.
#include <QString>
struct Client;

// The message editor holds at most this many characters (a line end counts one), and
// so does a job's message.
constexpr int kMessageMaxChars = 4000;

// Whom a refusal speaks to: the window's user presses Finish again, the command line's
// user runs the command again.
enum class RefusalAudience { Window, CommandLine };

// Checks before anything is written: at most 500 recipients; no control character in
// any field (the message's lines may hold tabs); every text fits Windows-1252; every
// recipient, sender field and the subject fits its field in the job (kTextFieldBytes),
// never cut; the message holds at most kMessageMaxChars characters; the expiry is 1 to
// 5 digits. Returns the refusal text, naming the field and its limit, or empty when the
// job may be written.
QString JobRefusal(const Client& client, RefusalAudience audience);
