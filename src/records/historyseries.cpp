#include "historyseries.h"

#include "alarm.h"
#include "historynotice.h"
#include "logcategories.h"
#include "readconnection.h"
#include "samplesummary.h"
#include "summaryfill.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const char *const alarmStatement =
    "select dateTime, alarm from alarm where dateTime >= :from and dateTime < :to and ups = :ups "
    "order by dateTime";

QString stamp(const QDateTime &moment)
{
    return QLocale::c().toString(moment, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// Where a slice's lowest and highest come from: the samples, or a summary table whose rows
// cover a whole number of them.
struct Source
{
    QString table;
    QString time;
    QString count;
    QString low[HistorySeries::ColumnCount];
    QString high[HistorySeries::ColumnCount];
};

Source samples()
{
    Source s {QStringLiteral("device_data"), QStringLiteral("dateTime"), QStringLiteral("count(*)"), {}, {}};
    for (int c = 0; c < HistorySeries::ColumnCount; ++c) {
        s.low[c] = QStringLiteral("min(%1)").arg(QLatin1String(SampleSummary::columns[c]));
        s.high[c] = QStringLiteral("max(%1)").arg(QLatin1String(SampleSummary::columns[c]));
    }
    return s;
}

Source summary(SampleSummary::Table table)
{
    Source s {QLatin1String(SampleSummary::tableName(table)), QStringLiteral("start"),
              QStringLiteral("sum(count)"), {}, {}};
    for (int c = 0; c < HistorySeries::ColumnCount; ++c) {
        s.low[c] = QStringLiteral("min(%1Min)").arg(QLatin1String(SampleSummary::columns[c]));
        s.high[c] = QStringLiteral("max(%1Max)").arg(QLatin1String(SampleSummary::columns[c]));
    }
    return s;
}

// One statement for the whole range: each row is a slice, numbered from the range's start.
QString sliceStatement(const Source &s)
{
    QStringList columns {QStringLiteral("(strftime('%s', %1) - strftime('%s', :from)) / :width")
                             .arg(s.time),
                         s.count};
    for (int c = 0; c < HistorySeries::ColumnCount; ++c)
        columns << s.low[c] << s.high[c];
    return QStringLiteral("select %1 from %2 where ups = :ups and %3 >= :from and %3 < :to "
                          "group by 1 order by 1")
        .arg(columns.join(QStringLiteral(", ")), s.table, s.time);
}

bool onBound(const QDateTime &t, int seconds)
{
    return t.time().msecsSinceStartOfDay() % (seconds * 1000) == 0;
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

    // Slices are cut in the stored times (local time as text, read as if it were UTC), so a day
    // that changes to or from summer time keeps its slices on the rows' own clock.
    const QDateTime naiveFrom(from.date(), from.time(), Qt::UTC);
    const QDateTime naiveTo(to.date(), to.time(), Qt::UTC);
    const qint64 span = naiveFrom.secsTo(naiveTo);
    qint64 width = std::max<qint64>(1, (span + buckets - 1) / std::max(1, buckets));
    Source source = samples();
    // Summaries serve when they hold every stored sample and the range starts and ends on their
    // rows' bounds; the slices are then a whole number of rows wide.
    if (SummaryFill::whole(db)) {
        for (int t = SampleSummary::TableCount - 1; t >= 0; --t) {
            const int seconds = SampleSummary::seconds(SampleSummary::Table(t));
            if (width >= seconds && onBound(from, seconds) && onBound(to, seconds)) {
                source = summary(SampleSummary::Table(t));
                width = (width + seconds - 1) / seconds * seconds;
                break;
            }
        }
    }
    if (stop && *stop) {
        result.error = QStringLiteral("stopped");
        return result;
    }
    QSqlQuery slice(db);
    slice.setForwardOnly(true);
    if (!slice.prepare(sliceStatement(source))) {
        result.error = slice.lastError().text();
        qCWarning(lcRecords) << "Cannot read the history for the chart:" << result.error;
        return result;
    }
    slice.bindValue(QStringLiteral(":from"), stamp(from));
    slice.bindValue(QStringLiteral(":to"), stamp(to));
    slice.bindValue(QStringLiteral(":width"), width);
    slice.bindValue(QStringLiteral(":ups"), ups.isNull() ? QString("") : ups);
    // Damaged summaries are not trusted: this chart and the next read the samples, and the
    // summaries are made anew.
    const auto damaged = [&](const QSqlError &error) {
        if (source.table == samples().table ||
            HistoryNotice::causeOf(error, databaseFile) != HistoryNotice::Damaged)
            return false;
        qCWarning(lcRecords) << "The sample summaries cannot be read:" << error.text();
        SummaryFill::distrust();
        return true;
    };
    if (!slice.exec()) {
        if (damaged(slice.lastError()))
            return reduce(databaseFile, from, to, buckets, stop, ups);
        result.error = slice.lastError().text();
        qCWarning(lcRecords) << "Cannot read the history for the chart:" << result.error;
        return result;
    }
    const auto local = [](const QDateTime &naive) {
        return QDateTime(naive.date(), naive.time(), Qt::LocalTime).toMSecsSinceEpoch();
    };
    while (slice.next()) {
        if (stop && *stop) {
            result.error = QStringLiteral("stopped");
            return result;
        }
        // A row whose time does not read has no slice.
        if (slice.isNull(0))
            continue;
        const qint64 number = slice.value(0).toLongLong();
        const qint64 count = slice.value(1).toLongLong();
        if (count == 0 || number < 0 || number * width >= span)
            continue;
        result.samples += count;
        const qint64 start = number * width;
        const qint64 end = std::min(span, start + width);
        const double x = double(local(naiveFrom.addSecs(start)) + local(naiveFrom.addSecs(end))) / 2;
        for (int column = 0; column < ColumnCount; ++column) {
            // No reading of this kind in the slice (the UPS does not give it): no point.
            if (slice.isNull(2 + 2 * column))
                continue;
            const double low = slice.value(2 + 2 * column).toDouble();
            const double high = slice.value(3 + 2 * column).toDouble();
            result.points[column].append(QPointF(x, low));
            result.points[column].append(QPointF(x, high));
            double &minimum = result.minimum[column];
            double &maximum = result.maximum[column];
            minimum = std::isnan(minimum) ? low : std::min(minimum, low);
            maximum = std::isnan(maximum) ? high : std::max(maximum, high);
        }
    }
    // A damaged page met halfway ends the rows early, with the error.
    if (slice.lastError().isValid() && damaged(slice.lastError()))
        return reduce(databaseFile, from, to, buckets, stop, ups);
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
