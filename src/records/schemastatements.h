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
    "default(datetime('now', 'localtime')), alarm integer not null, ups text not null default '', "
    "detail text);";
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

// The samples summarised per minute and per hour, per UPS: for each charted reading its lowest,
// highest, sum and count of present values, so a chart of a month or a year reads thousands of
// rows, not millions. Kept by a trigger on every sample insert; a database that had samples
// before is summarised once in the background (summary_fill says which rows are left).
inline const char *const summaryTable =
    "create table if not exists %1(ups text not null, start text not null, count integer not "
    "null, inputVolMin real, inputVolMax real, inputVolSum real, inputVolN integer not null, "
    "outputVolMin real, outputVolMax real, outputVolSum real, outputVolN integer not null, "
    "loadMin real, loadMax real, loadSum real, loadN integer not null, battVolMin real, "
    "battVolMax real, battVolSum real, battVolN integer not null, temperatureMin real, "
    "temperatureMax real, temperatureSum real, temperatureN integer not null, primary key(ups, "
    "start)) without rowid;";
inline const char *const summaryFillTable =
    "create table if not exists summary_fill(nextId integer not null, lastId integer not null);";
// The samples by UPS and time: a watched UPS's history reads its own rows only.
inline const char *const upsIndex =
    "create index if not exists device_data_ups_index on device_data (ups, dateTime);";
inline const char *const summaryTrigger = "create trigger if not exists device_data_summary "
                                          "after insert on device_data for each row begin %1 end;";

} // namespace SchemaStatements
