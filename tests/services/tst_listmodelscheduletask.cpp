#include "clock.h"
#include "database.h"
#include "listmodelscheduletask.h"
#include "scheduletaskdata.h"
#include "testroot.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

class TestListModelScheduleTask : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void editTasks();
    void nextDueTimeRole();
    void badInput();
    void taskData();

private:
    std::unique_ptr<TestRoot> m_root;
};

namespace {

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
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

void TestListModelScheduleTask::initTestCase()
{
    m_root = std::make_unique<TestRoot>();
}

void TestListModelScheduleTask::editTasks()
{
    ListModelScheduleTask model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&model, &ListModelScheduleTask::taskChanged);

    const QHash<int, QByteArray> names = model.roleNames();
    QCOMPARE(names.size(), 6);
    const QList<QByteArray> expected = {"id", "dateTime", "cycle", "time", "action", "enable"};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(names.value(256 + i), expected.at(i));

    Clock::setNow(at("2024-05-01 07:59:30"));
    model.addTask(task(ScheduleTaskData::EveryWeek, QStringLiteral("09:00:00"),
                       ScheduleTaskData::SelfTest10S, true));
    Clock::setNow(at("2024-05-02 10:00:00"));
    model.addTask(task(ScheduleTaskData::OneShoot, QStringLiteral("06:30:00"),
                       ScheduleTaskData::PowerOff, false));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(storedRows(), 2);
    QCOMPARE(role(model, 0, 257).toString(), QStringLiteral("2024-05-01 07:59:30"));
    QCOMPARE(role(model, 1, 257).toString(), QStringLiteral("2024-05-02 10:00:00"));
    QCOMPARE(role(model, 1, 260).toInt(), int(ScheduleTaskData::PowerOff));
    QVERIFY(role(model, 0, 256).toInt() != role(model, 1, 256).toInt());

    // An edit changes cycle, time and action; "enable" and the creation moment stay.
    model.updateTask(0,
                     task(ScheduleTaskData::EveryMonth, QStringLiteral("10:15:00"),
                          ScheduleTaskData::PowerOn, false));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(role(model, 0, 258).toInt(), int(ScheduleTaskData::EveryMonth));
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
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(storedRows(), 1);
    QCOMPARE(role(model, 0, 260).toInt(), int(ScheduleTaskData::PowerOff));
    model.delTask(0);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(storedRows(), 0);
    QVERIFY(!model.data(QModelIndex(), 259).isValid());
}

// The "time" role shows when a task runs next, for switched-off tasks too.
void TestListModelScheduleTask::nextDueTimeRole()
{
    ListModelScheduleTask model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Clock::setNow(at("2024-05-01 07:00:00")); // a Wednesday
    model.addTask(task(ScheduleTaskData::EveryWeek, QStringLiteral("09:00:00"),
                       ScheduleTaskData::SelfTest10S, false));
    model.addTask(task(ScheduleTaskData::EveryDay, QStringLiteral("08:00:00"),
                       ScheduleTaskData::PowerOn, true));
    QCOMPARE(role(model, 0, 259).toString(), QStringLiteral("2024-05-01 09:00:00"));

    Clock::setNow(at("2024-05-03 12:00:00"));
    QCOMPARE(role(model, 0, 259).toString(), QStringLiteral("2024-05-08 09:00:00"));
    QCOMPARE(role(model, 1, 259).toString(), QStringLiteral("2024-05-04 08:00:00"));

    // A cycle the program does not know never comes due.
    QVERIFY(model.setData(model.index(1, 0), 7, 258));
    QCOMPARE(role(model, 1, 259).toString(), QString());

    model.delTask(1);
    model.delTask(0);
}

// What a broken interface or a hand-edited table could hand in.
void TestListModelScheduleTask::badInput()
{
    ListModelScheduleTask model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVariantMap incomplete = task(ScheduleTaskData::EveryDay, QString(), 0, true);
    incomplete.remove(QStringLiteral("time"));
    model.addTask(incomplete);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(storedRows(), 0);
    model.addTask(QStringLiteral("not a task"));
    QCOMPARE(storedRows(), 0);

    model.delTask(3);
    model.updateTask(5, task(1, QStringLiteral("08:00:00"), 0, true));
    QCOMPARE(storedRows(), 0);

    // A time of day that cannot be read shows no due time.
    model.addTask(task(ScheduleTaskData::EveryDay, QStringLiteral("noon"), 0, true));
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(role(model, 0, 259).toString(), QString());
    model.delTask(0);
}

void TestListModelScheduleTask::taskData()
{
    ScheduleTaskData data;
    QCOMPARE(data.cycle(), 0);
    QCOMPARE(data.time(), QString());
    QCOMPARE(data.action(), 0);
    QCOMPARE(data.enable(), false);
    QSignalSpy cycle(&data, &ScheduleTaskData::cycleChanged);
    QSignalSpy time(&data, &ScheduleTaskData::timeChanged);
    QSignalSpy action(&data, &ScheduleTaskData::actionChanged);
    QSignalSpy enable(&data, &ScheduleTaskData::enableChanged);
    for (int round = 0; round < 2; ++round) {
        data.setCycle(ScheduleTaskData::EveryMonth);
        data.setTime(QStringLiteral("08:00:00"));
        data.setAction(ScheduleTaskData::PowerOff);
        data.setEnable(true);
    }
    QCOMPARE(cycle.count() + time.count() + action.count() + enable.count(), 4);
    QCOMPARE(data.property("time").toString(), QStringLiteral("08:00:00"));
}

QTEST_GUILESS_MAIN(TestListModelScheduleTask)
#include "tst_listmodelscheduletask.moc"
