#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QVector>

class QTcpSocket;

// Many NUT clients at once, each asking LIST VAR once a second (their starts spread over the
// first second), as a crowd of NAS boxes and monitors would. Records how long each full reply
// took, from the request's write to its END line.
class NutLoad : public QObject
{
    Q_OBJECT
public:
    NutLoad(const QHostAddress &host, quint16 port, int clients, QObject *parent = nullptr);

    // Connects and starts polling; finished() after `seconds`.
    void start(int seconds);

    QVector<double> replyMs() const { return m_replyMs; }
    int failures() const { return m_failures; }

signals:
    void finished();

private:
    struct Client
    {
        QTcpSocket *socket = nullptr;
        QByteArray buffer;
        qint64 sentNs = -1; // -1: no request outstanding
    };
    void ask(int index);
    void read(int index);

    QHostAddress m_host;
    quint16 m_port;
    QVector<Client> m_clients;
    QVector<double> m_replyMs;
    int m_failures = 0;
    QElapsedTimer m_clock;
    QByteArray m_end;
    bool m_running = false;
};
