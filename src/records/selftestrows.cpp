#include "selftestrows.h"

#include "alarm.h"
#include "database.h"
#include "logcategories.h"
#include "paths.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace SelfTestRows {

Last last()
{
    Last found;
    QSqlQuery query;
    if (!query.exec(QStringLiteral("select dateTime, duration from %1 where ups = '' order by id desc limit 1")
                        .arg(Database::tableName(Database::TableLogSelfTest)))) {
        qCWarning(lcRecords) << "Cannot read the last self-test:" << query.lastError().text();
        return found;
    }
    if (!query.next())
        return found;
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    const QString startText = query.value(0).toString();
    const QDateTime start = QLocale(QLocale::English).toDateTime(startText, format);
    if (!start.isValid())
        return found;
    found.start = start;
    found.seconds = query.value(1).toInt();
    QSqlQuery alarms;
    alarms.prepare(QStringLiteral("select alarm from %1 where dateTime >= ? and dateTime <= ? and "
                                  "alarm in (?, ?) and ups = ''")
                       .arg(Database::tableName(Database::TableAlarm)));
    alarms.addBindValue(startText);
    alarms.addBindValue(QLocale::c().toString(start.addSecs(found.seconds), format));
    alarms.addBindValue(int(Alarm::BattVolLow));
    alarms.addBindValue(int(Alarm::UPSFault));
    if (!alarms.exec())
        qCWarning(lcRecords) << "Cannot read the alarms of the last self-test:"
                             << alarms.lastError().text();
    while (alarms.next()) {
        if (alarms.value(0).toInt() == Alarm::BattVolLow)
            found.batteryLow = true;
        else
            found.upsFailed = true;
    }
    return found;
}

bool startTimes(QSet<QString> *times, const QString &ups)
{
    times->clear();
    QSqlQuery query;
    query.prepare(QStringLiteral("select dateTime from %1 where ups = ?")
                      .arg(Database::tableName(Database::TableLogSelfTest)));
    query.addBindValue(ups.isNull() ? QString(QLatin1String("")) : ups);
    if (!query.exec()) {
        qCWarning(lcRecords) << "Cannot read the recorded self-tests:" << query.lastError().text();
        return false;
    }
    while (query.next())
        times->insert(query.value(0).toString());
    return true;
}

QString recordingFolder(const QString &ups)
{
    QString folder = QStringLiteral("/data/self_test");
    // Only letters, digits, "-", "_" and "~" stay: no separator, no dot, nothing a file system
    // refuses.
    if (!ups.isEmpty())
        folder += QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(ups, {}, "."));
    return Paths::file(folder);
}

QString recordingFile(const QDateTime &start, const QString &ups)
{
    return recordingFolder(ups) + QLatin1Char('/') +
        QLocale(QLocale::English).toString(start, QStringLiteral("yyyyMMddhhmmss")) +
        QStringLiteral(".txt");
}

} // namespace SelfTestRows
