#pragma once
// What tells the window program to stop from outside: SIGHUP (the session's terminal
// closed), SIGINT, SIGQUIT, SIGTERM (log out, shut down) and the end of the desktop
// session. While a job's bytes are written (between setWriting(true) and (false)) the
// job's copy sees reason(), the job is taken away again, lock last, and only then does
// the program end (when its JobScope closes); no message box waits for an answer
// meanwhile. At any other moment, a question up or not, the settings are saved as Quit
// saves them (the beforeEnd action), every window closes, no job starts, and the
// program ends as the signal asked.
//
// The desktop session asks before it ends (Windows asks every window, then ends the
// process as soon as it has said its last word): while a job is written the answer is
// "not yet", the job is taken away, lock last, and the program then ends by itself, so
// the session can go on. Outside a job the settings are saved and the session may end.
#include <QObject>
#include <QString>
#include <functional>

class QSessionManager;

class StopRequests : public QObject {
    Q_OBJECT
public:
    static StopRequests& instance();

    // Starts listening: the signals and the session's end.
    void install();
    // What runs before the program ends on a stop outside the writing of a job.
    void setBeforeEnd(std::function<void()> action) { m_beforeEnd = std::move(action); }
    // Whether a job's bytes are being written now.
    static void setWriting(bool on) { instance().m_writing = on; }
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
    // The session asks whether it may end; true: not yet (a job is being written).
    bool sessionEndAsked();
    void sessionEnding();
    void endNow();

    std::function<void()> m_beforeEnd;
    bool m_watching = false;
    bool m_sessionWatched = false;
    bool m_writing = false;
    QString m_reason;
    int m_jobs = 0;
};
