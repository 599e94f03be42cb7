#include "scheduletaskdata.h"
#include "scheduletasktime.h"

#include <QtTest>

class TestScheduleTaskTime : public QObject
{
    Q_OBJECT

private slots:
    void nextDue_data();
    void nextDue();
    void storedValues();
};

namespace {

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

void TestScheduleTaskTime::nextDue_data()
{
    QTest::addColumn<int>("cycle");
    QTest::addColumn<QDateTime>("created");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("due");

    const QTime eight(8, 0, 0);
    const QTime nine(9, 0, 0);
    const QDateTime anyDay = at("2020-01-01 00:00:00");
    QTest::newRow("daily, half a minute before")
        << int(ScheduleTaskData::EveryDay) << anyDay << eight << at("2024-05-01 07:59:30")
        << at("2024-05-01 08:00:00");
    QTest::newRow("daily, at the second") << int(ScheduleTaskData::EveryDay) << anyDay << eight
                                          << at("2024-05-01 08:00:00") << at("2024-05-02 08:00:00");
    QTest::newRow("daily, within the second before")
        << int(ScheduleTaskData::EveryDay) << anyDay << eight
        << at("2024-05-01 07:59:59").addMSecs(600) << at("2024-05-01 08:00:00");
    QTest::newRow("one-shot, over the year end")
        << int(ScheduleTaskData::OneShoot) << anyDay << eight << at("2024-12-31 23:00:00")
        << at("2025-01-01 08:00:00");

    // 2024-05-01 is a Wednesday.
    const QDateTime wednesday = at("2024-05-01 07:00:00");
    QTest::newRow("weekly, built on the Friday")
        << int(ScheduleTaskData::EveryWeek) << wednesday << nine << at("2024-05-03 12:00:00")
        << at("2024-05-08 09:00:00");
    QTest::newRow("weekly, built on the Monday")
        << int(ScheduleTaskData::EveryWeek) << wednesday << nine << at("2024-05-06 12:00:00")
        << at("2024-05-08 09:00:00");
    QTest::newRow("weekly, Wednesday before its time")
        << int(ScheduleTaskData::EveryWeek) << wednesday << nine << at("2024-05-08 08:59:59")
        << at("2024-05-08 09:00:00");
    QTest::newRow("weekly, Wednesday after its time")
        << int(ScheduleTaskData::EveryWeek) << wednesday << nine << at("2024-05-08 09:00:00")
        << at("2024-05-15 09:00:00");

    const QDateTime the31st = at("2024-01-31 07:00:00");
    QTest::newRow("monthly 31st, on the 30th of April before its time")
        << int(ScheduleTaskData::EveryMonth) << the31st << nine << at("2024-04-30 08:00:00")
        << at("2024-04-30 09:00:00");
    QTest::newRow("monthly 31st, on the 30th of April after its time")
        << int(ScheduleTaskData::EveryMonth) << the31st << nine << at("2024-04-30 10:00:00")
        << at("2024-05-31 09:00:00");
    QTest::newRow("monthly 31st, early in February of a leap year")
        << int(ScheduleTaskData::EveryMonth) << the31st << nine << at("2024-02-10 10:00:00")
        << at("2024-02-29 09:00:00");
    QTest::newRow("monthly 31st, after running on the 29th of February")
        << int(ScheduleTaskData::EveryMonth) << the31st << nine << at("2024-02-29 09:00:00")
        << at("2024-03-31 09:00:00");
    QTest::newRow("monthly 31st, after running in January")
        << int(ScheduleTaskData::EveryMonth) << the31st << nine << at("2023-01-31 09:00:00")
        << at("2023-02-28 09:00:00");
    const QDateTime the5th = at("2024-03-05 07:00:00");
    QTest::newRow("monthly 5th, on the 20th")
        << int(ScheduleTaskData::EveryMonth) << the5th << nine << at("2024-04-20 10:00:00")
        << at("2024-05-05 09:00:00");
    QTest::newRow("monthly 5th, on the 2nd")
        << int(ScheduleTaskData::EveryMonth) << the5th << nine << at("2024-04-02 10:00:00")
        << at("2024-04-05 09:00:00");
    QTest::newRow("monthly 5th, on the day after its time")
        << int(ScheduleTaskData::EveryMonth) << the5th << nine << at("2024-12-05 09:30:00")
        << at("2025-01-05 09:00:00");

    QTest::newRow("unknown cycle")
        << 4 << anyDay << eight << at("2024-05-01 07:00:00") << QDateTime();
    QTest::newRow("weekly without a creation moment")
        << int(ScheduleTaskData::EveryWeek) << QDateTime() << eight << at("2024-05-01 07:00:00")
        << QDateTime();
    QTest::newRow("no time of day") << int(ScheduleTaskData::EveryDay) << anyDay << QTime()
                                    << at("2024-05-01 07:00:00") << QDateTime();
}

void TestScheduleTaskTime::nextDue()
{
    QFETCH(int, cycle);
    QFETCH(QDateTime, created);
    QFETCH(QTime, time);
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, due);
    QCOMPARE(ScheduleTaskTime::nextDue(cycle, created, time, now), due);
}

// The row values as the table gives them back: texts, or numbers as texts.
void TestScheduleTaskTime::storedValues()
{
    const QDateTime now = at("2024-05-03 12:00:00");
    QCOMPARE(ScheduleTaskTime::nextDue(QVariant(QStringLiteral("2")),
                                       QVariant(QStringLiteral("2024-05-01 07:00:00")),
                                       QVariant(QStringLiteral("09:00:00")), now),
             at("2024-05-08 09:00:00"));
    QCOMPARE(
        ScheduleTaskTime::nextDue(QVariant(1), QVariant(), QVariant(QStringLiteral("13:05")), now),
        at("2024-05-03 13:05:00"));
    QCOMPARE(
        ScheduleTaskTime::nextDue(QVariant(1), QVariant(), QVariant(QStringLiteral("7:5:3")), now),
        at("2024-05-04 07:05:03"));
    QVERIFY(!ScheduleTaskTime::nextDue(QVariant(QStringLiteral("daily")), QVariant(),
                                       QVariant(QStringLiteral("09:00:00")), now)
                 .isValid());
    QVERIFY(
        !ScheduleTaskTime::nextDue(QVariant(1), QVariant(), QVariant(QStringLiteral("25:00")), now)
             .isValid());
}

QTEST_GUILESS_MAIN(TestScheduleTaskTime)
#include "tst_scheduletasktime.moc"
