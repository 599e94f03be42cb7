#include "database.h"
#include "recordprobe.h"
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

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void schemaIsCreatedOnce();
    void defaultsAndConstraints();
    void retentionTriggerKeepsFiveYears();

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
    // A second start changes nothing, statements included.
    QVERIFY(QFile::exists(m_root->file("/data/quelta.db")));
    const QStringList objects = schemaObjects();
    QCOMPARE(objects.size(), 9);
    Database().init();
    QCOMPARE(schemaObjects(), objects);

    // A self-test table made before the battery voltage drop was kept gets the column; its
    // rows keep theirs empty.
    QSqlQuery query;
    QVERIFY(query.exec("drop table log_self_test"));
    QVERIFY(query.exec("create table log_self_test(id integer primary key autoincrement, "
                       "dateTime datetime not null, duration integer not null, count integer "
                       "not null)"));
    QVERIFY(query.exec("insert into log_self_test(dateTime, duration, count) "
                       "values('2025-01-02 03:04:05', 10, 10)"));
    Database().init();
    QVERIFY(query.exec("select battVolDrop from log_self_test"));
    QVERIFY(query.next() && query.isNull(0));
    QVERIFY(query.exec("delete from log_self_test"));
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
    // Exactly 1,000,000 rows, some six years old: the next insert deletes nothing.
    bulkFill("alarm", 1000000, 10);
    QVERIFY(query.exec("insert into alarm(alarm) values(2)"));
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 1000001);

    // Now over the limit: the next insert removes exactly the rows five years old or older.
    QVERIFY(query.exec("insert into alarm(alarm) values(3)"));
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 1000001 - 10 + 1);
    QCOMPARE(RecordProbe::sqlCount(
                 "select count(*) from alarm where date(dateTime) <= date('now', '-5 year')"),
             0);

    // Back under the limit: inserts only add.
    QVERIFY(query.exec("insert into alarm(alarm) values(4)"));
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 999993);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
