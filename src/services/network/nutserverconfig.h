#pragma once

#include "nutport.h"

#include <QByteArrayList>
#include <QMetaType>
#include <QStringList>

// How the network server runs: the "network/..." settings, plus limits that are fixed for users
// and that tests shorten.
struct NutServerConfig
{
    bool enabled = false;
    QStringList listen {QStringLiteral("127.0.0.1"), QStringLiteral("::1")};
    quint16 port = nutDefaultPort;
    QStringList allow; // CIDR; loopback is always allowed
    QByteArray upsName = "ups";
    QByteArrayList aliases;
    int hostSyncSeconds = 15;
    int maxClients = 64;
    QString certFile;
    QString keyFile;

    int idleMs = 60000; // a client silent this long is closed
    int throttleBaseMs = 1000; // first hold-back after a wrong password
    int outputLimit = 64 * 1024; // unsent reply bytes a client may leave
};

Q_DECLARE_METATYPE(NutServerConfig)
