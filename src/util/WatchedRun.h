#pragma once
// Blocking file work watched from the calling thread. A network share may stop
// answering, and a process waiting in a call to it cannot do anything else until it
// answers; so the work runs on a thread of its own, and the calling thread stays free
// to repaint a window, take a Cancel or a signal, and say how long the work has been
// silent.
#include <QtGlobal>

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>

// What the work and its watcher share.
class Activity {
public:
    Activity();

    // The work moved: a byte was copied, an entry made.
    void beat();
    // Milliseconds since the work last moved (or since it began).
    qint64 silentMilliseconds() const;

    // The first failure of the whole work, from any thread: kept, and every part of the
    // work is asked to stop. Later failures are the stop's consequences and are dropped.
    void fail(std::exception_ptr failure);
    // Whether the work must stop (it failed somewhere, or the watcher stopped it).
    bool stopping() const { return m_stopping.load(std::memory_order_relaxed); }
    // Throws the first failure, if any.
    void rethrowFailure() const;

private:
    std::atomic<qint64> m_lastBeat;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::exception_ptr m_failure;
};

// Runs work on a thread of its own; meanwhile calls tick on this thread every tickMs
// milliseconds until the work has ended. An exception from either is the work's
// failure (the first one counts): the work is asked to stop, ticks go on until it has
// (a window keeps painting while a stalled call returns), and then the failure is
// thrown here. The stop signals are not taken by the work's thread.
void RunWatched(const std::function<void(Activity&)>& work, const std::function<void(const Activity&)>& tick,
                int tickMs = 20);
