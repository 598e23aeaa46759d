#include "platform/LockKeeper.h"

#include "platform/FileTree.h"
#include "platform/StopSignals.h"

#include <chrono>

namespace filetree {

LockKeeper::LockKeeper(std::function<void()> mark) : m_mark(std::move(mark))
{
    m_thread = std::thread([this] { run(); });
}

LockKeeper::~LockKeeper()
{
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void LockKeeper::run()
{
    stopsignals::leaveToMainThread();
    const auto period = std::chrono::milliseconds(lockRefreshMilliseconds());
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, period, [this] { return m_stop; })) {
        lock.unlock();
        m_mark();
        lock.lock();
    }
}

} // namespace filetree
