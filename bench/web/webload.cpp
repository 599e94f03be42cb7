#include "webload.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <memory>

WebLoad::WebLoad(const QHostAddress &host, quint16 port, const QString &ups, int pages)
    : m_host(host), m_port(port), m_ups(ups), m_pages(pages)
{
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        ask("/metrics", true);
        ask("/api/v1/ups/" + m_ups.toUtf8(), true);
    });
}

void WebLoad::start(int seconds)
{
    for (int i = 0; i < m_pages; ++i) {
        ask("/ups/" + m_ups.toUtf8() + '/', false);
        ask("/api/v1/ups/" + m_ups.toUtf8(), false);
        openStream();
    }
    m_tick.start();
    QTimer::singleShot(seconds * 1000, this, [this] {
        m_tick.stop();
        for (QTcpSocket *s : qAsConst(m_streams))
            s->abort();
        emit finished();
    });
}

int WebLoad::streamsOpen() const
{
    return int(std::count_if(m_streams.cbegin(), m_streams.cend(), [](QTcpSocket *s) {
        return s->state() == QAbstractSocket::ConnectedState;
    }));
}

void WebLoad::ask(const QByteArray &path, bool timed)
{
    auto *socket = new QTcpSocket(this);
    auto clock = std::make_shared<QElapsedTimer>();
    auto status = std::make_shared<QByteArray>();
    clock->start();
    connect(socket, &QTcpSocket::connected, socket, [socket, path] {
        socket->write("GET " + path + " HTTP/1.1\r\nHost: bench\r\nConnection: close\r\n\r\n");
    });
    connect(socket, &QTcpSocket::readyRead, socket, [socket, status] {
        const QByteArray data = socket->readAll();
        if (status->isEmpty())
            *status = data.left(12);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket, clock, status, timed] {
        if (!status->startsWith("HTTP/1.1 200"))
            ++m_failures;
        else if (timed)
            m_replyMs.append(double(clock->nsecsElapsed()) / 1.0e6);
        socket->deleteLater();
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError) {
            ++m_failures;
            socket->deleteLater();
        }
    });
    socket->connectToHost(m_host, m_port);
}

void WebLoad::openStream()
{
    auto *socket = new QTcpSocket(this);
    m_streams.append(socket);
    connect(socket, &QTcpSocket::connected, socket, [socket] {
        socket->write("GET /api/v1/events HTTP/1.1\r\nHost: bench\r\nAccept: text/event-stream\r\n\r\n");
    });
    connect(socket, &QTcpSocket::readyRead, this,
            [this, socket] { m_events += int(socket->readAll().count("event: ups\n")); });
    socket->connectToHost(m_host, m_port);
}
