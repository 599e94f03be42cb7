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
    "null, duration integer not null, count integer not null, battVolDrop real);";
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

// Databases made before the battery voltage drop was recorded get its column; their rows keep
// it empty.
void addSelfTestDropColumn()
{
    const QString table = Database::tableName(Database::TableLogSelfTest);
    QSqlQuery query;
    if (!query.exec(QStringLiteral("pragma table_info(%1)").arg(table)))
        return;
    while (query.next()) {
        if (query.value(1).toString() == QLatin1String("battVolDrop"))
            return;
    }
    if (!query.exec(QStringLiteral("alter table %1 add column battVolDrop real").arg(table)))
        qCWarning(lcRecords) << "Cannot add the battery voltage drop to the self-test table:"
                             << query.lastError().text();
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
    addSelfTestDropColumn();
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
