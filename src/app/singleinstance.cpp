#include "singleinstance.h"

#include "logcategories.h"
#include "paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
const char ack = '\x06';
}

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) { }

SingleInstance::~SingleInstance()
{
    delete m_server;
    delete m_lock;
}

QString SingleInstance::instanceKey()
{
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

    const QString key = instanceKey();
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
    QLocalServer::removeServer(key);
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(key))
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

bool SingleInstance::sendMessage(const QString &message, int timeout)
{
    QLocalSocket socket;
    socket.connectToServer(instanceKey());
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

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            if (!socket->canReadLine())
                return;
            const QString message = QString::fromUtf8(socket->readLine()).chopped(1);
            socket->write(QByteArray(1, ack));
            socket->flush();
            emit messageReceived(message);
        });
    }
}
