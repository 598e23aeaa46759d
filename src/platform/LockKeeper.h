#pragma once
// The thread that keeps a writer's lock file marked alive: every
// lockRefreshMilliseconds() it calls mark (which writes the lock's first byte again
// and flushes it, so the file system stamps the time), until the keeper is destroyed.
// Stop signals stay with the main thread. Each system's lock owns one.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace filetree {

class LockKeeper {
public:
    explicit LockKeeper(std::function<void()> mark);
    ~LockKeeper();
    LockKeeper(const LockKeeper&) = delete;
    LockKeeper& operator=(const LockKeeper&) = delete;

private:
    void run();

    std::function<void()> m_mark;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace filetree
