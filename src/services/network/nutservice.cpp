#include "nutservice.h"

#include "nutserver.h"

#include <QThread>

class NutServicePrivate
{
public:
    QThread thread;
    NutServer *server = nullptr;
    quint16 port = 0;
    QString problem;
    NutClientList clients;
};

NutService::NutService(QObject *parent) : QObject(parent), d(new NutServicePrivate)
{
    qRegisterMetaType<NutClientList>();
    d->thread.setObjectName(QStringLiteral("network server"));
    d->server = new NutServer;
    d->server->moveToThread(&d->thread);
    connect(&d->thread, &QThread::finished, d->server, &QObject::deleteLater);
    connect(d->server, &NutServer::commandRequested, this, &NutService::commandRequested);
    connect(d->server, &NutServer::shutdownWaitFinished, this, &NutService::shutdownWaitFinished);
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

NutService::~NutService()
{
    d->thread.quit();
    d->thread.wait();
    delete d;
}

void NutService::setConfig(const NutServerConfig &config)
{
    NutServer *server = d->server;
    QMetaObject::invokeMethod(server, [server, config] { server->setConfig(config); });
}

void NutService::setSnapshot(const NutSnapshot &snapshot)
{
    NutServer *server = d->server;
    QMetaObject::invokeMethod(server, [server, snapshot] { server->setSnapshot(snapshot); });
}

void NutService::setAccounts(const NutAccountList &accounts)
{
    NutServer *server = d->server;
    QMetaObject::invokeMethod(server, [server, accounts] { server->setAccounts(accounts); });
}

void NutService::beginShutdownWait()
{
    QMetaObject::invokeMethod(d->server, &NutServer::beginShutdownWait);
}

void NutService::clearFsd()
{
    QMetaObject::invokeMethod(d->server, &NutServer::clearFsd);
}

quint16 NutService::port() const
{
    return d->port;
}

QString NutService::problem() const
{
    return d->problem;
}

NutClientList NutService::clients() const
{
    return d->clients;
}
