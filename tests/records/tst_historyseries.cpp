// The history chart's reduction: a seeded day of one-second samples and a month of one-minute
// samples come back as a bounded number of points that keep every spike, with the alarms
// marked where they happened.
#include "historyseries.h"
#include "testroot.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

bool exec(const QString &sql)
{
    QSqlQuery query;
    if (query.exec(sql))
        return true;
    qWarning() << query.lastError().text() << sql;
    return false;
}

// `count` samples from `start` every `step` seconds: 230 V in and out, 40 % load, 27 V battery,
// 30 degrees; one input spike of 290 V and one dip of 150 V at the given offsets.
bool seed(const QString &start, int count, int step, int spikeAt, int dipAt)
{
    return exec(QStringLiteral(
                    "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, "
                    "battVol, temperature) with recursive c(i) as (select 0 union all select i + "
                    "1 from c where i < %2) select datetime('%1', '+' || (i * %3) || ' seconds'), "
                    "case i when %4 then 290 when %5 then 150 else 230 end, 229.5, 40 + i %% 3, "
                    "50, 27 - (i %% 10) / 10.0, 30 from c")
                    .arg(start)
                    .arg(count - 1)
                    .arg(step)
                    .arg(spikeAt)
                    .arg(dipAt)
                    .replace(QLatin1String("%%"), QLatin1String("%")));
}

qint64 msecs(const QString &local)
{
    return QDateTime::fromString(local, QStringLiteral("yyyy-MM-dd hh:mm:ss")).toMSecsSinceEpoch();
}

} // namespace

class TestHistorySeries : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dayAndMonth_data();
    void dayAndMonth();
    void alarmsMarkedAndNothingToShow();

private:
    QString file() const { return m_root.file(QStringLiteral("/data/quelta.db")); }
    TestRoot m_root {TestRoot::WithDatabase};
};

void TestHistorySeries::initTestCase()
{
    // A day of one-second samples on 2025-03-10, and March 2025 at one sample a minute.
    QVERIFY(QSqlDatabase::database().transaction());
    QVERIFY(seed(QStringLiteral("2025-03-10 00:00:00"), 86400, 1, 50000, 70001));
    QVERIFY(seed(QStringLiteral("2025-03-01 00:00:00"), 31 * 1440, 60, 20000, 40000));
    QVERIFY(QSqlDatabase::database().commit());
}

void TestHistorySeries::dayAndMonth_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<qint64>("samples");
    QTest::addColumn<QString>("spike");
    QTest::addColumn<QString>("dip");

    QTest::newRow("a day") << QDate(2025, 3, 10) << QDate(2025, 3, 10) << qint64(86400 + 1440)
                           << "2025-03-10 13:53:20"
                           << "2025-03-10 19:26:41";
    QTest::newRow("a month") << QDate(2025, 3, 1) << QDate(2025, 3, 31) << qint64(86400 + 31 * 1440)
                             << "2025-03-14 21:20:00"
                             << "2025-03-28 18:40:00";
}

void TestHistorySeries::dayAndMonth()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(qint64, samples);
    QFETCH(QString, spike);
    QFETCH(QString, dip);
    const HistorySeries::Result result = HistorySeries::reduce(file(), first, last);
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.samples, samples);
    QCOMPARE(result.fromMsecs, QDateTime(first, QTime(0, 0)).toMSecsSinceEpoch());
    QCOMPARE(result.toMsecs, QDateTime(last.addDays(1), QTime(0, 0)).toMSecsSinceEpoch());

    for (int column = 0; column < HistorySeries::ColumnCount; ++column) {
        const QVector<QPointF> &points = result.points[column];
        QVERIFY(points.size() <= 2 * HistorySeries::defaultBuckets);
        QVERIFY(points.size() >= 2 * 700);
        // Time runs forward, and every point lies inside the range.
        for (int i = 1; i < points.size(); ++i)
            QVERIFY(points.at(i).x() >= points.at(i - 1).x());
        QVERIFY(points.first().x() >= result.fromMsecs && points.last().x() <= result.toMsecs);
    }

    // The one-sample spike and dip survive, each in the slice of its time.
    const qint64 width = (result.toMsecs - result.fromMsecs) / HistorySeries::defaultBuckets + 1000;
    const QVector<QPointF> &input = result.points[HistorySeries::InputVoltage];
    auto near = [&](const QString &when, double value) {
        return std::any_of(input.begin(), input.end(), [&](const QPointF &p) {
            return p.y() == value && std::abs(p.x() - msecs(when)) <= width;
        });
    };
    QVERIFY(near(spike, 290));
    QVERIFY(near(dip, 150));
    QCOMPARE(result.maximum[HistorySeries::InputVoltage], 290.0);
    QCOMPARE(result.minimum[HistorySeries::InputVoltage], 150.0);
    QCOMPARE(result.minimum[HistorySeries::Load], 40.0);
    QCOMPARE(result.maximum[HistorySeries::Load], 42.0);
    QCOMPARE(result.minimum[HistorySeries::BatteryVoltage], 26.1);
    QCOMPARE(result.maximum[HistorySeries::Temperature], 30.0);
}

void TestHistorySeries::alarmsMarkedAndNothingToShow()
{
    QSqlQuery query;
    QVERIFY(query.prepare(QStringLiteral("insert into alarm(dateTime, alarm) values(?, ?)")));
    const QList<QPair<QString, int>> alarms = {
        {"2025-03-10 10:00:00", 2}, // mains failure
        {"2025-03-10 10:00:30", 4}, // battery low, close to it: the same mark
        {"2025-03-10 10:05:00", 3}, // the mains returns: an event, no mark
        {"2025-03-10 10:06:00", 16}, // beeper: an event, no mark
        {"2025-03-10 18:00:00", 0x10000 + 0x44}, // a fault
        {"2025-03-10 18:30:00", 0x10000 + 500 + 0x44}, // its return
        {"2025-03-10 23:59:59", 0}, // communication lost
        {"2025-03-11 00:00:00", 8}}; // the next day
    for (const auto &alarm : alarms) {
        query.addBindValue(alarm.first);
        query.addBindValue(alarm.second);
        QVERIFY(query.exec());
    }
    HistorySeries::Result result =
        HistorySeries::reduce(file(), QDate(2025, 3, 10), QDate(2025, 3, 10));
    QCOMPARE(result.marks.size(), 3);
    QCOMPARE(result.marks.at(0).msecs, msecs("2025-03-10 10:00:00"));
    QCOMPARE(result.marks.at(0).code, 2);
    QCOMPARE(result.marks.at(0).count, 2);
    QCOMPARE(result.marks.at(1).msecs, msecs("2025-03-10 18:00:00"));
    QCOMPARE(result.marks.at(1).code, 0x10044);
    QCOMPARE(result.marks.at(1).count, 1);
    QCOMPARE(result.marks.at(2).code, 0);

    // A day without samples; a reversed range, a database that is not there.
    result = HistorySeries::reduce(file(), QDate(2024, 1, 1), QDate(2024, 1, 2));
    QVERIFY(result.error.isEmpty() && result.marks.isEmpty());
    QCOMPARE(result.samples, qint64(0));
    QVERIFY(result.points[HistorySeries::Load].isEmpty());
    QVERIFY(std::isnan(result.minimum[HistorySeries::Load]));
    result = HistorySeries::reduce(file(), QDate(2025, 3, 10), QDate(2025, 3, 9));
    QVERIFY(!result.error.isEmpty());
    result = HistorySeries::reduce(m_root.file(QStringLiteral("/data/none.db")), QDate(2025, 3, 10),
                                   QDate(2025, 3, 10));
    QVERIFY(!result.error.isEmpty());
    QVERIFY(result.points[HistorySeries::Load].isEmpty());
}

QTEST_GUILESS_MAIN(TestHistorySeries)
#include "tst_historyseries.moc"
