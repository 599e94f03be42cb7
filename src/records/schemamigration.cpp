#include "schemamigration.h"

#include "database.h"
#include "logcategories.h"
#include "samplesummary.h"
#include "schemastatements.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>

namespace {

// The table name comes from our own fixed map, never from outside.
QString statement(const char *text, int table)
{
    return QString::fromLatin1(text).arg(Database::tableName(table));
}

bool run(const QString &sql, const char *what)
{
    QSqlQuery query;
    if (query.exec(sql))
        return true;
    qCWarning(lcRecords) << what << query.lastError().text();
    return false;
}

bool hasColumn(int table, const QString &column, bool *required = nullptr)
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("pragma table_info(%1)").arg(Database::tableName(table))))
        return false;
    while (query.next()) {
        if (query.value(1).toString().compare(column, Qt::CaseInsensitive) == 0) {
            if (required)
                *required = query.value(3).toInt() != 0;
            return true;
        }
    }
    return false;
}

// SQLite keeps a statement in its own spelling: keywords in capitals, without "if not exists"
// and the closing semicolon.
QString normal(QString sql)
{
    sql = sql.simplified().toLower();
    sql.remove(QStringLiteral("if not exists "));
    while (sql.endsWith(QLatin1Char(';')) || sql.endsWith(QLatin1Char(' ')))
        sql.chop(1);
    return sql;
}

bool triggerIsCurrent(int table)
{
    QSqlQuery query;
    query.prepare(
        QStringLiteral("select sql from sqlite_master where type = 'trigger' and name = ?"));
    query.addBindValue(Database::tableName(table) + QStringLiteral("_trigger"));
    if (!query.exec() || !query.next())
        return true; // none: the create statements make this version's
    return normal(query.value(0).toString()) ==
        normal(statement(SchemaStatements::sizeTrigger, table));
}

// 2: self-test rows of older files keep the drop empty.
bool addSelfTestDropColumn()
{
    if (hasColumn(Database::TableLogSelfTest, QStringLiteral("battVolDrop")))
        return true;
    return run(QStringLiteral("alter table %1 add column battVolDrop real")
                   .arg(Database::tableName(Database::TableLogSelfTest)),
               "Cannot add the battery voltage drop to the self-test table:");
}

// 3: a trigger that counted the rows at every insert gives way to this version's.
bool replaceTriggers()
{
    for (int table : {Database::TableDeviceData, Database::TableAlarm}) {
        if (triggerIsCurrent(table))
            continue;
        const QString name = Database::tableName(table) + QStringLiteral("_trigger");
        if (!run(QStringLiteral("drop trigger %1").arg(name),
                 "Cannot replace a retention trigger:") ||
            !run(statement(SchemaStatements::sizeTrigger, table),
                 "Cannot replace a retention trigger:"))
            return false;
        qCInfo(lcRecords) << "Retention trigger" << name << "replaced by the one of this version";
    }
    return true;
}

// 4: samples were once stored with every reading required, so a reading the UPS does not give
// went in as 0, a value it never had. The table is made anew with the same rows (their zeros
// stay: nothing tells them from real ones) and readings that may be empty. Older readers see
// the same columns.
bool relaxSampleColumns()
{
    bool required = false;
    if (!hasColumn(Database::TableDeviceData, QStringLiteral("inputVol"), &required) || !required)
        return true;
    const QString table = Database::tableName(Database::TableDeviceData);
    const QString old = table + QStringLiteral("_required");
    const QString columns =
        QStringLiteral("id, dateTime, inputVol, outputVol, load, inputFreq, battVol, temperature");
    const QStringList steps = {
        QStringLiteral("alter table %1 rename to %2").arg(table, old),
        statement(SchemaStatements::deviceDataTable, Database::TableDeviceData),
        QStringLiteral("insert into %1(%3) select %3 from %2").arg(table, old, columns),
        QStringLiteral("drop table %1").arg(old), // with its trigger and index
        statement(SchemaStatements::sizeTrigger, Database::TableDeviceData),
        statement(SchemaStatements::dateIndex, Database::TableDeviceData),
    };
    for (const QString &step : steps) {
        if (!run(step, "Cannot make the sample table anew; it stays as it was:"))
            return false;
    }
    qCInfo(lcRecords) << "Sample table made anew: readings a UPS does not give are stored empty";
    return true;
}

// 5: self-test rows of older files keep their outcome empty (told by the voltage drop instead).
bool addSelfTestResultColumn()
{
    if (hasColumn(Database::TableLogSelfTest, QStringLiteral("result")))
        return true;
    return run(QStringLiteral("alter table %1 add column result integer")
                   .arg(Database::tableName(Database::TableLogSelfTest)),
               "Cannot add the outcome to the self-test table:");
}

// 6: rows of a watched UPS carry its shown name; every older row is this computer's UPS, so the
// column is empty for them and for what older readers see.
bool addUpsColumns()
{
    for (int table : {Database::TableDeviceData, Database::TableAlarm, Database::TableLogSelfTest}) {
        if (hasColumn(table, QStringLiteral("ups")))
            continue;
        if (!run(QStringLiteral("alter table %1 add column ups text not null default ''")
                     .arg(Database::tableName(table)),
                 "Cannot add the UPS name to a record table:"))
            return false;
    }
    return true;
}

// 7: the samples summarised per minute and per hour. The samples stored so far are summarised
// in the background (SummaryFill), from the first id to the last one of now; the trigger made
// in the same transaction takes every later one.
bool addSummaries()
{
    for (const QString &sql : SchemaMigration::summaryStatements()) {
        if (!run(sql, "Cannot add the sample summaries:"))
            return false;
    }
    return run(QStringLiteral("insert into summary_fill(nextId, lastId) select min(id), max(id) "
                              "from device_data having count(*) > 0 and (select count(*) from "
                              "summary_fill) = 0"),
               "Cannot note the samples left to summarise:");
}

// 8: who cancelled and from where, beside the alarm of a cancel; empty for every other row.
bool addAlarmDetailColumn()
{
    if (hasColumn(Database::TableAlarm, QStringLiteral("detail")))
        return true;
    return run(QStringLiteral("alter table %1 add column detail text")
                   .arg(Database::tableName(Database::TableAlarm)),
               "Cannot add the detail to the alarm table:");
}

bool hasObject(const char *type, const char *name)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("select count(*) from sqlite_master where type = ? and name = ?"));
    query.addBindValue(QLatin1String(type));
    query.addBindValue(QLatin1String(name));
    return query.exec() && query.next() && query.value(0).toInt() > 0;
}

// The step that leads to version i + 2.
const std::function<bool()> steps[SchemaMigration::currentVersion - 1] = {
    addSelfTestDropColumn, replaceTriggers, relaxSampleColumns, addSelfTestResultColumn,
    addUpsColumns, addSummaries, addAlarmDetailColumn};

} // namespace

namespace SchemaMigration {

int storedVersion()
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("pragma user_version")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

bool stamp(int version)
{
    // A pragma takes no bound value; the number is ours.
    return run(QStringLiteral("pragma user_version = %1").arg(version),
               "Cannot write the schema version:");
}

int inspect()
{
    int version = 1;
    if (hasColumn(Database::TableLogSelfTest, QStringLiteral("battVolDrop")))
        version = 2;
    if (version == 2 && triggerIsCurrent(Database::TableDeviceData) &&
        triggerIsCurrent(Database::TableAlarm))
        version = 3;
    bool required = true;
    if (version == 3 &&
        hasColumn(Database::TableDeviceData, QStringLiteral("inputVol"), &required) && !required)
        version = 4;
    if (version == 4 && hasColumn(Database::TableLogSelfTest, QStringLiteral("result")))
        version = 5;
    if (version == 5 && hasColumn(Database::TableAlarm, QStringLiteral("ups")) &&
        hasColumn(Database::TableDeviceData, QStringLiteral("ups")) &&
        hasColumn(Database::TableLogSelfTest, QStringLiteral("ups")))
        version = 6;
    if (version == 6 && hasObject("table", SampleSummary::tableName(SampleSummary::Minute)) &&
        hasObject("table", SampleSummary::tableName(SampleSummary::Hour)) &&
        hasObject("table", "summary_fill") && hasObject("trigger", "device_data_summary"))
        version = 7;
    if (version == 7 && hasColumn(Database::TableAlarm, QStringLiteral("detail")))
        version = 8;
    return version;
}

QStringList summaryStatements()
{
    return {QString::fromLatin1(SchemaStatements::summaryTable)
                .arg(QLatin1String(SampleSummary::tableName(SampleSummary::Minute))),
            QString::fromLatin1(SchemaStatements::summaryTable)
                .arg(QLatin1String(SampleSummary::tableName(SampleSummary::Hour))),
            QString::fromLatin1(SchemaStatements::summaryFillTable),
            QString::fromLatin1(SchemaStatements::summaryTrigger).arg(SampleSummary::trigger())};
}

bool migrate(int from)
{
    QSqlDatabase db = QSqlDatabase::database();
    for (int version = from + 1; version <= currentVersion; ++version) {
        if (!db.transaction()) {
            qCWarning(lcRecords) << "Cannot bring the database to schema version" << version << ":"
                                 << db.lastError().text();
            return false;
        }
        if (!steps[version - 2]() || !stamp(version) || !db.commit()) {
            db.rollback();
            qCWarning(lcRecords) << "The database stays at schema version" << version - 1;
            return false;
        }
    }
    return true;
}

} // namespace SchemaMigration
