#pragma once
// The signals that tell a process to stop (SIGHUP: the terminal or session closed;
// SIGINT: Ctrl-C; SIGQUIT; SIGTERM: log out, shut down, kill) while a job is written:
// instead of ending the process at once, with half a job left behind, they are noted,
// the job is taken away again, and then the process ends as the signal asked.
#include <QString>

#include <functional>

class QObject;

namespace stopsignals {

// From now on the four signals are only noted, and announced to watch(); one that was
// ignored when the process started (nohup, a shell's "&") stays ignored. SIGPIPE is
// ignored: a reader that went away makes a write fail, never ends the process.
void catchThem();
// The signal that came since catchThem(), or 0.
int pending();
// "SIGHUP", "SIGINT", "SIGQUIT", "SIGTERM".
QString name(int signal);
// Gives the signals the effect they had when the process started again; when one came
// meanwhile, ends the process with it now.
void endIfPending();
// Makes the calling thread (a helper thread) leave the stop signals to the others: a
// helper waiting in a call to a file system is not interrupted by them, and the thread
// that watches for them notes them at once.
void leaveToMainThread();
// Calls each on context's thread, from its event loop, soon after a signal was noted
// (after catchThem()), for as long as context lives.
void watch(QObject* context, std::function<void()> each);

} // namespace stopsignals
