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
const char *const sizeTrigger =
    "create trigger if not exists %1_trigger before insert on %1 for each row when (select "
    "count(*) from %1) > 1000000 begin delete from %1 where date('now', '-5 year') >= "
    "date(dateTime); end;";
const char *const dateIndex = "create index if not exists %1_index on %1 (dateTime);";

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
        db.setDatabaseName(Paths::file(QStringLiteral("/data/quelta.db")));
        if (!db.open())
            qCWarning(lcRecords) << "Cannot open the database" << db.databaseName() << ":"
                                 << db.lastError().text();
    } else {
        qCWarning(lcRecords) << "The SQLite driver is missing; history will not be stored";
    }
}

void Database::init()
{
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

QString Database::tableName(int type)
{
    static const QMap<int, QString> names = {{TableDeviceData, QStringLiteral("device_data")},
                                             {TableAlarm, QStringLiteral("alarm")},
                                             {TableScheduleTask, QStringLiteral("schedule_task")},
                                             {TableEMailUser, QStringLiteral("email_user")},
                                             {TableLogSelfTest, QStringLiteral("log_self_test")}};
    return names.value(type);
}
