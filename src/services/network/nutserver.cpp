#include "nutserver.h"

#include "logcategories.h"
#include "addresscheck.h"
#include "nutallowlist.h"
#include "nutconnection.h"
#include "nuteventlog.h"
#include "nutlistener.h"
#include "nutserverstate.h"
#include "nutsession.h"
#include "nutsocketwatch.h"
#include "nutthrottle.h"
#include "platform.h"

#include <QFile>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

const int retryListenMs = 10000;
const int resumeAcceptMs = 1000;
// Clients gone since the most at once before the heap is trimmed, and the pause that lets a
// crowd leave in one go first.
const int trimAfterLeaving = 64;
const int trimDelayMs = 2000;
// Open files the program keeps for itself (database, logs, the UPS, the window, D-Bus...).
const int filesKept = 256;

// Connections the process can hold without running out of descriptors; once worked out.
int connectionRoom()
{
    static const int room = [] {
        const int files = platform::raiseOpenFileLimit();
        return files < 0 ? std::numeric_limits<int>::max() : std::max(16, files - filesKept);
    }();
    return room;
}

} // namespace

class NutServerPrivate
{
public:
    explicit NutServerPrivate(NutServer *q) : q(q) { }

    void startListening();
    void stopListening();
    void accept(qintptr descriptor);
    const char *makeRoom(const QString &address);
    NutConnection *longestSilent(const QString &address) const;
    void refuse(qintptr descriptor, const QString &address, const char *kind, const char *why);
    void scheduleTrim();
    void checkIdle();
    void trim();
    int clientLimit() const;
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
    std::shared_ptr<const QSslConfiguration> tls; // none while STARTTLS is not offered
    NutEventLog events;
    QSet<QString> listenFailuresLogged;
    // Children of the server, so they move to its thread with it.
    QTimer *retry = nullptr;
    QTimer *clientsTimer = nullptr;
    QTimer *waitTimer = nullptr;
    QTimer *eventsTimer = nullptr;
    QTimer *trimTimer = nullptr;
    QTimer *idleTimer = nullptr;
    NutSocketWatch *watch = nullptr;
    int peak = 0; // most connections at once since the heap was last trimmed
    bool waiting = false;
    quint16 port = 0;
    QString problem;
};

NutServer::NutServer(QObject *parent) : QObject(parent), d(new NutServerPrivate(this))
{
    qRegisterMetaType<NutClientList>();
    d->watch = new NutSocketWatch(this);
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
    d->eventsTimer = new QTimer(this);
    d->eventsTimer->setInterval(10000);
    connect(d->eventsTimer, &QTimer::timeout, this, [this] { d->events.flush(); });
    d->trimTimer = new QTimer(this);
    d->trimTimer->setSingleShot(true);
    d->trimTimer->setInterval(trimDelayMs);
    connect(d->trimTimer, &QTimer::timeout, this, [this] { d->trim(); });
    d->idleTimer = new QTimer(this);
    d->idleTimer->setSingleShot(true);
    connect(d->idleTimer, &QTimer::timeout, this, [this] { d->checkIdle(); });
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
    if (config.enabled && config.maxClients > connectionRoom() &&
        (first || old.maxClients != config.maxClients)) {
        qCWarning(lcNetwork).noquote()
            << QStringLiteral("The system lets this program open files for %1 clients at most, "
                              "not the %2 set; serving %1")
                   .arg(connectionRoom())
                   .arg(config.maxClients);
    }
    if (first || old.throttleBaseMs != config.throttleBaseMs)
        d->throttle.reset(new NutThrottle(config.throttleBaseMs));
    if (first || old.certFile != config.certFile || old.keyFile != config.keyFile)
        d->loadTls();
    if (first || old.allow != config.allow)
        d->applyAllowList();
    if (old.idleMs != config.idleMs)
        d->checkIdle();
    const bool relisten = first || old.enabled != config.enabled || old.listen != config.listen ||
        old.port != config.port;
    if (!relisten)
        return;
    d->stopListening();
    d->listenFailuresLogged.clear();
    if (!config.enabled) {
        d->eventsTimer->stop();
        d->events.flush();
        for (NutConnection *c : qAsConst(d->connections))
            c->abort();
        if (d->waiting)
            d->finishWait("the network server was switched off");
        if (!first)
            qCInfo(lcNetwork) << "Network server stopped";
        return;
    }
    d->eventsTimer->start();
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
            const QHostAddress address = AddressCheck::ip(text);
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
        // Out of descriptors the listener stops taking connections for good: it takes them
        // again a moment later, once some have been given back.
        QObject::connect(listener, &QTcpServer::acceptError, q,
                         [this, listener](QAbstractSocket::SocketError) {
                             events.note(listener->serverAddress().toString(), "accept",
                                         NutEventLog::Warning,
                                         QStringLiteral("Network server cannot take a connection "
                                                        "on %1: %2; trying again")
                                             .arg(listener->serverAddress().toString(),
                                                  listener->errorString()));
                             QTimer::singleShot(resumeAcceptMs, listener,
                                                [listener] { listener->resumeAccepting(); });
                         });
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
    const QHostAddress peer(QString::fromStdString(platform::socketPeer(descriptor)));
    const QString address = NutAllowList::plain(peer).toString();
    if (peer.isNull()) {
        platform::socketClose(descriptor); // gone before it was taken
        return;
    }
    if (!allow.allows(peer)) {
        refuse(descriptor, address, "allow", "not in the allowed networks");
        return;
    }
    if (const char *why = makeRoom(address)) {
        refuse(descriptor, address, "full", why);
        return;
    }
    NutConnection::Limits limits;
    limits.outputLimit = config.outputLimit;
    auto *connection =
        new NutConnection(descriptor, peer, watch, &state, throttle.get(), &events, tls, limits, q);
    connections.append(connection);
    peak = std::max(peak, int(connections.size()));
    QObject::connect(connection, &NutConnection::closed, q, [this, connection] {
        connections.removeAll(connection);
        connection->deleteLater();
        scheduleClients();
        scheduleTrim();
    });
    QObject::connect(connection, &NutConnection::changed, q, [this] { scheduleClients(); });
    scheduleClients();
    if (!idleTimer->isActive())
        idleTimer->start(std::max(0, config.idleMs));
}

// Closes the clients silent for the idle time and sleeps until the next one could be: one timer
// for all, so the bytes of a client cost no timer of its own.
void NutServerPrivate::checkIdle()
{
    qint64 next = -1;
    const QList<NutConnection *> current = connections;
    for (NutConnection *c : current) {
        const qint64 left = config.idleMs - c->silentForMs();
        if (left <= 0)
            c->closeSilent(config.idleMs);
        else
            next = next < 0 ? left : std::min(next, left);
    }
    if (next >= 0)
        idleTimer->start(int(next));
    else
        idleTimer->stop();
}

int NutServerPrivate::clientLimit() const
{
    return std::max(1, std::min(config.maxClients, connectionRoom()));
}

// A place for a newcomer from `address`: while the server is full, or the address holds its
// share already, the client that has been silent longest and is not logged in goes. A logged-in
// client (upsmon) is never closed for room. Why there is none when nobody can go, else null.
const char *NutServerPrivate::makeRoom(const QString &address)
{
    const int limit = clientLimit();
    // One address may not take every place: a quarter stays for the others.
    const int perAddress = std::max(1, limit - limit / 4);
    for (;;) {
        const int fromAddress =
            int(std::count_if(connections.cbegin(), connections.cend(),
                              [&](NutConnection *c) { return c->address() == address; }));
        const bool addressFull = fromAddress >= perAddress;
        if (!addressFull && connections.size() < limit)
            return nullptr;
        NutConnection *leaving = longestSilent(addressFull ? address : QString());
        if (!leaving) {
            return addressFull ? "its address holds all the connections one address may have, "
                                 "each logged in"
                               : "every place is taken by a logged-in client";
        }
        events.note(leaving->address(), "room", NutEventLog::Info,
                    QStringLiteral("Closing the connection of %1, silent for %2 s and not "
                                   "logged in, to make room for a new client")
                        .arg(leaving->address())
                        .arg(leaving->silentForMs() / 1000));
        leaving->abort();
    }
}

// The connection from `address` (any address when empty) that is not logged in and has been
// silent longest.
NutConnection *NutServerPrivate::longestSilent(const QString &address) const
{
    NutConnection *found = nullptr;
    qint64 longest = -1;
    for (NutConnection *c : connections) {
        if (c->loggedIn() || (!address.isEmpty() && c->address() != address))
            continue;
        const qint64 silent = c->silentForMs();
        if (silent > longest) {
            longest = silent;
            found = c;
        }
    }
    return found;
}

void NutServerPrivate::refuse(qintptr descriptor, const QString &address, const char *kind,
                              const char *why)
{
    events.note(address, kind, NutEventLog::Warning,
                QStringLiteral("Refused a connection from %1: %2").arg(address, QLatin1String(why)));
    platform::socketClose(descriptor);
}

// Once many clients have gone, the heap gives back what they held: the allocator would keep it
// for the next crowd, and a crowd that comes and goes would leave the program ever larger.
void NutServerPrivate::scheduleTrim()
{
    if (peak - connections.size() >= trimAfterLeaving && !trimTimer->isActive())
        trimTimer->start();
}

void NutServerPrivate::trim()
{
    if (peak - connections.size() < trimAfterLeaving)
        return;
    peak = int(connections.size());
    platform::releaseFreeMemory();
}

void NutServerPrivate::loadTls()
{
    tls.reset();
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
    auto offered = std::make_shared<QSslConfiguration>(QSslConfiguration::defaultConfiguration());
    offered->setLocalCertificateChain(chain);
    offered->setPrivateKey(key);
    offered->setProtocol(QSsl::TlsV1_2OrLater);
    offered->setPeerVerifyMode(QSslSocket::VerifyNone);
    tls = offered;
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
