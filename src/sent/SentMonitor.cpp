#include "sent/SentMonitor.h"

#include "sent/SentStates.h"
#include "sent/SentStore.h"

#include <QFileInfo>

SentMonitor::SentMonitor(SentStore& store, QObject* parent)
    : QObject(parent), m_store(store), m_since(QDateTime::currentDateTimeUtc())
{
    m_interval.setInterval(kIntervalMs);
    m_soon.setSingleShot(true);
    m_soon.setInterval(250);
    connect(&m_interval, &QTimer::timeout, this, &SentMonitor::lookNow);
    connect(&m_soon, &QTimer::timeout, this, &SentMonitor::lookNow);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &SentMonitor::lookSoon);
}

void SentMonitor::start()
{
    if (isStarted())
        return;
    m_interval.start();
    lookSoon();
}

void SentMonitor::watchAlso(const QString& folder)
{
    m_alsoWatched = folder;
}

void SentMonitor::lookSoon()
{
    if (!m_soon.isActive())
        m_soon.start();
}

void SentMonitor::lookNow()
{
    m_soon.stop();
    QList<SentRecord> records = m_store.unsettled(m_since);
    LookAtUploadFolders(records, &m_store);
    QSet<QString> folders;
    if (!m_alsoWatched.isEmpty())
        folders.insert(m_alsoWatched);
    for (const SentRecord& r : records) {
        const auto before = m_seen.constFind(r.id);
        // Seen before and not yet taken then, or written since this program started.
        const bool notTakenBefore = before != m_seen.cend() ? before.value() != SentState::Taken
                                                            : r.started >= m_since;
        if (r.state == SentState::Taken && notTakenBefore && (before == m_seen.cend() || before.value() != SentState::Failed))
            Q_EMIT jobTaken(r);
        m_seen.insert(r.id, r.state);
        if (!r.isSettled())
            folders.insert(r.uploadFolder);
    }
    watch(folders);
    m_lastLook = QDateTime::currentDateTimeUtc();
    Q_EMIT looked();
}

void SentMonitor::watch(const QSet<QString>& folders)
{
    const QStringList watched = m_watcher.directories();
    for (const QString& folder : watched)
        if (!folders.contains(folder))
            m_watcher.removePath(folder);
    for (const QString& folder : folders)
        if (!watched.contains(folder) && QFileInfo(folder).isDir())
            m_watcher.addPath(folder);
}
