#include "requesthandler.h"

#include "eventlog.h"
#include "replyformatter.h"
#include "upsmodel.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>

class RequestHandlerPrivate
{
public:
    UpsModel *ups = nullptr;
    bool silent = false;
    bool echo = false;
    bool answerAll = true;
    QSet<QByteArray> answered;
    struct Corruption
    {
        int field;
        QByteArray text;
        int left; // replies still to corrupt; -1 for every one
    };
    QMap<QByteArray, Corruption> corruptions;

    QByteArray corrupt(const QByteArray &request, const QByteArray &reply)
    {
        const auto found = corruptions.find(request);
        if (found == corruptions.end() || reply.size() < 2 || !reply.endsWith('\r'))
            return reply;
        QList<QByteArray> fields = reply.mid(1, reply.size() - 2).split(' ');
        if (found->field > fields.size()) {
            ignored(request, QStringLiteral("no field %1 to corrupt").arg(found->field));
            return reply;
        }
        fields[found->field - 1] = found->text;
        EventLog::tagged("NOTE",
                         QStringLiteral("corrupted %1 field %2")
                             .arg(QString::fromLatin1(request))
                             .arg(found->field));
        if (found->left > 0 && --found->left == 0)
            corruptions.erase(found);
        return reply.left(1) + fields.join(' ') + '\r';
    }

    static void ignored(const QByteArray &request, const QString &why)
    {
        EventLog::tagged("NOTE",
                         QStringLiteral("ignored %1 (%2)").arg(QString::fromLatin1(request), why));
    }

    // A control request, or false when the frame is none.
    bool control(const QByteArray &request)
    {
        QString why;
        if (request == "T") {
            if (!ups->startSelfTest(UpsModel::Test10Seconds, 0, &why))
                ignored(request, why);
            return true;
        }
        if (request == "TL") {
            if (!ups->startSelfTest(UpsModel::TestUntilLow, 0, &why))
                ignored(request, why);
            return true;
        }
        static const QRegularExpression minutesTest(QStringLiteral("^T(\\d\\d)$"));
        const QRegularExpressionMatch test = minutesTest.match(QString::fromLatin1(request));
        if (test.hasMatch()) {
            if (!ups->startSelfTest(UpsModel::TestMinutes, test.captured(1).toInt(), &why))
                ignored(request, why);
            return true;
        }
        if (request == "CT") {
            if (!ups->cancelSelfTest(&why))
                ignored(request, why);
            return true;
        }
        if (request == "Q") {
            ups->toggleBeeper();
            return true;
        }
        if (request == "C") {
            ups->cancelOutputOff();
            return true;
        }
        // Delay .2 to .9 minutes or 01 to 10 minutes; restart 0000 to 9999 minutes.
        static const QRegularExpression shutdown(
            QStringLiteral("^S(\\.[2-9]|0[1-9]|10)(?:R(\\d{4}))?$"));
        const QRegularExpressionMatch off = shutdown.match(QString::fromLatin1(request));
        if (off.hasMatch()) {
            const QString delay = off.captured(1);
            const double seconds = delay.startsWith(QLatin1Char('.')) ? delay.mid(1).toInt() * 6.0
                                                                      : delay.toInt() * 60.0;
            const int restart = off.captured(2).isEmpty() ? -1 : off.captured(2).toInt();
            if (!ups->scheduleOutputOff(seconds, restart, &why))
                ignored(request, why);
            return true;
        }
        return false;
    }

    QByteArray query(const QByteArray &request) const
    {
        if (request == "Q1")
            return ReplyFormatter::status(*ups);
        if (request == "F")
            return ReplyFormatter::rating(*ups);
        if (request == "I")
            return ReplyFormatter::identity(*ups);
        if (request == "NQU")
            return ReplyFormatter::serialInfo(*ups);
        if (request == "BT")
            return ReplyFormatter::remainingTime(*ups);
        if (request == "BP")
            return ReplyFormatter::batteryPercent(*ups);
        if (request == "A1")
            return ReplyFormatter::faultWords(*ups);
        return QByteArray();
    }
};

RequestHandler::RequestHandler(UpsModel *ups) : d(new RequestHandlerPrivate)
{
    d->ups = ups;
}

RequestHandler::~RequestHandler() = default;

QByteArray RequestHandler::handle(const QByteArray &frame)
{
    QByteArray request = frame;
    if (request.endsWith('\r'))
        request.chop(1);
    if (d->silent) {
        RequestHandlerPrivate::ignored(request, QStringLiteral("silent"));
        return QByteArray();
    }
    const QByteArray echoed = d->echo ? request + '\r' : QByteArray();
    if (!d->answerAll && queryNames().contains(QString::fromLatin1(request)) &&
        !d->answered.contains(request)) {
        RequestHandlerPrivate::ignored(request, QStringLiteral("not answering it"));
        return echoed;
    }
    return echoed + d->corrupt(request, respond(request));
}

QByteArray RequestHandler::respond(const QByteArray &frame)
{
    QByteArray request = frame;
    if (request.endsWith('\r'))
        request.chop(1);
    if (request.isEmpty())
        return QByteArray(); // a bare carriage return is line noise, not a request
    const QByteArray reply = d->query(request);
    if (!reply.isEmpty())
        return reply;
    if (d->control(request))
        return QByteArray();
    EventLog::tagged("NOTE",
                     QStringLiteral("unknown request %1, echoed").arg(EventLog::quoted(request)));
    return request + '\r';
}

void RequestHandler::setSilent(bool silent)
{
    d->silent = silent;
}

bool RequestHandler::isSilent() const
{
    return d->silent;
}

void RequestHandler::setAnswered(const QStringList &queries)
{
    d->answered.clear();
    d->answerAll = queries.isEmpty();
    for (const QString &query : queries)
        if (query != QLatin1String("none"))
            d->answered.insert(query.toLatin1());
}

QStringList RequestHandler::answered() const
{
    if (d->answerAll)
        return queryNames();
    QStringList names;
    for (const QString &name : queryNames())
        if (d->answered.contains(name.toLatin1()))
            names << name;
    return names;
}

void RequestHandler::setEcho(bool echo)
{
    d->echo = echo;
}

bool RequestHandler::echo() const
{
    return d->echo;
}

void RequestHandler::setCorruption(const QString &query, int field, const QByteArray &text,
                                   int count)
{
    d->corruptions.insert(query.toLatin1(), {field, text, count});
}

void RequestHandler::clearCorruption(const QString &query)
{
    if (query.isEmpty())
        d->corruptions.clear();
    else
        d->corruptions.remove(query.toLatin1());
}

QStringList RequestHandler::corrupted() const
{
    QStringList list;
    for (auto it = d->corruptions.cbegin(); it != d->corruptions.cend(); ++it)
        list << QStringLiteral("%1:%2").arg(QString::fromLatin1(it.key())).arg(it->field);
    return list;
}

QStringList RequestHandler::queryNames()
{
    return {QStringLiteral("Q1"), QStringLiteral("F"),  QStringLiteral("I"), QStringLiteral("NQU"),
            QStringLiteral("BT"), QStringLiteral("BP"), QStringLiteral("A1")};
}
