#pragma once

#include "nutport.h"

#include <QHash>
#include <QObject>
#include <QScopedPointer>
#include <QStringList>

class NutClientPrivate;

// A client of a network UPS server (upsd): one TCP connection, encrypted with STARTTLS when the
// server offers it, polling the variable list of one UPS. Reconnects on its own with a growing
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

private:
    QScopedPointer<NutClientPrivate> d;
    friend class NutClientPrivate;
};
