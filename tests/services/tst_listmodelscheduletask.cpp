// Scheduled tasks: when each comes due, and the list model over the stored table.
#include "clock.h"
#include "listmodelscheduletask.h"
#include "scheduletaskdata.h"
#include "scheduletasktime.h"
#include "testroot.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

namespace {

// "" is no moment; a fraction of a second may follow.
QDateTime at(const char *text)
{
    const QString s = QString::fromLatin1(text);
    return QDateTime::fromString(s,
                                 s.size() > 19 ? QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")
                                               : QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QVariantMap task(int cycle, const QString &time, int action, bool enable)
{
    return {{QStringLiteral("cycle"), cycle},
            {QStringLiteral("time"), time},
            {QStringLiteral("action"), action},
            {QStringLiteral("enable"), enable}};
}

int storedRows()
{
    QSqlQuery query(QStringLiteral("select count(*) from schedule_task"));
    return query.next() ? query.value(0).toInt() : -1;
}

QVariant role(const ListModelScheduleTask &model, int row, int role)
{
    return model.data(model.index(row, 0), role);
}

} // namespace

class TestListModelScheduleTask : public QObject
{
    Q_OBJECT

private slots:
    void nextDue();
    void storedValues();
    void editTasks();
    void chosenDays();
    void dueTimeRoleAndBadInput();

private:
    TestRoot m_root;
};

void TestListModelScheduleTask::nextDue()
{
    enum {
        Day = ScheduleTaskData::EveryDay,
        Week = ScheduleTaskData::EveryWeek,
        Month = ScheduleTaskData::EveryMonth,
        Once = ScheduleTaskData::OneShoot
    };
    struct Case
    {
        int cycle;
        const char *created, *time, *now, *due;
    };
    // 2024-05-01 is a Wednesday.
    const Case cases[] = {
        {Day, "2020-01-01 00:00:00", "08:00:00", "2024-05-01 07:59:30", "2024-05-01 08:00:00"},
        {Day, "2020-01-01 00:00:00", "08:00:00", "2024-05-01 08:00:00", "2024-05-02 08:00:00"},
        {Day, "2020-01-01 00:00:00", "08:00:00", "2024-05-01 07:59:59.600", "2024-05-01 08:00:00"},
        {Once, "2020-01-01 00:00:00", "08:00:00", "2024-12-31 23:00:00", "2025-01-01 08:00:00"},
        // A one-shot task tied to a later day waits for it.
        {Once, "2024-05-10 07:00:00", "08:00:00", "2024-05-01 09:00:00", "2024-05-10 08:00:00"},
        {Once, "2024-05-01 07:00:00", "08:00:00", "2024-05-01 09:00:00", "2024-05-02 08:00:00"},
        {Week, "2024-05-01 07:00:00", "09:00:00", "2024-05-03 12:00:00", "2024-05-08 09:00:00"},
        {Week, "2024-05-01 07:00:00", "09:00:00", "2024-05-08 08:59:59", "2024-05-08 09:00:00"},
        {Week, "2024-05-01 07:00:00", "09:00:00", "2024-05-08 09:00:00", "2024-05-15 09:00:00"},
        // Made on a 31st: the last day of shorter months.
        {Month, "2024-01-31 07:00:00", "09:00:00", "2024-04-30 08:00:00", "2024-04-30 09:00:00"},
        {Month, "2024-01-31 07:00:00", "09:00:00", "2024-04-30 10:00:00", "2024-05-31 09:00:00"},
        {Month, "2024-01-31 07:00:00", "09:00:00", "2024-02-10 10:00:00", "2024-02-29 09:00:00"},
        {Month, "2024-01-31 07:00:00", "09:00:00", "2024-02-29 09:00:00", "2024-03-31 09:00:00"},
        {Month, "2024-01-31 07:00:00", "09:00:00", "2023-01-31 09:00:00", "2023-02-28 09:00:00"},
        {Month, "2024-03-05 07:00:00", "09:00:00", "2024-04-02 10:00:00", "2024-04-05 09:00:00"},
        {Month, "2024-03-05 07:00:00", "09:00:00", "2024-12-05 09:30:00", "2025-01-05 09:00:00"},
        // Unknown cycle, weekly without a creation moment, no time of day: never due.
        {4, "2020-01-01 00:00:00", "08:00:00", "2024-05-01 07:00:00", ""},
        {Week, "", "08:00:00", "2024-05-01 07:00:00", ""},
        {Day, "2020-01-01 00:00:00", "", "2024-05-01 07:00:00", ""},
    };
    for (const Case &c : cases) {
        const QTime time =
            QTime::fromString(QString::fromLatin1(c.time), QStringLiteral("hh:mm:ss"));
        QVERIFY2(ScheduleTaskTime::nextDue(c.cycle, at(c.created), time, at(c.now)) == at(c.due),
                 c.now);
    }
}

// The row values as the table gives them back: texts, or numbers as texts.
void TestListModelScheduleTask::storedValues()
{
    const QDateTime now = at("2024-05-03 12:00:00");
    const auto due = [&now](const QVariant &cycle, const QVariant &created, const char *time) {
        return ScheduleTaskTime::nextDue(cycle, created, QString::fromLatin1(time), now);
    };
    QCOMPARE(due("2", "2024-05-01 07:00:00", "09:00:00"), at("2024-05-08 09:00:00"));
    QCOMPARE(due(1, QVariant(), "13:05"), at("2024-05-03 13:05:00"));
    QCOMPARE(due(1, QVariant(), "7:5:3"), at("2024-05-04 07:05:03"));
    QVERIFY(!due("daily", QVariant(), "09:00:00").isValid());
    QVERIFY(!due(1, QVariant(), "25:00").isValid());
}

void TestListModelScheduleTask::editTasks()
{
    ListModelScheduleTask model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&model, &ListModelScheduleTask::taskChanged);

    Clock::setNow(at("2024-05-01 07:59:30"));
    model.addTask(task(ScheduleTaskData::EveryWeek, QStringLiteral("09:00:00"),
                       ScheduleTaskData::SelfTest10S, true));
    Clock::setNow(at("2024-05-02 10:00:00"));
    model.addTask(task(ScheduleTaskData::OneShoot, QStringLiteral("06:30:00"),
                       ScheduleTaskData::PowerOff, false));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(storedRows(), 2);
    QCOMPARE(role(model, 1, 257).toString(), QStringLiteral("2024-05-02 10:00:00"));
    QCOMPARE(role(model, 1, 260).toInt(), int(ScheduleTaskData::PowerOff));

    // An edit changes cycle, time and action; "enable" and the creation moment stay.
    model.updateTask(0,
                     task(ScheduleTaskData::EveryMonth, QStringLiteral("10:15:00"),
                          ScheduleTaskData::PowerOn, false));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(role(model, 0, 260).toInt(), int(ScheduleTaskData::PowerOn));
    QCOMPARE(role(model, 0, 261).toBool(), true);
    QCOMPARE(role(model, 0, 257).toString(), QStringLiteral("2024-05-01 07:59:30"));

    // The switch writes at once.
    QVERIFY(model.setData(model.index(0, 0), false, 261));
    QCOMPARE(changed.count(), 4);
    QSqlQuery query(QStringLiteral("select enable from schedule_task order by id limit 1"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toBool(), false);
    QVERIFY(!model.setData(QModelIndex(), true, 261));
    QCOMPARE(changed.count(), 4);

    model.delTask(0);
    QCOMPARE(changed.count(), 5);
    QCOMPARE(storedRows(), 1);
    QCOMPARE(role(model, 0, 260).toInt(), int(ScheduleTaskData::PowerOff));
    model.delTask(0);
    QCOMPARE(storedRows(), 0);
}

// A day chosen for a task is stored as its creation moment, the first such day from now on; a
// day that does not fit the cycle stores nothing.
void TestListModelScheduleTask::chosenDays()
{
    enum {
        Day = ScheduleTaskData::EveryDay,
        Week = ScheduleTaskData::EveryWeek,
        Month = ScheduleTaskData::EveryMonth,
        Once = ScheduleTaskData::OneShoot
    };
    const struct
    {
        int cycle;
        QVariant day;
        const char *now, *stored; // "" stores nothing
    } cases[] = {
        // 2024-05-01 is a Wednesday.
        {Week, 7, "2024-05-01 10:00:00", "2024-05-05 10:00:00"},
        {Week, 3, "2024-05-01 10:00:00", "2024-05-01 10:00:00"},
        {Week, 1, "2024-05-01 10:00:00", "2024-05-06 10:00:00"},
        {Week, 0, "2024-05-01 10:00:00", ""},
        {Week, 8, "2024-05-01 10:00:00", ""},
        {Week, "Sunday", "2024-05-01 10:00:00", ""},
        // The 31st in a 30-day month is the next month's 31st, so the task keeps its day.
        {Month, 31, "2024-04-10 10:00:00", "2024-05-31 10:00:00"},
        {Month, 10, "2024-04-10 10:00:00", "2024-04-10 10:00:00"},
        {Month, 5, "2024-04-10 10:00:00", "2024-05-05 10:00:00"},
        {Month, 29, "2023-02-10 10:00:00", "2023-03-29 10:00:00"},
        {Month, 32, "2024-04-10 10:00:00", ""},
        {Once, "2024-05-20", "2024-05-01 10:00:00", "2024-05-20 10:00:00"},
        {Once, "2024-02-30", "2024-05-01 10:00:00", ""},
        {Day, 3, "2024-05-01 10:00:00", ""},
    };
    for (const auto &c : cases)
        QVERIFY2(ScheduleTaskTime::dayOf(c.cycle, c.day, at(c.now)) == at(c.stored), c.now);

    // Through the model: a weekly task on Sundays, moved to Mondays, then a day that does not
    // fit, which changes nothing.
    ListModelScheduleTask model;
    QSignalSpy changed(&model, &ListModelScheduleTask::taskChanged);
    Clock::setNow(at("2024-05-01 10:00:00"));
    QVariantMap weekly = task(Week, QStringLiteral("09:00:00"), 0, true);
    weekly.insert(QStringLiteral("day"), 7);
    QVERIFY(model.addTask(weekly));
    QCOMPARE(role(model, 0, 257).toString(), QStringLiteral("2024-05-05 10:00:00"));
    QCOMPARE(role(model, 0, 259).toString(), QStringLiteral("2024-05-05 09:00:00"));
    weekly.insert(QStringLiteral("day"), 1);
    QVERIFY(model.updateTask(0, weekly));
    QCOMPARE(role(model, 0, 259).toString(), QStringLiteral("2024-05-06 09:00:00"));
    weekly.insert(QStringLiteral("day"), 9);
    weekly.insert(QStringLiteral("time"), QStringLiteral("11:00:00"));
    QVERIFY(!model.updateTask(0, weekly));
    QVERIFY(!model.addTask(weekly));
    QCOMPARE(storedRows(), 1);
    QCOMPARE(role(model, 0, 259).toString(), QStringLiteral("2024-05-06 09:00:00"));
    QCOMPARE(changed.count(), 2);

    // A one-shot task for a later day.
    QVariantMap once = task(Once, QStringLiteral("08:00:00"), 0, true);
    once.insert(QStringLiteral("day"), QStringLiteral("2024-05-20"));
    QVERIFY(model.addTask(once));
    QCOMPARE(role(model, 1, 259).toString(), QStringLiteral("2024-05-20 08:00:00"));
    model.delTask(1);
    model.delTask(0);
    QCOMPARE(storedRows(), 0);
}

// The "time" role shows when a task runs next, for switched-off tasks too; what a broken
// interface or a hand-edited table could hand in changes nothing.
void TestListModelScheduleTask::dueTimeRoleAndBadInput()
{
    ListModelScheduleTask model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVariantMap incomplete = task(ScheduleTaskData::EveryDay, QString(), 0, true);
    incomplete.remove(QStringLiteral("time"));
    model.addTask(incomplete);
    model.addTask(QStringLiteral("not a task"));
    model.delTask(3);
    model.updateTask(5, task(1, QStringLiteral("08:00:00"), 0, true));
    QCOMPARE(storedRows(), 0);

    Clock::setNow(at("2024-05-03 12:00:00"));
    model.addTask(task(ScheduleTaskData::EveryWeek, QStringLiteral("09:00:00"),
                       ScheduleTaskData::SelfTest10S, false));
    model.addTask(task(ScheduleTaskData::EveryDay, QStringLiteral("08:00:00"),
                       ScheduleTaskData::PowerOn, true));
    model.addTask(task(ScheduleTaskData::EveryDay, QStringLiteral("noon"), 0, true));
    QCOMPARE(role(model, 0, 259).toString(), QStringLiteral("2024-05-10 09:00:00"));
    QCOMPARE(role(model, 1, 259).toString(), QStringLiteral("2024-05-04 08:00:00"));
    QCOMPARE(role(model, 2, 259).toString(), QString()); // a time that cannot be read
    // A cycle the program does not know never comes due.
    QVERIFY(model.setData(model.index(1, 0), 7, 258));
    QCOMPARE(role(model, 1, 259).toString(), QString());
}

QTEST_GUILESS_MAIN(TestListModelScheduleTask)
#include "tst_listmodelscheduletask.moc"
