#include "database.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "tablemodeldevdata.h"
#include "testroot.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

// The rows that leave the GUI thread for the writer's own: every row queued is on disk after a
// clean stop, and the default connection's readers see them. (Every row reported committed is
// there after a kill -9: the crash-consistency suite.)
class TestRecordWriter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_root.reset(new TestRoot(TestRoot::WithDatabase)); }
    void cleanStopKeepsEveryQueuedRow();
    void historyReadsBesideTheWriter();

private:
    QScopedPointer<TestRoot> m_root;
};

void TestRecordWriter::cleanStopKeepsEveryQueuedRow()
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
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
    QCOMPARE(RecordProbe::sqlCount("select count(*) from device_data"), 400);
    QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 11);
    QCOMPARE(RecordProbe::sqlCount("select count(*) from log_self_test where dateTime = "
                                   "'2026-03-04 05:06:07' and duration = 10 and count = 11"),
             1);
    // The time stamps are the local time the rows were queued, in the stored text form.
    QSqlQuery query("select min(dateTime), max(dateTime) from device_data");
    QVERIFY(query.next());
    const QDateTime first = QDateTime::fromString(query.value(0).toString(), "yyyy-MM-dd hh:mm:ss");
    const QDateTime last = QDateTime::fromString(query.value(1).toString(), "yyyy-MM-dd hh:mm:ss");
    QVERIFY(first >= before);
    QVERIFY(last <= QDateTime::currentDateTime().addSecs(1));
    // Readers of the default connection never wait on the writer.
    QSqlQuery mode("pragma journal_mode");
    QVERIFY(mode.next());
    QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));
}

// A history page that has not read its selection to the end keeps neither the writer nor a
// write of the default connection (a scheduled task saved) from working, and its next search
// sees every committed row.
void TestRecordWriter::historyReadsBesideTheWriter()
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

QTEST_GUILESS_MAIN(TestRecordWriter)
#include "tst_recordwriter.moc"
