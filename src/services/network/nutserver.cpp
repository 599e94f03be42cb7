#include "nutserver.h"

#include "logcategories.h"
#include "nutallowlist.h"
#include "nutconnection.h"
#include "nutlistener.h"
#include "nutserverstate.h"
#include "nutsession.h"
#include "nutthrottle.h"

#include <QFile>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

#include <memory>

namespace {

const int retryListenMs = 10000;
const int maxLoggedRefusals = 1024;

} // namespace

class NutServerPrivate
{
public:
    explicit NutServerPrivate(NutServer *q) : q(q) { }

    void startListening();
    void stopListening();
    void accept(qintptr descriptor);
    void refuse(QSslSocket *socket, const QString &address, const char *why);
    void loadTls();
    void applyAllowList();
    void scheduleClients();
    void publishClients();
    void checkWait();
    void finishWait(const char *why);

    NutServer *q;
    NutServerConfig config;
    bool configured = false;
    NutServerState state;
    std::unique_ptr<NutThrottle> throttle {new NutThrottle};
    NutAllowList allow;
    QList<NutListener *> listeners;
    QList<NutConnection *> connections;
    QSslConfiguration tls;
    QSet<QString> refusalsLogged;
    QSet<QString> listenFailuresLogged;
    // Children of the server, so they move to its thread with it.
    QTimer *retry = nullptr;
    QTimer *clientsTimer = nullptr;
    QTimer *waitTimer = nullptr;
    bool waiting = false;
    quint16 port = 0;
    QString problem;
};

NutServer::NutServer(QObject *parent) : QObject(parent), d(new NutServerPrivate(this))
{
    qRegisterMetaType<NutClientList>();
    d->retry = new QTimer(this);
    d->retry->setSingleShot(true);
    d->retry->setInterval(retryListenMs);
    connect(d->retry, &QTimer::timeout, this, [this] { d->startListening(); });
    d->clientsTimer = new QTimer(this);
    d->clientsTimer->setSingleShot(true);
    d->clientsTimer->setInterval(100);
    connect(d->clientsTimer, &QTimer::timeout, this, [this] { d->publishClients(); });
    d->waitTimer = new QTimer(this);
    d->waitTimer->setSingleShot(true);
    connect(d->waitTimer, &QTimer::timeout, this,
            [this] { d->finishWait("the time for the clients to leave is over"); });
    d->state.runCommand = [this](const QByteArray &command, const QByteArray &parameter,
                                 const NutSession &session) {
        emit commandRequested(command, parameter, QString::fromLatin1(session.username),
                              QString::fromLatin1(session.address));
    };
    d->state.loginsChanged = [this] {
        d->scheduleClients();
        d->checkWait();
    };
}

NutServer::~NutServer()
{
    // Connections first: they hold sessions in the state.
    d->waiting = false;
    qDeleteAll(d->connections);
    d->connections.clear();
    d->stopListening();
    delete d;
}

quint16 NutServer::serverPort() const
{
    return d->port;
}

bool NutServer::fsd() const
{
    return d->state.fsd();
}

void NutServer::setConfig(const NutServerConfig &config)
{
    const NutServerConfig old = d->config;
    const bool first = !d->configured;
    d->config = config;
    d->configured = true;
    d->state.setNames(config.upsName, config.aliases);
    if (first || old.throttleBaseMs != config.throttleBaseMs)
        d->throttle.reset(new NutThrottle(config.throttleBaseMs));
    if (first || old.certFile != config.certFile || old.keyFile != config.keyFile)
        d->loadTls();
    if (first || old.allow != config.allow)
        d->applyAllowList();
    const bool relisten = first || old.enabled != config.enabled || old.listen != config.listen ||
        old.port != config.port;
    if (!relisten)
        return;
    d->stopListening();
    d->listenFailuresLogged.clear();
    if (!config.enabled) {
        for (NutConnection *c : qAsConst(d->connections))
            c->abort();
        if (d->waiting)
            d->finishWait("the network server was switched off");
        if (!first)
            qCInfo(lcNetwork) << "Network server stopped";
        return;
    }
    d->startListening();
}

void NutServer::setSnapshot(const NutSnapshot &snapshot)
{
    // FSD holds once raised, as upsd latches it: the clients are on their way down and only the
    // UPS power cycle brings them back. The shutdown service takes it back (clearFsd).
    d->state.setSnapshot(snapshot);
}

void NutServer::setAccounts(const NutAccountList &accounts)
{
    d->state.setAccounts(accounts);
}

void NutServer::beginShutdownWait()
{
    if (!d->config.enabled || d->listeners.isEmpty()) {
        emit shutdownWaitFinished();
        return;
    }
    d->state.setFsd(true);
    const int clients = d->state.loginCount();
    qCWarning(lcNetwork).noquote()
        << "FSD set on UPS" << d->config.upsName << "; waiting up to" << d->config.hostSyncSeconds
        << "s for" << clients << "logged-in clients to leave";
    d->waiting = true;
    d->waitTimer->start(std::max(0, d->config.hostSyncSeconds) * 1000);
    d->checkWait();
}

void NutServer::clearFsd()
{
    if (d->state.fsd())
        qCInfo(lcNetwork) << "Shutdown called off: FSD cleared";
    d->waiting = false;
    d->waitTimer->stop();
    d->state.setFsd(false);
}

void NutServerPrivate::startListening()
{
    QList<QHostAddress> addresses;
    const bool anyIpv6 = config.listen.contains(QStringLiteral("::"));
    const bool anyIpv4 = config.listen.contains(QStringLiteral("0.0.0.0"));
    if (anyIpv6) {
        addresses.append(QHostAddress::Any); // both families on one socket
    } else {
        if (anyIpv4)
            addresses.append(QHostAddress::AnyIPv4);
        for (const QString &text : config.listen) {
            const QHostAddress address(text.trimmed());
            if (address.isNull()) {
                if (!text.trimmed().isEmpty() && !listenFailuresLogged.contains(text)) {
                    listenFailuresLogged.insert(text);
                    qCWarning(lcNetwork).noquote()
                        << "Listen address" << text.trimmed() << "is no IP address; left out";
                }
                continue;
            }
            if (anyIpv4 && address.protocol() == QAbstractSocket::IPv4Protocol)
                continue; // covered by 0.0.0.0
            if (!addresses.contains(address))
                addresses.append(address);
        }
    }
    bool failed = false;
    problem = addresses.isEmpty() ? QStringLiteral("no IP address to listen on") : QString();
    quint16 chosen = config.port;
    for (const QHostAddress &address : addresses) {
        bool already = false;
        for (NutListener *l : qAsConst(listeners))
            already = already || l->serverAddress() == address;
        if (already)
            continue;
        auto *listener = new NutListener(q);
        listener->setMaxPendingConnections(std::max(30, config.maxClients));
        if (!listener->listen(address, chosen)) {
            const QString key = address.toString();
            if (!listenFailuresLogged.contains(key)) {
                listenFailuresLogged.insert(key);
                qCWarning(lcNetwork).noquote()
                    << "Network server cannot listen on" << address.toString() << "port" << chosen
                    << ":" << listener->errorString() << "; trying again every"
                    << retryListenMs / 1000 << "s";
            }
            if (problem.isEmpty())
                problem = QStringLiteral("%1 port %2: %3")
                              .arg(address.toString())
                              .arg(chosen)
                              .arg(listener->errorString());
            delete listener;
            failed = true;
            continue;
        }
        chosen = listener->serverPort();
        QObject::connect(listener, &NutListener::connectionArrived, q,
                         [this](qintptr descriptor) { accept(descriptor); });
        listeners.append(listener);
        qCInfo(lcNetwork).noquote()
            << "Network server listening on" << address.toString() << "port" << chosen;
    }
    port = listeners.isEmpty() ? 0 : chosen;
    if (failed)
        retry->start();
    emit q->listening(port, problem);
}

void NutServerPrivate::stopListening()
{
    retry->stop();
    qDeleteAll(listeners);
    listeners.clear();
    if (port != 0 || !problem.isEmpty()) {
        port = 0;
        problem.clear();
        emit q->listening(0, problem);
    }
}

void NutServerPrivate::accept(qintptr descriptor)
{
    auto *socket = new QSslSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QString address = NutAllowList::plain(socket->peerAddress()).toString();
    if (!allow.allows(socket->peerAddress())) {
        refuse(socket, address, "not in the allowed networks");
        return;
    }
    if (connections.size() >= config.maxClients) {
        refuse(socket, address, "too many clients");
        return;
    }
    NutConnection::Limits limits;
    limits.idleMs = config.idleMs;
    limits.outputLimit = config.outputLimit;
    auto *connection = new NutConnection(socket, &state, throttle.get(), tls, limits, q);
    connections.append(connection);
    QObject::connect(connection, &NutConnection::closed, q, [this, connection] {
        connections.removeAll(connection);
        connection->deleteLater();
        scheduleClients();
    });
    QObject::connect(connection, &NutConnection::changed, q, [this] { scheduleClients(); });
    scheduleClients();
}

void NutServerPrivate::refuse(QSslSocket *socket, const QString &address, const char *why)
{
    const QString key = address + QLatin1Char(' ') + QLatin1String(why);
    if (!refusalsLogged.contains(key)) {
        if (refusalsLogged.size() >= maxLoggedRefusals)
            refusalsLogged.clear();
        refusalsLogged.insert(key);
        qCWarning(lcNetwork).noquote()
            << QStringLiteral("Refused a connection from %1: %2 (logged once per address)")
                   .arg(address, QLatin1String(why));
    }
    socket->abort();
    socket->deleteLater();
}

void NutServerPrivate::loadTls()
{
    tls = QSslConfiguration();
    state.setTlsReady(false);
    // Both files are needed; until the second is named there is nothing to complain about.
    if (config.certFile.isEmpty() || config.keyFile.isEmpty())
        return;
    const QList<QSslCertificate> chain = QSslCertificate::fromPath(config.certFile);
    QFile keyFile(config.keyFile);
    QSslKey key;
    if (keyFile.open(QIODevice::ReadOnly)) {
        const QByteArray pem = keyFile.readAll();
        for (auto algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
            key = QSslKey(pem, algorithm);
            if (!key.isNull())
                break;
        }
    }
    if (chain.isEmpty() || key.isNull() || !QSslSocket::supportsSsl()) {
        qCWarning(lcNetwork).noquote()
            << "STARTTLS is off: could not read a certificate from" << config.certFile
            << "and a private key from" << config.keyFile;
        return;
    }
    tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(chain);
    tls.setPrivateKey(key);
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    state.setTlsReady(true);
    for (NutConnection *c : qAsConst(connections))
        c->setTlsConfiguration(tls);
    qCInfo(lcNetwork).noquote() << "STARTTLS offered with the certificate"
                                << chain.first().subjectDisplayName();
}

void NutServerPrivate::applyAllowList()
{
    QStringList bad;
    allow = NutAllowList::parse(config.allow, &bad);
    if (!bad.isEmpty()) {
        qCWarning(lcNetwork).noquote()
            << "Allowed networks left out, not understood:" << bad.join(QStringLiteral(", "));
    }
    refusalsLogged.clear();
    const QList<NutConnection *> current = connections;
    for (NutConnection *c : current) {
        if (!allow.allows(QHostAddress(c->address()))) {
            qCInfo(lcNetwork).noquote()
                << "Closing the connection of" << c->address() << ": no longer allowed";
            c->abort();
        }
    }
}

void NutServerPrivate::scheduleClients()
{
    if (!clientsTimer->isActive())
        clientsTimer->start();
}

void NutServerPrivate::publishClients()
{
    NutClientList list;
    for (const NutConnection *c : qAsConst(connections))
        list.append(
            {c->address(), QString::fromLatin1(c->username()), c->loggedIn(), c->encrypted()});
    emit q->clientsChanged(list);
}

void NutServerPrivate::checkWait()
{
    if (waiting && state.loginCount() == 0)
        finishWait("no client is logged in any more");
}

void NutServerPrivate::finishWait(const char *why)
{
    waiting = false;
    waitTimer->stop();
    qCInfo(lcNetwork).noquote() << "Primary's wait over:" << why;
    emit q->shutdownWaitFinished();
}
