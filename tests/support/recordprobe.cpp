#include "recordprobe.h"

#include "alarm.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace RecordProbe {

QStringList currentAlarmTexts(const Alarm *alarm)
{
    QStringList texts;
    const QVariantList all = alarm->allAlarm();
    for (const QVariant &entry : all)
        texts << entry.toMap().value(QStringLiteral("alarm")).toString();
    return texts;
}

int sqlCount(const QString &sql, const QVariant &bound)
{
    QSqlQuery query;
    query.prepare(sql);
    if (bound.isValid())
        query.addBindValue(bound);
    query.exec();
    return query.next() ? query.value(0).toInt() : -1;
}

QStringList sqlColumn(const QString &sql)
{
    QStringList values;
    QSqlQuery query(sql);
    while (query.next())
        values << query.value(0).toString();
    return values;
}

QVariant sqlValueIn(const QString &databaseFile, const QString &sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "probe");
        db.setDatabaseName(databaseFile);
        db.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000");
        QSqlQuery query(db);
        if (db.open() && query.exec(sql) && query.next())
            value = query.value(0);
    }
    QSqlDatabase::removeDatabase("probe");
    return value;
}

} // namespace RecordProbe
