// The self-test recordings: the file of each test, its row, and what it is told as.
#include "clock.h"
#include "recordwriter.h"
#include "selftestrecorder.h"
#include "selftestresult.h"
#include "testroot.h"
#include "upsstates.h"

#include <QSqlQuery>
#include <QtTest>

using namespace UpsStates;

namespace {

const QString selfTestFolder = QStringLiteral("/data/self_test/");

// The self-test rows as "dateTime duration count" lines, with " drop" where one was kept and
// the outcome (" passed", " battery low", " UPS fault").
QStringList selfTestRows()
{
    QStringList rows;
    QSqlQuery query(
        QStringLiteral("select dateTime, duration, count, battVolDrop, result from log_self_test"));
    const QStringList outcomes = {" passed", " battery low", " UPS fault"};
    while (query.next())
        rows << query.value(0).toString() + ' ' + query.value(1).toString() + ' ' +
                query.value(2).toString() +
                (query.isNull(3) ? QString() : ' ' + QString::number(query.value(3).toDouble())) +
                (query.isNull(4) ? QString() : outcomes.value(query.value(4).toInt()));
    return rows;
}

} // namespace

class TestSelfTestRecorder : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    RecordWriter m_writer;
    QStringList recordings() const
    {
        return QDir(m_root.file(selfTestFolder)).entryList(QDir::Files, QDir::Name);
    }
    QByteArray recording(const QString &name) const { return m_root.read(selfTestFolder + name); }

private slots:
    void init()
    {
        QSqlQuery(QStringLiteral("delete from log_self_test"));
        for (const QString &name : recordings())
            QFile::remove(m_root.file(selfTestFolder + name));
        Clock::setNow(QDateTime(QDate(2024, 9, 2), QTime(14, 30, 0)));
    }

    void selfTestRecordings()
    {
        SelfTestRecorder recorder(&m_writer);
        QSignalSpy recorded(&recorder, &SelfTestRecorder::recorded);
        QVector<SelfTestResult> results;
        connect(&recorder, &SelfTestRecorder::finished,
                [&results](const SelfTestResult &result) { results.append(result); });
        UpsState idle = online(0, 98.0f, 40);
        idle.batteryVoltage = 27.4f;
        recorder.updateState(idle);
        Clock::advance(2);
        // Data sets come about every 700 ms; the test flag is up for ten seconds, while the
        // battery voltage falls by 0.1 V a data set, to 25.9 V, and is 26.9 V again at the end.
        float capacity = 98.0f;
        float voltage = 27.4f;
        for (int ms = 0; ms <= 10000; ms += 700) {
            UpsState testing = online(0x20, capacity, 40);
            voltage -= 0.1f;
            testing.batteryVoltage = voltage;
            recorder.updateState(testing);
            Clock::advance(0, 700);
            capacity = ms < 5000 ? 88.0f : 72.0f;
        }
        idle = online(0, 72.0f, 40);
        idle.batteryVoltage = 26.9f;
        recorder.updateState(idle);
        QCOMPARE(recordings(), QStringList({"20240902143002.txt"}));
        const QList<QByteArray> lines = recording("20240902143002.txt").split('\n');
        QCOMPARE(lines.size(), 11); // every line ends with a line feed
        QCOMPARE(lines.first(), QByteArray("0,40,98"));
        QCOMPARE(lines.at(1), QByteArray("1,40,88"));
        QCOMPARE(lines.at(9), QByteArray("9,40,72"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:02 10 10 1.5 passed"}));
        QCOMPARE(recorded.count(), 1);
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().seconds, 10);
        QVERIFY(results.first().passed());
        QCOMPARE(qRound(*results.first().voltageDrop * 100), 150);

        // The link is lost during a test: the recording ends with the samples taken (the lost
        // data set adds none, nor a voltage to the drop), says so, and nothing more is written
        // when the link comes back with the test over.
        init();
        recorder.updateState(online(0x20, 98.0f, 40));
        Clock::advance(1);
        UpsState falling = online(0x20, 97.0f, 40);
        falling.batteryVoltage = 26.0f;
        recorder.updateState(falling);
        Clock::advance(1);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("link to the UPS was lost during the self-test"));
        UpsState lost = offline(); // even one that still carries the test flag and a reading
        lost.selfTest = true;
        lost.batteryVoltage = 0.0f;
        recorder.updateState(lost);
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,40,98\n1,40,97\n"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:00 2 2 0.9"}));
        recorder.updateState(online(0));
        QCOMPARE(selfTestRows().size(), 1);
        // The drop runs from the idle 26.9 V before the test to the 26.0 V taken in it.
        QCOMPARE(results.size(), 2);
        QCOMPARE(qRound(*results.last().voltageDrop * 10), 9);

        // The battery ran low during the test: it failed, and is told so once. (A recording
        // that cannot be written is the full-disk suite's.)
        init();
        recorder.updateState(online(0x20, 0.0f, 50));
        Clock::advance(1);
        recorder.updateState(online(0x22, 0.0f, 50));
        recorder.updateState(online(0, 0.0f, 50));
        recorder.updateState(online(0, 0.0f, 50));
        QCOMPARE(results.size(), 3);
        QVERIFY(results.last().batteryLow && !results.last().passed());
    }

    // A sample is a measurement taken since the last one: while no data set comes (a line
};

QTEST_GUILESS_MAIN(TestSelfTestRecorder)
#include "tst_selftestrecorder.moc"
