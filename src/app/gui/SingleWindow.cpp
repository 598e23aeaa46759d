#include "app/gui/SingleWindow.h"

#include "app/HandOverMessage.h"
#include "client/UserValues.h"
#include "i18n/PathTexts.h"
#include "platform/Text.h"
#include "platform/UserOnly.h"
#include "platform/UserRegistry.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {
constexpr char kFolder[] = "parvelaclient";
constexpr char kSocket[] = "window";
constexpr char kLock[] = "window.lock";
constexpr char kAnswer = '1';
// How long a later start tries to reach the running window: it may be just starting,
// or busy for a moment.
constexpr int kHandOverMs = 30000;
// How long the running window waits for a connection's whole message.
constexpr int kMessageMs = 10000;
} // namespace

SingleWindow::SingleWindow(QObject* parent) : QObject(parent) {}

SingleWindow::~SingleWindow()
{
    // The socket goes before the lock, so that a start meanwhile finds neither a lock
    // without a socket nor a socket without a lock for long.
    if (m_server)
        m_server->close();
}

SingleWindow::Claim SingleWindow::claim(const QStringList& paths, const QString& runtimeFolder, bool listenNow)
{
    const QString parent =
        runtimeFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : runtimeFolder;
    QString error;
    const QString folder = useronly::privateFolder(parent, QString::fromLatin1(kFolder), &error);
    if (folder.isEmpty()) {
        // Deliberately not a reason to refuse the window: it runs as it did before there
        // was a hand-over, on its own.
        qWarning("parvelaclient: no private folder for the window's socket (%s); this window runs on its own",
                 qUtf8Printable(error));
        return Claim::Alone;
    }
    m_socketPath = QDir(folder).filePath(QString::fromLatin1(kSocket));
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(QString::fromLatin1(kLock)));
    // Held for as long as the window runs, however long: never taken for stale while
    // its holder lives.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return !listenNow || listen() ? Claim::First : Claim::Alone;
    if (m_lock->error() != QLockFile::LockFailedError) {
        qWarning("parvelaclient: the window's lock file in %s cannot be made; this window runs on its own",
                 qUtf8Printable(folder));
        return Claim::Alone;
    }
    return handOver(paths) ? Claim::HandedOver : Claim::NoAnswer;
}

std::optional<int> SingleWindow::claimOrEnd(const QStringList& paths)
{
    switch (claim(paths, {}, false)) {
    case Claim::First:
    case Claim::Alone:
        return std::nullopt;
    case Claim::HandedOver:
        return 0;
    case Claim::NoAnswer:
        break;
    }
    // The running window has the user's settings; this start only reads the language.
    const PathMessage message = NoAnswerMessage(asciiUpper(UserRegistry::open()->read(uservalues::Language)));
    QMessageBox box(QMessageBox::Critical, message.caption, message.text);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1;
}

bool SingleWindow::listenLate()
{
    return !m_server && m_lock && m_lock->isLocked() && listen();
}

bool SingleWindow::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a window that ended without closing it: the lock says nobody
    // listens on it any more.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        qWarning("parvelaclient: cannot listen on %s (%s); this window runs on its own", qUtf8Printable(m_socketPath),
                 qUtf8Printable(m_server->errorString()));
        delete m_server;
        m_server = nullptr;
        m_lock->unlock();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleWindow::takeConnections);
    return true;
}

bool SingleWindow::handOver(const QStringList& paths)
{
    // One message per connection: many paths go as several, in their order.
    const QDeadlineTimer deadline(kHandOverMs);
    const QList<QByteArray> messages = handover::encodeAll(paths);
    for (const QByteArray& message : messages) {
        if (!sendOne(message, deadline))
            return false;
    }
    return true;
}

bool SingleWindow::sendOne(const QByteArray& message, const QDeadlineTimer& deadline)
{
    QLocalSocket socket;
    // The lock's holder may be starting and not listen yet.
    for (;;) {
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(int(qMin<qint64>(1000, qMax<qint64>(1, deadline.remainingTime())))))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    // Paths go to the user's own window only.
    if (!useronly::peerIsThisUser(socket.socketDescriptor()))
        return false;
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kAnswer;
}

void SingleWindow::takeConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!useronly::peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // A connection that does not bring its whole message in time is dropped.
        QTimer::singleShot(kMessageMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        read(socket);
    }
}

void SingleWindow::read(QLocalSocket* socket)
{
    if (socket->state() != QLocalSocket::ConnectedState)
        return;
    QByteArray received = socket->property("received").toByteArray();
    // Never more than a whole message (and one byte to tell that it is too long).
    received += socket->read(handover::kMaxMessage + 1 - received.size());
    QStringList paths;
    switch (handover::decode(received, &paths)) {
    case handover::Reading::Incomplete:
        socket->setProperty("received", received);
        return;
    case handover::Reading::Malformed:
        socket->abort();
        socket->deleteLater();
        return;
    case handover::Reading::Complete:
        break;
    }
    socket->setProperty("received", QVariant());
    socket->putChar(kAnswer);
    socket->flush();
    socket->disconnectFromServer();
    deliver(paths);
}

void SingleWindow::setReceiver(Receiver receiver)
{
    m_receiver = std::move(receiver);
    const QList<QStringList> early = std::exchange(m_early, {});
    for (const QStringList& paths : early)
        deliver(paths);
}

void SingleWindow::deliver(const QStringList& paths)
{
    if (m_receiver)
        m_receiver(paths);
    else
        m_early.append(paths);
}
