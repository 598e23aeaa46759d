#pragma once
// The record of sent jobs in the window program: the jobs Finish writes are recorded,
// their states are watched while the program runs (with a desktop notification when
// one is taken, whose click shows the job), and the Sent jobs window shows them.
// Warnings of the record go into the Send page's log in the user's language.
#include "sent/SentStore.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <memory>

struct Client;
class JobObserver;
class QWidget;
class SentMonitor;
class SentRecorder;
class SentJobsWindow;
class TakenNotifier;
struct SentRecord;

class SentJobs : public QObject {
    Q_OBJECT
public:
    // owner: the main window, which the Sent jobs window belongs to.
    SentJobs(Client& client, QWidget* owner);
    ~SentJobs() override;

    // The recorder for the next job; null when the record cannot be opened.
    JobObserver* recorder();
    // Starts watching after delayMs (the program's first window comes first).
    void startWatching(int delayMs);
    // Shows the Sent jobs window (made at its first opening) in the user's language.
    void openWindow();
    SentJobsWindow* window() const;
    // An open Sent jobs window takes the user's language now.
    void applyLanguage();
    SentMonitor& monitor() { return *m_monitor; }

private:
    void warn(SentStore::Warning warning, const QString& detail);
    void jobTaken(const SentRecord& record);
    void windowHidden(const QRect& geometry);

    Client& m_client;
    QWidget* m_owner;
    SentStore m_store;
    std::unique_ptr<SentRecorder> m_recorder;
    SentMonitor* m_monitor;
    TakenNotifier* m_notifier;
    QPointer<SentJobsWindow> m_window;
    QString m_lastReadWarning;
};
