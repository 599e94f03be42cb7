#include "nutload.h"

#include <QTcpSocket>
#include <QTimer>

NutLoad::NutLoad(const QHostAddress &host, quint16 port, int clients, QObject *parent)
    : QObject(parent), m_host(host), m_port(port), m_clients(clients), m_end("END LIST VAR ups\n")
{
}

void NutLoad::start(int seconds)
{
    m_clock.start();
    m_running = true;
    for (int i = 0; i < m_clients.size(); ++i) {
        auto *socket = new QTcpSocket(this);
        m_clients[i].socket = socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, i] { read(i); });
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            if (m_running)
                ++m_failures; // the server closed it
        });
        socket->connectToHost(m_host, m_port);
        // Spread over the first second, then once a second each.
        QTimer::singleShot(1000 * i / m_clients.size(), this, [this, i] {
            ask(i);
            auto *timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, i] { ask(i); });
            timer->start(1000);
        });
    }
    QTimer::singleShot(seconds * 1000, this, [this] {
        m_running = false;
        for (Client &c : m_clients)
            c.socket->abort();
        emit finished();
    });
}

void NutLoad::ask(int index)
{
    Client &c = m_clients[index];
    if (!m_running || c.socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (c.sentNs >= 0) {
        ++m_failures; // the last reply has not come in a whole second
        return;
    }
    c.sentNs = m_clock.nsecsElapsed();
    c.socket->write("LIST VAR ups\n");
    c.socket->flush();
}

void NutLoad::read(int index)
{
    Client &c = m_clients[index];
    c.buffer += c.socket->readAll();
    if (c.sentNs >= 0 && c.buffer.endsWith(m_end)) {
        m_replyMs.append(double(m_clock.nsecsElapsed() - c.sentNs) / 1.0e6);
        c.sentNs = -1;
        c.buffer.clear();
    }
}
