#include "nutconnection.h"

#include "nutallowlist.h"
#include "nutdispatcher.h"
#include "nuteventlog.h"
#include "nutlinesplitter.h"
#include "nutserverstate.h"
#include "nutsession.h"
#include "nutthrottle.h"

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

const int readChunk = 4096;

} // namespace

class NutConnectionPrivate
{
public:
    NutConnectionPrivate(NutConnection *q) : q(q) { }

    void process();
    void deliver(const NutReply &reply);
    void releaseHeld();
    void finish();

    NutConnection *q;
    QSslSocket *socket = nullptr;
    NutServerState *state = nullptr;
    NutThrottle *throttle = nullptr;
    NutEventLog *events = nullptr;
    QSslConfiguration tls;
    NutConnection::Limits limits;
    NutSession session;
    NutLineSplitter splitter;
    QTimer idle;
    QTimer hold;
    NutReply held;
    bool holding = false;
    bool closing = false;
    bool finished = false;
    qint64 lastHeard = 0; // nowMs() of the last bytes from the client
};

NutConnection::NutConnection(QSslSocket *socket, NutServerState *state, NutThrottle *throttle,
                             NutEventLog *events, const QSslConfiguration &tls,
                             const Limits &limits, QObject *parent)
    : QObject(parent), d(new NutConnectionPrivate(this))
{
    d->socket = socket;
    socket->setParent(this);
    // Qt stops reading from the kernel once this much waits unread, so a flooding client is held
    // back by TCP itself.
    socket->setReadBufferSize(4 * readChunk);
    // Replies are small and awaited: no waiting to fill a segment.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    d->state = state;
    d->throttle = throttle;
    d->events = events;
    d->tls = tls;
    d->limits = limits;
    d->session.address = NutAllowList::plain(socket->peerAddress()).toString().toLatin1();
    state->addSession(&d->session);

    d->idle.setSingleShot(true);
    d->idle.setInterval(limits.idleMs);
    d->hold.setSingleShot(true);
    connect(&d->idle, &QTimer::timeout, this, [this] {
        d->events->note(address(), "silent", NutEventLog::Info,
                        QStringLiteral("Closing the connection of %1 after %2 s of silence")
                            .arg(address())
                            .arg(d->limits.idleMs / 1000));
        abort();
    });
    connect(&d->hold, &QTimer::timeout, this, [this] { d->releaseHeld(); });
    connect(socket, &QIODevice::readyRead, this, [this] { d->process(); });
    connect(socket, &QAbstractSocket::disconnected, this, [this] { d->finish(); });
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) {
                if (error == QAbstractSocket::SslHandshakeFailedError) {
                    d->events->note(address(), "handshake", NutEventLog::Warning,
                                    QStringLiteral("TLS handshake with %1 failed: %2")
                                        .arg(address(), d->socket->errorString()));
                }
                if (error != QAbstractSocket::RemoteHostClosedError)
                    abort();
            });
    connect(socket, &QSslSocket::encrypted, this, [this] {
        d->events->note(address(), "tls", NutEventLog::Info,
                        QStringLiteral("TLS started with %1").arg(address()));
        emit changed();
    });
    d->lastHeard = nowMs();
    d->idle.start();
    // Bytes that came with the connection itself.
    QTimer::singleShot(0, this, [this] { d->process(); });
}

NutConnection::~NutConnection()
{
    if (!d->finished)
        d->state->removeSession(&d->session);
    delete d;
}

QString NutConnection::address() const
{
    return QString::fromLatin1(d->session.address);
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

void NutConnection::setTlsConfiguration(const QSslConfiguration &tls)
{
    d->tls = tls;
}

void NutConnection::abort()
{
    d->closing = true;
    d->hold.stop();
    d->idle.stop();
    d->socket->abort();
    d->finish();
}

void NutConnectionPrivate::process()
{
    while (!holding && !closing) {
        NutLineSplitter::Line line;
        if (!splitter.next(&line)) {
            char buffer[readChunk];
            const qint64 n = socket->read(buffer, sizeof buffer);
            if (n <= 0)
                break;
            lastHeard = nowMs();
            idle.start();
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
    deliver(held);
    held = NutReply();
    process();
}

void NutConnectionPrivate::deliver(const NutReply &reply)
{
    if (closing)
        return;
    socket->write(reply.text);
    // Out now rather than at the next turn of the event loop.
    socket->flush();
    if (socket->bytesToWrite() > limits.outputLimit) {
        events->note(q->address(), "deaf", NutEventLog::Warning,
                     QStringLiteral("Closing the connection of %1 because it does not read its "
                                    "replies")
                         .arg(q->address()));
        q->abort();
        return;
    }
    if (reply.after == NutReply::Close) {
        closing = true;
        socket->disconnectFromHost();
    } else if (reply.after == NutReply::StartTls) {
        // Whatever the client sent after STARTTLS in the clear is no request.
        splitter = NutLineSplitter();
        session.tls = true;
        socket->setSslConfiguration(tls);
        socket->startServerEncryption();
    }
}

void NutConnectionPrivate::finish()
{
    if (finished)
        return;
    finished = true;
    closing = true;
    hold.stop();
    idle.stop();
    state->removeSession(&session);
    emit q->closed();
}
