#pragma once

#include "childprocess.h"

#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real SMTP server (aiosmtpd, tests/support/smtp_server.py) on a free loopback port, for the
// length of one test. It writes what it receives to its own folder; messages() reads them back
// parsed (tests/support/mail_dump.py).
class SmtpTestServer
{
public:
    enum Mode { Plain, StartTls, Tls, Silent };

    // auth: "user:password" the server accepts, empty for no AUTH; delayFirstData: seconds the
    // first DATA reply is held back; refuseRecipients: a recipient containing one of these is
    // refused; muteQuit: QUIT is never answered.
    explicit SmtpTestServer(Mode mode, const QString &auth = QString(), double delayFirstData = 0,
                            const QStringList &refuseRecipients = QStringList(),
                            bool muteQuit = false);
    ~SmtpTestServer();

    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // The server's own log lines so far ("DATA 1", ...).
    QString output();

    // Each received message: envelope_from, envelope_to, login, tls, from_name, subject, date,
    // message_id, body, attachments [{filename, content_type, path}], defects.
    QJsonArray messages() const;
    int messageCount() const;

    // A self-signed certificate for 127.0.0.1 and localhost, made once per process with the
    // openssl command; also the CA file the client trusts.
    static QString certificateFile();

private:
    QTemporaryDir m_dir;
    ChildProcess m_process;
    quint16 m_port = 0;
    QByteArray m_output;
};
