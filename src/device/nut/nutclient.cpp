#include "nutclient.h"

#include "logcategories.h"
#include "nutline.h"
#include "nutlinesplitter.h"
#include "nutstatusflags.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSslCertificate>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <algorithm>
#include <deque>

namespace {

// Far above any real line (a few hundred bytes) or list (a few hundred variables); what goes
// beyond is a broken or hostile server.
const int maxLineBytes = 16 * 1024;
const int maxListEntries = 5000;
// LIST VARs written at once: the server answers them in order, so a round over a server's UPSes
// costs a wake-up or two rather than one a UPS.
const int maxPipelined = 32;

enum class Kind { StartTls, Username, Password, ListCmd, Login, ListVar, InstCmd, Logout, ListUps };

struct Request
{
    Kind kind;
    QByteArray line;
    QString command; // INSTCMD: the command name
    QString ups; // the UPS a LIST or INSTCMD is about
};

// A further UPS polled on the same connection (a watched one): its own data, commands and
// problem, so one UPS the server cannot serve leaves the others alone.
struct Unit
{
    bool haveData = false;
    bool onBattery = false;
    bool commandsKnown = false;
    QStringList commands;
    QString problem;
    QString loggedProblem;
};

const char *kindName(Kind kind)
{
    switch (kind) {
    case Kind::StartTls:
        return "STARTTLS";
    case Kind::Username:
        return "USERNAME";
    case Kind::Password:
        return "PASSWORD";
    case Kind::ListCmd:
        return "LIST CMD";
    case Kind::Login:
        return "LOGIN";
    case Kind::ListVar:
        return "LIST VAR";
    case Kind::InstCmd:
        return "INSTCMD";
    case Kind::Logout:
        return "LOGOUT";
    case Kind::ListUps:
        return "LIST UPS";
    }
    return "?";
}

} // namespace

class NutClientPrivate
{
public:
    explicit NutClientPrivate(NutClient *owner);

    void connectNow();
    void onConnected();
    void onEncrypted();
    void onReadyRead();
    bool handleLine(const QByteArray &line);
    bool handleListLine(const QStringList &words, const QByteArray &line);
    void finishRequest();
    void sessionReady();
    void send(const Request &request, bool first = false);
    void sendNext();
    void pollNow();
    void schedulePoll();
    void restartReplyTimer();
    void fail(const QString &reason);
    void dropSocket();
    void dataLost(const QString &reason);
    void logProblem(const QString &reason);
    void failPendingCommands();
    bool prepareTls();
    QString target() const;
    int pollInterval() const;
    bool isPrimary(const QString &ups) const { return !endpoint.ups.isEmpty() && ups == endpoint.ups; }
    Request listRequest(Kind kind, const QString &ups) const;
    bool roundOpen() const;
    void afterPoll();
    void pollUnits();
    void setUnits(const QStringList &listed);
    void unitReceived(const QString &ups, const QHash<QString, QString> &variables);
    void unitLost(const QString &ups, const QString &reason);
    void commandDone(const Request &request, const QString &error);

    NutClient *q;
    NutClient::Endpoint endpoint;
    NutClient::Timing timing;
    QPointer<QSslSocket> socket;
    QTimer pollTimer;
    QTimer replyTimer;
    QTimer retryTimer;
    QElapsedTimer heard; // since the last complete answer (or the start of a connection)
    QElapsedTimer pollSent;

    bool running = false;
    bool connected = false; // TCP up
    bool securing = false; // waiting for the TLS handshake
    bool ready = false; // session set up: polling
    bool loginWanted = false;
    bool loggedIn = false;
    bool loggingOut = false;
    bool leaving = false; // logout() asked for: the client stops once LOGOUT is answered
    bool haveData = false;
    bool onBattery = false;
    bool commandsKnown = false;
    bool loginRefusedLogged = false;
    bool plainLogged = false;
    int listEntries = 0;
    int retryDelay = 0;
    int failedAttempts = 0;
    QString problem;
    QString loggedProblem;

    NutLineSplitter lines {maxLineBytes};
    std::deque<Request> queue;
    bool busy = false; // `current` is on the wire
    std::deque<Request> sent; // LIST VARs on the wire after `current`, answered in this order
    Request current {Kind::ListVar, {}, {}};
    bool listOpen = false;
    QHash<QString, QString> listVars;
    QStringList listCmds;
    QStringList listUps;
    QStringList commands;

    QMap<QString, Unit> units; // the further UPSes polled, by name
    QStringList named; // asked for by name
    bool discover = false; // and every UPS the server lists
    QStringList discovered; // what LIST UPS said last
};

NutClientPrivate::NutClientPrivate(NutClient *owner) : q(owner)
{
    pollTimer.setSingleShot(true);
    replyTimer.setSingleShot(true);
    retryTimer.setSingleShot(true);
    retryDelay = timing.retryFirstMs;
}

QString NutClientPrivate::target() const
{
    if (endpoint.ups.isEmpty())
        return QStringLiteral("%1:%2").arg(endpoint.host).arg(endpoint.port);
    return QStringLiteral("%1@%2:%3").arg(endpoint.ups, endpoint.host).arg(endpoint.port);
}

int NutClientPrivate::pollInterval() const
{
    bool anyOnBattery = onBattery;
    for (const Unit &unit : units)
        anyOnBattery = anyOnBattery || unit.onBattery;
    return anyOnBattery ? timing.batteryPollMs : timing.pollMs;
}

Request NutClientPrivate::listRequest(Kind kind, const QString &ups) const
{
    return {kind,
            NutLine::join({QStringLiteral("LIST"),
                           kind == Kind::ListVar ? QStringLiteral("VAR") : QStringLiteral("CMD"),
                           ups}),
            {},
            ups};
}

// A poll round is one LIST VAR per UPS (after LIST UPS when the server's list is followed); the
// next round is due a poll period after this one started.
bool NutClientPrivate::roundOpen() const
{
    const auto polling = [](const Request &r) {
        return r.kind == Kind::ListVar || r.kind == Kind::ListUps;
    };
    return (busy && polling(current)) || !sent.empty() ||
        std::any_of(queue.begin(), queue.end(), polling);
}

void NutClientPrivate::afterPoll()
{
    if (!roundOpen())
        schedulePoll();
}

void NutClientPrivate::pollUnits()
{
    for (auto it = units.cbegin(); it != units.cend(); ++it)
        send(listRequest(Kind::ListVar, it.key()));
}

void NutClientPrivate::setUnits(const QStringList &listed)
{
    discovered = listed;
    QStringList wanted = named;
    for (const QString &name : qAsConst(discovered)) {
        if (!wanted.contains(name))
            wanted.append(name);
    }
    wanted.removeAll(endpoint.ups);
    bool changed = false;
    const QStringList known = units.keys();
    for (const QString &name : known) {
        if (!wanted.contains(name)) {
            units.remove(name);
            changed = true;
        }
    }
    for (const QString &name : qAsConst(wanted)) {
        if (!units.contains(name)) {
            units.insert(name, Unit());
            changed = true;
        }
    }
    if (changed) {
        qCInfo(lcDevice).noquote() << QStringLiteral("Server %1:%2 polled for %3")
                                          .arg(endpoint.host)
                                          .arg(endpoint.port)
                                          .arg(units.keys().join(QStringLiteral(", ")));
        emit q->upsListChanged(units.keys());
    }
}

void NutClientPrivate::unitReceived(const QString &ups, const QHash<QString, QString> &variables)
{
    auto it = units.find(ups);
    if (it == units.end())
        return; // no longer polled
    it->onBattery = NutStatusFlags::parse(variables.value(QStringLiteral("ups.status")))
                        .testFlag(NutStatusFlags::OnBattery);
    if (!it->haveData)
        qCInfo(lcDevice).noquote() << QStringLiteral("Network link to %1@%2:%3 is up")
                                          .arg(ups, endpoint.host)
                                          .arg(endpoint.port);
    it->haveData = true;
    failedAttempts = 0;
    retryDelay = timing.retryFirstMs;
    it->problem.clear();
    it->loggedProblem.clear();
    const bool commandsKnown = it->commandsKnown;
    emit q->upsVariablesReceived(ups, variables);
    if (socket && !commandsKnown && units.contains(ups))
        send(listRequest(Kind::ListCmd, ups));
}

void NutClientPrivate::unitLost(const QString &ups, const QString &reason)
{
    auto it = units.find(ups);
    if (it == units.end())
        return;
    if (reason != it->loggedProblem) {
        it->loggedProblem = reason;
        qCWarning(lcDevice).noquote()
            << QStringLiteral("Network link to %1@%2:%3: %4").arg(ups, endpoint.host).arg(endpoint.port).arg(reason);
    }
    it->haveData = false;
    it->onBattery = false;
    it->problem = reason;
    const bool hadCommands = !it->commands.isEmpty();
    it->commands.clear();
    it->commandsKnown = false;
    if (hadCommands)
        emit q->upsCommandsChanged(ups);
    emit q->upsUnavailable(ups, reason);
}

void NutClientPrivate::commandDone(const Request &request, const QString &error)
{
    if (isPrimary(request.ups))
        emit q->commandFinished(request.command, error);
    else
        emit q->upsCommandFinished(request.ups, request.command, error);
}

void NutClientPrivate::connectNow()
{
    failPendingCommands(); // nothing of an old connection goes out on a new one
    dropSocket();
    if (!running)
        return;
    if (endpoint.host.isEmpty() || (endpoint.ups.isEmpty() && named.isEmpty() && !discover)) {
        fail(QStringLiteral("No server or UPS name is set for the network link"));
        return;
    }
    socket = new QSslSocket(q);
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QObject::connect(socket, &QSslSocket::connected, q, [this] { onConnected(); });
    QObject::connect(socket, &QSslSocket::encrypted, q, [this] { onEncrypted(); });
    QObject::connect(socket, &QSslSocket::readyRead, q, [this] { onReadyRead(); });
    QObject::connect(socket, &QSslSocket::disconnected, q, [this] {
        if (loggingOut) {
            dropSocket();
            return;
        }
        fail(QStringLiteral("The server closed the connection"));
    });
    QObject::connect(socket, &QAbstractSocket::errorOccurred, q,
                     [this](QAbstractSocket::SocketError error) {
                         if (error == QAbstractSocket::RemoteHostClosedError)
                             return; // `disconnected` tells it
                         if (error == QAbstractSocket::SslHandshakeFailedError)
                             return; // `sslErrors` told why
                         fail(QStringLiteral("Cannot reach the server: %1")
                                  .arg(socket ? socket->errorString() : QString()));
                     });
    QObject::connect(socket, QOverload<const QList<QSslError> &>::of(&QSslSocket::sslErrors), q,
                     [this](const QList<QSslError> &errors) {
                         QStringList texts;
                         for (const QSslError &error : errors)
                             texts.append(error.errorString());
                         fail(QStringLiteral("The server's certificate is not trusted: %1")
                                  .arg(texts.join(QStringLiteral("; "))));
                     });
    heard.start();
    restartReplyTimer();
    socket->connectToHost(endpoint.host, endpoint.port);
}

void NutClientPrivate::onConnected()
{
    connected = true;
    heard.start();
    send({Kind::StartTls, QByteArrayLiteral("STARTTLS\n"), {}});
}

bool NutClientPrivate::prepareTls()
{
    QSslConfiguration config = socket->sslConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    config.setProtocol(QSsl::TlsV1_2OrLater);
    if (!endpoint.caFile.isEmpty()) {
        QFile file(endpoint.caFile);
        if (!file.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("Cannot read the CA file %1: %2")
                     .arg(endpoint.caFile, file.errorString()));
            return false;
        }
        const QList<QSslCertificate> authorities = QSslCertificate::fromData(file.read(1 << 20));
        if (authorities.isEmpty()) {
            fail(QStringLiteral("The CA file %1 holds no PEM certificate").arg(endpoint.caFile));
            return false;
        }
        config.setCaCertificates(authorities);
    }
    socket->setSslConfiguration(config);
    socket->setPeerVerifyName(endpoint.host);
    return true;
}

void NutClientPrivate::onEncrypted()
{
    securing = false;
    heard.start();
    qCDebug(lcDevice) << "Network link to" << target() << "encrypted with"
                      << socket->sessionCipher().name();
    sessionReady();
}

// Connected (and encrypted where it could be): say who we are, learn the commands, log in when
// wanted, then poll.
void NutClientPrivate::sessionReady()
{
    ready = true;
    if (!endpoint.user.isEmpty()) {
        const QByteArray user = NutLine::join({QStringLiteral("USERNAME"), endpoint.user});
        const QByteArray password = NutLine::join({QStringLiteral("PASSWORD"), endpoint.password});
        if (user.isEmpty() || password.isEmpty()) {
            fail(QStringLiteral("The user name or password for the network link holds a control "
                                "character"));
            return;
        }
        send({Kind::Username, user, {}});
        send({Kind::Password, password, {}});
    }
    if (!endpoint.ups.isEmpty())
        send(listRequest(Kind::ListCmd, endpoint.ups));
    if (loginWanted && !endpoint.user.isEmpty() && !endpoint.ups.isEmpty())
        send({Kind::Login, NutLine::join({QStringLiteral("LOGIN"), endpoint.ups}), {}, endpoint.ups});
    pollNow();
}

void NutClientPrivate::send(const Request &request, bool first)
{
    if (first)
        queue.push_front(request);
    else
        queue.push_back(request);
    sendNext();
}

void NutClientPrivate::sendNext()
{
    if (busy || (queue.empty() && sent.empty()) || !socket || !connected || securing)
        return;
    QByteArray out;
    if (!sent.empty()) {
        current = sent.front(); // written already
        sent.pop_front();
    } else {
        current = queue.front();
        queue.pop_front();
        out = current.line;
        while (current.kind == Kind::ListVar && !queue.empty() &&
               queue.front().kind == Kind::ListVar && int(sent.size()) < maxPipelined) {
            out += queue.front().line;
            sent.push_back(queue.front());
            queue.pop_front();
        }
    }
    busy = true;
    listOpen = false;
    listVars.clear();
    listCmds.clear();
    listUps.clear();
    listEntries = 0;
    if (!out.isEmpty()) {
        socket->write(out);
        restartReplyTimer();
    }
}

// The answer must come within two poll periods of the last one, so a silent server is noticed
// in that time whatever the request was.
void NutClientPrivate::restartReplyTimer()
{
    const int budget = 2 * timing.pollMs - int(heard.elapsed());
    replyTimer.start(std::max(budget, timing.pollMs / 2));
}

void NutClientPrivate::pollNow()
{
    if (!ready || roundOpen())
        return;
    pollSent.start();
    if (!endpoint.ups.isEmpty())
        send(listRequest(Kind::ListVar, endpoint.ups));
    if (discover)
        send({Kind::ListUps, QByteArrayLiteral("LIST UPS\n"), {}, {}});
    else
        pollUnits();
}

void NutClientPrivate::schedulePoll()
{
    pollTimer.start(std::max(0, pollInterval() - int(pollSent.elapsed())));
}

void NutClientPrivate::onReadyRead()
{
    if (!socket)
        return;
    const QByteArray bytes = socket->readAll();
    lines.feed(bytes.constData(), bytes.size());
    NutLineSplitter::Line line;
    while (lines.next(&line)) {
        if (line.tooLong)
            break;
        if (line.text.endsWith('\r'))
            line.text.chop(1);
        if (!handleLine(line.text))
            return; // the connection was dropped; nothing left to read
        if (!socket)
            return;
    }
    // A line past the limit, whole or still coming: no server of ours sends one.
    if (line.tooLong || lines.dropping())
        fail(QStringLiteral("The server sent a line longer than %1 bytes").arg(lines.limit()));
}

// One line of an answer. False when the connection was given up.
bool NutClientPrivate::handleLine(const QByteArray &line)
{
    QStringList words;
    if (!busy) {
        fail(QStringLiteral("The server sent a line nobody asked for: %1")
                 .arg(NutLine::excerpt(line)));
        return false;
    }
    if (!NutLine::splitReply(line, &words) || words.isEmpty()) {
        fail(QStringLiteral("The server answered %1 with a line that cannot be read: %2")
                 .arg(QLatin1String(kindName(current.kind)), NutLine::excerpt(line)));
        return false;
    }
    if (current.kind == Kind::ListVar || current.kind == Kind::ListCmd ||
        current.kind == Kind::ListUps)
        return handleListLine(words, line);

    const bool ok = words.first() == QLatin1String("OK") ||
        (current.kind == Kind::Logout && words.first().startsWith(QLatin1String("Goodbye")));
    const bool err = words.first() == QLatin1String("ERR") && words.size() >= 2;
    if (!ok && !err) {
        fail(QStringLiteral("The server answered %1 with: %2")
                 .arg(QLatin1String(kindName(current.kind)), NutLine::excerpt(line)));
        return false;
    }
    const QString error = err ? words.at(1) : QString();
    const Request request = current;
    finishRequest();

    switch (request.kind) {
    case Kind::StartTls:
        if (ok) {
            if (!prepareTls())
                return false;
            securing = true;
            socket->startClientEncryption();
            restartReplyTimer();
            return true;
        }
        if (!endpoint.allowPlain) {
            fail(QStringLiteral("The server offers no encryption (%1) and an unencrypted "
                                "connection is not allowed")
                     .arg(error));
            return false;
        }
        if (!plainLogged) {
            plainLogged = true;
            qCInfo(lcDevice).noquote()
                << QStringLiteral("Server %1 offers no encryption (%2); going on unencrypted as "
                                  "allowed")
                       .arg(target(), error);
        }
        sessionReady();
        return true;
    case Kind::Username:
    case Kind::Password:
        if (err) {
            qCWarning(lcDevice) << "Server" << target() << "refused" << kindName(request.kind)
                                << ":" << error;
        }
        break;
    case Kind::Login:
        if (ok || error == QLatin1String("ALREADY-LOGGED-IN")) {
            loggedIn = true;
            loginRefusedLogged = false;
            qCInfo(lcDevice) << "Logged in to" << target()
                             << ": its primary now waits for this computer before it powers off";
            emit q->loginChanged(true);
        } else if (!loginRefusedLogged) {
            loginRefusedLogged = true;
            qCWarning(lcDevice) << "Server" << target() << "refused LOGIN:" << error
                                << "- this computer is watched but not counted by the primary; "
                                   "check the user (it needs upsmon secondary) and its password";
        }
        break;
    case Kind::InstCmd:
        if (err)
            qCWarning(lcDevice) << "Server" << target() << "refused command" << request.command
                                << ":" << error;
        else
            qCInfo(lcDevice) << "Server" << target() << "accepted command" << request.command;
        commandDone(request, error);
        break;
    case Kind::Logout:
        loggingOut = true;
        failPendingCommands();
        dropSocket();
        running = false;
        emit q->loggedOut();
        return false;
    default:
        break;
    }
    sendNext();
    return socket != nullptr;
}

bool NutClientPrivate::handleListLine(const QStringList &words, const QByteArray &line)
{
    const Request request = current;
    const bool vars = request.kind == Kind::ListVar;
    const bool upsList = request.kind == Kind::ListUps;
    const QString what = vars ? QStringLiteral("VAR")
        : upsList             ? QStringLiteral("UPS")
                              : QStringLiteral("CMD");
    const bool primary = !upsList && isPrimary(request.ups);
    // An entry: "VAR <ups> <name> <value>", "CMD <ups> <name>" or "UPS <name> <description>".
    const bool entry = upsList
        ? words.size() == 3 && words.at(0) == what
        : words.size() == (vars ? 4 : 3) && words.at(0) == what && words.at(1) == request.ups;
    // "BEGIN LIST VAR <ups>" / "END LIST VAR <ups>" (no <ups> for the UPS list).
    const auto isFrame = [&] {
        return words.size() == (upsList ? 3 : 4) && words.at(1) == QLatin1String("LIST") &&
            words.at(2) == what && (upsList || words.at(3) == request.ups);
    };
    if (!listOpen) {
        if (words.first() == QLatin1String("ERR") && words.size() >= 2) {
            const QString error = words.at(1);
            finishRequest();
            if (!primary && !upsList) {
                // One watched UPS the server cannot serve now: the others go on.
                if (vars) {
                    QString reason;
                    if (error == QLatin1String("UNKNOWN-UPS"))
                        reason = QStringLiteral("The server knows no UPS named \"%1\"").arg(request.ups);
                    else if (error == QLatin1String("DATA-STALE") ||
                             error == QLatin1String("DRIVER-NOT-CONNECTED"))
                        reason = QStringLiteral("The server has no fresh data from the UPS (%1)").arg(error);
                    else
                        reason = QStringLiteral("The server refused LIST VAR: %1").arg(error);
                    unitLost(request.ups, reason);
                    afterPoll();
                } else if (units.contains(request.ups)) {
                    units[request.ups].commandsKnown = true; // none offered
                }
                sendNext();
                return socket != nullptr;
            }
            if (error == QLatin1String("UNKNOWN-UPS") && !upsList) {
                fail(QStringLiteral("The server knows no UPS named \"%1\"").arg(request.ups));
                return false;
            }
            if (!upsList && (error == QLatin1String("DATA-STALE") ||
                             error == QLatin1String("DRIVER-NOT-CONNECTED"))) {
                if (vars) {
                    dataLost(QStringLiteral("The server has no fresh data from the UPS (%1)")
                                 .arg(error));
                    afterPoll();
                }
                sendNext();
                return socket != nullptr;
            }
            fail(QStringLiteral("The server refused LIST %1: %2").arg(what, error));
            return false;
        }
        if (words.first() == QLatin1String("BEGIN") && isFrame()) {
            listOpen = true;
            return true;
        }
    } else if (words.first() == QLatin1String("END")) {
        if (isFrame()) {
            finishRequest();
            if (upsList) {
                setUnits(listUps);
                pollUnits();
                afterPoll();
            } else if (vars && !primary) {
                unitReceived(request.ups, listVars);
                if (!socket)
                    return false;
                afterPoll();
            } else if (vars) {
                const QHash<QString, QString> received = listVars;
                onBattery = NutStatusFlags::parse(received.value(QStringLiteral("ups.status")))
                                .testFlag(NutStatusFlags::OnBattery);
                if (!haveData) {
                    qCInfo(lcDevice).noquote()
                        << QStringLiteral("Network link to %1 is up%2%3")
                               .arg(target(),
                                    socket && socket->isEncrypted()
                                        ? QStringLiteral(" (encrypted)")
                                        : QStringLiteral(" (unencrypted)"),
                                    failedAttempts > 0 ? QStringLiteral(" after %1 failed attempts")
                                                             .arg(failedAttempts)
                                                       : QString());
                }
                haveData = true;
                problem.clear();
                loggedProblem.clear();
                failedAttempts = 0;
                retryDelay = timing.retryFirstMs;
                emit q->variablesReceived(received);
                if (!socket)
                    return false;
                if (!commandsKnown)
                    send(listRequest(Kind::ListCmd, endpoint.ups));
                afterPoll();
            } else if (!primary) {
                auto it = units.find(request.ups);
                if (it != units.end()) {
                    it->commandsKnown = true;
                    if (listCmds != it->commands) {
                        it->commands = listCmds;
                        emit q->upsCommandsChanged(request.ups);
                    }
                }
            } else {
                commandsKnown = true;
                if (listCmds != commands) {
                    commands = listCmds;
                    emit q->commandsChanged();
                }
            }
            sendNext();
            return socket != nullptr;
        }
    } else if (entry) {
        if (++listEntries > maxListEntries) {
            fail(QStringLiteral("The server's LIST %1 goes on beyond %2 entries")
                     .arg(what)
                     .arg(maxListEntries));
            return false;
        }
        if (vars)
            listVars.insert(words.at(2), words.at(3));
        else if (upsList)
            listUps.append(words.at(1));
        else
            listCmds.append(words.at(2));
        return true;
    }
    fail(QStringLiteral("The server answered LIST %1 with: %2").arg(what, NutLine::excerpt(line)));
    return false;
}

void NutClientPrivate::finishRequest()
{
    busy = false;
    listOpen = false;
    heard.start();
    // The answers written together run on the timer of their write.
    if (sent.empty())
        replyTimer.stop();
}

void NutClientPrivate::dataLost(const QString &reason)
{
    problem = reason;
    logProblem(reason);
    haveData = false;
    onBattery = false;
    emit q->unavailable(reason);
}

// Each reason is logged when it first appears, not at every attempt of a server that stays away.
void NutClientPrivate::logProblem(const QString &reason)
{
    if (reason == loggedProblem)
        return;
    loggedProblem = reason;
    qCWarning(lcDevice).noquote() << QStringLiteral("Network link to %1: %2").arg(target(), reason);
}

void NutClientPrivate::failPendingCommands()
{
    std::deque<Request> left;
    left.swap(queue);
    if (busy && current.kind == Kind::InstCmd)
        left.push_front(current);
    for (const Request &request : left) {
        if (request.kind == Kind::InstCmd)
            commandDone(request, QStringLiteral("NOT-CONNECTED"));
    }
}

void NutClientPrivate::dropSocket()
{
    pollTimer.stop();
    replyTimer.stop();
    if (socket) {
        QSslSocket *old = socket;
        socket = nullptr;
        old->disconnect(q);
        old->abort();
        old->deleteLater();
    }
    connected = false;
    securing = false;
    ready = false;
    busy = false;
    sent.clear();
    listOpen = false;
    commandsKnown = false;
    for (Unit &unit : units)
        unit.commandsKnown = false;
    lines = NutLineSplitter(maxLineBytes);
    if (loggedIn) {
        loggedIn = false;
        emit q->loginChanged(false);
    }
}

void NutClientPrivate::fail(const QString &reason)
{
    if (!running)
        return;
    failPendingCommands();
    dropSocket();
    if (leaving) {
        // Leaving anyway: the connection is gone, and with it the login.
        running = false;
        emit q->loggedOut();
        return;
    }
    ++failedAttempts;
    if (!endpoint.ups.isEmpty()) {
        dataLost(reason);
    } else {
        problem = reason;
        // A whole server with no UPS yet has nobody else to say it.
        if (units.isEmpty())
            logProblem(reason);
    }
    for (const QString &ups : units.keys()) {
        if (!running)
            return;
        unitLost(ups, reason);
    }
    if (!running)
        return; // a receiver stopped us
    if (!commands.isEmpty()) {
        commands.clear();
        emit q->commandsChanged();
    }
    // The spread keeps the servers of a watched list from coming back all in the same moment.
    retryTimer.start(retryDelay + timing.retrySpreadMs);
    retryDelay = std::min(retryDelay * 2, timing.retryMaxMs);
}

NutClient::NutClient(QObject *parent) : QObject(parent), d(new NutClientPrivate(this))
{
    connect(&d->pollTimer, &QTimer::timeout, this, [this] { d->pollNow(); });
    connect(&d->retryTimer, &QTimer::timeout, this, [this] { d->connectNow(); });
    connect(&d->replyTimer, &QTimer::timeout, this, [this] {
        if (!d->connected) {
            d->fail(QStringLiteral("No connection to the server within %1 ms")
                        .arg(2 * d->timing.pollMs));
        } else if (d->securing) {
            d->fail(QStringLiteral("The encryption handshake did not finish within %1 ms")
                        .arg(2 * d->timing.pollMs));
        } else if (d->busy && d->current.kind == Kind::Logout) {
            d->failPendingCommands();
            d->dropSocket();
            d->running = false;
            emit loggedOut();
        } else {
            d->fail(QStringLiteral("The server did not answer %1 in time")
                        .arg(QLatin1String(kindName(d->current.kind))));
        }
    });
}

NutClient::~NutClient()
{
    d->running = false;
    d->loggedIn = false; // nobody to tell any more
    d->dropSocket();
}

void NutClient::setEndpoint(const Endpoint &endpoint)
{
    const bool changed = endpoint.host != d->endpoint.host || endpoint.port != d->endpoint.port ||
        endpoint.ups != d->endpoint.ups || endpoint.user != d->endpoint.user ||
        endpoint.password != d->endpoint.password || endpoint.caFile != d->endpoint.caFile ||
        endpoint.allowPlain != d->endpoint.allowPlain;
    d->endpoint = endpoint;
    if (changed)
        d->plainLogged = false;
    if (changed && d->running) {
        // Whatever came before came from elsewhere.
        d->haveData = false;
        d->problem.clear();
        d->loggedProblem.clear();
        if (!d->commands.isEmpty()) {
            d->commands.clear();
            emit commandsChanged();
        }
        d->retryDelay = d->timing.retryFirstMs;
        d->failPendingCommands();
        d->connectNow();
    }
}

NutClient::Endpoint NutClient::endpoint() const
{
    return d->endpoint;
}

void NutClient::setTiming(const Timing &timing)
{
    d->timing = timing;
    d->retryDelay = timing.retryFirstMs;
}

void NutClient::setLoginWanted(bool wanted)
{
    if (wanted == d->loginWanted)
        return;
    d->loginWanted = wanted;
    if (!d->ready)
        return;
    if (wanted && !d->loggedIn && !d->endpoint.user.isEmpty()) {
        d->loginRefusedLogged = false;
        d->send({Kind::Login, NutLine::join({QStringLiteral("LOGIN"), d->endpoint.ups}), {}});
    } else if (!wanted && d->loggedIn) {
        // A login lasts as long as its connection: leave by starting a new one.
        qCInfo(lcDevice) << "Protection is off: leaving" << d->target() << "and reconnecting";
        d->failPendingCommands();
        d->socket->write("LOGOUT\n");
        d->socket->flush();
        d->connectNow();
    }
}

void NutClient::start()
{
    if (d->running && !d->leaving)
        return;
    d->leaving = false;
    d->running = true;
    d->loggingOut = false;
    d->failedAttempts = 0;
    d->retryDelay = d->timing.retryFirstMs;
    d->connectNow();
}

void NutClient::stop()
{
    d->running = false;
    d->retryTimer.stop();
    d->failPendingCommands();
    d->dropSocket();
    d->haveData = false;
}

void NutClient::logout()
{
    d->retryTimer.stop();
    if (!d->running || !d->ready || !d->loggedIn) {
        stop();
        emit loggedOut();
        return;
    }
    d->leaving = true;
    d->failPendingCommands();
    d->send({Kind::Logout, QByteArrayLiteral("LOGOUT\n"), {}}, true);
}

bool NutClient::isRunning() const
{
    return d->running;
}

bool NutClient::hasData() const
{
    return d->haveData;
}

bool NutClient::isLoggedIn() const
{
    return d->loggedIn;
}

bool NutClient::isEncrypted() const
{
    return d->socket && d->socket->isEncrypted();
}

QStringList NutClient::commands() const
{
    return d->commands;
}

QString NutClient::problem() const
{
    return d->problem;
}

void NutClient::setWatched(const QStringList &names, bool discover)
{
    d->named = names;
    d->discover = discover;
    d->setUnits(discover ? d->discovered : QStringList());
    if (d->running && !d->socket && !d->retryTimer.isActive())
        d->connectNow();
    else if (d->ready)
        d->pollNow();
}

QStringList NutClient::units() const
{
    return d->units.keys();
}

bool NutClient::hasDataOf(const QString &ups) const
{
    return d->isPrimary(ups) ? d->haveData : d->units.value(ups).haveData;
}

QString NutClient::problemOf(const QString &ups) const
{
    if (d->isPrimary(ups))
        return d->problem;
    const auto it = d->units.constFind(ups);
    return it == d->units.cend() ? QString() : it->problem;
}

QStringList NutClient::commandsOf(const QString &ups) const
{
    return d->isPrimary(ups) ? d->commands : d->units.value(ups).commands;
}

void NutClient::instantCommand(const QString &name, const QString &parameter)
{
    instantCommandTo(d->endpoint.ups, name, parameter);
}

void NutClient::instantCommandTo(const QString &ups, const QString &name,
                                 const QString &parameter)
{
    const bool primary = d->isPrimary(ups);
    const auto unit = d->units.constFind(ups);
    const bool known = primary ? d->commandsKnown : unit != d->units.cend() && unit->commandsKnown;
    QString refusal;
    if (!d->ready || !known)
        refusal = QStringLiteral("NOT-CONNECTED");
    else if (!commandsOf(ups).contains(name))
        refusal = QStringLiteral("CMD-NOT-SUPPORTED");
    QStringList words {QStringLiteral("INSTCMD"), ups, name};
    if (!parameter.isEmpty())
        words.append(parameter);
    const QByteArray line = NutLine::join(words);
    if (refusal.isEmpty() && line.isEmpty())
        refusal = QStringLiteral("INVALID-ARGUMENT");
    if (!refusal.isEmpty()) {
        // Answered from the event loop, as the server's answer would be.
        QMetaObject::invokeMethod(
            this,
            [this, ups, name, refusal] {
                d->commandDone({Kind::InstCmd, {}, name, ups}, refusal);
            },
            Qt::QueuedConnection);
        return;
    }
    d->send({Kind::InstCmd, line, name, ups});
}
