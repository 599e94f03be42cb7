#include "historyseries.h"

#include "alarm.h"
#include "logcategories.h"
#include "readconnection.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const char *const sliceStatement =
    "select count(*), min(inputVol), max(inputVol), min(outputVol), max(outputVol), min(load), "
    "max(load), min(battVol), max(battVol), min(temperature), max(temperature) from device_data "
    "where dateTime >= :from and dateTime < :to and ups = :ups";
const char *const alarmStatement =
    "select dateTime, alarm from alarm where dateTime >= :from and dateTime < :to and ups = :ups "
    "order by dateTime";

QString stamp(const QDateTime &moment)
{
    return QLocale::c().toString(moment, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

HistorySeries::Result HistorySeries::reduce(const QString &databaseFile, const QDate &first,
                                            const QDate &last, int buckets,
                                            const std::atomic_bool *stop, const QString &ups)
{
    if (!first.isValid() || !last.isValid() || last < first) {
        Result result;
        result.minimum.fill(std::numeric_limits<double>::quiet_NaN());
        result.maximum.fill(std::numeric_limits<double>::quiet_NaN());
        result.error = QStringLiteral("no such date range");
        return result;
    }
    return reduce(databaseFile, QDateTime(first, QTime(0, 0)),
                  QDateTime(last.addDays(1), QTime(0, 0)), buckets, stop, ups);
}

HistorySeries::Result HistorySeries::reduce(const QString &databaseFile, const QDateTime &from,
                                            const QDateTime &to, int buckets,
                                            const std::atomic_bool *stop, const QString &ups)
{
    Result result;
    result.fromMsecs = from.toMSecsSinceEpoch();
    result.toMsecs = to.toMSecsSinceEpoch();
    result.minimum.fill(std::numeric_limits<double>::quiet_NaN());
    result.maximum.fill(std::numeric_limits<double>::quiet_NaN());
    if (!from.isValid() || !to.isValid() || to <= from) {
        result.error = QStringLiteral("no such time range");
        return result;
    }

    const ReadConnection connection(databaseFile);
    QSqlDatabase db = connection.database();
    if (!db.isOpen()) {
        result.error = db.lastError().text();
        qCWarning(lcRecords) << "Cannot read the history for the chart:" << result.error;
        return result;
    }

    const qint64 span = from.secsTo(to);
    const qint64 width = std::max<qint64>(1, (span + buckets - 1) / std::max(1, buckets));
    QSqlQuery slice(db);
    if (!slice.prepare(QString::fromLatin1(sliceStatement))) {
        result.error = slice.lastError().text();
        qCWarning(lcRecords) << "Cannot read the history for the chart:" << result.error;
        return result;
    }
    for (qint64 start = 0; start < span; start += width) {
        if (stop && *stop) {
            result.error = QStringLiteral("stopped");
            return result;
        }
        const QDateTime sliceFrom = from.addSecs(start);
        const QDateTime sliceTo = from.addSecs(std::min(span, start + width));
        slice.bindValue(QStringLiteral(":from"), stamp(sliceFrom));
        slice.bindValue(QStringLiteral(":to"), stamp(sliceTo));
        slice.bindValue(QStringLiteral(":ups"), ups.isNull() ? QString("") : ups);
        if (!slice.exec() || !slice.next()) {
            result.error = slice.lastError().text();
            qCWarning(lcRecords) << "Cannot read the history for the chart:" << result.error;
            return result;
        }
        const qint64 count = slice.value(0).toLongLong();
        if (count == 0)
            continue;
        result.samples += count;
        const double x = double(sliceFrom.toMSecsSinceEpoch() + sliceTo.toMSecsSinceEpoch()) / 2;
        for (int column = 0; column < ColumnCount; ++column) {
            // No reading of this kind in the slice (the UPS does not give it): no point.
            if (slice.isNull(1 + 2 * column))
                continue;
            const double low = slice.value(1 + 2 * column).toDouble();
            const double high = slice.value(2 + 2 * column).toDouble();
            result.points[column].append(QPointF(x, low));
            result.points[column].append(QPointF(x, high));
            double &minimum = result.minimum[column];
            double &maximum = result.maximum[column];
            minimum = std::isnan(minimum) ? low : std::min(minimum, low);
            maximum = std::isnan(maximum) ? high : std::max(maximum, high);
        }
    }
    slice.finish();

    QSqlQuery alarms(db);
    alarms.prepare(QString::fromLatin1(alarmStatement));
    alarms.bindValue(QStringLiteral(":from"), stamp(from));
    alarms.bindValue(QStringLiteral(":to"), stamp(to));
    alarms.bindValue(QStringLiteral(":ups"), ups.isNull() ? QString("") : ups);
    if (!alarms.exec()) {
        result.error = alarms.lastError().text();
        qCWarning(lcRecords) << "Cannot read the alarms for the chart:" << result.error;
        return result;
    }
    // Alarms closer together than one mark's share of the range are told as one mark.
    const qint64 closeMsecs = (result.toMsecs - result.fromMsecs) / maxMarks;
    while (alarms.next()) {
        const int code = alarms.value(1).toInt();
        // Only what lasts is worth a mark.
        if (!Alarm::isLasting(code))
            continue;
        const QDateTime when = QDateTime::fromString(alarms.value(0).toString(),
                                                     QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (!when.isValid())
            continue;
        const qint64 msecs = when.toMSecsSinceEpoch();
        if (!result.marks.isEmpty() && msecs - result.marks.last().msecs < closeMsecs) {
            ++result.marks.last().count;
            continue;
        }
        result.marks.append({msecs, code, 1});
    }
    return result;
}
