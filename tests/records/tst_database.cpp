#include "database.h"
#include "historynotice.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "schemamigration.h"
#include "tablemodeldevdata.h"
#include "testroot.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <ctime>

namespace {

QStringList schemaObjects()
{
    QStringList objects;
    QSqlQuery query("select type || ' ' || name || ' ' || sql from sqlite_master "
                    "where name not like 'sqlite_%' order by type, name");
    while (query.next())
        objects << query.value(0).toString();
    return objects;
}

// Fills a table fast, with the trigger out of the way so its count does not run per row.
void bulkFill(const QString &table, int rows, int oldRows)
{
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("drop trigger %1_trigger").arg(table)));
    QVERIFY(query.exec(
        QStringLiteral("with recursive c(x) as (select 1 union all select x + 1 from c limit %1) "
                       "insert into %2(dateTime, alarm) select case when x <= %3 then "
                       "datetime('now', 'localtime', '-6 year') else datetime('now', 'localtime', "
                       "'-1 day') end, "
                       "x % 7 from c")
            .arg(rows)
            .arg(table)
            .arg(oldRows)));
    Database().init();
}

// What init() says in the log.
QStringList initLog()
{
    static QStringList lines;
    lines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { lines << text; });
    Database().init();
    qInstallMessageHandler(previous);
    return lines;
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void schemaIsCreatedOnce();
    void defaultsAndConstraints();
    void retentionTriggerKeepsFiveYears();
    void cleanStopKeepsEveryQueuedRow();
    void historyReadsBesideTheWriter();

private:
    QScopedPointer<TestRoot> m_root;
};

void TestDatabase::initTestCase()
{
    // Far from UTC, so a default of UTC time cannot pass for local time.
    qputenv("TZ", "QLT-05:30");
    tzset();
    QVERIFY(QDateTime::currentDateTime().offsetFromUtc() == 5 * 3600 + 1800);
    m_root.reset(new TestRoot(TestRoot::WithDatabase));
}

void TestDatabase::schemaIsCreatedOnce()
{
    // A second start changes nothing, statements included, and replaces no trigger; the file
    // says which version of the schema it holds.
    QVERIFY(QFile::exists(m_root->file("/data/quelta.db")));
    // Owner-only, its journal files too: history shows what the UPS feeds and when.
    QVERIFY(QSqlQuery().exec("pragma user_version = " +
                             QString::number(SchemaMigration::currentVersion)));
    for (const char *suffix : {"", "-wal", "-shm"}) {
        const QString path = m_root->file("/data/quelta.db") + suffix;
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QCOMPARE(QFile::permissions(path) & QFile::Permissions(0x77), QFile::Permissions());
    }
    const QStringList objects = schemaObjects();
    QCOMPARE(objects.size(), 9);
    QCOMPARE(RecordProbe::sqlCount("pragma user_version"), SchemaMigration::currentVersion);
    QCOMPARE(initLog(), QStringList());
    QCOMPARE(schemaObjects(), objects);

    // Files made before the schema's version was kept are read once to find where they stand,
    // stamped, and brought to this version. A self-test table made before the battery voltage
    // drop and the outcome were kept gets the columns; its rows keep theirs empty.
    QSqlQuery query;
    QVERIFY(query.exec("pragma user_version = 0"));
    QVERIFY(query.exec("drop table log_self_test"));
    QVERIFY(query.exec("create table log_self_test(id integer primary key autoincrement, "
                       "dateTime datetime not null, duration integer not null, count integer "
                       "not null)"));
    QVERIFY(query.exec("insert into log_self_test(dateTime, duration, count) "
                       "values('2025-01-02 03:04:05', 10, 10)"));
    QCOMPARE(initLog(), QStringList({"The database predates schema versions; found at version 1"}));
    QCOMPARE(RecordProbe::sqlCount("pragma user_version"), SchemaMigration::currentVersion);
    QVERIFY(query.exec("select battVolDrop, result from log_self_test"));
    QVERIFY(query.next() && query.isNull(0) && query.isNull(1));
    QVERIFY(query.exec("delete from log_self_test"));

    // A sample table made when every reading was required is made anew, its rows, ids, trigger
    // and index kept, so a reading the UPS does not give is stored empty from then on.
    QVERIFY(query.exec("pragma user_version = 0"));
    QVERIFY(query.exec("drop table device_data"));
    QVERIFY(query.exec("create table device_data(id integer primary key autoincrement, dateTime "
                       "datetime not null default(datetime('now', 'localtime')), inputVol real "
                       "not null, outputVol real not null, load integer not null, inputFreq real "
                       "not null, battVol real not null, temperature real not null)"));
    QVERIFY(query.exec("insert into device_data(id, dateTime, inputVol, outputVol, load, "
                       "inputFreq, battVol, temperature) values(41, '2025-01-02 03:04:05', 230, "
                       "0, 12, 50, 27.1, 0)"));
    Database().init();
    QCOMPARE(schemaObjects(), objects);
    {
        RecordWriter writer;
        RecordWriter::Sample sample;
        sample.inputVol = 229.5f;
        sample.load = 30;
        writer.insertSample(sample);
        QVERIFY(writer.flush());
    }
    QVERIFY(query.exec("select id, inputVol, outputVol, load, temperature from device_data "
                       "order by id"));
    QStringList rows;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < 5; ++i)
            row << (query.isNull(i) ? "null" : query.value(i).toString());
        rows << row.join(' ');
    }
    QCOMPARE(rows, QStringList({"41 230 0 12 0", "42 229.5 null 30 null"}));
    QVERIFY(query.exec("delete from device_data"));

    // A file of version 5, before rows named their UPS: its rows stay as they were, each table
    // gains the name once, empty for them (this computer's UPS), and a second start adds none.
    for (const char *table : {"alarm", "device_data", "log_self_test"})
        QVERIFY(query.exec(QStringLiteral("alter table %1 drop column ups").arg(table)));
    QVERIFY(query.exec("insert into alarm(id, dateTime, alarm) values(7, '2025-01-02 03:04:05', "
                       "2)"));
    QVERIFY(query.exec("pragma user_version = 5"));
    QCOMPARE(initLog(), QStringList());
    QCOMPARE(RecordProbe::sqlCount("pragma user_version"), SchemaMigration::currentVersion);
    QVERIFY(query.exec("select id, dateTime, alarm, ups from alarm"));
    QVERIFY(query.next());
    QCOMPARE(QStringList({query.value(0).toString(), query.value(1).toString(),
                          query.value(2).toString(), query.value(3).toString()}),
             QStringList({"7", "2025-01-02 03:04:05", "2", ""}));
    QVERIFY(!query.next());
    QCOMPARE(RecordProbe::sqlCount("select count(*) from pragma_table_info('device_data') where "
                                   "name = 'ups'"),
             1);
    QCOMPARE(initLog(), QStringList());
    QCOMPARE(RecordProbe::sqlCount("select count(*) from pragma_table_info('log_self_test') "
                                   "where name = 'ups'"),
             1);
    QCOMPARE(schemaObjects(), objects);
    QVERIFY(query.exec("delete from alarm"));
    QVERIFY(query.exec("delete from sqlite_sequence where name = 'alarm'"));
}

void TestDatabase::defaultsAndConstraints()
{
    QSqlQuery query;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QVERIFY(query.exec("insert into device_data(inputVol, outputVol, load, inputFreq, battVol, "
                       "temperature) values(230.1, 229.9, 35, 50.0, 27.2, 31.5)"));
    QVERIFY(query.exec("select dateTime from device_data"));
    QVERIFY(query.next());
    // Local time, in the text form the date-range selections compare against.
    const QDateTime stored =
        QDateTime::fromString(query.value(0).toString(), "yyyy-MM-dd hh:mm:ss");
    QVERIFY(stored.isValid());
    QVERIFY(stored >= before && stored <= QDateTime::currentDateTime().addSecs(1));

    QVERIFY(!query.exec("insert into log_self_test(duration, count) values(10, 10)"));
    QVERIFY(query.exec("insert into log_self_test(dateTime, duration, count) "
                       "values('2026-01-02 03:04:05', 10, 10)"));
    QVERIFY(!query.exec("insert into email_user(user) values(null)"));
}

void TestDatabase::retentionTriggerKeepsFiveYears()
{
    QSqlQuery query;
    // A database of the previous version, whose trigger counted the rows at every insert, gets
    // this version's trigger when it is opened; the rule it keeps is the same.
    QVERIFY(query.exec("pragma user_version = 0"));
    QVERIFY(query.exec("drop trigger alarm_trigger"));
    QVERIFY(query.exec("create trigger alarm_trigger before insert on alarm for each row when "
                       "(select count(*) from alarm) > 1000000 begin delete from alarm where "
                       "date('now', '-5 year') >= date(dateTime); end;"));
    const QStringList before = schemaObjects();
    QCOMPARE(initLog(),
             QStringList({"The database predates schema versions; found at version 2",
                          "Retention trigger \"alarm_trigger\" replaced by the one "
                          "of this version"}));
    QCOMPARE(schemaObjects().size(), before.size());
    QVERIFY(!schemaObjects().contains(before.filter("trigger alarm_trigger").value(0)));
    QCOMPARE(schemaObjects().filter("trigger device_data_trigger"),
             before.filter("trigger device_data_trigger"));

    // Exactly 1,000,000 rows, some six years old: the next insert deletes nothing. Two old rows
    // sit on either side of the cut-off: the last second of its day goes, the next day stays.
    bulkFill("alarm", 1000000, 10);
    QVERIFY(query.exec("update alarm set dateTime = date('now', '-5 year') || ' 23:59:59' "
                       "where id = 1"));
    QVERIFY(query.exec("update alarm set dateTime = date('now', '-5 year', '+1 day') || "
                       "' 00:00:00' where id = 2"));
    QVERIFY(query.exec("insert into alarm(alarm) values(2)"));
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 1000001);

    // Now over the limit: the next insert removes exactly the rows five years old or older.
    QVERIFY(query.exec("insert into alarm(alarm) values(3)"));
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 1000001 - 9 + 1);
    QCOMPARE(RecordProbe::sqlCount(
                 "select count(*) from alarm where date(dateTime) <= date('now', '-5 year')"),
             0);
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm where id = 2"), 1);

    // Back under the limit: inserts only add.
    QVERIFY(query.exec("insert into alarm(alarm) values(4)"));
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 999994);
}

// The rows that leave the GUI thread for the writer's own: every row queued is on disk after a
// clean stop, and the default connection's readers see them. (Every row reported committed is
// there after a kill -9: the crash-consistency suite.)
void TestDatabase::cleanStopKeepsEveryQueuedRow()
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const int lastSample = RecordProbe::sqlCount("select coalesce(max(id), 0) from device_data");
    const int alarms = RecordProbe::sqlCount("select count(*) from alarm");
    {
        RecordWriter writer;
        writer.start();
        // Committed rows are seen by the default connection while the writer runs.
        writer.insertAlarm(7);
        QVERIFY(writer.flush());
        QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm where alarm = 7"), 1);
        for (int i = 0; i < 400; ++i) {
            RecordWriter::Sample sample;
            sample.inputVol = 230.5f;
            sample.load = i % 101;
            writer.insertSample(sample);
            if (i % 40 == 0)
                writer.insertAlarm(i);
        }
        writer.insertSelfTest(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)), 10, 11);
        // Destroyed with rows still queued: they are written before it goes.
    }
    QCOMPARE(RecordProbe::sqlCount("select count(*) from device_data where id > ?", lastSample),
             400);
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), alarms + 11);
    QCOMPARE(RecordProbe::sqlCount("select count(*) from log_self_test where dateTime = "
                                   "'2026-03-04 05:06:07' and duration = 10 and count = 11"),
             1);
    // The time stamps are the local time the rows were queued, in the stored text form.
    QSqlQuery query;
    query.prepare("select min(dateTime), max(dateTime) from device_data where id > ?");
    query.addBindValue(lastSample);
    QVERIFY(query.exec() && query.next());
    const QDateTime first = QDateTime::fromString(query.value(0).toString(), "yyyy-MM-dd hh:mm:ss");
    const QDateTime last = QDateTime::fromString(query.value(1).toString(), "yyyy-MM-dd hh:mm:ss");
    QVERIFY(first >= before);
    QVERIFY(last <= QDateTime::currentDateTime().addSecs(1));
    // Readers of the default connection never wait on the writer.
    QSqlQuery mode("pragma journal_mode");
    QVERIFY(mode.next());
    QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));

    // A cause told before any row was written (the database's own checks at start) ends with
    // the first row stored: the window never says "cannot be stored" while rows are.
    HistoryNotice notice;
    notice.report(HistoryNotice::ReadOnly, QStringLiteral("the folder looked read-only"));
    QVERIFY(!notice.text().isEmpty());
    RecordWriter writer(&notice);
    writer.start();
    writer.insertAlarm(7);
    QVERIFY(writer.flush());
    QTRY_COMPARE(notice.text(), QString());
}

// A history page that has not read its selection to the end keeps neither the writer nor a
// write of the default connection (a scheduled task saved) from working, and its next search
// sees every committed row.
void TestDatabase::historyReadsBesideTheWriter()
{
    RecordWriter writer;
    writer.start();
    for (int i = 0; i < 600; ++i)
        writer.insertSample(RecordWriter::Sample());
    QVERIFY(writer.flush());
    TableModelDevData page;
    QVERIFY(page.select());
    QVERIFY(page.canFetchMore());

    writer.insertAlarm(9);
    writer.insertSample(RecordWriter::Sample());
    QVERIFY(writer.flush());
    QSqlQuery task;
    QVERIFY2(task.exec("insert into schedule_task(cycle, time, action, enable) "
                       "values(1, '10:00:00', 0, 1)"),
             qPrintable(task.lastError().text()));

    // The page's next search sees them.
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    page.selectDate(today, today);
    while (page.canFetchMore())
        page.fetchMore();
    QCOMPARE(page.rowCount(), RecordProbe::sqlCount("select count(*) from device_data"));
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm where alarm = 9"), 1);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
