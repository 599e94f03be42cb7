#pragma once

#include "nutport.h"

#include <QHash>
#include <QObject>
#include <QScopedPointer>
#include <QStringList>

class NutClientPrivate;

// A client of a network UPS server (upsd): one TCP connection, encrypted with STARTTLS when the
// server offers it, polling the variable list of one UPS, and of further UPSes of the same
// server on the same connection. Reconnects on its own with a growing
// delay, notices a silent server within two poll periods, and tells every loss as `unavailable`
// with a reason that is logged once, not at every attempt.
class NutClient : public QObject
{
    Q_OBJECT

public:
    struct Endpoint
    {
        QString host;
        quint16 port = nutDefaultPort;
        QString ups;
        QString user; // empty: no USERNAME/PASSWORD, so no LOGIN and no commands
        QString password;
        QString caFile; // PEM file of the authorities to trust; empty: the system's
        bool allowPlain = false; // go on unencrypted when the server offers no STARTTLS
    };

    struct Timing
    {
        int pollMs = 2000;
        int batteryPollMs = 1000; // while the status says OB
        int retryFirstMs = 1000;
        int retryMaxMs = 30000;
        int retrySpreadMs = 0; // added to every retry delay
    };

    explicit NutClient(QObject *parent = nullptr);
    ~NutClient() override;

    void setEndpoint(const Endpoint &endpoint); // a running client reconnects
    Endpoint endpoint() const;
    void setTiming(const Timing &timing);

    // LOGIN to the UPS (as the secondaries of the server do, so its primary waits for this
    // computer before it switches the UPS off). Off again: LOGOUT and reconnect without it.
    void setLoginWanted(bool wanted);

    void start();
    void stop(); // closes without LOGOUT
    // LOGOUT (when logged in), then closes and stops; `loggedOut` follows.
    void logout();

    bool isRunning() const;
    bool hasData() const; // the last variable list came through
    bool isLoggedIn() const;
    bool isEncrypted() const;
    QStringList commands() const; // LIST CMD of this connection
    QString problem() const; // why there is no data now; empty while data comes

    // Further UPSes of the same server polled on this connection, one LIST VAR each per poll:
    // `names`, and with `discover` every UPS the server lists (LIST UPS at each poll, followed as
    // it changes). The endpoint's `ups` may then stay empty.
    void setWatched(const QStringList &names, bool discover);
    QStringList units() const; // the further UPSes polled now
    bool hasDataOf(const QString &ups) const;
    QString problemOf(const QString &ups) const;
    QStringList commandsOf(const QString &ups) const;
    void instantCommandTo(const QString &ups, const QString &name,
                          const QString &parameter = QString());

    // INSTCMD; answered by `commandFinished` with an empty error when the server accepted it,
    // else with the server's error word (ACCESS-DENIED, ...) or one of ours (NOT-CONNECTED,
    // CMD-NOT-SUPPORTED).
    void instantCommand(const QString &name, const QString &parameter = QString());

signals:
    void variablesReceived(const QHash<QString, QString> &variables);
    void unavailable(const QString &reason);
    void commandsChanged();
    void commandFinished(const QString &name, const QString &error);
    void loginChanged(bool loggedIn);
    void loggedOut();
    // The further UPSes, each by name.
    void upsListChanged(const QStringList &units);
    void upsVariablesReceived(const QString &ups, const QHash<QString, QString> &variables);
    void upsUnavailable(const QString &ups, const QString &reason);
    void upsCommandsChanged(const QString &ups);
    void upsCommandFinished(const QString &ups, const QString &name, const QString &error);

private:
    QScopedPointer<NutClientPrivate> d;
    friend class NutClientPrivate;
};
