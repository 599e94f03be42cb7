#pragma once

#include "mailmessage.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

struct CurlLibrary;

// One message over one SMTP connection with libcurl, run on a worker thread by SmtpClient.
class SmtpTransfer
{
public:
    struct Options
    {
        QByteArray url; // smtp://host:port or smtps://host:port
        bool requireStartTls = false;
        QByteArray username;
        QByteArray password;
        QByteArray caFile; // extra CA file, or empty
        int connectMs = 30000;
        int idleMs = 60000;
        // Told of every socket opened (true) and closed (false), so an abort can shut a socket
        // down under a libcurl call that is waiting on it.
        std::function<void(qintptr socket, bool open)> socketHook;
    };

    enum Outcome {
        Delivered,
        Refused,
        ConnectionFailed,
        EncryptionFailed,
        AuthenticationFailed,
        Aborted
    };

    SmtpTransfer(const Options &options, const MailMessage &message);

    // Runs on the given multi handle until done, failed or aborted (abort is checked between
    // waits and by the progress callback; SmtpClient wakes the multi handle to cut a wait short).
    Outcome run(const CurlLibrary &curl, void *multi, const std::atomic<bool> &abort);

    // What went wrong: the server's last reply or libcurl's message.
    QString detail() const { return m_detail; }
    // Recipients the server refused while others were accepted.
    QStringList refusedRecipients() const { return m_refused; }

    // Dialogue tracking for the debug callback.
    void noteCommand(const QByteArray &line);
    void noteReply(const QByteArray &line);
    void noteSocket(qintptr socket, bool open);

private:
    Options m_options;
    MailMessage m_message;
    QByteArray m_lastCommand;
    QByteArray m_lastReply;
    QByteArray m_pendingRecipient;
    QStringList m_refused;
    QString m_detail;
};
