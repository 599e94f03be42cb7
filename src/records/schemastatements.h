#pragma once

// The statements that make the program's tables, their retention triggers and date indexes, in
// the form of this version; "%1" takes the table name (Database::tableName, never outside text).
namespace SchemaStatements {

inline const char *const deviceDataTable =
    "create table if not exists %1(id integer primary key autoincrement, dateTime datetime not "
    "null "
    "default(datetime('now', 'localtime')), inputVol real, outputVol real, load integer, "
    "inputFreq real, battVol real, temperature real, ups text not null default '');";
inline const char *const alarmTable =
    "create table if not exists %1(id integer primary key "
    "autoincrement, dateTime datetime not null "
    "default(datetime('now', 'localtime')), alarm integer not null, ups text not null default '');";
inline const char *const scheduleTaskTable =
    "create table if not exists %1(id integer primary key autoincrement, dateTime datetime not "
    "null "
    "default(datetime('now', 'localtime')), cycle integer not null, time time not null, action "
    "integer not null, enable not null);";
inline const char *const logSelfTestTable =
    "create table if not exists %1(id integer primary key autoincrement, dateTime datetime not "
    "null, duration integer not null, count integer not null, battVolDrop real, result integer, ups text "
    "not null default '');";
inline const char *const emailUserTable =
    "create table if not exists %1(id integer primary key "
    "autoincrement, dateTime datetime not null "
    "default(datetime('now', 'localtime')), user text not null);";
// Rows dated on or before the day five years back go once the table holds more than 1,000,000
// rows. The oldest row is looked up first, through the date index, so the count and the delete
// run only when there is something to delete; the delete compares the stored text with the day
// after the cut-off, which the index can serve, where date(dateTime) had to read every row.
inline const char *const sizeTrigger =
    "create trigger if not exists %1_trigger before insert on %1 for each row when (select "
    "min(dateTime) from %1) < date('now', '-5 year', '+1 day') and (select count(*) from %1) > "
    "1000000 begin delete from %1 where dateTime < date('now', '-5 year', '+1 day'); end;";
inline const char *const dateIndex = "create index if not exists %1_index on %1 (dateTime);";

} // namespace SchemaStatements
