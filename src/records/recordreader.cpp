#include "recordreader.h"

#include "alarm.h"
#include "database.h"
#include "logcategories.h"
#include "readconnection.h"
#include "recordwriter.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString stamp(const QDateTime &moment)
{
    return QLocale::c().toString(moment, timeFormat);
}

QDateTime moment(const QVariant &text)
{
    return QLocale::c().toDateTime(text.toString(), timeFormat);
}

// The column holds '' (never null) for this computer's UPS.
QString column(const QString &ups)
{
    return ups.isNull() ? QStringLiteral("") : ups;
}

} // namespace

RecordReader::Alarms RecordReader::alarms(const QString &databaseFile, const QDateTime &from,
                                          const QDateTime &to, int limit, const QString &ups)
{
    Alarms out;
    ReadConnection connection(databaseFile);
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("select dateTime, alarm, detail from %1 where dateTime >= ? "
                                 "and dateTime < ? and ups = ? order by dateTime desc, id desc "
                                 "limit ?")
                      .arg(Database::tableName(Database::TableAlarm)));
    query.addBindValue(stamp(from));
    query.addBindValue(stamp(to));
    query.addBindValue(column(ups));
    query.addBindValue(limit + 1);
    if (!query.exec()) {
        out.error = query.lastError().text();
        qCWarning(lcRecords) << "Cannot read the alarms:" << out.error;
        return out;
    }
    while (query.next()) {
        if (out.rows.size() == limit) {
            out.truncated = true;
            break;
        }
        out.rows.append({moment(query.value(0)), query.value(1).toInt(), query.value(2).toString()});
    }
    return out;
}

RecordReader::SelfTests RecordReader::selfTests(const QString &databaseFile, int limit,
                                                const QString &ups)
{
    SelfTests out;
    ReadConnection connection(databaseFile);
    QSqlQuery query(connection.database());
    query.prepare(
        QStringLiteral("select dateTime, duration, count, battVolDrop, result from %1 where "
                       "ups = ? order by dateTime desc, id desc limit ?")
            .arg(Database::tableName(Database::TableLogSelfTest)));
    query.addBindValue(column(ups));
    query.addBindValue(limit);
    if (!query.exec()) {
        out.error = query.lastError().text();
        qCWarning(lcRecords) << "Cannot read the self-tests:" << out.error;
        return out;
    }
    while (query.next()) {
        SelfTestRow row;
        row.start = moment(query.value(0));
        row.seconds = query.value(1).toInt();
        row.samples = query.value(2).toInt();
        row.batteryVoltageDrop = query.value(3).toDouble();
        // The outcome as recorded (a watched UPS's may be its server's verdict); rows of older
        // versions keep none, and the alarms raised while they ran tell it.
        row.verdictStored = !query.isNull(4);
        row.batteryLow = query.value(4).toInt() == RecordWriter::SelfTestBatteryLow;
        row.upsFailed = query.value(4).toInt() == RecordWriter::SelfTestUpsFault;
        if (row.start.isValid())
            out.rows.append(row);
    }
    query.finish();

    QSqlQuery verdict(connection.database());
    verdict.prepare(QStringLiteral("select alarm from %1 where dateTime >= ? and dateTime <= ? "
                                   "and alarm in (?, ?) and ups = ?")
                        .arg(Database::tableName(Database::TableAlarm)));
    for (SelfTestRow &row : out.rows) {
        if (row.verdictStored)
            continue;
        verdict.addBindValue(stamp(row.start));
        verdict.addBindValue(stamp(row.start.addSecs(row.seconds)));
        verdict.addBindValue(int(Alarm::BattVolLow));
        verdict.addBindValue(int(Alarm::UPSFault));
        verdict.addBindValue(column(ups));
        if (!verdict.exec()) {
            out.error = verdict.lastError().text();
            qCWarning(lcRecords) << "Cannot read the alarms of a self-test:" << out.error;
            return out;
        }
        while (verdict.next()) {
            if (verdict.value(0).toInt() == Alarm::BattVolLow)
                row.batteryLow = true;
            else
                row.upsFailed = true;
        }
    }
    return out;
}
