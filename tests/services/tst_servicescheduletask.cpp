// Scheduled tasks and the shutdown countdown's UPS command carried out through the whole program
// on a USB UPS (the scripted hidapi): the reports sent are what the UPS received. The clock, the
// checks and the countdown are moved by hand.
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "fakehid.h"
#include "listmodelscheduletask.h"
#include "scheduletaskdata.h"
#include "servicescheduletask.h"
#include "serviceshutdown.h"
#include "testroot.h"
#include "usblink.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

namespace {

using Reports = QList<QByteArray>;
const QByteArray outputOn("\x03\x00", 2), selfTest("\x02\x01", 2), outputOffIn2("\x03\x03", 2);

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
    QFile list(m_root.file(QStringLiteral("/cfg/usb.cfg")));
    QVERIFY(list.open(QIODevice::WriteOnly) && list.write(R"({"usb": [[1637, 20833]]})") > 0);
    list.close();
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
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:00:00", ScheduleTaskData::PowerOn));
    m_model->addTask(task(ScheduleTaskData::OneShoot, "08:00:00", ScheduleTaskData::SelfTest10S));
    m_model->addTask(task(ScheduleTaskData::EveryDay, "08:00:00", 9)); // unknown action
    m_model->addTask(task(7, "08:00:00", ScheduleTaskData::PowerOn)); // unknown cycle
    m_model->addTask(
        task(ScheduleTaskData::EveryDay, "08:00:00", ScheduleTaskData::PowerOn, false));

    tickAt("2024-05-01 07:59:59");
    QCOMPARE(sent(), Reports {});
    tickAt("2024-05-01 08:00:00");
    QCOMPARE(sent(), (Reports {outputOn, selfTest}));

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

// The mains failure comes the whole way from the UPS's reports; the countdown is ticked by hand.
void TestServiceScheduleTask::upsCommandTwice()
{
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

    // The mains returns: the UPS is told to cancel.
    feed(0);
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.takeFirst().at(0).toInt(), 0);
    QCOMPARE(sent(), Reports {outputOn});

    // A countdown that starts at ten seconds sends the command at its first tick.
    feed(0x03);
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.takeFirst().at(0).toInt(), 10);
    tick(1);
    QCOMPARE(sent(), Reports {outputOffIn2});
    shutdown->setQueltaOffEnable(false);
}

QTEST_GUILESS_MAIN(TestServiceScheduleTask)
#include "tst_servicescheduletask.moc"
