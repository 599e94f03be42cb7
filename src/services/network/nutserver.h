#pragma once

#include "nutaccount.h"
#include "nutclientinfo.h"
#include "nutserverconfig.h"
#include "nutsnapshot.h"

#include <QObject>

class NutServerPrivate;

// The network server: listens on the configured addresses, lets in allowed clients up to the
// limit, answers them in NUT's protocol from the latest snapshot, and carries out the primary's
// duty at the end of a shutdown (FSD, then wait for the logged-in clients to go). It lives on a
// thread of its own (see NutServerThread); all calls arrive as queued calls.
class NutServer : public QObject
{
    Q_OBJECT
public:
    explicit NutServer(QObject *parent = nullptr);
    ~NutServer() override;

    // The port actually listened on (a configured 0 picks a free one: tests).
    quint16 serverPort() const;
    bool fsd() const;

public slots:
    void setConfig(const NutServerConfig &config);
    void setSnapshot(const NutSnapshot &snapshot);
    void setAccounts(const NutAccountList &accounts);
    // Sets FSD and waits until no client is logged in or hostSync seconds have passed, then
    // emits shutdownWaitFinished. Finishes at once while the server is off or nobody is in.
    void beginShutdownWait();
    // Clears FSD (the shutdown was called off).
    void clearFsd();

signals:
    void commandRequested(const QByteArray &command, const QByteArray &parameter,
                          const QString &user, const QString &address);
    void clientsChanged(const NutClientList &clients);
    void shutdownWaitFinished();
    // After each attempt to listen: the port (0: not listening) and, when an address could not
    // be used, why (the first such address), for the settings page.
    void listening(quint16 port, const QString &problem);

private:
    NutServerPrivate *d;
    friend class NutServerPrivate;
};
