#pragma once
// Keeps the states of the recorded jobs current while the window program runs. The
// upload folders of the jobs not yet settled are watched, and looked at every 30 s as
// well, since network shares report no changes. Tells when a job it saw not yet taken,
// or one written while it runs, is taken.
#include "sent/SentRecord.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

class SentStore;

class SentMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 30000;

    explicit SentMonitor(SentStore& store, QObject* parent = nullptr);

    // A first look in a moment, then one whenever a watched folder changes and every interval.
    void start();
    bool isStarted() const { return m_interval.isActive(); }
    // Also watched: the folder new jobs are written to.
    void watchAlso(const QString& folder);
    void setInterval(int ms) { m_interval.setInterval(ms); }
    // A look in a moment: changes come in bursts, and one look answers them all.
    void lookSoon();
    void lookNow();
    // When the last look was (UTC); null before the first.
    QDateTime lastLook() const { return m_lastLook; }
    QStringList watchedFolders() const { return m_watcher.directories(); }

Q_SIGNALS:
    // After every look: states, and the records themselves, may have changed.
    void looked();
    void jobTaken(const SentRecord& record);

private:
    void watch(const QSet<QString>& folders);

    SentStore& m_store;
    QFileSystemWatcher m_watcher;
    QTimer m_interval;
    QTimer m_soon;
    QDateTime m_since; // jobs written and taken from here on count as this run's
    QDateTime m_lastLook;
    QString m_alsoWatched;
    QHash<qint64, SentState> m_seen; // the state each job had at the last look
};
