#pragma once

#include "nutaccount.h"
#include "webconfig.h"

#include <QObject>
#include <QThread>

class Settings;
class ThreadInbox;
class UpsDirectory;
class WebServer;

// The web page, its API and the metrics as the program sees them: the "web/..." settings
// (followed as they are written), the network accounts whose admins may send UPS commands, and
// the port listened on. The server runs on a thread of its own (WebServer), made when the page is
// first switched on, and reads the UPSes from the directory; nothing here waits for it.
class WebService : public QObject
{
    Q_OBJECT
    // The port listened on now; 0 while the service is off or cannot listen.
    Q_PROPERTY(int listeningPort READ listeningPort NOTIFY listeningPortChanged)

public:
    WebService(Settings *settings, UpsDirectory *directory, QObject *parent = nullptr);
    ~WebService() override;

    // Reads the settings and starts the server when it is switched on.
    void start();
    int listeningPort() const { return m_port; }
    void setAccounts(const NutAccountList &accounts);
    // Limits fixed for users that tests shorten (see WebConfig).
    void setLimits(int idleSeconds, int throttleBaseMs, int keepAliveMs, int maxConnections,
                   int headSeconds = 10);
    // Event streams open now (tests, benchmarks).
    int openStreams() const;
    // What the settings in force give the server.
    WebConfig config() const;

signals:
    void listeningPortChanged();

private:
    void apply();
    void ensureServer();

    Settings *m_settings;
    UpsDirectory *m_directory;
    QThread m_thread;
    // Made, with its thread, when the page is first switched on.
    WebServer *m_server = nullptr;
    ThreadInbox *m_inbox = nullptr; // the calls to the server, on its thread
    NutAccountList m_accounts;
    bool m_haveAccounts = false;
    WebConfig m_limits; // only the limits are taken from it
    int m_port = 0;
    bool m_started = false;
    bool m_applyQueued = false;
};
