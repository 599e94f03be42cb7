#include "database.h"
#include "paths.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "tablemodeldevdata.h"
#include "testroot.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <cstdio>

namespace {

const char childVariable[] = "QUELTA_WRITER_CHILD";

// The child of killKeepsEveryCommittedRow: it stores samples as fast as the writer takes them
// and says on standard output how many were committed, until it is killed.
int runChild(const QString &root)
{
    Paths::setRoot(root);
    Database database;
    database.open();
    database.init();
    RecordWriter writer;
    writer.start();
    for (int i = 0; i < 200000; ++i) {
        RecordWriter::Sample sample;
        sample.load = i % 100;
        writer.insertSample(sample);
        if (i % 10 == 9) {
            writer.flush();
            std::printf("%llu\n", static_cast<unsigned long long>(writer.committedRows()));
            std::fflush(stdout);
        }
    }
    return 0;
}

// A count on a connection of its own to the database file under root.
int countIn(const QString &root, const QString &sql)
{
    int result = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "probe");
        db.setDatabaseName(root + QStringLiteral("/data/quelta.db"));
        if (db.open()) {
            QSqlQuery query(sql, db);
            if (query.next())
                result = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return result;
}

} // namespace

// The rows that leave the GUI thread for the writer's own: every row queued is on disk after a
// clean stop, every row reported committed after a kill -9, and the default connection's readers
// see them.
class TestRecordWriter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_root.reset(new TestRoot(TestRoot::WithDatabase)); }
    void cleanStopKeepsEveryQueuedRow();
    void killKeepsEveryCommittedRow();
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

void TestRecordWriter::killKeepsEveryCommittedRow()
{
    QTemporaryDir childRoot;
    QVERIFY(QDir().mkpath(childRoot.path() + "/data"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(childVariable, childRoot.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForStarted(30000));

    // Kill it in the middle of its writing, once it committed a good few rows.
    quint64 reported = 0;
    QByteArray pending;
    QElapsedTimer waited;
    waited.start();
    while (reported < 500 && waited.elapsed() < 60000) {
        child.waitForReadyRead(1000);
        pending += child.readAllStandardOutput();
        const int end = pending.lastIndexOf('\n');
        if (end >= 0) {
            const QList<QByteArray> lines = pending.left(end).split('\n');
            reported = lines.last().toULongLong();
            pending.remove(0, end + 1);
        }
        QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
    }
    QVERIFY(reported >= 500);
    child.kill();
    QVERIFY(child.waitForFinished(30000));
    // Whatever it printed last before the kill counts too.
    pending += child.readAllStandardOutput();
    for (const QByteArray &line : pending.split('\n')) {
        if (!line.trimmed().isEmpty())
            reported = qMax(reported, line.trimmed().toULongLong());
    }

    const QString root = childRoot.path();
    const int rows = countIn(root, "select count(*) from device_data");
    QVERIFY2(quint64(rows) >= reported,
             qPrintable(QStringLiteral("%1 rows stored, %2 reported").arg(rows).arg(reported)));
    // None lost in between, and the file is whole.
    QCOMPARE(countIn(root, "select max(id) from device_data"), rows);
    QCOMPARE(countIn(root,
                     "select count(*) from pragma_integrity_check where "
                     "integrity_check = 'ok'"),
             1);
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

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(childVariable)) {
        QCoreApplication app(argc, argv);
        return runChild(qEnvironmentVariable(childVariable));
    }
    QCoreApplication app(argc, argv);
    TestRecordWriter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recordwriter.moc"
