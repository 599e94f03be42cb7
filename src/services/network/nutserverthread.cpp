#include "nutserverthread.h"

#include "nutserver.h"
#include "threadinbox.h"

#include <QThread>

class NutServerThreadPrivate
{
public:
    void ensureServer(NutServerThread *q);

    QThread thread;
    // Made, with its thread, when the server is first switched on: until then a program that
    // serves nobody loads no TLS library and runs no thread for it.
    NutServer *server = nullptr;
    ThreadInbox *inbox = nullptr; // the calls to the server, on its thread
    ThreadInbox *replies = nullptr; // what the server tells, on this object's thread
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
    inbox = new ThreadInbox;
    inbox->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, inbox, &QObject::deleteLater);
    // What the server tells comes back through an inbox of this thread, so its copies pass
    // under a lock the thread sanitizer sees.
    replies = new ThreadInbox(q);
    ThreadInbox *back = replies;
    QObject::connect(
        server, &NutServer::commandRequested, server,
        [back, q](const QByteArray &command, const QByteArray &parameter, const QString &user,
                  const QString &address) {
            back->post([=] { emit q->commandRequested(command, parameter, user, address); });
        },
        Qt::DirectConnection);
    QObject::connect(
        server, &NutServer::shutdownWaitFinished, server,
        [back, q] { back->post([q] { emit q->shutdownWaitFinished(); }); }, Qt::DirectConnection);
    QObject::connect(
        server, &NutServer::clientsChanged, server,
        [this, back, q](const NutClientList &list) {
            back->post([this, q, list] {
                clients = list;
                emit q->clientsChanged();
            });
        },
        Qt::DirectConnection);
    QObject::connect(
        server, &NutServer::listening, server,
        [this, back, q](quint16 listeningOn, const QString &why) {
            back->post([this, q, listeningOn, why] {
                problem = why;
                if (listeningOn != port) {
                    port = listeningOn;
                    emit q->portChanged(listeningOn);
                }
                emit q->listenAttempted();
            });
        },
        Qt::DirectConnection);
    thread.start();
    NutServer *s = server;
    if (haveAccounts)
        inbox->post([s, list = accounts] { s->setAccounts(list); });
    if (haveSnapshot)
        inbox->post([s, data = snapshot] { s->setSnapshot(data); });
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
    d->inbox->post([server, config] { server->setConfig(config); });
}

void NutServerThread::setSnapshot(const NutSnapshot &snapshot)
{
    d->snapshot = snapshot;
    d->haveSnapshot = true;
    if (NutServer *server = d->server)
        d->inbox->post([server, snapshot] { server->setSnapshot(snapshot); });
}

void NutServerThread::setAccounts(const NutAccountList &accounts)
{
    d->accounts = accounts;
    d->haveAccounts = true;
    if (NutServer *server = d->server)
        d->inbox->post([server, accounts] { server->setAccounts(accounts); });
}

void NutServerThread::beginShutdownWait()
{
    if (!d->server) {
        // Nobody is served, so nobody is waited for; told as the server would tell it.
        QMetaObject::invokeMethod(this, &NutServerThread::shutdownWaitFinished, Qt::QueuedConnection);
        return;
    }
    NutServer *server = d->server;
    d->inbox->post([server] { server->beginShutdownWait(); });
}

void NutServerThread::clearFsd()
{
    if (NutServer *server = d->server)
        d->inbox->post([server] { server->clearFsd(); });
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
