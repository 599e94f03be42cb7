// Scheduled tasks and the shutdown countdown's UPS command carried out on a simulated UPS: the
// frames on the line are what the UPS saw.
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "listmodelscheduletask.h"
#include "scheduletaskdata.h"
#include "servicescheduletask.h"
#include "serviceshutdown.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

namespace {

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QVariantMap task(int cycle, const char *time, int action, bool enable = true)
{
    return {{QStringLiteral("cycle"), cycle},
            {QStringLiteral("time"), QString::fromLatin1(time)},
            {QStringLiteral("action"), action},
            {QStringLiteral("enable"), enable}};
}

// Requests jump the polling queue, the latest first, so the line order is not the row order.
QList<QByteArray> sorted(QList<QByteArray> frames)
{
    std::sort(frames.begin(), frames.end());
    return frames;
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

private:
    // Control frames (anything but the polling queries) the UPS received since the last call,
    // after two more status queries so that everything asked for has gone out.
    QList<QByteArray> controlFrames()
    {
        const auto polls = [this] {
            const QList<QByteArray> frames = m_sim->receivedFrames();
            return int(std::count(frames.begin(), frames.end(), QByteArray("Q1\r")));
        };
        const int before = polls();
        if (!QTest::qWaitFor([&] { return polls() >= before + 2; }, 5000))
            return {"no polls"};
        return m_sim->takeControlFrames();
    }
    void tickAt(const char *moment)
    {
        Clock::setNow(at(moment));
        m_service->tick();
    }

    // The whole program but its own scheduled-task service and timers: the checks and the
    // countdown are ticked by hand.
    TestRoot m_root {TestRoot::FoldersOnly};
    CompositionRoot m_program;
    std::unique_ptr<UpsSimProcess> m_sim;
    std::unique_ptr<ServiceScheduleTask> m_service;
    ListModelScheduleTask *m_model = nullptr;
};

void TestServiceScheduleTask::initTestCase()
{
    m_sim = std::make_unique<UpsSimProcess>();
    QVERIFY(m_sim->isReady());
    m_program.openStores();
    QVERIFY(m_program.devComm()->openDevice(DevComm::COM, m_sim->portPath()));
    QTRY_VERIFY_WITH_TIMEOUT(m_program.devComm()->state().online(), 5000);
}

void TestServiceScheduleTask::init()
{
    QSqlQuery().exec(QStringLiteral("delete from schedule_task"));
    Clock::setNow(at("2024-05-01 07:59:30")); // a Wednesday
    m_service =
        std::make_unique<ServiceScheduleTask>(m_program.devComm(), m_program.serviceShutdown());
    m_service->start();
    m_model = m_service->model();
    m_sim->clearReceived();
}

void TestServiceScheduleTask::dueTasksRunTogether()
{
    using L = QList<QByteArray>;
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:00:00", ScheduleTaskData::PowerOn));
    m_model->addTask(task(ScheduleTaskData::OneShoot, "08:00:00", ScheduleTaskData::SelfTest10S));
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:00:00", 9)); // unknown action
    m_model->addTask(task(7, "08:00:00", ScheduleTaskData::PowerOn)); // unknown cycle
    m_model->addTask(
        task(ScheduleTaskData::EveryDay, "08:00:00", ScheduleTaskData::PowerOn, false));

    tickAt("2024-05-01 07:59:59");
    QCOMPARE(controlFrames(), L {});
    tickAt("2024-05-01 08:00:00");
    QCOMPARE(sorted(controlFrames()), (L {"C\r", "T\r"}));

    // The one-shot task switched itself off; the daily ones move on to tomorrow.
    QSqlQuery query(QStringLiteral("select enable from schedule_task order by id"));
    QList<bool> enabled;
    while (query.next())
        enabled << query.value(0).toBool();
    QCOMPARE(enabled, (QList<bool> {true, false, true, true, false}));
    QVector<quint32> due;
    for (const auto &entry : m_service->schedule())
        due << entry.due;
    const quint32 tomorrow = quint32(at("2024-05-02 08:00:00").toSecsSinceEpoch());
    QCOMPARE(due, (QVector<quint32> {tomorrow, tomorrow}));
    tickAt("2024-05-01 08:00:01");
    QCOMPARE(controlFrames(), L {});

    // Switched on again, the one-shot task runs at the next occurrence of its time.
    QVERIFY(m_model->setData(m_model->index(1, 0), true, 256 + 5));
    tickAt("2024-05-01 23:59:59");
    QCOMPARE(controlFrames(), L {});
    QCOMPARE(m_sim->command(QStringLiteral("selftest finish")).left(2), QStringLiteral("ok"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_program.devComm()->state().selfTest, 5000);
    tickAt("2024-05-02 08:00:00");
    QCOMPARE(sorted(controlFrames()), (L {"C\r", "T\r"}));
    QCOMPARE(m_sim->command(QStringLiteral("selftest finish")).left(2), QStringLiteral("ok"));
}

void TestServiceScheduleTask::scheduleFollowsRemovalsAndEdits()
{
    using L = QList<QByteArray>;
    QSignalSpy countdown(m_program.serviceShutdown(), &ServiceShutdown::shutdownStarted);
    m_model->addTask(task(ScheduleTaskData::EveryDay, "09:00:00", ScheduleTaskData::PowerOff));
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:30:00", ScheduleTaskData::PowerOn));
    tickAt("2024-05-01 08:00:00");

    // Removing the first task shifts the second into its row: the power-off must not come
    // back in the place of the other task, nor at its own old time.
    m_model->delTask(0);
    tickAt("2024-05-01 08:29:59");
    tickAt("2024-05-01 08:30:00");
    QCOMPARE(controlFrames(), L {"C\r"});
    tickAt("2024-05-01 09:00:00");
    QCOMPARE(controlFrames(), L {});
    QCOMPARE(countdown.count(), 0);

    // An edit of the time takes effect from the next check.
    m_model->updateTask(0, task(ScheduleTaskData::EveryDay, "09:30:00", ScheduleTaskData::PowerOn));
    tickAt("2024-05-01 09:29:59");
    QCOMPARE(controlFrames(), L {});
    tickAt("2024-05-01 09:30:00");
    QCOMPARE(controlFrames(), L {"C\r"});
}

void TestServiceScheduleTask::powerOffStartsTheShortCountdown()
{
    ServiceShutdown *shutdown = m_program.serviceShutdown();
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
    shutdown->setQueltaOffEnable(true);
    shutdown->setQueltaOffEnable(false); // switching off cancels the countdown
}

// The mains failure comes the whole way from the simulated UPS; the countdown is ticked by hand.
void TestServiceScheduleTask::upsCommandTwice()
{
    using L = QList<QByteArray>;
    ServiceShutdown *shutdown = m_program.serviceShutdown();
    const auto tick = [shutdown](int times) {
        for (int i = 0; i < times; ++i)
            shutdown->onTimerTimeout();
    };
    shutdown->setQueltaOffEnable(true);
    shutdown->setMainFaultOffTime(1);
    shutdown->setBattLowOffTime(0);
    shutdown->setUpsOffEnable(true);
    shutdown->setUpsOffTime(2);
    QSignalSpy started(shutdown, &ServiceShutdown::shutdownStarted);
    QCOMPARE(m_sim->command("mains fail").left(2), QString("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.takeFirst().at(0).toInt(), 60);

    tick(50); // 10 seconds left
    QVERIFY(!controlFrames().contains("S02\r"));
    tick(1); // on battery: no restart time
    QCOMPARE(controlFrames(), L {"S02\r"});
    tick(7);
    QCOMPARE(controlFrames(), L {});
    tick(4); // 2 seconds left, and past the end
    QCOMPARE(controlFrames(), L {"S02\r"});

    // The mains returns: the UPS is told to cancel.
    QCOMPARE(m_sim->command("mains return").left(2), QString("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.takeFirst().at(0).toInt(), 0);
    QVERIFY(m_sim->waitForFrame("C\r", 5000));

    // A countdown that starts at ten seconds sends the command at its first tick.
    m_sim->clearReceived();
    QCOMPARE(m_sim->command("lowbatt on").left(2), QString("ok"));
    QCOMPARE(m_sim->command("mains fail").left(2), QString("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.takeFirst().at(0).toInt(), 10);
    tick(1);
    QVERIFY(m_sim->waitForFrame("S02\r", 5000));
    shutdown->setQueltaOffEnable(false);
}

QTEST_GUILESS_MAIN(TestServiceScheduleTask)
#include "tst_servicescheduletask.moc"
