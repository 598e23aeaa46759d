#include "util/FolderLister.h"

FolderLister::~FolderLister()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_helper.joinable())
        m_helper.join();
}

FolderLister::Handle FolderLister::expect(const QByteArray& path, const filetree::Status& status)
{
    auto job = std::make_shared<Job>();
    job->folder.path = path;
    job->folder.status = status;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting.push_back(job);
        // A walk that finds no second folder never starts the helper.
        if (!m_helper.joinable())
            m_helper = std::thread([this] { help(); });
    }
    m_changed.notify_all();
    return job;
}

FolderLister::Folder& FolderLister::take(const Handle& job)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    // Folders already taken leave the front of the line.
    while (!m_waiting.empty() && m_waiting.front()->state != State::Waiting)
        m_waiting.pop_front();
    if (job->state == State::Waiting) {
        job->state = State::Begun;
        lock.unlock();
        list(job->folder);
        return job->folder;
    }
    // The helper has begun it. Meanwhile the walk lists the next folder nobody has
    // begun rather than wait: where another program keeps a core busy, the helper
    // shares the walk's core or goes at half speed, and each wait cost a switch.
    while (job->state != State::Done) {
        if (const Handle ahead = nextToList(0))
            listAhead(ahead, lock);
        else
            m_changed.wait(lock);
    }
    m_held -= qsizetype(job->folder.entries.size());
    m_changed.notify_all();
    return job->folder;
}

void FolderLister::list(Folder& folder) const
{
    folder.listed = m_fs.list(folder.path, folder.status, folder.entries, &folder.error);
}

FolderLister::Handle FolderLister::nextToList(int skip) const
{
    // Listings made ahead wait in memory until the walk takes them: only so many.
    if (m_held > kHeldEntries)
        return {};
    for (const Handle& waiting : m_waiting)
        if (waiting->state == State::Waiting && skip-- == 0)
            return waiting;
    return {};
}

void FolderLister::listAhead(const Handle& job, std::unique_lock<std::mutex>& lock)
{
    job->state = State::Begun;
    lock.unlock();
    list(job->folder);
    lock.lock();
    m_held += qsizetype(job->folder.entries.size());
    job->state = State::Done;
    m_changed.notify_all();
}

void FolderLister::help()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_stop)
            return;
        // The first folder waiting is the walk's to list next; the helper takes the one
        // after it. So the two take turns close ahead of the walk, and little waits in
        // memory for it.
        if (const Handle job = nextToList(1))
            listAhead(job, lock);
        else
            m_changed.wait(lock);
    }
}
