#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QVector>

// Many NUT clients at once, each asking LIST VAR once a second (their starts spread over the
// first second), as a crowd of NAS boxes and monitors would. Records how long each full reply
// took, from the request's write to its END line.
// The crowd is one process standing for many machines: it watches its sockets through epoll, so
// that what it costs to hear one reply does not grow with the crowd and the figures are the
// server's, not the crowd's own.
class NutLoad
{
public:
    NutLoad(const QHostAddress &host, quint16 port, int clients);

    // Connects, asks for `seconds`, then closes every connection.
    void run(int seconds);

    QVector<double> replyMs() const { return m_replyMs; }
    int failures() const { return m_failures; }

private:
    struct Client
    {
        int socket = -1;
        bool connected = false;
        QByteArray buffer;
        qint64 sentNs = -1; // -1: no request outstanding
    };
    void ask(Client &c, qint64 now);
    void read(Client &c, qint64 now);
    void drop(Client &c);

    QHostAddress m_host;
    quint16 m_port;
    QVector<Client> m_clients;
    QVector<double> m_replyMs;
    int m_failures = 0;
    int m_set = -1;
    QByteArray m_end;
};
