#include "database.h"

#include "historynotice.h"
#include "logcategories.h"
#include "paths.h"

#include <algorithm>

#include <QFileInfo>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const char *const deviceDataTable =
    "create table if not exists %1(id integer primary key autoincrement, dateTime datetime not "
    "null "
    "default(datetime('now', 'localtime')), inputVol real, outputVol real, load integer, "
    "inputFreq real, battVol real, temperature real);";
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
    "null, duration integer not null, count integer not null, battVolDrop real, result integer);";
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

// The columns each table must have for the program's statements.
const QMap<int, QStringList> &columns()
{
    static const QMap<int, QStringList> names = {
        {Database::TableDeviceData,
         {"id", "dateTime", "inputVol", "outputVol", "load", "inputFreq", "battVol",
          "temperature"}},
        {Database::TableAlarm, {"id", "dateTime", "alarm"}},
        {Database::TableScheduleTask, {"id", "dateTime", "cycle", "time", "action", "enable"}},
        {Database::TableLogSelfTest, {"id", "dateTime", "duration", "count"}},
        {Database::TableEMailUser, {"id", "dateTime", "user"}},
    };
    return names;
}

// Databases made before the battery voltage drop and the outcome of a self-test were recorded
// get their columns; their rows keep them empty.
void addSelfTestColumns()
{
    const QString table = Database::tableName(Database::TableLogSelfTest);
    QSqlQuery query;
    if (!query.exec(QStringLiteral("pragma table_info(%1)").arg(table)))
        return;
    QStringList missing = {QStringLiteral("battVolDrop real"), QStringLiteral("result integer")};
    while (query.next()) {
        const QString name = query.value(1).toString();
        missing.erase(std::remove_if(missing.begin(), missing.end(),
                                     [&name](const QString &column) {
                                         return column.section(QLatin1Char(' '), 0, 0) == name;
                                     }),
                      missing.end());
    }
    for (const QString &column : qAsConst(missing)) {
        if (!query.exec(QStringLiteral("alter table %1 add column %2").arg(table, column)))
            qCWarning(lcRecords) << "Cannot add" << column
                                 << "to the self-test table:" << query.lastError().text();
    }
}

// Samples were once stored with every reading required, so a reading the UPS does not give
// went in as 0, a value it never had. The table is made anew with the same rows (their zeros
// stay: nothing tells them from real ones) and readings that may be empty, in one transaction.
// Older readers see the same columns.
void relaxSampleColumns()
{
    const QString table = Database::tableName(Database::TableDeviceData);
    QSqlQuery query;
    bool required = false;
    if (!query.exec(QStringLiteral("pragma table_info(%1)").arg(table)))
        return;
    while (query.next()) {
        if (query.value(1).toString().compare(QLatin1String("inputVol"), Qt::CaseInsensitive) == 0)
            required = query.value(3).toInt() != 0;
    }
    query.finish();
    if (!required)
        return;
    const QString old = table + QStringLiteral("_required");
    const QString columns =
        QStringLiteral("id, dateTime, inputVol, outputVol, load, inputFreq, battVol, temperature");
    const QStringList steps = {
        QStringLiteral("alter table %1 rename to %2").arg(table, old),
        QString::fromLatin1(deviceDataTable).arg(table),
        QStringLiteral("insert into %1(%3) select %3 from %2").arg(table, old, columns),
        QStringLiteral("drop table %1").arg(old), // with its trigger and index
        QString::fromLatin1(sizeTrigger).arg(table),
        QString::fromLatin1(dateIndex).arg(table),
    };
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.transaction()) {
        qCWarning(lcRecords) << "Cannot make the sample table anew:" << db.lastError().text();
        return;
    }
    for (const QString &step : steps) {
        if (!query.exec(step)) {
            qCWarning(lcRecords) << "Cannot make the sample table anew; it stays as it was:"
                                 << query.lastError().text();
            query.finish();
            db.rollback();
            return;
        }
    }
    if (!db.commit()) {
        qCWarning(lcRecords) << "Cannot make the sample table anew; it stays as it was:"
                             << db.lastError().text();
        db.rollback();
        return;
    }
    qCInfo(lcRecords) << "Sample table made anew: readings a UPS does not give are stored empty";
}

} // namespace

Database::Database(HistoryNotice *notice, QObject *parent) : QObject(parent), m_notice(notice)
{
    m_retry.setObjectName(QStringLiteral("retryTimer"));
    m_retry.setInterval(retryInterval);
    connect(&m_retry, &QTimer::timeout, this, &Database::retry);
}

Database::~Database()
{
    // Whatever used the connections has gone before their owner.
    if (m_opened) {
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
        QSqlDatabase::removeDatabase(historyConnectionName());
    }
}

void Database::open()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    m_opened = true;
    if (!db.isValid()) {
        tell(HistoryNotice::NoDriver, QStringLiteral("no QSQLITE driver"));
        return;
    }
    db.setDatabaseName(fileName());
    if (!db.open()) {
        tell(HistoryNotice::causeOf(db.lastError(), db.databaseName()), db.lastError().text());
        return;
    }
    // The history pages read on a connection of their own. A selection they have not read to
    // its end holds its snapshot of the file; on the default connection that snapshot would
    // refuse the next write there (a scheduled task saved) once the record writer committed.
    QSqlDatabase history =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), historyConnectionName());
    history.setDatabaseName(fileName());
    if (!history.open())
        qCWarning(lcRecords) << "The history pages read on the default connection:"
                             << history.lastError().text();
}

QString Database::historyConnectionName()
{
    return QStringLiteral("quelta-history");
}

QSqlDatabase Database::historyConnection()
{
    const QSqlDatabase history = QSqlDatabase::database(historyConnectionName());
    return history.isOpen() ? history : QSqlDatabase::database();
}

// Again after a failure that may pass: the file is opened anew where it could not be.
void Database::retry()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isOpen())
        db.open();
    init();
}

void Database::init()
{
    m_cause = -1;
    initSchema();
    const bool wasReady = m_ready;
    m_ready = m_cause < 0 && QSqlDatabase::database().isOpen();
    // A damaged file, one of another shape or no driver wait for a person; a full disk, a file
    // that cannot be opened or written now, or an I/O error may pass by themselves.
    const bool mayPass = m_cause != HistoryNotice::Damaged &&
        m_cause != HistoryNotice::WrongShape && m_cause != HistoryNotice::NoDriver;
    if (m_ready) {
        m_retry.stop();
        if (!wasReady && m_everFailed) {
            qCInfo(lcRecords) << "The database" << fileName()
                              << "can be read and written again; what waited goes on";
            if (m_notice)
                m_notice->recovered();
            emit becameReadable();
        }
    } else {
        m_everFailed = true;
        if (mayPass && !m_retry.isActive())
            m_retry.start();
    }
}

void Database::initSchema()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isOpen()) {
        if (m_cause < 0)
            m_cause = db.isValid() ? HistoryNotice::CannotOpen : HistoryNotice::NoDriver;
        return;
    }
    if (!writable())
        return;
    struct Step
    {
        int table;
        QList<const char *> statements;
    };
    const QList<Step> steps = {
        {TableDeviceData, {deviceDataTable, sizeTrigger, dateIndex}},
        {TableAlarm, {alarmTable, sizeTrigger, dateIndex}},
        {TableScheduleTask, {scheduleTaskTable}},
        {TableLogSelfTest, {logSelfTestTable}},
        {TableEMailUser, {emailUserTable}},
    };
    // A table of another shape means the file is not one the program made as it is now: it is
    // left as it is, rows still going to the tables that fit.
    for (const Step &step : steps) {
        if (!tableFits(step.table))
            return;
    }
    migrateTrigger(TableDeviceData);
    migrateTrigger(TableAlarm);
    for (const Step &step : steps) {
        for (const char *statement : step.statements) {
            // The table name comes from our own fixed map, never from outside.
            const QString sql = QString::fromLatin1(statement).arg(tableName(step.table));
            QSqlQuery query;
            if (query.exec(sql))
                continue;
            const int cause = HistoryNotice::causeOf(query.lastError(), db.databaseName());
            tell(cause, query.lastError().text());
            if (cause == HistoryNotice::Damaged)
                return; // every further statement would fail the same way
        }
    }
    addSelfTestColumns();
    relaxSampleColumns();
    // The record writer's thread writes beside the readers of this connection; in WAL mode
    // neither waits for the other. Every commit is still synced (SQLite's default, FULL).
    QSqlQuery mode;
    if (!mode.exec(QStringLiteral("pragma journal_mode=wal")) || !mode.next() ||
        mode.value(0).toString() != QLatin1String("wal"))
        qCInfo(lcRecords) << "The database keeps its rollback journal:" << mode.lastError().text();
}

void Database::tell(int cause, const QString &detail)
{
    if (m_cause < 0)
        m_cause = cause;
    if (m_notice)
        m_notice->report(cause, detail);
    else
        qCWarning(lcRecords) << "History cannot be stored:" << detail;
}

// A file or folder that cannot be written keeps history from being stored, though SQLite opens
// the file for reading without a word.
bool Database::writable()
{
    const QFileInfo file(QSqlDatabase::database().databaseName());
    const QFileInfo folder(file.absolutePath());
    // A folder that may not be written still serves a file whose journal files exist and may be
    // written (write-ahead logging keeps them).
    const auto beside = [&file](const char *suffix) {
        const QFileInfo journal(file.filePath() + QLatin1String(suffix));
        return journal.exists() && journal.isWritable();
    };
    const bool folderServes = folder.isWritable() || (beside("-wal") && beside("-shm"));
    if (folderServes && (!file.exists() || file.isWritable()))
        return true;
    tell(HistoryNotice::ReadOnly,
         QStringLiteral("%1 is read-only")
             .arg(folder.isWritable() ? file.filePath() : folder.filePath()));
    return false;
}

// A missing table fits (it is made); one that lacks a column the program writes does not, and
// neither does one that cannot be read.
bool Database::tableFits(int table)
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("pragma table_info(%1)").arg(tableName(table)))) {
        tell(HistoryNotice::causeOf(query.lastError(), QSqlDatabase::database().databaseName()),
             query.lastError().text());
        return false;
    }
    QStringList found;
    while (query.next())
        found << query.value(1).toString();
    if (found.isEmpty())
        return true;
    for (const QString &column : columns().value(table)) {
        if (!found.contains(column, Qt::CaseInsensitive)) {
            tell(HistoryNotice::WrongShape,
                 QStringLiteral("the table %1 has no column %2").arg(tableName(table), column));
            return false;
        }
    }
    return true;
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
