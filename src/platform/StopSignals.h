#pragma once
// Ctrl-C (SIGINT) and SIGTERM while the command-line tool writes a job: instead of
// ending the process at once, with half a job left behind, they are noted, the job is
// taken away again, and then the process ends as the signal asked.
#include <QString>

namespace stopsignals {

// From now on SIGINT and SIGTERM are only noted.
void catchThem();
// The signal that came since catchThem(), or 0.
int pending();
// "SIGINT", "SIGTERM".
QString name(int signal);
// Gives both signals their usual effect again; when one came meanwhile, ends the
// process with it now.
void endIfPending();

} // namespace stopsignals
