#pragma once

#include "nutaccount.h"
#include "upsentry.h"
#include "webconfig.h"

#include <QObject>

class UpsDirectory;
class WebServerPrivate;

// The web service's HTTP server (libmicrohttpd): listens on the configured addresses (HTTPS when
// a certificate and key are set), lets in the allowed clients up to a limit, answers them from
// the UPS directory through WebRouter, and keeps the event streams of the open pages fed. The
// library's own threads serve the connections; the database, the password checks and the
// program's commands run elsewhere while the connection waits, so no client holds up another or
// the UPS poll. This object lives on a thread of its own (see WebService): calls arrive queued.
class WebServer : public QObject
{
    Q_OBJECT
public:
    explicit WebServer(UpsDirectory *directory, QObject *parent = nullptr);
    ~WebServer() override;

    int openStreams() const; // event streams open now (tests, benchmarks)

public slots:
    void setConfig(const WebConfig &config);
    void setAccounts(const NutAccountList &accounts);
    void entryChanged(const UpsEntry &entry);
    void entryRemoved(const QString &name);
    void computerChanged();

signals:
    void listening(quint16 port); // 0: not listening

private:
    WebServerPrivate *d;
    friend class WebServerPrivate;
};
