#include "util/WatchedRun.h"

#include "platform/StopSignals.h"

#include <chrono>
#include <condition_variable>
#include <thread>

namespace {

qint64 steadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

Activity::Activity() : m_lastBeat(steadyMilliseconds()) {}

void Activity::beat()
{
    m_lastBeat.store(steadyMilliseconds(), std::memory_order_relaxed);
}

qint64 Activity::silentMilliseconds() const
{
    return steadyMilliseconds() - m_lastBeat.load(std::memory_order_relaxed);
}

void Activity::fail(std::exception_ptr failure)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_failure)
        m_failure = std::move(failure);
    m_stopping.store(true);
}

void Activity::rethrowFailure() const
{
    std::exception_ptr failure;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        failure = m_failure;
    }
    if (failure)
        std::rethrow_exception(failure);
}

void RunWatched(const std::function<void(Activity&)>& work, const std::function<void(const Activity&)>& tick,
                int tickMs)
{
    Activity activity;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread worker([&] {
        stopsignals::leaveToMainThread();
        try {
            work(activity);
        } catch (...) {
            activity.fail(std::current_exception());
        }
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
        ended.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex);
    while (!ended.wait_for(lock, std::chrono::milliseconds(tickMs), [&] { return done; })) {
        lock.unlock();
        try {
            tick(activity);
        } catch (...) {
            activity.fail(std::current_exception());
        }
        lock.lock();
    }
    lock.unlock();
    worker.join();
    activity.rethrowFailure();
}
