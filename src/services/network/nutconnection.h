#pragma once

#include <QObject>

#include <memory>

class NutConnectionPrivate;
class NutEventLog;
class NutServerState;
class NutSocketWatch;
class NutThrottle;
class QHostAddress;
class QSslConfiguration;

// One client of the network server: reads its request lines, answers them through the
// dispatcher, switches to TLS on STARTTLS, holds back verdicts on passwords as the throttle says,
// and closes the connection when the client stops reading its replies (the server closes those
// that stay silent too long).
// Nothing in here waits: every step runs from the socket's and the timers' notifications.
// In the clear the connection reads and writes the socket itself and holds nothing between
// requests but the replies the client has not taken yet; a TLS socket takes over on STARTTLS.
class NutConnection : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        int outputLimit = 64 * 1024;
    };

    // Takes over the socket descriptor (already connected to `peer`), watched through `watch`.
    NutConnection(qintptr descriptor, const QHostAddress &peer, NutSocketWatch *watch,
                  NutServerState *state, NutThrottle *throttle, NutEventLog *events,
                  const std::shared_ptr<const QSslConfiguration> &tls, const Limits &limits,
                  QObject *parent = nullptr);
    ~NutConnection() override;

    const QString &address() const;
    QByteArray username() const;
    bool loggedIn() const;
    bool encrypted() const;
    // How long the client has sent nothing (ms).
    qint64 silentForMs() const;
    void setTlsConfiguration(const std::shared_ptr<const QSslConfiguration> &tls);
    // Ends the connection at once (server stopping, client no longer allowed).
    void abort();
    // Ends it, telling the log it was silent for `idleMs`.
    void closeSilent(int idleMs);

signals:
    void closed();
    void changed(); // logged in or switched to TLS

private:
    NutConnectionPrivate *d;
    friend class NutConnectionPrivate;
};
