#include "webserver.h"

#include "addresscheck.h"
#include "logcategories.h"
#include "mhdlibrary.h"
#include "nutallowlist.h"
#include "nuteventlog.h"
#include "platform.h"
#include "poolqueue.h"
#include "threadinbox.h"
#include "upsdirectory.h"
#include "webeventstreams.h"
#include "webfiles.h"
#include "webrouter.h"
#include "websessions.h"
#include "webtexts.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTextCodec>
#include <QTimer>
#include <mutex>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdarg>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace {

constexpr int retryListenMs = 10000;
constexpr int flushMs = 5000;
// Room for headers and a small body per connection: bounds the memory of many idle clients.
constexpr size_t connectionMemory = 16 * 1024;
constexpr unsigned threads = 2;
constexpr int headCheckMs = 1000;

// Every reply: nothing from elsewhere, no inline script or style, not in another site's frame.
const char *const securityHeaders[][2] = {
    {"Content-Security-Policy",
     "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
     "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Referrer-Policy", "no-referrer"},
    {"Cache-Control", "no-store"},
};

// A reply waiting for work done elsewhere, while its connection is suspended.
struct Pending
{
    std::mutex mutex;
    MHD_Connection *connection = nullptr;
    bool suspended = false;
    bool done = false;
    WebReply reply;

    void finish(const WebReply &r)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (done)
            return;
        reply = r;
        done = true;
        if (suspended) {
            suspended = false;
            mhd().resumeConnection(connection);
        }
    }
};

// One request from its headers to its reply.
struct Exchange
{
    WebRequest request;
    bool tooLarge = false;
    std::shared_ptr<Pending> pending;
};

QByteArray header(MHD_Connection *c, const char *name)
{
    const char *value = mhd().lookupConnectionValue(c, MHD_HEADER_KIND, name);
    return value ? QByteArray(value) : QByteArray();
}

QHostAddress peerOf(MHD_Connection *c)
{
    const MHD_ConnectionInfo *info = mhd().getConnectionInfo(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    QHostAddress address;
    if (info && info->client_addr)
        address.setAddress(info->client_addr);
    return NutAllowList::plain(address);
}

// A connection from its accept to its close: whether a request head is under way on it (from the
// accept, and again once a reply is done) and since when.
struct Place
{
    int socket = -1;
    QHostAddress peer;
    qint64 since = 0; // ms, monotonic
    bool head = true; // a request head is unfinished
    bool closing = false; // shut down by us; the library closes it
};

qint64 monotonicMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed();
}

MHD_Result collectArgument(void *cls, MHD_ValueKind, const char *key, const char *value)
{
    static_cast<QUrlQuery *>(cls)->addQueryItem(QString::fromUtf8(key),
                                                value ? QString::fromUtf8(value) : QString());
    return MHD_YES;
}

} // namespace

class WebServerPrivate
{
public:
    explicit WebServerPrivate(WebServer *q, UpsDirectory *directory)
        : q(q),
          directory(directory),
          later(new ThreadInbox(q)),
          router(directory, &texts, &files, &sessions, &pool, later),
          keepAlive(q),
          flush(q),
          retry(q),
          heads(q)
    {
    }

    void start();
    void stop();
    MHD_Daemon *listen(const QHostAddress &address, quint16 port);
    void note(const QString &address, const char *kind, const QString &text);
    MHD_Result queue(MHD_Connection *c, const WebReply &reply);
    MHD_Result openStream(MHD_Connection *c, int language);

    static MHD_Result onAccept(void *cls, const sockaddr *address, socklen_t length);
    static MHD_Result onRequest(void *cls, MHD_Connection *c, const char *url, const char *method,
                                const char *version, const char *upload, size_t *uploadSize,
                                void **state);
    static void onCompleted(void *cls, MHD_Connection *c, void **state,
                            MHD_RequestTerminationCode code);
    static void onConnection(void *cls, MHD_Connection *c, void **socketState,
                             MHD_ConnectionNotificationCode code);
    static void onLog(void *cls, const char *format, va_list arguments);
    // Under placesMutex: shuts a connection down (the library then closes it).
    void close(Place &place);
    // Under placesMutex: makes room for one more by closing the oldest unfinished request of the
    // address holding the most of them; false when none is unfinished.
    bool evict();
    void headsDue();
    void setHead(MHD_Connection *c, bool head);
    static size_t onUnescape(void *cls, MHD_Connection *c, char *text);

    WebServer *q;
    UpsDirectory *directory;
    WebConfig config;
    bool configured = false;
    WebTexts texts;
    WebFiles files;
    WebSessions sessions;
    PoolQueue pool {2}; // the database and the password checks, whatever the number of clients
    ThreadInbox *later; // the pool's answers back on the server's thread; moves with q
    WebRouter router;
    WebEventStreams streams;
    // Read by the library's threads as clients come: replaced whole, never changed in place.
    std::shared_ptr<const NutAllowList> allow = std::make_shared<const NutAllowList>();
    QByteArray cert;
    QByteArray key;
    QList<MHD_Daemon *> daemons;
    quint16 port = 0;
    std::mutex logMutex;
    NutEventLog log;
    std::mutex pendingMutex;
    std::set<std::shared_ptr<Pending>> pending;
    QTimer keepAlive;
    QTimer flush;
    QTimer retry;
    QTimer heads; // runs while connections are open
    bool loaded = false;
    std::mutex placesMutex;
    std::map<MHD_Connection *, Place> places;
    int live = 0; // places not being closed
    unsigned limit = 0; // connections at once, over every address
    int headMs = 10000;
};

WebServer::WebServer(UpsDirectory *directory, QObject *parent)
    : QObject(parent), d(new WebServerPrivate(this, directory))
{
    qRegisterMetaType<WebConfig>();
    qRegisterMetaType<NutAccountList>();
    d->router.setNote([this](const QString &address, const char *kind, const QString &text) {
        d->note(address, kind, text);
    });
    connect(&d->keepAlive, &QTimer::timeout, this,
            [this] { d->streams.broadcast([](int) { return QByteArray(": ping\n\n"); }); });
    connect(&d->flush, &QTimer::timeout, this, [this] {
        std::unique_lock<std::mutex> lock(d->logMutex);
        d->log.flush();
    });
    d->retry.setSingleShot(true);
    d->retry.setInterval(retryListenMs);
    connect(&d->retry, &QTimer::timeout, this, [this] {
        d->stop();
        d->start();
    });
    d->heads.setInterval(headCheckMs);
    connect(&d->heads, &QTimer::timeout, this, [this] { d->headsDue(); });
}

WebServer::~WebServer()
{
    d->stop();
    d->pool.waitForDone();
    delete d;
}

int WebServer::openStreams() const
{
    return d->streams.count();
}

namespace {

bool same(const WebConfig &a, const WebConfig &b)
{
    return a.enabled == b.enabled && a.listen == b.listen && a.port == b.port &&
        a.allow == b.allow && a.certFile == b.certFile && a.keyFile == b.keyFile &&
        a.idleSeconds == b.idleSeconds && a.headSeconds == b.headSeconds &&
        a.throttleBaseMs == b.throttleBaseMs && a.keepAliveMs == b.keepAliveMs &&
        a.maxConnections == b.maxConnections;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return path.isEmpty() || !file.open(QIODevice::ReadOnly) ? QByteArray() : file.readAll();
}

} // namespace

void WebServer::setConfig(const WebConfig &config)
{
    const bool first = !d->configured;
    const WebConfig old = d->config;
    // A settings file read again announces each of its keys: what runs as configured, with the
    // same certificate, is left running (clients keep their connections, one line in the log).
    if (!first && same(old, config) && (!config.enabled || !d->daemons.isEmpty()) &&
        contentOf(config.certFile) == d->cert && contentOf(config.keyFile) == d->key)
        return;
    d->configured = true;
    d->config = config;
    QStringList bad;
    std::atomic_store(
        &d->allow, std::make_shared<const NutAllowList>(NutAllowList::parse(config.allow, &bad)));
    d->headMs = config.headSeconds * 1000;
    if (!bad.isEmpty() && (first || old.allow != config.allow))
        qCWarning(lcNetwork) << "web/allow: left out what is no network:" << bad;
    d->sessions.setThrottleBase(config.throttleBaseMs);
    d->keepAlive.setInterval(config.keepAliveMs);
    d->stop();
    if (!config.enabled) {
        if (!first && old.enabled)
            qCInfo(lcNetwork) << "Web service stopped";
        return;
    }
    if (!d->loaded) {
        // Read once: the catalogues and the page do not change while the program runs.
        d->texts.load();
        d->files.load();
        d->loaded = true;
    }
    d->start();
}

void WebServer::setAccounts(const NutAccountList &accounts)
{
    d->sessions.setAccounts(accounts);
}

void WebServer::entryChanged(const UpsEntry &entry)
{
    d->streams.broadcast(
        [this, &entry](int language) { return d->router.stateEvent(entry, language); });
}

void WebServer::entryRemoved(const QString &name)
{
    const QByteArray event = d->router.removedEvent(name);
    d->streams.broadcast([&event](int) { return event; });
}

void WebServer::computerChanged()
{
    const QByteArray event = d->router.computerEvent();
    d->streams.broadcast([&event](int) { return event; });
}

void WebServerPrivate::note(const QString &address, const char *kind, const QString &text)
{
    std::unique_lock<std::mutex> lock(logMutex);
    log.note(address, kind, NutEventLog::Info, text);
}

void WebServerPrivate::start()
{
    if (!MhdLibrary::get()) {
        emit q->listening(0);
        return;
    }
    const bool tls = !config.certFile.isEmpty() || !config.keyFile.isEmpty();
    // What was served over HTTPS before is served over plain HTTP once both files are unset.
    cert.clear();
    key.clear();
    if (tls) {
        QFile certFile(config.certFile);
        QFile keyFile(config.keyFile);
        if (config.certFile.isEmpty() || config.keyFile.isEmpty() ||
            !certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
            qCWarning(lcNetwork).noquote()
                << "Web service not started: HTTPS needs a readable certificate (web/certFile ="
                << config.certFile << ") and key (web/keyFile =" << config.keyFile << ")";
            emit q->listening(0);
            return;
        }
        cert = certFile.readAll();
        key = keyFile.readAll();
    }
    QList<QHostAddress> addresses;
    for (const QString &text : config.listen) {
        const QHostAddress address = AddressCheck::ip(text);
        if (address.isNull())
            qCWarning(lcNetwork).noquote()
                << "Web listen address" << text.trimmed() << "is no IP address; left out";
        else if (!addresses.contains(address))
            addresses.append(address);
    }
    quint16 chosen = config.port;
    bool failed = false;
    for (const QHostAddress &address : qAsConst(addresses)) {
        MHD_Daemon *daemon = listen(address, chosen);
        if (!daemon) {
            failed = true;
            continue;
        }
        daemons.append(daemon);
        const MHD_DaemonInfo *info = mhd().getDaemonInfo(daemon, MHD_DAEMON_INFO_BIND_PORT);
        if (info)
            chosen = info->port;
        qCInfo(lcNetwork).noquote() << "Web service listening on" << address.toString() << "port"
                                    << chosen << (tls ? "(HTTPS)" : "(HTTP)");
    }
    port = daemons.isEmpty() ? 0 : chosen;
    if (failed)
        retry.start();
    keepAlive.start();
    flush.start(flushMs);
    emit q->listening(port);
}

MHD_Daemon *WebServerPrivate::listen(const QHostAddress &address, quint16 port)
{
    sockaddr_in v4 {};
    sockaddr_in6 v6 {};
    const sockaddr *socketAddress;
    unsigned flags = MHD_USE_AUTO_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&v6.sin6_addr, bytes.c, sizeof bytes.c);
        socketAddress = reinterpret_cast<const sockaddr *>(&v6);
        flags |= MHD_USE_IPv6;
    } else {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(port);
        v4.sin_addr.s_addr = htonl(address.toIPv4Address());
        socketAddress = reinterpret_cast<const sockaddr *>(&v4);
    }
    const bool tls = !cert.isEmpty();
    if (tls)
        flags |= MHD_USE_TLS;
    // Each listening address shares the connections the system leaves room for.
    static const int room = [] {
        const int files = platform::raiseOpenFileLimit();
        return files < 0 ? 1 << 20 : std::max(64, (files - 256) / 2);
    }();
    const unsigned limit = unsigned(std::min(config.maxConnections, room));
    {
        std::unique_lock<std::mutex> lock(placesMutex);
        this->limit = limit;
    }
    // One address may hold a quarter of the places: a single client (or a crowd behind one
    // address) never keeps everyone else out.
    const unsigned perAddress = std::max(4u, limit / 4);
    // The library's own limit leaves room for the connections we shut down and it has not
    // closed yet: ours is enforced on accepting.
    const unsigned libraryLimit = limit + std::max(64u, limit / 8);
    QVector<MHD_OptionItem> options = {
        {MHD_OPTION_EXTERNAL_LOGGER, intptr_t(&onLog), this},
        {MHD_OPTION_SOCK_ADDR, 0, const_cast<sockaddr *>(socketAddress)},
        {MHD_OPTION_THREAD_POOL_SIZE, threads, nullptr},
        {MHD_OPTION_CONNECTION_LIMIT, libraryLimit, nullptr},
        {MHD_OPTION_PER_IP_CONNECTION_LIMIT, perAddress, nullptr},
        {MHD_OPTION_CONNECTION_TIMEOUT, config.idleSeconds, nullptr},
        {MHD_OPTION_CONNECTION_MEMORY_LIMIT, intptr_t(connectionMemory), nullptr},
        {MHD_OPTION_NOTIFY_COMPLETED, intptr_t(&onCompleted), this},
        {MHD_OPTION_NOTIFY_CONNECTION, intptr_t(&onConnection), this},
        {MHD_OPTION_UNESCAPE_CALLBACK, intptr_t(&onUnescape), this},
        {MHD_OPTION_LISTENING_ADDRESS_REUSE, 1, nullptr}};
    if (tls) {
        options.append({MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char *>(cert.constData())});
        options.append({MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char *>(key.constData())});
    }
    options.append({MHD_OPTION_END, 0, nullptr});
    MHD_Daemon *daemon = mhd().startDaemon(flags, port, &onAccept, this, &onRequest, this,
                                           MHD_OPTION_ARRAY, options.data(), MHD_OPTION_END);
    if (!daemon)
        qCWarning(lcNetwork).noquote()
            << "Web service cannot listen on" << address.toString() << "port" << port
            << (tls ? "(is the certificate or key damaged?)" : "") << "; trying again every"
            << retryListenMs / 1000 << "s";
    return daemon;
}

void WebServerPrivate::stop()
{
    retry.stop();
    keepAlive.stop();
    flush.stop();
    heads.stop();
    {
        std::unique_lock<std::mutex> lock(logMutex);
        log.flush();
    }
    if (daemons.isEmpty())
        return;
    // No connection may stay suspended when a daemon stops: the waiting replies end as busy,
    // the event streams close.
    {
        std::unique_lock<std::mutex> lock(pendingMutex);
        for (const std::shared_ptr<Pending> &p : pending)
            p->finish(WebReply::error(503, QStringLiteral("the web service stops")));
    }
    streams.closeAll();
    for (MHD_Daemon *daemon : qAsConst(daemons))
        mhd().stopDaemon(daemon);
    daemons.clear();
    {
        std::unique_lock<std::mutex> lock(placesMutex);
        places.clear();
        live = 0;
    }
    if (port != 0) {
        port = 0;
        emit q->listening(0);
    }
}

MHD_Result WebServerPrivate::onAccept(void *cls, const sockaddr *address, socklen_t)
{
    auto *d = static_cast<WebServerPrivate *>(cls);
    QHostAddress peer;
    peer.setAddress(address);
    peer = NutAllowList::plain(peer);
    if (std::atomic_load(&d->allow)->allows(peer)) {
        std::unique_lock<std::mutex> lock(d->placesMutex);
        // Full: the oldest unfinished request of the biggest holder makes way, so a crowd of
        // half-sent requests never keeps everyone else out.
        if (unsigned(d->live) < d->limit || d->evict())
            return MHD_YES;
        d->note(peer.toString(), "full",
                QStringLiteral("Refused a web connection from %1: every place is taken")
                    .arg(peer.toString()));
        return MHD_NO;
    }
    d->note(
        peer.toString(), "refused",
        QStringLiteral("Refused a web connection from %1: not in web/allow").arg(peer.toString()));
    return MHD_NO;
}

MHD_Result WebServerPrivate::queue(MHD_Connection *c, const WebReply &reply)
{
    MHD_Response *response = mhd().createResponseFromBuffer(
        size_t(reply.body.size()), const_cast<char *>(reply.body.constData()),
        MHD_RESPMEM_MUST_COPY);
    if (!response)
        return MHD_NO;
    if (!reply.contentType.isEmpty())
        mhd().addResponseHeader(response, "Content-Type", reply.contentType.constData());
    for (const auto &h : securityHeaders)
        mhd().addResponseHeader(response, h[0], h[1]);
    for (const auto &h : reply.headers)
        mhd().addResponseHeader(response, h.first.constData(), h.second.constData());
    const MHD_Result result = mhd().queueResponse(c, unsigned(reply.status), response);
    mhd().destroyResponse(response);
    return result;
}

MHD_Result WebServerPrivate::openStream(MHD_Connection *c, int language)
{
    WebEventStreams::Stream *stream =
        streams.open(c, language, [this, language] { return router.streamStart(language); });
    MHD_Response *response = mhd().createResponseFromCallback(
        MHD_SIZE_UNKNOWN, 4096,
        [](void *cls, uint64_t, char *buffer, size_t max) -> ssize_t {
            auto *s = static_cast<std::pair<WebEventStreams *, WebEventStreams::Stream *> *>(cls);
            return s->first->read(s->second, buffer, max);
        },
        new std::pair<WebEventStreams *, WebEventStreams::Stream *>(&streams, stream),
        [](void *cls) {
            auto *s = static_cast<std::pair<WebEventStreams *, WebEventStreams::Stream *> *>(cls);
            s->first->close(s->second);
            delete s;
        });
    if (!response)
        return MHD_NO;
    mhd().addResponseHeader(response, "Content-Type", "text/event-stream; charset=utf-8");
    for (const auto &h : securityHeaders)
        mhd().addResponseHeader(response, h[0], h[1]);
    // Through a proxy too, each event as it comes.
    mhd().addResponseHeader(response, "X-Accel-Buffering", "no");
    const MHD_Result result = mhd().queueResponse(c, MHD_HTTP_OK, response);
    mhd().destroyResponse(response);
    return result;
}

// Decodes %XX as the library does, but a NUL would cut the path short where it is read (a
// request for "/static/app.js%00.png" served app.js): it becomes a byte no UTF-8 text holds,
// so the request is refused.
size_t WebServerPrivate::onUnescape(void *, MHD_Connection *, char *text)
{
    const auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0'
            : c >= 'a' && c <= 'f'  ? c - 'a' + 10
            : c >= 'A' && c <= 'F'  ? c - 'A' + 10
                                    : -1;
    };
    char *out = text;
    for (const char *in = text; *in; ++in) {
        if (in[0] == '%' && hex(in[1]) >= 0 && hex(in[2]) >= 0) {
            const char byte = char(hex(in[1]) * 16 + hex(in[2]));
            *out++ = byte == 0 ? char(0xFF) : byte;
            in += 2;
        } else {
            *out++ = *in;
        }
    }
    *out = 0;
    return size_t(out - text);
}

MHD_Result WebServerPrivate::onRequest(void *cls, MHD_Connection *c, const char *url,
                                       const char *method, const char *, const char *upload,
                                       size_t *uploadSize, void **state)
{
    auto *d = static_cast<WebServerPrivate *>(cls);
    auto *x = static_cast<Exchange *>(*state);
    if (!x) {
        d->setHead(c, false);
        x = new Exchange;
        *state = x;
        WebRequest &r = x->request;
        r.method = method;
        r.path = QString::fromUtf8(url);
        mhd().getConnectionValues(c, MHD_GET_ARGUMENT_KIND, &collectArgument, &r.query);
        r.acceptLanguage = header(c, "Accept-Language").left(256);
        r.authorization = header(c, "Authorization");
        r.contentType = header(c, "Content-Type");
        r.origin = header(c, "Origin");
        r.host = header(c, "Host");
        r.peer = peerOf(c);
        r.tls = !d->cert.isEmpty();
        QTextCodec::ConverterState utf8;
        QTextCodec::codecForMib(106)->toUnicode(url, int(std::strlen(url)), &utf8);
        if (utf8.invalidChars > 0) {
            d->note(r.peer.toString(), "path",
                    QStringLiteral("Refused a web request from %1: its path holds a NUL byte or "
                                   "is no UTF-8 text")
                        .arg(r.peer.toString()));
            return d->queue(c, WebReply::error(400, QStringLiteral("the path is no UTF-8 text")));
        }
        // A body larger than any request of ours is refused before it is read.
        bool number = false;
        const qint64 length = header(c, "Content-Length").toLongLong(&number);
        if (number && length > WebRouter::maxBody) {
            d->note(r.peer.toString(), "body",
                    QStringLiteral("Refused a web request from %1: its body is too large")
                        .arg(r.peer.toString()));
            return d->queue(c, WebReply::error(413, QStringLiteral("the body is too large")));
        }
        return MHD_YES;
    }
    if (*uploadSize > 0) {
        if (x->request.body.size() + qint64(*uploadSize) > WebRouter::maxBody) {
            // Sent in chunks past the limit: the connection is closed.
            d->note(x->request.peer.toString(), "body",
                    QStringLiteral("Refused a web request from %1: its body is too large")
                        .arg(x->request.peer.toString()));
            return MHD_NO;
        }
        x->request.body.append(upload, int(*uploadSize));
        *uploadSize = 0;
        return MHD_YES;
    }
    if (x->pending) {
        std::unique_lock<std::mutex> lock(x->pending->mutex);
        if (!x->pending->done) {
            // Called again before the work is done: wait on.
            x->pending->suspended = true;
            mhd().suspendConnection(c);
            return MHD_YES;
        }
        const WebReply reply = x->pending->reply;
        lock.unlock();
        return d->queue(c, reply);
    }

    const WebRouter::Outcome outcome = d->router.route(x->request);
    switch (outcome.kind) {
    case WebRouter::Outcome::Reply:
        return d->queue(c, outcome.reply);
    case WebRouter::Outcome::Events:
        return d->openStream(c, outcome.language);
    case WebRouter::Outcome::Deferred:
        break;
    }
    auto pending = std::make_shared<Pending>();
    pending->connection = c;
    x->pending = pending;
    {
        std::unique_lock<std::mutex> lock(d->pendingMutex);
        d->pending.insert(pending);
    }
    {
        std::unique_lock<std::mutex> lock(pending->mutex);
        pending->suspended = true;
        mhd().suspendConnection(c);
    }
    outcome.start([pending](const WebReply &reply) { pending->finish(reply); });
    return MHD_YES;
}

void WebServerPrivate::onCompleted(void *cls, MHD_Connection *c, void **state,
                                   MHD_RequestTerminationCode)
{
    auto *d = static_cast<WebServerPrivate *>(cls);
    // A kept connection waits for the next head from now on.
    d->setHead(c, true);
    auto *x = static_cast<Exchange *>(*state);
    if (!x)
        return;
    if (x->pending) {
        std::unique_lock<std::mutex> lock(d->pendingMutex);
        d->pending.erase(x->pending);
    }
    delete x;
    *state = nullptr;
}

void WebServerPrivate::onConnection(void *cls, MHD_Connection *c, void **,
                                    MHD_ConnectionNotificationCode code)
{
    auto *d = static_cast<WebServerPrivate *>(cls);
    std::unique_lock<std::mutex> lock(d->placesMutex);
    if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
        const auto at = d->places.find(c);
        if (at == d->places.end())
            return;
        if (!at->second.closing)
            --d->live;
        d->places.erase(at);
        return;
    }
    Place place;
    const MHD_ConnectionInfo *fd = mhd().getConnectionInfo(c, MHD_CONNECTION_INFO_CONNECTION_FD);
    place.socket = fd ? fd->connect_fd : -1;
    place.peer = peerOf(c);
    place.since = monotonicMs();
    const bool first = d->places.empty();
    d->places.emplace(c, place);
    ++d->live;
    // The check of the heads' deadline runs only while there are connections.
    if (first)
        d->later->post([d] {
            if (!d->daemons.isEmpty())
                d->heads.start();
        });
}

void WebServerPrivate::setHead(MHD_Connection *c, bool head)
{
    std::unique_lock<std::mutex> lock(placesMutex);
    const auto at = places.find(c);
    if (at == places.end())
        return;
    at->second.head = head;
    at->second.since = monotonicMs();
}

void WebServerPrivate::close(Place &place)
{
    place.closing = true;
    --live;
    // The library sees the end of the stream and closes the connection on its own thread; the
    // descriptor stays its own until then.
    if (place.socket >= 0)
        ::shutdown(place.socket, SHUT_RDWR);
}

bool WebServerPrivate::evict()
{
    QHash<QHostAddress, int> held;
    QHostAddress biggest;
    int most = 0;
    for (const auto &p : places) {
        if (p.second.head && !p.second.closing && ++held[p.second.peer] > most) {
            most = held[p.second.peer];
            biggest = p.second.peer;
        }
    }
    if (most == 0)
        return false;
    Place *oldest = nullptr;
    for (auto &p : places) {
        Place &place = p.second;
        if (place.head && !place.closing && place.peer == biggest &&
            (!oldest || place.since < oldest->since))
            oldest = &place;
    }
    note(oldest->peer.toString(), "full",
         QStringLiteral("Closed an unfinished web request from %1 to make room: every place "
                        "was taken, the most by it")
             .arg(oldest->peer.toString()));
    close(*oldest);
    return true;
}

void WebServerPrivate::headsDue()
{
    std::unique_lock<std::mutex> lock(placesMutex);
    if (places.empty()) {
        heads.stop();
        return;
    }
    const qint64 now = monotonicMs();
    for (auto &p : places) {
        Place &place = p.second;
        if (!place.head || place.closing || now - place.since < headMs)
            continue;
        note(place.peer.toString(), "head",
             QStringLiteral("Closed a web connection from %1: its request was not in after %2 s")
                 .arg(place.peer.toString())
                 .arg(headMs / 1000));
        close(place);
    }
}

void WebServerPrivate::onLog(void *cls, const char *format, va_list arguments)
{
    auto *d = static_cast<WebServerPrivate *>(cls);
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    // A page closed while its event stream was being sent: nothing went wrong.
    if (std::strncmp(text, "Failed to send", 14) == 0) {
        qCDebug(lcNetwork).noquote() << "Web service:" << QString::fromUtf8(text).trimmed();
        return;
    }
    // The library's complaints about single clients (a broken TLS handshake, a malformed
    // request) come many at once from a misbehaving one: counted like the clients' own.
    d->note(QStringLiteral("http"), "library",
            QStringLiteral("Web service: %1").arg(QString::fromUtf8(text).trimmed()));
}
