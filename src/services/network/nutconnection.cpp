#include "nutconnection.h"

#include "nutallowlist.h"
#include "nutdispatcher.h"
#include "nuteventlog.h"
#include "nutlinesplitter.h"
#include "nutserverstate.h"
#include "nutsession.h"
#include "nutsocketwatch.h"
#include "nutthrottle.h"
#include "platform.h"

#include <QElapsedTimer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

namespace {

// One monotonic time base for the throttle, shared by all connections of the process.
qint64 nowMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

// Read straight into this, so no socket keeps a buffer of its own between requests.
const int readChunk = 16 * 1024;
// Reads of one client per wake-up at most, so a flood does not starve the others.
const int readsPerWakeUp = 8;

} // namespace

class NutConnectionPrivate final : public NutSocketWatch::Client
{
public:
    NutConnectionPrivate(NutConnection *q) : q(q) { }

    void socketReadable() override { process(); }
    void socketWritable() override { sendPending(); }

    void process();
    // Bytes from the client into `data`: the count, 0 when there are none now, -1 once the
    // connection is over.
    qint64 receive(char *data, qint64 size);
    void send(const QByteArray &bytes);
    void sendPending();
    qint64 unsent() const;
    void listen(bool on);
    void startTls();
    void closePlain();
    void deliver(const NutReply &reply);
    void releaseHeld();
    void finish();

    NutConnection *q;
    // In the clear: the descriptor, watched with the server's other clients, and the replies the
    // system has not taken.
    qintptr descriptor = -1;
    NutSocketWatch *watch = nullptr;
    QByteArray pending;
    // After STARTTLS.
    QSslSocket *socket = nullptr;
    QString address;
    NutServerState *state = nullptr;
    NutThrottle *throttle = nullptr;
    NutEventLog *events = nullptr;
    std::shared_ptr<const QSslConfiguration> tls;
    NutConnection::Limits limits;
    NutSession session;
    NutLineSplitter splitter;
    QTimer hold;
    NutReply held;
    bool holding = false;
    bool closing = false;
    bool finished = false;
    qint64 lastHeard = 0; // nowMs() of the last bytes from the client
};

NutConnection::NutConnection(qintptr descriptor, const QHostAddress &peer, NutSocketWatch *watch,
                             NutServerState *state, NutThrottle *throttle, NutEventLog *events,
                             const std::shared_ptr<const QSslConfiguration> &tls,
                             const Limits &limits, QObject *parent)
    : QObject(parent), d(new NutConnectionPrivate(this))
{
    d->descriptor = descriptor;
    // Replies are small and awaited: no waiting to fill a segment.
    platform::socketNoDelay(descriptor);
    d->watch = watch;
    if (!watch->add(descriptor, d)) {
        // Nothing would ever tell of its requests: the socket's end comes at the first turn.
        QTimer::singleShot(0, this, [this] { abort(); });
    }
    d->state = state;
    d->throttle = throttle;
    d->events = events;
    d->tls = tls;
    d->limits = limits;
    d->address = NutAllowList::plain(peer).toString();
    d->session.address = d->address.toLatin1();
    state->addSession(&d->session);

    d->hold.setSingleShot(true);
    connect(&d->hold, &QTimer::timeout, this, [this] { d->releaseHeld(); });
    d->lastHeard = nowMs();
}

NutConnection::~NutConnection()
{
    if (!d->finished)
        d->state->removeSession(&d->session);
    d->closePlain();
    delete d;
}

const QString &NutConnection::address() const
{
    return d->address;
}

QByteArray NutConnection::username() const
{
    return d->session.hasUsername ? d->session.username : QByteArray();
}

bool NutConnection::loggedIn() const
{
    return d->session.loggedIn;
}

bool NutConnection::encrypted() const
{
    return d->session.tls;
}

qint64 NutConnection::silentForMs() const
{
    return nowMs() - d->lastHeard;
}

void NutConnection::setTlsConfiguration(const std::shared_ptr<const QSslConfiguration> &tls)
{
    d->tls = tls;
}

void NutConnection::closeSilent(int idleMs)
{
    d->events->note(address(), "silent", NutEventLog::Info,
                    QStringLiteral("Closing the connection of %1 after %2 s of silence")
                        .arg(address())
                        .arg(idleMs / 1000));
    abort();
}

void NutConnection::abort()
{
    d->closing = true;
    d->hold.stop();
    d->closePlain();
    if (d->socket)
        d->socket->abort();
    d->finish();
}

void NutConnectionPrivate::process()
{
    int reads = 0;
    while (!holding && !closing) {
        NutLineSplitter::Line line;
        if (!splitter.next(&line)) {
            if (reads++ == readsPerWakeUp) {
                // The notifier calls again while the system holds more; a TLS socket does not.
                if (socket && socket->bytesAvailable() > 0)
                    QTimer::singleShot(0, q, [this] { process(); });
                return;
            }
            char buffer[readChunk];
            const qint64 n = receive(buffer, sizeof buffer);
            if (n < 0) {
                q->abort();
                return;
            }
            if (n == 0)
                break;
            lastHeard = nowMs();
            splitter.feed(buffer, int(n));
            continue;
        }
        const bool wasLoggedIn = session.loggedIn;
        const NutReply reply = line.tooLong ? NutDispatcher::tooLong()
                                            : NutDispatcher::handle(*state, session, line.text);
        if (session.loggedIn != wasLoggedIn)
            emit q->changed();
        if (reply.passwordChecked) {
            if (!reply.passwordRight) {
                events->note(q->address(), "password", NutEventLog::Info,
                             QStringLiteral("Wrong user name or password from %1")
                                 .arg(q->address()));
            }
            const qint64 wait =
                throttle->verdictDelay(q->address(), session.username, reply.passwordRight, nowMs());
            if (wait > 0) {
                holding = true;
                listen(false);
                held = reply;
                hold.start(int(wait));
                return;
            }
        }
        deliver(reply);
    }
}

void NutConnectionPrivate::releaseHeld()
{
    holding = false;
    listen(true);
    deliver(held);
    held = NutReply();
    process();
}

qint64 NutConnectionPrivate::receive(char *data, qint64 size)
{
    if (socket) {
        const qint64 n = socket->read(data, size);
        return n < 0 ? 0 : n; // the socket tells its end itself
    }
    if (descriptor < 0)
        return 0;
    const qint64 n = platform::socketRead(descriptor, data, size);
    if (n == -1)
        return 0;
    return n > 0 ? n : -1; // closed by the client, or failed
}

void NutConnectionPrivate::send(const QByteArray &bytes)
{
    if (socket) {
        socket->write(bytes);
        // Out now rather than at the next turn of the event loop.
        socket->flush();
        return;
    }
    if (pending.isEmpty()) {
        const qint64 n = platform::socketWrite(descriptor, bytes.constData(), bytes.size());
        if (n < 0) {
            q->abort();
            return;
        }
        if (n == bytes.size())
            return;
        pending = bytes.mid(int(n));
    } else {
        pending += bytes;
    }
    watch->setWriting(descriptor, true);
}

// The system takes more of what waits.
void NutConnectionPrivate::sendPending()
{
    const qint64 n = platform::socketWrite(descriptor, pending.constData(), pending.size());
    if (n < 0) {
        q->abort();
        return;
    }
    pending.remove(0, int(n));
    if (!pending.isEmpty())
        return;
    pending = QByteArray(); // its room goes back too
    watch->setWriting(descriptor, false);
    if (closing)
        q->abort(); // LOGOUT answered in full
}

qint64 NutConnectionPrivate::unsent() const
{
    return socket ? socket->bytesToWrite() : pending.size();
}

void NutConnectionPrivate::listen(bool on)
{
    if (descriptor >= 0)
        watch->setReading(descriptor, on);
}

void NutConnectionPrivate::closePlain()
{
    if (descriptor < 0)
        return;
    watch->remove(descriptor);
    platform::socketClose(descriptor);
    descriptor = -1;
    pending = QByteArray();
}

void NutConnectionPrivate::startTls()
{
    // The TLS socket takes over the descriptor, and whatever of the answer to STARTTLS is still
    // waiting goes out ahead of the handshake, in the clear.
    if (!tls) { // the certificate went away since STARTTLS was answered
        q->abort();
        return;
    }
    watch->remove(descriptor);
    socket = new QSslSocket(q);
    if (!socket->setSocketDescriptor(descriptor)) {
        platform::socketClose(descriptor);
        descriptor = -1;
        q->abort();
        return;
    }
    descriptor = -1;
    // Qt stops reading from the kernel once this much waits unread, so a flooding client is held
    // back by TCP itself.
    socket->setReadBufferSize(readChunk);
    QObject::connect(socket, &QIODevice::readyRead, q, [this] { process(); });
    QObject::connect(socket, &QAbstractSocket::disconnected, q, [this] { finish(); });
    QObject::connect(socket, &QAbstractSocket::errorOccurred, q,
                     [this](QAbstractSocket::SocketError error) {
                         if (error == QAbstractSocket::SslHandshakeFailedError) {
                             events->note(address, "handshake", NutEventLog::Warning,
                                          QStringLiteral("TLS handshake with %1 failed: %2")
                                              .arg(address, socket->errorString()));
                         }
                         if (error != QAbstractSocket::RemoteHostClosedError)
                             q->abort();
                     });
    QObject::connect(socket, &QSslSocket::encrypted, q, [this] {
        events->note(address, "tls", NutEventLog::Info,
                     QStringLiteral("TLS started with %1").arg(address));
        emit q->changed();
    });
    if (!pending.isEmpty())
        socket->write(pending);
    pending = QByteArray();
    socket->setSslConfiguration(*tls);
    socket->startServerEncryption();
}

void NutConnectionPrivate::deliver(const NutReply &reply)
{
    if (closing)
        return;
    send(reply.text);
    if (closing)
        return; // the send failed
    if (unsent() > limits.outputLimit) {
        events->note(q->address(), "deaf", NutEventLog::Warning,
                     QStringLiteral("Closing the connection of %1 because it does not read its "
                                    "replies")
                         .arg(q->address()));
        q->abort();
        return;
    }
    if (reply.after == NutReply::Close) {
        closing = true;
        listen(false);
        if (socket)
            socket->disconnectFromHost();
        else if (pending.isEmpty())
            q->abort();
    } else if (reply.after == NutReply::StartTls) {
        // Whatever the client sent after STARTTLS in the clear is no request.
        splitter = NutLineSplitter();
        session.tls = true;
        startTls();
    }
}

void NutConnectionPrivate::finish()
{
    if (finished)
        return;
    finished = true;
    closing = true;
    hold.stop();
    state->removeSession(&session);
    emit q->closed();
}
