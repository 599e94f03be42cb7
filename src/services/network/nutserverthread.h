#pragma once

#include "nutaccount.h"
#include "nutclientinfo.h"
#include "nutserverconfig.h"
#include "nutsnapshot.h"

#include <QObject>

class NutServerThreadPrivate;

// The network server as the rest of the program sees it: it runs the server on a thread of its
// own, so neither many clients, TLS handshakes nor password checks ever hold up the thread that
// talks to the UPS, and passes data in and outcomes back as queued calls. Nothing here waits for
// the server.
class NutServerThread : public QObject
{
    Q_OBJECT
public:
    explicit NutServerThread(QObject *parent = nullptr);
    ~NutServerThread() override;

    void setConfig(const NutServerConfig &config);
    void setSnapshot(const NutSnapshot &snapshot);
    void setAccounts(const NutAccountList &accounts);
    // The primary's duty before the power goes: FSD, then shutdownWaitFinished once the
    // logged-in clients have left or hostSync seconds have passed.
    void beginShutdownWait();
    void clearFsd();

    quint16 port() const; // 0 while not listening
    // Why an address could not be used at the last attempt to listen; empty when none failed.
    QString problem() const;
    NutClientList clients() const;

signals:
    void commandRequested(const QByteArray &command, const QByteArray &parameter,
                          const QString &user, const QString &address);
    void clientsChanged();
    void portChanged(quint16 port);
    // An attempt to listen is over (port() and problem() tell how it went).
    void listenAttempted();
    void shutdownWaitFinished();

private:
    NutServerThreadPrivate *d;
};
