#pragma once

#include <QMetaType>
#include <QStringList>

// How the web service runs: the "web/..." settings, plus limits that are fixed for users and
// that tests shorten.
struct WebConfig
{
    bool enabled = false;
    QStringList listen {QStringLiteral("127.0.0.1")};
    quint16 port = 8493;
    QStringList allow; // CIDR; loopback is always allowed
    QString certFile; // both set: HTTPS only
    QString keyFile;

    int idleSeconds = 30; // a connection silent this long is closed (never an open event stream)
    // A request head (or the next one on a kept connection) still unfinished this long after
    // it was begun is closed, however often a byte of it comes.
    int headSeconds = 10;
    int throttleBaseMs = 1000; // first hold-back after a wrong password
    int keepAliveMs = 15000; // an event stream hears from the server at least this often
    int maxConnections = 1024; // at once, kept below what the open-file limit leaves room for
};

Q_DECLARE_METATYPE(WebConfig)
