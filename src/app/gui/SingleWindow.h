#pragma once
// One window per user. The first start of the window program holds a lock file and
// listens on a local socket, both in a folder of the user's runtime folder that only
// the user may enter; a later start hands its files and folders over through the
// socket and ends, and the running window adds them and comes to the front. A message
// can do nothing more than that, and only a well-formed one from the user's own
// processes counts: any other is dropped unanswered.
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QDeadlineTimer;
class QLocalServer;
class QLocalSocket;
class QLockFile;

class SingleWindow : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First,      // this process shows the window; later starts hand over to it
        HandedOver, // the running window took the paths
        NoAnswer,   // a window runs, but it did not take them in time
        Alone,      // no private folder or socket could be had: this window runs on its own
    };
    using Receiver = std::function<void(const QStringList& paths)>;

    explicit SingleWindow(QObject* parent = nullptr);
    ~SingleWindow() override;

    // Takes the user's window for this process, or hands paths to the one that has it.
    // runtimeFolder: where the private folder goes; empty: the user's runtime folder.
    // listenNow false: the first start holds the lock but listens only on listenLate().
    Claim claim(const QStringList& paths, const QString& runtimeFolder = {}, bool listenNow = true);
    // The window program's start: claim, and the exit code when this process ends
    // here (paths handed over: 0; no answer: 1, after saying so in the user's language).
    // The socket waits for listenLate(): the window comes first, and a later start
    // meanwhile keeps trying to connect.
    std::optional<int> claimOrEnd(const QStringList& paths);
    // Listens, after a claim that held the lock without; false: this window runs on its own.
    bool listenLate();

    // Where handed-over paths go; those that came before are delivered now.
    void setReceiver(Receiver receiver);
    // The socket the first start listens on.
    QString socketPath() const { return m_socketPath; }

private:
    bool listen();
    bool handOver(const QStringList& paths);
    bool sendOne(const QByteArray& message, const QDeadlineTimer& deadline);
    void takeConnections();
    void read(QLocalSocket* socket);
    void deliver(const QStringList& paths);

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    QString m_socketPath;
    Receiver m_receiver;
    QList<QStringList> m_early;
};
