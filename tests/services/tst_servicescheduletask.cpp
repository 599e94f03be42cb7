// Scheduled tasks: when each comes due, the list model over the stored table, and the tasks and
// the shutdown countdown's UPS command carried out through the whole program on a USB UPS (the
// scripted hidapi): the reports sent are what the UPS received. The clock, the checks and the
// countdown are moved by hand.
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "fakehid.h"
#include "listmodelscheduletask.h"
#include "recordprobe.h"
#include "scheduletaskdata.h"
#include "scheduletasktime.h"
#include "servicescheduletask.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "usblink.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

using Reports = QList<QByteArray>;
const QByteArray outputOn("\x03\x00", 2), selfTest("\x02\x01", 2), outputOffIn2("\x03\x03", 2);

// "" is no moment; a fraction of a second may follow.
QDateTime at(const char *text)
{
    const QString s = QString::fromLatin1(text);
    return QDateTime::fromString(s,
                                 s.size() > 19 ? QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")
                                               : QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QVariantMap task(int cycle, const char *time, int action, bool enable = true)
{
    return {{QStringLiteral("cycle"), cycle},
            {QStringLiteral("time"), QString::fromLatin1(time)},
            {QStringLiteral("action"), action},
            {QStringLiteral("enable"), enable}};
}

int storedRows()
{
    return RecordProbe::sqlCount(QStringLiteral("select count(*) from schedule_task"));
}

QVariant role(const ListModelScheduleTask &model, int row, int role)
{
    return model.data(model.index(row, 0), role);
}

} // namespace

class TestServiceScheduleTask : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void dueTasksRunTogether();
    void scheduleFollowsRemovalsAndEdits();
    void powerOffStartsTheShortCountdown();
    void upsCommandTwice();
    void nextDue();
    void editTasks();
    void chosenDays();
    void dueTimeRoleAndBadInput();

private:
    // The reports sent to the UPS since the last call.
    Reports sent()
    {
        const Reports reports = FakeHid::records().sentReports;
        FakeHid::clearRecords();
        return reports;
    }
    void tickAt(const char *moment)
    {
        Clock::setNow(at(moment));
        m_service->tick();
    }
    // The UPS reports this status byte (bit 0 the mains failed, bit 1 battery low); a cycle of
    // polls reads it.
    void feed(quint8 status)
    {
        FakeHid::setReport(1, FakeHid::measurement(2301, status));
        for (int i = 0; i < 4; ++i)
            m_program.devComm()->findChild<UsbLink *>()->poll();
    }

    // The whole program but its own scheduled-task service and timers.
    TestRoot m_root {TestRoot::FoldersOnly};
    CompositionRoot m_program;
    std::unique_ptr<ServiceScheduleTask> m_service;
    ListModelScheduleTask *m_model = nullptr;
};

void TestServiceScheduleTask::initTestCase()
{
    QVERIFY(TestRoot::writeFile(m_root.file("/cfg/usb.cfg"), R"({"usb": [[1637, 20833]]})"));
    FakeHid::reset();
    FakeHid::attach(0x0665, 0x5161);
    m_program.openStores();
    QVERIFY(m_program.devComm()->openDevice(DevComm::USB));
    feed(0);
    QVERIFY(m_program.devComm()->state().online());
}

void TestServiceScheduleTask::init()
{
    QSqlQuery().exec(QStringLiteral("delete from schedule_task"));
    Clock::setNow(at("2024-05-01 07:59:30")); // a Wednesday
    m_service =
        std::make_unique<ServiceScheduleTask>(m_program.devComm(), m_program.serviceShutdown());
    m_service->start();
    m_model = m_service->model();
    sent();
}

void TestServiceScheduleTask::dueTasksRunTogether()
{
    // The check sleeps: with nothing to do, and otherwise until the next task (a minute at most).
    const auto *check = m_service->findChild<QTimer *>(QStringLiteral("checkTimer"));
    QVERIFY(check && !check->isActive());
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:00:00", ScheduleTaskData::PowerOn));
    m_model->addTask(task(ScheduleTaskData::OneShoot, "08:00:00", ScheduleTaskData::SelfTest10S));
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:00:00", 9)); // unknown action
    m_model->addTask(task(7, "08:00:00", ScheduleTaskData::PowerOn)); // unknown cycle
    m_model->addTask(
        task(ScheduleTaskData::EveryDay, "08:00:00", ScheduleTaskData::PowerOn, false));

    QCOMPARE(check->interval(), 1000); // a second after the change
    tickAt("2024-05-01 07:59:59");
    QCOMPARE(sent(), Reports {});
    QVERIFY(check->isActive() && check->interval() == 1000);
    tickAt("2024-05-01 07:58:00");
    QCOMPARE(check->interval(), 60 * 1000);
    tickAt("2024-05-01 08:00:00");
    QCOMPARE(sent(), (Reports {outputOn, selfTest}));

    // The one-shot task switched itself off; the daily ones move on to tomorrow.
    QCOMPARE(RecordProbe::sqlColumn("select enable from schedule_task order by id"),
             QStringList({"1", "0", "1", "1", "0"}));
    QVector<quint32> due;
    for (const auto &entry : m_service->schedule())
        due << entry.due;
    const quint32 tomorrow = quint32(at("2024-05-02 08:00:00").toSecsSinceEpoch());
    QCOMPARE(due, (QVector<quint32> {tomorrow, tomorrow}));
    tickAt("2024-05-01 08:00:01");
    QCOMPARE(sent(), Reports {});

    // Switched on again, the one-shot task runs at the next occurrence of its time.
    QVERIFY(m_model->setData(m_model->index(1, 0), true, 256 + 5));
    tickAt("2024-05-01 23:59:59");
    QCOMPARE(sent(), Reports {});
    tickAt("2024-05-02 08:00:00");
    QCOMPARE(sent(), (Reports {outputOn, selfTest}));
}

void TestServiceScheduleTask::scheduleFollowsRemovalsAndEdits()
{
    QSignalSpy countdown(m_program.serviceShutdown(), &ServiceShutdown::shutdownStarted);
    m_model->addTask(task(ScheduleTaskData::EveryDay, "09:00:00", ScheduleTaskData::PowerOff));
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:30:00", ScheduleTaskData::PowerOn));
    tickAt("2024-05-01 08:00:00");

    // Removing the first task shifts the second into its row: the power-off must not come
    // back in the place of the other task, nor at its own old time.
    m_model->delTask(0);
    tickAt("2024-05-01 08:29:59");
    QCOMPARE(sent(), Reports {});
    tickAt("2024-05-01 08:30:00");
    QCOMPARE(sent(), Reports {outputOn});
    tickAt("2024-05-01 09:00:00");
    QCOMPARE(sent(), Reports {});
    QCOMPARE(countdown.count(), 0);

    // An edit of the time takes effect from the next check.
    m_model->updateTask(0, task(ScheduleTaskData::EveryDay, "09:30:00", ScheduleTaskData::PowerOn));
    tickAt("2024-05-01 09:29:59");
    QCOMPARE(sent(), Reports {});
    tickAt("2024-05-01 09:30:00");
    QCOMPARE(sent(), Reports {outputOn});
}

void TestServiceScheduleTask::powerOffStartsTheShortCountdown()
{
    ServiceShutdown *shutdown = m_program.serviceShutdown();
    Settings *settings = m_program.settings();
    QSignalSpy countdown(shutdown, &ServiceShutdown::shutdownStarted);
    m_model->addTask(task(ScheduleTaskData::OneShoot, "08:00:00", ScheduleTaskData::PowerOff));
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:00:05", ScheduleTaskData::PowerOff));
    tickAt("2024-05-01 07:59:59");
    tickAt("2024-05-01 08:00:00");
    QCOMPARE(countdown.count(), 1);
    QCOMPARE(countdown.at(0).at(0).toInt(), 10);
    // A second power-off while counting down changes nothing.
    tickAt("2024-05-01 08:00:05");
    QCOMPARE(countdown.count(), 1);
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::ShutdownEnable, false); // switching off cancels the countdown
}

// The mains failure comes the whole way from the UPS's reports; the countdown is ticked by hand.
void TestServiceScheduleTask::upsCommandTwice()
{
    ServiceShutdown *shutdown = m_program.serviceShutdown();
    Settings *settings = m_program.settings();
    const auto tick = [shutdown](int times) {
        for (int i = 0; i < times; ++i)
            shutdown->onTimerTimeout();
    };
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::ShutdownMainFaultTime, 1);
    settings->setSettings(Settings::ShutdownBattLowTime, 0);
    settings->setSettings(Settings::ShutdownUPSOff, true);
    settings->setSettings(Settings::ShutdownUPSOffTime, 2);
    QSignalSpy started(shutdown, &ServiceShutdown::shutdownStarted);
    feed(0x01);
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.takeFirst().at(0).toInt(), 60);

    tick(50); // 10 seconds left
    QCOMPARE(sent(), Reports {});
    tick(1);
    QCOMPARE(sent(), Reports {outputOffIn2});
    tick(7);
    QCOMPARE(sent(), Reports {});
    tick(4); // 2 seconds left, and past the end
    QCOMPARE(sent(), Reports {outputOffIn2});

    // The mains returns once the UPS was asked: the power cycle goes on, nothing is cancelled.
    feed(0);
    QCOMPARE(started.size(), 0);
    QCOMPARE(sent(), Reports {});
    // Switching the protection off cancels what the service asked.
    settings->setSettings(Settings::ShutdownEnable, false);
    QCOMPARE(sent(), Reports {outputOn});
    settings->setSettings(Settings::ShutdownEnable, true);
    started.clear();

    // A countdown brought to ten seconds (a low battery in two replies) sends the command at
    // its first tick.
    feed(0x03);
    feed(0x03);
    QCOMPARE(started.size(), 1);
    QCOMPARE(shutdown->countdown(), 10);
    tick(1);
    QCOMPARE(sent(), Reports {outputOffIn2});
    settings->setSettings(Settings::ShutdownEnable, false);
}

void TestServiceScheduleTask::nextDue()
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

    // The row values as the table gives them back: texts, or numbers as texts.
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

void TestServiceScheduleTask::editTasks()
{
    ListModelScheduleTask model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&model, &ListModelScheduleTask::taskChanged);

    Clock::setNow(at("2024-05-01 07:59:30"));
    model.addTask(
        task(ScheduleTaskData::EveryWeek, "09:00:00", ScheduleTaskData::SelfTest10S, true));
    Clock::setNow(at("2024-05-02 10:00:00"));
    model.addTask(task(ScheduleTaskData::OneShoot, "06:30:00", ScheduleTaskData::PowerOff, false));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(storedRows(), 2);
    QCOMPARE(role(model, 1, 257).toString(), QStringLiteral("2024-05-02 10:00:00"));
    QCOMPARE(role(model, 1, 260).toInt(), int(ScheduleTaskData::PowerOff));

    // An edit changes cycle, time and action; "enable" and the creation moment stay.
    model.updateTask(
        0, task(ScheduleTaskData::EveryMonth, "10:15:00", ScheduleTaskData::PowerOn, false));
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
void TestServiceScheduleTask::chosenDays()
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
    QVariantMap weekly = task(Week, "09:00:00", 0, true);
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
    QVariantMap once = task(Once, "08:00:00", 0, true);
    once.insert(QStringLiteral("day"), QStringLiteral("2024-05-20"));
    QVERIFY(model.addTask(once));
    QCOMPARE(role(model, 1, 259).toString(), QStringLiteral("2024-05-20 08:00:00"));
    model.delTask(1);
    model.delTask(0);
    QCOMPARE(storedRows(), 0);
}

// The "time" role shows when a task runs next, for switched-off tasks too; what a broken
// interface or a hand-edited table could hand in changes nothing.
void TestServiceScheduleTask::dueTimeRoleAndBadInput()
{
    ListModelScheduleTask model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVariantMap incomplete = task(ScheduleTaskData::EveryDay, "", 0, true);
    incomplete.remove(QStringLiteral("time"));
    model.addTask(incomplete);
    model.addTask(QStringLiteral("not a task"));
    model.delTask(3);
    model.updateTask(5, task(1, "08:00:00", 0, true));
    QCOMPARE(storedRows(), 0);

    Clock::setNow(at("2024-05-03 12:00:00"));
    model.addTask(
        task(ScheduleTaskData::EveryWeek, "09:00:00", ScheduleTaskData::SelfTest10S, false));
    model.addTask(task(ScheduleTaskData::EveryDay, "08:00:00", ScheduleTaskData::PowerOn, true));
    model.addTask(task(ScheduleTaskData::EveryDay, "noon", 0, true));
    QCOMPARE(role(model, 0, 259).toString(), QStringLiteral("2024-05-10 09:00:00"));
    QCOMPARE(role(model, 1, 259).toString(), QStringLiteral("2024-05-04 08:00:00"));
    QCOMPARE(role(model, 2, 259).toString(), QString()); // a time that cannot be read
    // A cycle the program does not know never comes due.
    QVERIFY(model.setData(model.index(1, 0), 7, 258));
    QCOMPARE(role(model, 1, 259).toString(), QString());
}

QTEST_GUILESS_MAIN(TestServiceScheduleTask)
#include "tst_servicescheduletask.moc"
