#include "nutserverthread.h"

#include "nutserver.h"

#include <QThread>

class NutServerThreadPrivate
{
public:
    void ensureServer(NutServerThread *q);

    QThread thread;
    // Made, with its thread, when the server is first switched on: until then a program that
    // serves nobody loads no TLS library and runs no thread for it.
    NutServer *server = nullptr;
    NutServerConfig config;
    NutSnapshot snapshot;
    bool haveSnapshot = false;
    NutAccountList accounts;
    bool haveAccounts = false;
    quint16 port = 0;
    QString problem;
    NutClientList clients;
};

void NutServerThreadPrivate::ensureServer(NutServerThread *q)
{
    if (server)
        return;
    server = new NutServer;
    server->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, server, &QObject::deleteLater);
    QObject::connect(server, &NutServer::commandRequested, q, &NutServerThread::commandRequested);
    QObject::connect(server, &NutServer::shutdownWaitFinished, q,
                     &NutServerThread::shutdownWaitFinished);
    QObject::connect(server, &NutServer::clientsChanged, q,
                     [this, q](const NutClientList &list) {
                         clients = list;
                         emit q->clientsChanged();
                     });
    QObject::connect(server, &NutServer::listening, q,
                     [this, q](quint16 listeningOn, const QString &why) {
                         problem = why;
                         if (listeningOn != port) {
                             port = listeningOn;
                             emit q->portChanged(listeningOn);
                         }
                         emit q->listenAttempted();
                     });
    thread.start();
    NutServer *s = server;
    if (haveAccounts)
        QMetaObject::invokeMethod(s, [s, list = accounts] { s->setAccounts(list); });
    if (haveSnapshot)
        QMetaObject::invokeMethod(s, [s, data = snapshot] { s->setSnapshot(data); });
}

NutServerThread::NutServerThread(QObject *parent) : QObject(parent), d(new NutServerThreadPrivate)
{
    qRegisterMetaType<NutClientList>();
    d->thread.setObjectName(QStringLiteral("network server"));
}

NutServerThread::~NutServerThread()
{
    d->thread.quit();
    d->thread.wait();
    delete d;
}

void NutServerThread::setConfig(const NutServerConfig &config)
{
    d->config = config;
    if (!d->server && !config.enabled)
        return;
    d->ensureServer(this);
    NutServer *server = d->server;
    QMetaObject::invokeMethod(server, [server, config] { server->setConfig(config); });
}

void NutServerThread::setSnapshot(const NutSnapshot &snapshot)
{
    d->snapshot = snapshot;
    d->haveSnapshot = true;
    if (NutServer *server = d->server)
        QMetaObject::invokeMethod(server, [server, snapshot] { server->setSnapshot(snapshot); });
}

void NutServerThread::setAccounts(const NutAccountList &accounts)
{
    d->accounts = accounts;
    d->haveAccounts = true;
    if (NutServer *server = d->server)
        QMetaObject::invokeMethod(server, [server, accounts] { server->setAccounts(accounts); });
}

void NutServerThread::beginShutdownWait()
{
    if (!d->server) {
        // Nobody is served, so nobody is waited for; told as the server would tell it.
        QMetaObject::invokeMethod(this, &NutServerThread::shutdownWaitFinished, Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(d->server, &NutServer::beginShutdownWait);
}

void NutServerThread::clearFsd()
{
    if (d->server)
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
