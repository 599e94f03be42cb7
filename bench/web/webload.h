#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QVector>

class QTcpSocket;

// The clients of the web bench: `pages` open pages, each having loaded the page and the UPS's
// state once and holding the event stream open, and a scraper that asks for the metrics and the
// UPS's state once a second on a new connection each time, as Prometheus and a script would.
class WebLoad : public QObject
{
    Q_OBJECT
public:
    WebLoad(const QHostAddress &host, quint16 port, const QString &ups, int pages);

    void start(int seconds);
    const QVector<double> &replyMs() const { return m_replyMs; }
    int failures() const { return m_failures; }
    int streamsOpen() const;
    int events() const { return m_events; }

signals:
    void finished();

private:
    // One request on a connection of its own; its time runs until the whole reply is in.
    void ask(const QByteArray &path, bool timed);
    void openStream();

    QHostAddress m_host;
    quint16 m_port;
    QString m_ups;
    int m_pages;
    QTimer m_tick;
    QVector<QTcpSocket *> m_streams;
    QVector<double> m_replyMs;
    int m_failures = 0;
    int m_events = 0;
};
