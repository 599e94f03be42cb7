#pragma once

#include "listmodelnutclient.h"
#include "listmodelnutuser.h"
#include "nutsnapshot.h"

#include <QObject>

#include <functional>

class ServiceNetworkPrivate;
class Settings;

// The network server as the program and its settings page see it: it follows the "network/..."
// settings as they are written, and holds the accounts and the connected clients, the latest
// snapshot of the UPS handed on to the server, the instant commands it accepted handed back,
// and the primary's duty at the end of a shutdown. The server itself runs on a thread of its own
// (NutServerThread).
class ServiceNetwork : public QObject
{
    Q_OBJECT
    // Switched on by its settings, and started.
    Q_PROPERTY(bool serving READ serving NOTIFY servingChanged)
    // The port listened on now; 0 while the server is off or cannot listen.
    Q_PROPERTY(int listeningPort READ listeningPort NOTIFY listeningPortChanged)
    // Why an address could not be listened on at the last attempt; empty when none failed.
    Q_PROPERTY(QString listenProblem READ listenProblem NOTIFY listenAttempted)
    Q_PROPERTY(ListModelNutUser *users READ users CONSTANT)
    Q_PROPERTY(ListModelNutClient *clients READ clients CONSTANT)

public:
    explicit ServiceNetwork(Settings *settings, QObject *parent = nullptr);
    ~ServiceNetwork() override;

    // Reads the settings and the accounts and starts the server when it is switched on.
    void start();

    // The name the UPS is served under: the one set when it is a plain name, else "ups". The
    // program knows this computer's UPS by it everywhere (the web page, the metrics).
    QString servedUpsName() const;
    bool serving() const;
    int listeningPort() const;
    QString listenProblem() const;
    ListModelNutUser *users() const;
    ListModelNutClient *clients() const;

    // What the settings page refuses before it stores it: empty when `text` is a list of IP
    // addresses to listen on (one at least), of allowed networks, of plain UPS names; else why
    // not, for the user.
    Q_INVOKABLE QString checkListen(const QString &text) const;
    Q_INVOKABLE QString checkAllow(const QString &text) const;
    Q_INVOKABLE QString checkNames(const QString &text) const;

    // The primary's duty: FSD, then `done` once the logged-in clients have left or hostSync
    // seconds have passed; at once while the server is off. A newer call replaces `done`.
    // Returns whether the clients were told (the server runs), false when there was nobody to tell.
    bool shutdownWait(const std::function<void()> &done);
    // The shutdown was called off: FSD no longer holds.
    void clearFsd();
    // The limits on each client: silence before it is closed, the first hold-back after a wrong
    // password, unsent replies it may leave (60 s, 1 s and 64 KiB unless set; tests shorten them).
    void setClientLimits(int idleMs, int throttleBaseMs, int outputLimit);

public slots:
    void setSnapshot(const NutSnapshot &snapshot);

signals:
    // The server's settings were taken again (a write under "network/").
    void settingsChanged();
    // The server was switched on or off; told before it starts, so it starts with the UPS's data.
    void servingChanged(bool serving);
    void listeningPortChanged();
    // An attempt to listen is over: after each change of the server's settings, and each retry.
    void listenAttempted();
    void commandRequested(const QByteArray &command, const QByteArray &parameter);

private:
    ServiceNetworkPrivate *d;
};
