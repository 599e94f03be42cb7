#include "database.h"

#include "logcategories.h"
#include "paths.h"

#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const char *const deviceDataTable =
    "create table if not exists %1(id integer primary key autoincrement, dateTime datetime not "
    "null "
    "default(datetime('now', 'localtime')), inputVol real not null, outputVol real not null, load "
    "integer not null, inputFreq real not null, battVol real not null, temperature real not null);";
const char *const alarmTable = "create table if not exists %1(id integer primary key "
                               "autoincrement, dateTime datetime not null "
                               "default(datetime('now', 'localtime')), alarm integer not null);";
const char *const scheduleTaskTable =
    "create table if not exists %1(id integer primary key autoincrement, dateTime datetime not "
    "null "
    "default(datetime('now', 'localtime')), cycle integer not null, time time not null, action "
    "integer not null, enable not null);";
const char *const logSelfTestTable =
    "create table if not exists %1(id integer primary key autoincrement, dateTime datetime not "
    "null, duration integer not null, count integer not null);";
const char *const emailUserTable = "create table if not exists %1(id integer primary key "
                                   "autoincrement, dateTime datetime not null "
                                   "default(datetime('now', 'localtime')), user text not null);";
// Rows dated on or before the day five years back go once the table holds more than 1,000,000
// rows. The oldest row is looked up first, through the date index, so the count and the delete
// run only when there is something to delete; the delete compares the stored text with the day
// after the cut-off, which the index can serve, where date(dateTime) had to read every row.
const char *const sizeTrigger =
    "create trigger if not exists %1_trigger before insert on %1 for each row when (select "
    "min(dateTime) from %1) < date('now', '-5 year', '+1 day') and (select count(*) from %1) > "
    "1000000 begin delete from %1 where dateTime < date('now', '-5 year', '+1 day'); end;";
const char *const dateIndex = "create index if not exists %1_index on %1 (dateTime);";

// A trigger of an older version is put in place of the one of this version.
void migrateTrigger(int table)
{
    const QString name = Database::tableName(table) + QStringLiteral("_trigger");
    const QString wanted = QString::fromLatin1(sizeTrigger).arg(Database::tableName(table));
    QSqlQuery query;
    query.prepare(
        QStringLiteral("select sql from sqlite_master where type = 'trigger' and name = ?"));
    query.addBindValue(name);
    if (!query.exec() || !query.next())
        return;
    // SQLite keeps the statement in its own spelling: keywords in capitals, without "if not
    // exists" and the closing semicolon.
    const auto normal = [](QString sql) {
        sql = sql.simplified().toLower();
        sql.remove(QStringLiteral("if not exists "));
        while (sql.endsWith(QLatin1Char(';')) || sql.endsWith(QLatin1Char(' ')))
            sql.chop(1);
        return sql;
    };
    if (normal(query.value(0).toString()) == normal(wanted))
        return;
    query.finish();
    if (query.exec(QStringLiteral("drop trigger %1").arg(name)))
        qCInfo(lcRecords) << "Retention trigger" << name << "replaced by the one of this version";
    else
        qCWarning(lcRecords) << "Cannot replace the retention trigger" << name << ":"
                             << query.lastError().text();
}

void runSchema(const char *statement, int table)
{
    // The table name comes from our own fixed map, never from outside.
    const QString sql = QString::fromLatin1(statement).arg(Database::tableName(table));
    QSqlQuery query;
    if (!query.exec(sql))
        qCWarning(lcRecords) << "Schema statement failed:" << query.lastError().text() << sql;
}

} // namespace

Database::Database(QObject *parent) : QObject(parent) { }

Database::~Database()
{
    // Whatever used the connection has gone before its owner.
    if (m_opened)
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

void Database::open()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    m_opened = true;
    if (db.isValid()) {
        db.setDatabaseName(fileName());
        if (!db.open()) {
            qCWarning(lcRecords) << "Cannot open the database" << db.databaseName() << ":"
                                 << db.lastError().text();
            return;
        }
        // The record writer's thread writes beside the readers of this connection; in WAL mode
        // neither waits for the other. Every commit is still synced (SQLite's default, FULL).
        QSqlQuery mode(db);
        if (!mode.exec(QStringLiteral("pragma journal_mode=wal")) || !mode.next() ||
            mode.value(0).toString() != QLatin1String("wal"))
            qCWarning(lcRecords) << "The database stays in its rollback journal mode:"
                                 << mode.lastError().text();
    } else {
        qCWarning(lcRecords) << "The SQLite driver is missing; history will not be stored";
    }
}

void Database::init()
{
    migrateTrigger(TableDeviceData);
    migrateTrigger(TableAlarm);
    runSchema(deviceDataTable, TableDeviceData);
    runSchema(sizeTrigger, TableDeviceData);
    runSchema(dateIndex, TableDeviceData);
    runSchema(alarmTable, TableAlarm);
    runSchema(sizeTrigger, TableAlarm);
    runSchema(dateIndex, TableAlarm);
    runSchema(scheduleTaskTable, TableScheduleTask);
    runSchema(logSelfTestTable, TableLogSelfTest);
    runSchema(emailUserTable, TableEMailUser);
}

QString Database::fileName()
{
    return Paths::file(QStringLiteral("/data/quelta.db"));
}

QString Database::tableName(int type)
{
    static const QMap<int, QString> names = {{TableDeviceData, QStringLiteral("device_data")},
                                             {TableAlarm, QStringLiteral("alarm")},
                                             {TableScheduleTask, QStringLiteral("schedule_task")},
                                             {TableEMailUser, QStringLiteral("email_user")},
                                             {TableLogSelfTest, QStringLiteral("log_self_test")}};
    return names.value(type);
}
