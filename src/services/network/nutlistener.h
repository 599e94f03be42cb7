#pragma once

#include <QTcpServer>

// A listening socket that hands each new connection over as a bare descriptor, so the server can
// wrap it in a TLS-capable socket.
class NutListener : public QTcpServer
{
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;

signals:
    void connectionArrived(qintptr descriptor);

protected:
    void incomingConnection(qintptr descriptor) override { emit connectionArrived(descriptor); }
};
