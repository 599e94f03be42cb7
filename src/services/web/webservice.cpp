#include "webservice.h"

#include "logcategories.h"
#include "settings.h"
#include "threadinbox.h"
#include "upsdirectory.h"
#include "webserver.h"

WebService::WebService(Settings *settings, UpsDirectory *directory, QObject *parent)
    : QObject(parent), m_settings(settings), m_directory(directory)
{
    m_thread.setObjectName(QStringLiteral("web service"));
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        // A batch of keys written at once (an import, a file read again) restarts the
        // listener once: applied when the batch is through.
        if (!key.startsWith(QLatin1String("web/")) || m_applyQueued)
            return;
        m_applyQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_applyQueued = false;
                apply();
            },
            Qt::QueuedConnection);
    });
}

void WebService::ensureServer()
{
    if (m_server)
        return;
    m_server = new WebServer(m_directory);
    m_server->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    m_inbox = new ThreadInbox;
    m_inbox->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_inbox, &QObject::deleteLater);
    // Through the inbox, as everything else for the server's thread.
    WebServer *server = m_server;
    ThreadInbox *inbox = m_inbox;
    connect(m_directory, &UpsDirectory::entryChanged, this, [server, inbox](const UpsEntry &e) {
        inbox->post([server, e] { server->entryChanged(e); });
    });
    connect(m_directory, &UpsDirectory::entryRemoved, this, [server, inbox](const QString &name) {
        inbox->post([server, name] { server->entryRemoved(name); });
    });
    connect(m_directory, &UpsDirectory::computerChanged, this,
            [server, inbox] { inbox->post([server] { server->computerChanged(); }); });
    connect(m_server, &WebServer::listening, this, [this](quint16 port) {
        if (port == m_port)
            return;
        m_port = port;
        emit listeningPortChanged();
    });
    m_thread.start();
    if (m_haveAccounts) {
        WebServer *server = m_server;
        m_inbox->post([server, accounts = m_accounts] { server->setAccounts(accounts); });
    }
}

WebService::~WebService()
{
    m_thread.quit();
    m_thread.wait();
}

void WebService::start()
{
    m_started = true;
    apply();
}

WebConfig WebService::config() const
{
    WebConfig c = m_limits;
    c.enabled = m_settings->getSettings(Settings::WebEnable).toBool();
    c.listen = m_settings->getSettings(Settings::WebListen).toStringList();
    bool ok = false;
    const int port = m_settings->getSettings(Settings::WebPort).toInt(&ok);
    if (ok && port >= 0 && port <= 65535) {
        c.port = quint16(port);
    } else {
        qCWarning(lcNetwork).noquote() << "web/port is out of range; using 8493";
        c.port = 8493;
    }
    c.allow = m_settings->list(Settings::WebAllow);
    c.certFile = m_settings->text(Settings::WebCertFile).trimmed();
    c.keyFile = m_settings->text(Settings::WebKeyFile).trimmed();
    return c;
}

void WebService::apply()
{
    if (!m_started)
        return;
    const WebConfig c = config();
    if (!m_server && !c.enabled)
        return;
    ensureServer();
    WebServer *server = m_server;
    m_inbox->post([server, c] { server->setConfig(c); });
}

void WebService::setAccounts(const NutAccountList &accounts)
{
    m_accounts = accounts;
    m_haveAccounts = true;
    if (WebServer *server = m_server)
        m_inbox->post([server, accounts] { server->setAccounts(accounts); });
}

void WebService::setLimits(int idleSeconds, int throttleBaseMs, int keepAliveMs, int maxConnections,
                           int headSeconds)
{
    m_limits.headSeconds = headSeconds;
    m_limits.idleSeconds = idleSeconds;
    m_limits.throttleBaseMs = throttleBaseMs;
    m_limits.keepAliveMs = keepAliveMs;
    m_limits.maxConnections = maxConnections;
    apply();
}

int WebService::openStreams() const
{
    return m_server ? m_server->openStreams() : 0; // the streams keep their own lock
}
