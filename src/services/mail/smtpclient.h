#pragma once

#include "mailmessage.h"

#include <QObject>

class SmtpClientPrivate;

// Sends mail over SMTP with libcurl on a worker thread of its own, so a slow or silent server
// never blocks the GUI thread. Outcomes come back as signals on the thread that owns the client.
// Every exchange has bounded connect and idle time-outs, and certificates are verified, with an
// extra CA file taken from QUELTA_SMTP_CAFILE.
//
// Use: connect to a host (plain or TLS from the start), queue messages with send(); the queue is
// worked through on one connection per message and finished() follows once it is empty. A
// connection, TLS or login failure drops the rest of the queue. Deleting the client (or abort())
// stops its transfer at once; it never signals afterwards.
class SmtpClient : public QObject
{
    Q_OBJECT
public:
    explicit SmtpClient(QObject *parent = nullptr);
    ~SmtpClient() override;

    // With STARTTLS on (the default) a plain connection must be upgraded: a server that does not
    // offer it is refused with encryptionFailed(), never used in the clear.
    void setStartTlsDisabled(bool disable);
    // Login happens only when both are given and the server offers it.
    void setUsername(const QByteArray &username);
    void setPassword(const QByteArray &password);

    void connectToHost(const QString &host, quint16 port); // plain (STARTTLS if on)
    void connectToSecureHost(const QString &host, quint16 port); // TLS from the start
    void send(const MailMessage &message);

    // Stops the transfer under way and returns the messages not delivered yet, the interrupted
    // one first. No signal is emitted afterwards.
    QList<MailMessage> abort();
    bool isBusy() const;

    // Time-outs for every client made afterwards (tests shorten them). Idle time is rounded up to
    // whole seconds. Values of 0 or less restore the defaults.
    static void setTimeouts(int connectMs, int idleMs);

signals:
    void connectionFailed();
    void encryptionFailed();
    void authenticationFailed();
    // The server refused one message (its sender, every recipient or the data); the queue goes on.
    void mailFailed(const QString &serverReply);
    void finished();

private:
    friend class SmtpClientPrivate;
    SmtpClientPrivate *d;
};
