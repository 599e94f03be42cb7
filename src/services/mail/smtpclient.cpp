#include "smtpclient.h"

#include "curllibrary.h"
#include "logcategories.h"
#include "smtptransfer.h"
#include "threadinbox.h"

#include <QRegularExpression>
#include <QUrl>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

#include <atomic>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

namespace {

const int defaultConnectMs = 30000;
const int defaultIdleMs = 60000;
std::atomic<int> connectTimeoutMs {defaultConnectMs};
std::atomic<int> idleTimeoutMs {defaultIdleMs};

// The host as it may stand in a URL: an IPv6 literal in brackets, a name in its ASCII form.
// Empty when the text is no host name at all.
QByteArray urlHost(const QString &host)
{
    const QString trimmed = host.trimmed();
    if (trimmed.contains(QLatin1Char(':'))) {
        static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]+$"));
        return ipv6.match(trimmed).hasMatch() ? '[' + trimmed.toLatin1() + ']' : QByteArray();
    }
    const QByteArray ace = QUrl::toAce(trimmed);
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
    return name.match(QString::fromLatin1(ace)).hasMatch() ? ace : QByteArray();
}

} // namespace

// What the GUI thread and the worker share.
struct SmtpShared
{
    std::mutex mutex;
    std::deque<MailMessage> queue; // front: the message being sent
    bool running = false;
    CURLM *multi = nullptr;
    std::set<qintptr> sockets; // open connections of the transfer under way
    std::atomic<bool> abort {false};
};

class SmtpClientPrivate
{
public:
    explicit SmtpClientPrivate(SmtpClient *q) : q(q), inbox(new ThreadInbox(q)) { }

    SmtpClient *q;
    ThreadInbox *inbox; // the worker's outcomes, run on the client's thread
    const CurlLibrary *curl = nullptr; // none: libcurl cannot be opened
    SmtpShared shared;
    std::thread worker;
    SmtpTransfer::Options options;
    QString host;
    quint16 port = 0;
    bool secure = false;
    bool connectRequested = false;
    bool startTls = true;
    bool aborted = false;

    void start();
    void stop();
    void work(SmtpTransfer::Options options);
    void post(SmtpTransfer::Outcome outcome, const QString &detail);
};

void SmtpClientPrivate::start()
{
    if (!connectRequested || aborted)
        return;
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        if (shared.running || shared.queue.empty())
            return;
        shared.running = true;
    }
    if (worker.joinable())
        worker.join(); // the previous run has already left its loop
    const QByteArray hostPart = urlHost(host);
    SmtpTransfer::Options run = options;
    // An unusable host name goes to libcurl as an empty URL and fails as a connection failure.
    run.url = hostPart.isEmpty()
        ? QByteArray()
        : (secure ? "smtps://" : "smtp://") + hostPart + ':' + QByteArray::number(port);
    if (hostPart.isEmpty())
        qCWarning(lcServices) << "SMTP server address is not a host name:" << host;
    run.requireStartTls = startTls && !secure;
    run.caFile = qgetenv("QUELTA_SMTP_CAFILE");
    run.connectMs = connectTimeoutMs.load();
    run.idleMs = idleTimeoutMs.load();
    SmtpShared *state = &shared;
    run.socketHook = [state](qintptr socket, bool open) {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (open)
            state->sockets.insert(socket);
        else
            state->sockets.erase(socket); // before it is closed, so stop() never sees a stale one
    };
    worker = std::thread([this, run] { work(run); });
}

void SmtpClientPrivate::stop()
{
    shared.abort = true;
    {
        // Wake the worker's wait, and cut its connections so that no libcurl call blocking on
        // a silent server (the farewell of a finished exchange) holds us up.
        std::lock_guard<std::mutex> lock(shared.mutex);
        if (shared.multi && curl)
            curl->multiWakeup(shared.multi);
        for (qintptr socket : shared.sockets) {
#ifdef _WIN32
            ::shutdown(SOCKET(socket), SD_BOTH);
#else
            ::shutdown(int(socket), SHUT_RDWR);
#endif
        }
    }
    if (worker.joinable())
        worker.join();
}

void SmtpClientPrivate::work(SmtpTransfer::Options run)
{
    CURLM *multi = curl ? curl->multiInit() : nullptr;
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.multi = multi;
    }
    bool drained = false;
    while (multi) {
        MailMessage message;
        {
            std::lock_guard<std::mutex> lock(shared.mutex);
            if (shared.abort)
                break;
            if (shared.queue.empty()) {
                drained = true;
                shared.running = false;
                break;
            }
            message = shared.queue.front();
        }
        SmtpTransfer transfer(run, message);
        const SmtpTransfer::Outcome outcome = transfer.run(*curl, multi, shared.abort);
        if (outcome == SmtpTransfer::Aborted)
            break; // the interrupted message stays queued for abort() to hand back
        if (!transfer.refusedRecipients().isEmpty())
            qCWarning(lcServices) << "SMTP server refused the recipients"
                                  << transfer.refusedRecipients() << "of" << message.subject;
        const bool fatal = outcome != SmtpTransfer::Delivered && outcome != SmtpTransfer::Refused;
        {
            std::lock_guard<std::mutex> lock(shared.mutex);
            shared.queue.pop_front();
            if (fatal) {
                shared.queue.clear(); // no retry: the next send starts afresh
                shared.running = false;
            }
        }
        if (outcome != SmtpTransfer::Delivered)
            post(outcome, transfer.detail());
        if (fatal)
            break;
    }
    if (!multi) {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.queue.clear();
        shared.running = false;
        post(SmtpTransfer::ConnectionFailed, QStringLiteral("cannot start libcurl"));
    }
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.multi = nullptr;
    }
    if (multi)
        curl->multiCleanup(multi);
    if (drained)
        post(SmtpTransfer::Delivered, QString());
}

void SmtpClientPrivate::post(SmtpTransfer::Outcome outcome, const QString &detail)
{
    // The client joins this thread before it goes, so it is alive while anything is posted;
    // whatever is still queued when it is deleted goes with it. Delivered stands for "the
    // queue is done".
    inbox->post([this, outcome, detail] {
        if (aborted)
            return;
        switch (outcome) {
        case SmtpTransfer::Delivered:
            emit q->finished();
            break;
        case SmtpTransfer::Refused:
            qCWarning(lcServices) << "SMTP server refused a message:" << detail;
            emit q->mailFailed(detail);
            break;
        case SmtpTransfer::ConnectionFailed:
            qCWarning(lcServices) << "SMTP connection failed:" << detail;
            emit q->connectionFailed();
            break;
        case SmtpTransfer::EncryptionFailed:
            qCWarning(lcServices) << "SMTP encryption failed:" << detail;
            emit q->encryptionFailed();
            break;
        case SmtpTransfer::AuthenticationFailed:
            qCWarning(lcServices) << "SMTP login refused:" << detail;
            emit q->authenticationFailed();
            break;
        case SmtpTransfer::Aborted:
            break;
        }
    });
}

SmtpClient::SmtpClient(QObject *parent) : QObject(parent), d(new SmtpClientPrivate(this))
{
    // Made when the first mail goes out: libcurl is opened now, not at start.
    d->curl = CurlLibrary::get();
}

SmtpClient::~SmtpClient()
{
    d->aborted = true;
    d->stop();
    delete d;
}

void SmtpClient::setStartTlsDisabled(bool disable)
{
    d->startTls = !disable;
}

void SmtpClient::setUsername(const QByteArray &username)
{
    d->options.username = username;
}

void SmtpClient::setPassword(const QByteArray &password)
{
    d->options.password = password;
}

void SmtpClient::connectToHost(const QString &host, quint16 port)
{
    d->host = host;
    d->port = port;
    d->secure = false;
    d->connectRequested = true;
    d->start();
}

void SmtpClient::connectToSecureHost(const QString &host, quint16 port)
{
    d->host = host;
    d->port = port;
    d->secure = true;
    d->connectRequested = true;
    d->start();
}

void SmtpClient::send(const MailMessage &message)
{
    if (d->aborted)
        return;
    {
        std::lock_guard<std::mutex> lock(d->shared.mutex);
        d->shared.queue.push_back(message);
    }
    d->start();
}

QList<MailMessage> SmtpClient::abort()
{
    d->aborted = true;
    d->stop();
    std::lock_guard<std::mutex> lock(d->shared.mutex);
    QList<MailMessage> unsent(d->shared.queue.begin(), d->shared.queue.end());
    d->shared.queue.clear();
    return unsent;
}

bool SmtpClient::isBusy() const
{
    std::lock_guard<std::mutex> lock(d->shared.mutex);
    return d->shared.running;
}

void SmtpClient::setTimeouts(int connectMs, int idleMs)
{
    connectTimeoutMs = connectMs > 0 ? connectMs : defaultConnectMs;
    idleTimeoutMs = idleMs > 0 ? idleMs : defaultIdleMs;
}
