#include "controlserver.h"

#include "commandinterpreter.h"

#include <QLocalServer>
#include <QLocalSocket>

class ControlServerPrivate
{
public:
    CommandInterpreter *interpreter = nullptr;
    QLocalServer server;
};

ControlServer::ControlServer(CommandInterpreter *interpreter, QObject *parent)
    : QObject(parent), d(new ControlServerPrivate)
{
    d->interpreter = interpreter;
    connect(&d->server, &QLocalServer::newConnection, this, &ControlServer::onNewConnection);
}

ControlServer::~ControlServer()
{
    d->server.close();
}

bool ControlServer::listen(const QString &path, QString *error)
{
    // A socket file left by a simulator that was killed would block the name.
    QLocalServer::removeServer(path);
    if (d->server.listen(path))
        return true;
    *error = QStringLiteral("cannot listen on %1: %2").arg(path, d->server.errorString());
    return false;
}

void ControlServer::onNewConnection()
{
    while (QLocalSocket *client = d->server.nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            while (client->canReadLine()) {
                const QString line = QString::fromUtf8(client->readLine());
                client->write(d->interpreter->execute(line).toUtf8() + '\n');
                client->flush();
            }
        });
    }
}
