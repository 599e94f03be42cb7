#include "dischargehistory.h"

#include "alarm.h"
#include "database.h"
#include "dischargetracker.h"
#include "logcategories.h"
#include "readconnection.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace {
const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

qint64 msOf(const QVariant &text)
{
    const QDateTime t = QLocale::c().toDateTime(text.toString(), timeFormat);
    return t.isValid() ? t.toMSecsSinceEpoch() : -1;
}

QString stampOf(qint64 ms)
{
    return QLocale::c().toString(QDateTime::fromMSecsSinceEpoch(ms), timeFormat);
}
} // namespace

DischargeHistory::Result DischargeHistory::read(const QString &databaseFile, const QString &ups,
                                                int limit, int alarmLimit)
{
    Result out;
    ReadConnection connection(databaseFile);
    const QString column = ups.isNull() ? QStringLiteral("") : ups;
    QSqlQuery alarms(connection.database());
    alarms.prepare(QStringLiteral("select dateTime, alarm from %1 where ups = ? and alarm in "
                                  "(%2, %3, %4, %5, %6) order by dateTime desc, id desc limit ?")
                       .arg(Database::tableName(Database::TableAlarm))
                       .arg(Alarm::MainsFault)
                       .arg(Alarm::MainsNormal)
                       .arg(Alarm::BattVolLow)
                       .arg(Alarm::SelfTest)
                       .arg(Alarm::SelfTestFinished));
    alarms.addBindValue(column);
    alarms.addBindValue(alarmLimit);
    if (!alarms.exec()) {
        out.error = alarms.lastError().text();
        qCWarning(lcRecords) << "Cannot read the stored discharges:" << out.error;
        return out;
    }
    struct Event
    {
        qint64 ms;
        int code;
    };
    QVector<Event> events;
    while (alarms.next()) {
        const qint64 ms = msOf(alarms.value(0));
        if (ms >= 0)
            events.prepend({ms, alarms.value(1).toInt()});
    }

    // Spans from a start to its battery low; a start after another discharge ended within the
    // charging time is not from a full battery.
    struct Span
    {
        qint64 start, low;
        bool full;
    };
    QVector<Span> spans;
    qint64 start = -1, lastEnd = -1;
    bool low = false;
    for (const Event &e : qAsConst(events)) {
        if (e.code == Alarm::MainsFault || e.code == Alarm::SelfTest) {
            if (start < 0) {
                start = e.ms;
                low = false;
            }
        } else if (e.code == Alarm::BattVolLow) {
            if (start >= 0 && !low) {
                low = true;
                spans.append({start, e.ms,
                              lastEnd < 0 || start - lastEnd >= DischargeTracker::ChargedAfterMs});
            }
        } else if (start >= 0) {
            // Mains back or the test over: the end of this discharge.
            if (!low)
                ++out.cutShort;
            start = -1;
            lastEnd = e.ms;
        }
    }
    if (spans.size() > limit)
        spans.remove(0, spans.size() - limit);

    QSqlQuery samples(connection.database());
    samples.prepare(QStringLiteral("select dateTime, load, battVol from %1 where ups = ? and "
                                   "dateTime >= ? "
                                   "and dateTime <= ? and load is not null order by dateTime, id")
                        .arg(Database::tableName(Database::TableDeviceData)));
    for (const Span &span : qAsConst(spans)) {
        samples.addBindValue(column);
        samples.addBindValue(stampOf(span.start));
        samples.addBindValue(stampOf(span.low));
        if (!samples.exec()) {
            out.error = samples.lastError().text();
            qCWarning(lcRecords) << "Cannot read the samples of a discharge:" << out.error;
            return out;
        }
        DischargeModel::Discharge d;
        d.lowMs = span.low;
        d.fullStart = span.full;
        while (samples.next()) {
            const qint64 ms = msOf(samples.value(0));
            if (ms >= 0)
                d.points.append({ms, samples.value(1).toDouble(),
                                 samples.value(2).isNull() ? 0.0 : samples.value(2).toDouble()});
        }
        // The first sample's load holds back to the start.
        if (!d.points.isEmpty() && d.points.first().ms > span.start)
            d.points.prepend({span.start, d.points.first().load, d.points.first().volts});
        out.discharges.append(d);
    }
    return out;
}
