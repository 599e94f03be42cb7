#include "nutserverthread.h"

#include "nutserver.h"

#include <QThread>

class NutServerThreadPrivate
{
public:
    QThread thread;
    NutServer *server = nullptr;
    quint16 port = 0;
    QString problem;
    NutClientList clients;
};

NutServerThread::NutServerThread(QObject *parent) : QObject(parent), d(new NutServerThreadPrivate)
{
    qRegisterMetaType<NutClientList>();
    d->thread.setObjectName(QStringLiteral("network server"));
    d->server = new NutServer;
    d->server->moveToThread(&d->thread);
    connect(&d->thread, &QThread::finished, d->server, &QObject::deleteLater);
    connect(d->server, &NutServer::commandRequested, this, &NutServerThread::commandRequested);
    connect(d->server, &NutServer::shutdownWaitFinished, this,
            &NutServerThread::shutdownWaitFinished);
    connect(d->server, &NutServer::clientsChanged, this, [this](const NutClientList &clients) {
        d->clients = clients;
        emit clientsChanged();
    });
    connect(d->server, &NutServer::listening, this, [this](quint16 port, const QString &problem) {
        d->problem = problem;
        if (port != d->port) {
            d->port = port;
            emit portChanged(port);
        }
        emit listenAttempted();
    });
    d->thread.start();
}

NutServerThread::~NutServerThread()
{
    d->thread.quit();
    d->thread.wait();
    delete d;
}

void NutServerThread::setConfig(const NutServerConfig &config)
{
    NutServer *server = d->server;
    QMetaObject::invokeMethod(server, [server, config] { server->setConfig(config); });
}

void NutServerThread::setSnapshot(const NutSnapshot &snapshot)
{
    NutServer *server = d->server;
    QMetaObject::invokeMethod(server, [server, snapshot] { server->setSnapshot(snapshot); });
}

void NutServerThread::setAccounts(const NutAccountList &accounts)
{
    NutServer *server = d->server;
    QMetaObject::invokeMethod(server, [server, accounts] { server->setAccounts(accounts); });
}

void NutServerThread::beginShutdownWait()
{
    QMetaObject::invokeMethod(d->server, &NutServer::beginShutdownWait);
}

void NutServerThread::clearFsd()
{
    QMetaObject::invokeMethod(d->server, &NutServer::clearFsd);
}

quint16 NutServerThread::port() const
{
    return d->port;
}

QString NutServerThread::problem() const
{
    return d->problem;
}

NutClientList NutServerThread::clients() const
{
    return d->clients;
}
