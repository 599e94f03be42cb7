#include "singleinstance.h"

#include "logcategories.h"
#include "paths.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
const char ack = '\x06';
// A request line is short; anything longer is no request of ours.
const qint64 maxRequest = 1024;
// The socket's path, terminator included, must fit the system's address (108 bytes on Linux,
// with room for the temporary name the socket is made under).
const int maxSocketPath = 96;
} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) { }

SingleInstance::~SingleInstance()
{
    delete m_server;
    delete m_lock;
}

QString SingleInstance::socketName()
{
    const QString inRoot = Paths::file(QStringLiteral("/quelta.sock"));
    if (QFile::encodeName(inRoot).size() <= maxSocketPath)
        return inRoot;
#ifdef Q_OS_UNIX
    const QString user = QString::number(getuid());
#else
    const QString user = qEnvironmentVariable("USERNAME");
#endif
    const QByteArray rootHash =
        QCryptographicHash::hash(Paths::root().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("quelta-%1-%2").arg(user, QString::fromLatin1(rootHash));
}

bool SingleInstance::isRunning()
{
    if (m_checked)
        return m_running;
    m_checked = true;

    // In the program folder itself: two programs that see different temporary folders (a
    // service has a private one) still meet here.
    m_lock = new QLockFile(lockFile());
    // Never stale by age; a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_running = true;
            QString host, application;
            m_lock->getLockInfo(&m_owner, &host, &application);
            return true;
        }
        qCWarning(lcShell) << "Cannot create the single-instance lock; running unguarded";
    }

    // We own the lock: a socket left by a crashed instance is ours to remove.
    const QString name = socketName();
    QLocalServer::removeServer(name);
    m_server = new QLocalServer;
    // The user and the group of the folder: a monitoring account in the service's group may ask
    // for the state of the UPS.
    m_server->setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::GroupAccessOption);
    if (!m_server->listen(name))
        qCWarning(lcShell) << "Cannot listen for a second instance:" << m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return false;
}

QString SingleInstance::lockFile()
{
    return Paths::file(QStringLiteral("/quelta.lock"));
}

qint64 SingleInstance::owner() const
{
    return m_owner;
}

void SingleInstance::setAnswer(const QByteArray &request, const Answer &answer)
{
    m_answers.insert(request, answer);
}

bool SingleInstance::sendMessage(const QString &message, int timeout)
{
    QLocalSocket socket;
    socket.connectToServer(socketName());
    if (!socket.waitForConnected(timeout))
        return false;
    const QByteArray payload = message.toUtf8() + '\n';
    socket.write(payload);
    if (!socket.waitForBytesWritten(timeout))
        return false;
    // Delivered means the running instance read it and answered.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeout))
            return false;
    }
    return socket.read(1).at(0) == ack;
}

SingleInstance::Reply SingleInstance::ask(const QByteArray &request, int timeout,
                                          QByteArray *answer)
{
    QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(socketName());
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        return socket.error() == QLocalSocket::SocketAccessError ? Reply::Refused
                                                                 : Reply::NotRunning;
    }
    socket.write(request + '\n');
    // The answer ends where the program closes the connection.
    while (socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired())
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    *answer = socket.readAll();
    return socket.state() == QLocalSocket::ConnectedState || answer->isEmpty() ? Reply::NoAnswer
                                                                               : Reply::Answered;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maxRequest)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine().chopped(1);
            const auto answer = m_answers.constFind(line);
            if (answer != m_answers.constEnd()) {
                socket->write((*answer)());
                socket->disconnectFromServer();
                return;
            }
            socket->write(QByteArray(1, ack));
            socket->flush();
            emit messageReceived(QString::fromUtf8(line));
        });
    }
}
