#include "webrouter.h"

#include "batteryhealthhistory.h"
#include "clock.h"
#include "historyseries.h"
#include "poolqueue.h"
#include "recordreader.h"
#include "threadinbox.h"
#include "upsdirectory.h"
#include "webapi.h"
#include "webfiles.h"
#include "webmetrics.h"
#include "websessions.h"
#include "webtexts.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMetaObject>
#include <QTimer>

namespace {

using Outcome = WebRouter::Outcome;

Outcome reply(const WebReply &r)
{
    Outcome o;
    o.reply = r;
    return o;
}

Outcome notAllowed(const QByteArray &allow)
{
    WebReply r = WebReply::error(405, QStringLiteral("method not allowed"));
    r.addHeader("Allow", allow);
    return reply(r);
}

Outcome notFound()
{
    return reply(WebReply::error(404, QStringLiteral("not found")));
}

qint64 nowMs()
{
    return Clock::now().toMSecsSinceEpoch();
}

QString bearer(const QByteArray &authorization)
{
    if (!authorization.startsWith("Bearer "))
        return QString();
    return QString::fromLatin1(authorization.mid(7).trimmed());
}

// The range of a query: from/to as WebApi::parseTime takes them, a day in `to` up to its end;
// the last `days` up to now when left out. False when one is there and unreadable, or the range
// is empty.
bool range(const QUrlQuery &query, int days, QDateTime *from, QDateTime *to)
{
    const QString toText = query.queryItemValue(QStringLiteral("to"), QUrl::FullyDecoded);
    const QString fromText = query.queryItemValue(QStringLiteral("from"), QUrl::FullyDecoded);
    if (toText.isEmpty())
        *to = Clock::now();
    else if (!WebApi::parseTime(toText, to))
        return false;
    else if (toText.size() == 10 && QDate::fromString(toText, Qt::ISODate).isValid())
        *to = QDateTime(to->date().addDays(1), QTime(0, 0));
    if (fromText.isEmpty())
        *from = to->addDays(-days);
    else if (!WebApi::parseTime(fromText, from))
        return false;
    return *from < *to;
}

} // namespace

WebRouter::WebRouter(UpsDirectory *directory, const WebTexts *texts, const WebFiles *files,
                     WebSessions *sessions, PoolQueue *pool, ThreadInbox *context)
    : m_directory(directory),
      m_texts(texts),
      m_files(files),
      m_sessions(sessions),
      m_pool(pool),
      m_context(context)
{
}

Outcome WebRouter::route(const WebRequest &request) const
{
    const QString &path = request.path;
    const int language = WebTexts::languageOf(request.acceptLanguage);
    const bool read = request.isRead();
    const auto page = [&](const QString &name) {
        if (!read)
            return notAllowed("GET, HEAD");
        UpsEntry entry;
        const WebFiles::File *file = m_files->page();
        if (!m_directory->find(name, &entry) || !file)
            return notFound();
        return reply({200, file->contentType, file->body, {}});
    };

    if (path == QLatin1String("/healthz"))
        return read ? reply(WebReply::text(200, "ok")) : notAllowed("GET, HEAD");
    if (path == QLatin1String("/")) {
        if (!read)
            return notAllowed("GET, HEAD");
        // The same page, drawn as the overview of every UPS.
        const WebFiles::File *file = m_files->page();
        return file ? reply({200, file->contentType, file->body, {}}) : notFound();
    }
    if (path.startsWith(QLatin1String("/static/")) || path == QLatin1String(WebFiles::chartPath)) {
        if (!read)
            return notAllowed("GET, HEAD");
        const WebFiles::File *file = m_files->find(path);
        return file ? reply({200, file->contentType, file->body, {}}) : notFound();
    }
    if (path.startsWith(QLatin1String("/ups/"))) {
        QString name = path.mid(5);
        if (name.endsWith(QLatin1Char('/')))
            name.chop(1);
        return page(name);
    }
    if (path == QLatin1String("/metrics")) {
        if (!read)
            return notAllowed("GET, HEAD");
        return reply({200,
                      WebMetrics::contentType,
                      WebMetrics::render(m_directory->entries(), *m_texts, m_directory->computer()),
                      {}});
    }
    if (path == QLatin1String("/api/v1/texts")) {
        if (!read)
            return notAllowed("GET, HEAD");
        WebReply r = WebReply::json(QJsonDocument(m_texts->table(language)));
        r.addHeader("Vary", "Accept-Language");
        return reply(r);
    }
    if (path == QLatin1String("/api/v1/computer")) {
        if (!read)
            return notAllowed("GET, HEAD");
        return reply(WebReply::json(QJsonDocument(WebApi::computer(m_directory->computer()))));
    }
    if (path == QLatin1String("/api/v1/events")) {
        if (!read)
            return notAllowed("GET, HEAD");
        Outcome o;
        o.kind = Outcome::Events;
        o.language = language;
        return o;
    }
    if (path == QLatin1String("/api/v1/login"))
        return request.method == "POST" ? login(request) : notAllowed("POST");
    if (path == QLatin1String("/api/v1/logout")) {
        if (request.method != "POST")
            return notAllowed("POST");
        m_sessions->logout(bearer(request.authorization).toLatin1());
        return reply(WebReply::json(QJsonDocument(QJsonObject {{QStringLiteral("done"), true}})));
    }
    if (path == QLatin1String("/api/v1/ups") || path == QLatin1String("/api/v1/ups/")) {
        if (!read)
            return notAllowed("GET, HEAD");
        QJsonArray list;
        const QVector<UpsEntry> entries = m_directory->entries();
        for (const UpsEntry &entry : entries)
            list.append(WebApi::ups(entry, *m_texts, language));
        WebReply r = WebReply::json(QJsonDocument(QJsonObject {{QStringLiteral("ups"), list}}));
        r.addHeader("Vary", "Accept-Language");
        return reply(r);
    }
    if (path.startsWith(QLatin1String("/api/v1/ups/"))) {
        QString name, rest;
        if (!splitName(path.mid(12), &name, &rest))
            return reply(WebReply::error(
                404, QStringLiteral("there is no UPS %1").arg(path.mid(12).section('/', 0, 0))));
        return ups(request, name, rest);
    }
    return notFound();
}

bool WebRouter::splitName(const QString &path, QString *name, QString *rest) const
{
    UpsEntry entry;
    for (int end = path.size(); end > 0; end = path.lastIndexOf(QLatin1Char('/'), end - 1)) {
        if (m_directory->find(path.left(end), &entry)) {
            *name = path.left(end);
            *rest = path.mid(end + 1);
            return true;
        }
    }
    return false;
}

Outcome WebRouter::ups(const WebRequest &request, const QString &name, const QString &rest) const
{
    UpsEntry entry;
    if (!m_directory->find(name, &entry))
        return reply(WebReply::error(404, QStringLiteral("there is no UPS %1").arg(name)));
    if (rest.startsWith(QLatin1String("commands/"))) {
        if (request.method != "POST")
            return notAllowed("POST");
        return command(request, name, rest.mid(9));
    }
    if (!request.isRead())
        return notAllowed("GET, HEAD");
    const int language = WebTexts::languageOf(request.acceptLanguage);
    const WebTexts *texts = m_texts;
    const QString file = entry.recordFile;
    const QString rowsOf = entry.recordUps;
    if (rest.isEmpty()) {
        WebReply r = WebReply::json(QJsonDocument(WebApi::ups(entry, *texts, language)));
        r.addHeader("Vary", "Accept-Language");
        return reply(r);
    }
    const bool history = rest == QLatin1String("alarms") || rest == QLatin1String("samples") ||
        rest == QLatin1String("selftests") || rest == QLatin1String("health");
    if (!history)
        return notFound();
    if (file.isEmpty())
        return reply(WebReply::error(404, QStringLiteral("no history is stored for %1").arg(name)));
    if (rest == QLatin1String("selftests")) {
        return onPool([file, rowsOf] {
            const RecordReader::SelfTests tests = RecordReader::selfTests(file, 20, rowsOf);
            if (!tests.error.isEmpty())
                return WebReply::error(500, QStringLiteral("the records cannot be read"));
            return WebReply::json(QJsonDocument(WebApi::selfTests(tests)));
        });
    }
    if (rest == QLatin1String("health")) {
        return onPool([file, rowsOf] {
            const BatteryHealthHistory::Result health = BatteryHealthHistory::read(file, rowsOf);
            if (!health.error.isEmpty())
                return WebReply::error(500, QStringLiteral("the records cannot be read"));
            return WebReply::json(QJsonDocument(WebApi::health(health)));
        });
    }
    QDateTime from, to;
    if (!range(request.query, rest == QLatin1String("alarms") ? 7 : 1, &from, &to))
        return reply(
            WebReply::error(400,
                            QStringLiteral("from and to are ISO 8601 times, days "
                                           "(yyyy-MM-dd) or seconds since 1970, from before to")));
    if (rest == QLatin1String("alarms")) {
        return onPool([file, rowsOf, from, to, texts, language] {
            const RecordReader::Alarms alarms = RecordReader::alarms(file, from, to, 1000, rowsOf);
            if (!alarms.error.isEmpty())
                return WebReply::error(500, QStringLiteral("the records cannot be read"));
            return WebReply::json(QJsonDocument(WebApi::alarms(alarms, *texts, language)));
        });
    }
    const QString pointsText = request.query.queryItemValue(QStringLiteral("points"));
    bool ok = true;
    const int points = pointsText.isEmpty() ? 600 : pointsText.toInt(&ok);
    if (!ok || points < 2 || points > 4000)
        return reply(WebReply::error(400, QStringLiteral("points is a number from 2 to 4000")));
    if (from.daysTo(to) > 3660)
        return reply(WebReply::error(400, QStringLiteral("the range is ten years at most")));
    return onPool([file, rowsOf, from, to, points, texts, language] {
        // Two points (lowest, highest) per slice of time, as the window's chart draws them.
        const HistorySeries::Result result =
            HistorySeries::reduce(file, from, to, points / 2, nullptr, rowsOf);
        if (!result.error.isEmpty())
            return WebReply::error(500, QStringLiteral("the records cannot be read"));
        return WebReply::json(QJsonDocument(WebApi::samples(result, *texts, language)));
    });
}

bool WebRouter::reserve() const
{
    if (m_waiting.fetchAndAddOrdered(1) < maxWaiting)
        return true;
    m_waiting.deref();
    return false;
}

Outcome WebRouter::busy()
{
    WebReply r = WebReply::error(503, QStringLiteral("busy; try again"));
    r.addHeader("Retry-After", "1");
    return reply(r);
}

Outcome WebRouter::onPool(const std::function<WebReply()> &work) const
{
    if (!reserve())
        return busy();
    Outcome o;
    o.kind = Outcome::Deferred;
    PoolQueue *pool = m_pool;
    QAtomicInt *waiting = &m_waiting;
    o.start = [pool, work, waiting](const Done &done) {
        pool->post([work, done, waiting] {
            const WebReply r = work();
            waiting->deref();
            done(r);
        });
    };
    return o;
}

QString WebRouter::refusal(const WebRequest &request) const
{
    if (!request.tls)
        return QStringLiteral("UPS commands and logins are offered over HTTPS only");
    // Another site's page may post to us, but a browser sends it with that site as the origin,
    // and cannot add our token: no cookie carries it.
    if (!request.origin.isEmpty() && request.origin != "https://" + request.host)
        return QStringLiteral("a request from another site");
    if (!request.contentType.startsWith("application/json"))
        return QStringLiteral("the request must be JSON");
    return QString();
}

Outcome WebRouter::login(const WebRequest &request) const
{
    const QString why = refusal(request);
    if (!why.isEmpty())
        return reply(WebReply::error(403, why));
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    const QByteArray user = body.value(QStringLiteral("user")).toString().toUtf8();
    const QByteArray password = body.value(QStringLiteral("password")).toString().toUtf8();
    if (user.isEmpty() || user.size() > 64 || password.size() > 256)
        return reply(WebReply::error(400, QStringLiteral("a user and a password are needed")));
    const QString address = request.peer.toString();
    WebSessions *sessions = m_sessions;
    ThreadInbox *context = m_context;
    const Note note = m_note;
    if (!reserve())
        return busy();
    Outcome o;
    o.kind = Outcome::Deferred;
    PoolQueue *pool = m_pool;
    QAtomicInt *waiting = &m_waiting;
    o.start = [=](const Done &done) {
        pool->post([=] {
            const WebSessions::Login login = sessions->login(address, user, password, nowMs());
            waiting->deref();
            WebReply r;
            if (login.verdict == WebSessions::Granted) {
                r = WebReply::json(QJsonDocument(
                    QJsonObject {{QStringLiteral("token"), QString::fromLatin1(login.token)},
                                 {QStringLiteral("user"), QString::fromUtf8(user)}}));
            } else if (login.verdict == WebSessions::NotAdmin) {
                r = WebReply::error(403, QStringLiteral("the account has no admin role"));
            } else {
                if (note)
                    note(address, "login",
                         QStringLiteral("Wrong web login for %1 from %2")
                             .arg(QString::fromUtf8(user), address));
                r = WebReply::error(401, QStringLiteral("wrong user name or password"));
            }
            if (login.delayMs <= 0) {
                done(r);
                return;
            }
            // The verdict waits on the service's thread, holding no worker.
            context->post([context, done, r, delay = login.delayMs] {
                QTimer::singleShot(int(qMin<qint64>(delay, 120000)), context,
                                   [done, r] { done(r); });
            });
        });
    };
    return o;
}

Outcome WebRouter::command(const WebRequest &request, const QString &name,
                           const QString &command) const
{
    static const QMap<QString, UpsDirectory::Command> commands = {
        {QStringLiteral("cancel-shutdown"), UpsDirectory::CancelShutdown},
        {QStringLiteral("self-test"), UpsDirectory::SelfTest},
        {QStringLiteral("self-test-cancel"), UpsDirectory::SelfTestCancel},
        {QStringLiteral("beeper"), UpsDirectory::Beeper}};
    const auto which = commands.constFind(command);
    if (which == commands.constEnd())
        return notFound();
    const QString why = refusal(request);
    if (!why.isEmpty())
        return reply(WebReply::error(403, why));
    const QByteArray user = m_sessions->user(bearer(request.authorization).toLatin1(), nowMs());
    if (user.isEmpty()) {
        WebReply r = WebReply::error(401, QStringLiteral("log in with an admin account first"));
        r.addHeader("WWW-Authenticate", "Bearer");
        return reply(r);
    }
    const QString who = QStringLiteral("the web page (%1 from %2)")
                            .arg(QString::fromUtf8(user), request.peer.toString());
    UpsDirectory *directory = m_directory;
    Outcome o;
    o.kind = Outcome::Deferred;
    const UpsDirectory::Command c = *which;
    // The program carries it out on its own thread, between two polls.
    o.start = [directory, name, c, who](const Done &done) {
        directory->runLater(name, c, who, [done](const UpsDirectory::Outcome &outcome) {
            if (outcome.done)
                done(WebReply::json(QJsonDocument(QJsonObject {{QStringLiteral("done"), true}})));
            else
                done(WebReply::error(409, outcome.refusal));
        });
    };
    return o;
}

QByteArray WebRouter::streamStart(int language) const
{
    QByteArray out = "retry: 3000\n\n" + computerEvent();
    const QVector<UpsEntry> entries = m_directory->entries();
    for (const UpsEntry &entry : entries)
        out += stateEvent(entry, language);
    return out;
}

QByteArray WebRouter::stateEvent(const UpsEntry &entry, int language) const
{
    return "id: " + QByteArray::number(m_eventId.fetchAndAddRelaxed(1) + 1) +
        "\nevent: ups\ndata: " +
        QJsonDocument(WebApi::ups(entry, *m_texts, language)).toJson(QJsonDocument::Compact) +
        "\n\n";
}

QByteArray WebRouter::computerEvent() const
{
    return "event: computer\ndata: " +
        QJsonDocument(WebApi::computer(m_directory->computer())).toJson(QJsonDocument::Compact) +
        "\n\n";
}

QByteArray WebRouter::removedEvent(const QString &name) const
{
    return "event: removed\ndata: " +
        QJsonDocument(QJsonObject {{QStringLiteral("name"), name}}).toJson(QJsonDocument::Compact) +
        "\n\n";
}
