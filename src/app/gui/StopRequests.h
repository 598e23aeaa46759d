#pragma once
// What tells the window program to stop from outside: SIGHUP (the session's terminal
// closed), SIGINT, SIGQUIT, SIGTERM (log out, shut down) and the end of the desktop
// session. Outside a job a signal ends the program at once, as it asked. While a job
// is written (a JobScope exists) the job's copy sees reason(), the job is taken away
// again, lock last, and only then does the program end; no message box waits for an
// answer meanwhile.
#include <QObject>
#include <QString>

class QSessionManager;

class StopRequests : public QObject {
    Q_OBJECT
public:
    static StopRequests& instance();

    // Starts listening: the signals and the session's end.
    void install();
    // Why the program must stop ("Interrupted (SIGTERM)."); empty while nothing asked.
    static QString reason();

    // Marks the time a job is written. When it ends with a stop asked for, the
    // program ends.
    class JobScope {
    public:
        JobScope();
        ~JobScope();
        JobScope(const JobScope&) = delete;
        JobScope& operator=(const JobScope&) = delete;
    };

private:
    StopRequests() = default;
    void signalled();
    void sessionEnding();
    void endNow();

    bool m_watching = false;
    QString m_reason;
    int m_jobs = 0;
};
