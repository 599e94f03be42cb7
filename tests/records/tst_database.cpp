#include "database.h"
#include "historynotice.h"
#include "historyseries.h"
#include "logrecorder.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "samplesummary.h"
#include "schemamigration.h"
#include "summaryfill.h"
#include "tablemodeldevdata.h"
#include "testroot.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <cmath>
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
    LogRecorder::take();
    Database().init();
    return LogRecorder::take();
}

void runSummaryFill()
{
    SummaryFill fill;
    QSignalSpy finished(&fill, &SummaryFill::finished);
    fill.start();
    QVERIFY(finished.wait(5000));
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
    void summariesAgreeWithTheSamples();

private:
    QScopedPointer<TestRoot> m_root;
};

void TestDatabase::initTestCase()
{
    LogRecorder::install();
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
    QCOMPARE(objects.size(), 14);
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
    // The index by UPS comes back beside the poll, as the summaries of the old rows do.
    runSummaryFill();
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

    // A file of version 5, before rows named their UPS and alarms their detail: its rows stay as
    // they were, each table gains the name once, empty for them (this computer's UPS), the
    // alarms an empty detail, and a second start adds none.
    QVERIFY(query.exec("drop trigger device_data_summary"));
    QVERIFY(query.exec("drop index device_data_ups_index"));
    for (const char *table : {"alarm", "device_data", "log_self_test"})
        QVERIFY(query.exec(QStringLiteral("alter table %1 drop column ups").arg(table)));
    QVERIFY(query.exec("alter table alarm drop column detail"));
    QVERIFY(query.exec("insert into alarm(id, dateTime, alarm) values(7, '2025-01-02 03:04:05', "
                       "2)"));
    QVERIFY(query.exec("pragma user_version = 5"));
    QCOMPARE(initLog(), QStringList());
    QCOMPARE(RecordProbe::sqlCount("pragma user_version"), SchemaMigration::currentVersion);
    QVERIFY(query.exec("select id, dateTime, alarm, ups, detail from alarm"));
    QVERIFY(query.next() && query.isNull(4));
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
    runSummaryFill();
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

// The per-minute and per-hour summaries hold what the samples hold, whether a sample came in
// through the trigger or was stored before the summaries existed and summarised afterwards, a
// chunk at a time; and a chart read from them equals one read from the samples.
void TestDatabase::summariesAgreeWithTheSamples()
{
    QSqlQuery query;
    QVERIFY(query.exec("delete from device_data"));
    // A file of version 6: no summaries yet.
    for (const char *sql : {"drop trigger device_data_summary", "drop table device_data_minute",
                            "drop table device_data_hour", "drop table summary_fill",
                            "pragma user_version = 6"})
        QVERIFY2(query.exec(sql), sql);

    // Two UPSes over three days at random moments, some readings absent, a few times that do
    // not read; half stored before the summaries, half after.
    QRandomGenerator random(2026);
    const auto addSamples = [&](int n) {
        QVERIFY(QSqlDatabase::database().transaction());
        QSqlQuery insert;
        QVERIFY(insert.prepare("insert into device_data(dateTime, inputVol, outputVol, load, "
                               "battVol, temperature, ups) values(?, ?, ?, ?, ?, ?, ?)"));
        const QDateTime start(QDate(2025, 3, 29), QTime(0, 0), Qt::UTC);
        for (int i = 0; i < n; ++i) {
            const QDateTime at = start.addSecs(random.bounded(3 * 86400));
            insert.addBindValue(random.bounded(100) == 0
                                    ? QStringLiteral("not a time")
                                    : at.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
            for (int column = 0; column < 5; ++column) {
                if (random.bounded(5) == 0)
                    insert.addBindValue(QVariant(QVariant::Double));
                else
                    insert.addBindValue(std::round(random.generateDouble() * 3000) / 10);
            }
            insert.addBindValue(random.bounded(2) ? QStringLiteral("") : QStringLiteral("attic"));
            QVERIFY(insert.exec());
        }
        QVERIFY(QSqlDatabase::database().commit());
    };
    addSamples(6000);
    Database().init();
    QCOMPARE(RecordProbe::sqlCount("pragma user_version"), SchemaMigration::currentVersion);
    addSamples(6000);

    // Charts of one day and of the three, by the hour and by the minute, for each UPS.
    const QString file = m_root->file("/data/quelta.db");
    struct Chart
    {
        QDate first, last;
        int buckets;
        QString ups;
    };
    QList<Chart> charts;
    for (const QString &ups : {QString(), QStringLiteral("attic")})
        charts << Chart {QDate(2025, 3, 30), QDate(2025, 3, 30), 24, ups}
               << Chart {QDate(2025, 3, 30), QDate(2025, 3, 30), 1440, ups}
               << Chart {QDate(2025, 3, 29), QDate(2025, 3, 31), 72, ups};
    const auto read = [&] {
        QList<HistorySeries::Result> results;
        for (const Chart &c : charts)
            results << HistorySeries::reduce(file, c.first, c.last, c.buckets, nullptr, c.ups);
        return results;
    };
    // Read from the samples while the summaries are not whole.
    const QList<HistorySeries::Result> fromSamples = read();

    // Summarised a chunk at a time, as a program stopped between chunks goes on.
    QSqlDatabase db = QSqlDatabase::database();
    QString error;
    int chunks = 1;
    while (SummaryFill::step(db, 997, &error))
        ++chunks;
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(chunks, 7);
    QVERIFY(!SummaryFill::step(db, 997, &error) && error.isEmpty());

    for (int t = 0; t < SampleSummary::TableCount; ++t) {
        const auto table = SampleSummary::Table(t);
        const QString start = QStringLiteral("strftime('%1', dateTime)")
                                  .arg(t == SampleSummary::Minute ? "%Y-%m-%d %H:%M:00"
                                                                  : "%Y-%m-%d %H:00:00");
        QStringList summaryColumns {"ups", "start", "count"}, sampleColumns {"ups", start, "count(*)"};
        for (const char *c : SampleSummary::columns) {
            for (const char *part : {"Min", "Max", "Sum", "N"})
                summaryColumns << QString::fromLatin1(c) + part;
            for (const char *f : {"min", "max", "sum", "count"})
                sampleColumns << QStringLiteral("%1(%2)").arg(f, c);
        }
        QSqlQuery summaries(QStringLiteral("select %1 from %2 order by 1, 2")
                                .arg(summaryColumns.join(", "), SampleSummary::tableName(table)));
        QSqlQuery samples(QStringLiteral("select %1 from device_data where %2 is not null "
                                         "group by 1, 2 order by 1, 2")
                              .arg(sampleColumns.join(", "), start));
        int rows = 0;
        while (samples.next()) {
            QVERIFY(summaries.next());
            ++rows;
            for (int i = 0; i < summaryColumns.size(); ++i) {
                const QVariant a = summaries.value(i), b = samples.value(i);
                QVERIFY2(a.isNull() == b.isNull() &&
                             (i < 2 ? a == b : std::abs(a.toDouble() - b.toDouble()) < 1e-6),
                         qPrintable(QStringLiteral("%1 %2 %3: %4 / %5")
                                        .arg(SampleSummary::tableName(table),
                                             samples.value(1).toString(), summaryColumns[i],
                                             a.toString(), b.toString())));
            }
        }
        QVERIFY(!summaries.next());
        QVERIFY(rows > (t == SampleSummary::Minute ? 5000 : 140));
    }

    const QList<HistorySeries::Result> fromSummaries = read();
    for (int i = 0; i < charts.size(); ++i) {
        const HistorySeries::Result &a = fromSamples[i], &b = fromSummaries[i];
        QVERIFY(a.error.isEmpty() && b.error.isEmpty());
        QVERIFY(a.samples > 0);
        QCOMPARE(b.samples, a.samples);
        for (int column = 0; column < HistorySeries::ColumnCount; ++column) {
            QCOMPARE(b.points[column], a.points[column]);
            QCOMPARE(b.minimum[column], a.minimum[column]);
            QCOMPARE(b.maximum[column], a.maximum[column]);
        }
    }

    // Damaged summaries are not trusted: the chart reads the samples at once, the fill makes
    // them anew and whole again; a sample that meets the damage through the trigger is stored
    // all the same.
    const auto sameCharts = [&](const QList<HistorySeries::Result> &results) {
        for (int i = 0; i < charts.size(); ++i) {
            QCOMPARE(results[i].samples, fromSamples[i].samples);
            for (int column = 0; column < HistorySeries::ColumnCount; ++column)
                QCOMPARE(results[i].points[column], fromSamples[i].points[column]);
        }
    };
    const auto damage = [&] {
        QSqlQuery q;
        QVERIFY(q.exec("pragma wal_checkpoint(truncate)"));
        const int root = RecordProbe::sqlCount(
            "select rootpage from sqlite_master where name = 'device_data_minute'");
        const int pageSize = RecordProbe::sqlCount("pragma page_size");
        QFile f(file);
        QVERIFY(root > 1 && f.open(QIODevice::ReadWrite) && f.seek(qint64(root - 1) * pageSize));
        QVERIFY(f.write(QByteArray(pageSize, '\xff')) == pageSize);
    };
    damage();
    SummaryFill fill;
    QSignalSpy filled(&fill, &SummaryFill::finished);
    fill.start();
    QVERIFY(filled.wait(5000));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("summaries cannot be read"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("summaries were damaged: made anew"));
    // A long export meets the damage first: it goes out sample by sample, and the fill, woken
    // by it, may be done before the export is.
    const int fills = filled.count();
    {
        TableModelDevData model;
        model.setSheetRows(1000);
        model.selectDate(QStringLiteral("2025-03-29"), QStringLiteral("2025-03-31"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot read the selection"));
        QVERIFY(RecordProbe::exported(model, m_root->file("/export.xlsx")));
        const int samples = RecordProbe::sqlCount(
            "select count(*) from device_data where ups = '' and dateTime like '2025-03-%'");
        QCOMPARE(LogRecorder::count(QStringLiteral("Exported %1 samples").arg(samples)), 1);
    }
    sameCharts(read());
    QTRY_VERIFY_WITH_TIMEOUT(filled.count() > fills, 5000);
    QCOMPARE(RecordProbe::sqlCount("select count(*) from summary_fill"), 0);
    QVERIFY(SummaryFill::trusted());
    sameCharts(read());

    damage();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("summaries were damaged: made anew"));
    {
        RecordWriter writer;
        writer.start();
        RecordWriter::Sample sample;
        sample.inputVol = 231.5f;
        writer.insertSample(sample, QStringLiteral("cellar"));
        QVERIFY(writer.flush());
    }
    QCOMPARE(RecordProbe::sqlCount("select count(*) from device_data where ups = 'cellar'"), 1);
    QVERIFY(filled.wait(5000));
    QVERIFY(SummaryFill::trusted());
    sameCharts(read());
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
