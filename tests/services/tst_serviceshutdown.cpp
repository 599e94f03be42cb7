// The shutdown countdown, driven by data sets and ticks the test hands in.
#include "devcomm.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "upsstate.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr quint8 mainsFault = 0x01;
constexpr quint8 battLow = 0x02;

QList<int> take(QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : qAsConst(spy))
        values << arguments.at(0).toInt();
    spy.clear();
    return values;
}

QList<int> countingDown(int from, int to)
{
    QList<int> values;
    for (int i = from; i >= to; --i)
        values << i;
    return values;
}

} // namespace

class TestServiceShutdown : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void mainsFailure();
    void batteryLow();
    void capacityCut();
    void switchedOff();
    void linkLost();
    void scheduledShutdown();
    void finalStep();
    void settings();

private:
    void feed(quint8 status)
    {
        m_state.setStatusByte(status);
        m_service->updateState(m_state);
    }
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            m_service->onTimerTimeout();
    }

    TestRoot m_root;
    DevComm m_dev {m_root.settings()};
    ServiceShutdown m_shutdown {m_root.settings(), &m_dev};
    ServiceShutdown *m_service = &m_shutdown;
    UpsState m_state;
    QScopedPointer<QSignalSpy> m_started;
    QScopedPointer<QSignalSpy> m_ticked;
};

void TestServiceShutdown::initTestCase()
{
    m_service->start();
    m_state.link = UpsState::Link::Online;
    m_started.reset(new QSignalSpy(m_service, &ServiceShutdown::shutdownStarted));
    m_ticked.reset(new QSignalSpy(m_service, &ServiceShutdown::shutdownTimeChanged));
}

void TestServiceShutdown::init()
{
    // Switching off cancels whatever the last case left running.
    m_service->setQueltaOffEnable(false);
    m_service->setMainFaultOffTime(3);
    m_service->setBattLowOffTime(0);
    m_service->setMainFaultOffCap(1);
    m_service->setUpsOffEnable(false);
    m_service->setExecEnable(0);
    m_service->setOsOffEnable(false);
    m_state.setStatusByte(0);
    m_state.batteryCharge = 100;
    m_state.link = UpsState::Link::Online;
    m_service->setQueltaOffEnable(true);
    m_started->clear();
    m_ticked->clear();
}

void TestServiceShutdown::mainsFailure()
{
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});
    tick(3);
    QCOMPARE(take(*m_ticked), (QList<int> {179, 178, 177}));

    // The same failure reported again changes nothing.
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_ticked), QList<int> {176});

    // The mains returns before the end: cancelled, and the ticks fall silent.
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
    tick(5);
    QCOMPARE(take(*m_ticked), QList<int>());

    // Without minutes for it, a mains failure is not acted on...
    m_service->setMainFaultOffTime(0);
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_ticked), QList<int>());
    // ...until it has some: the next data set of the same failure starts the
    // countdown.
    m_service->setMainFaultOffTime(1);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {60});

    // A countdown that ran out leaves the service idle; the later return still
    // cancels.
    tick(60);
    QCOMPARE(take(*m_ticked), countingDown(59, 0));
    tick(3);
    QCOMPARE(take(*m_ticked), QList<int>());
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
}

void TestServiceShutdown::batteryLow()
{
    // Both in one data set: the battery's time, 0 meaning ten seconds, and the log says why.
    m_service->setMainFaultOffTime(5);
    QTest::ignoreMessage(QtInfoMsg, "Shutdown countdown started: 10 seconds (battery low)");
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int> {10});
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});

    // A failure after that one starts afresh: the old battery-low flag does not
    // carry over.
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {300});
    feed(0);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), (QList<int> {0, 10}));
    feed(0);
    take(*m_started);

    // A battery running low later in a failure brings the end nearer, never
    // further.
    m_service->setMainFaultOffTime(3);
    m_service->setBattLowOffTime(5);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});
    feed(mainsFault | battLow);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {179});
    feed(mainsFault); // recovers
    m_service->setBattLowOffTime(1);
    QTest::ignoreMessage(QtInfoMsg, "Shutdown countdown shortened to 60 seconds (battery low)");
    feed(mainsFault | battLow);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {59});

    // The mains returns while the battery is still low: no cancellation.
    feed(battLow);
    tick(2);
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_ticked), (QList<int> {58, 57}));
}

void TestServiceShutdown::capacityCut()
{
    m_service->setMainFaultOffCap(60);
    m_state.batteryCharge = 60;
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {179});

    m_state.batteryCharge = 59.5f;
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});
    m_state.batteryCharge = 100; // never lengthened again
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {8});

    // A scheduled countdown is cut only once a failure has been taken over.
    feed(0);
    take(*m_started);
    m_service->startShutdown(10);
    QCOMPARE(take(*m_started), QList<int> {600});
    m_state.batteryCharge = 5;
    feed(0);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {599}); // no failure taken over: no cut
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int>()); // shortened, not restarted
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});
}

void TestServiceShutdown::switchedOff()
{
    feed(mainsFault);
    tick(2);
    take(*m_ticked);
    QCOMPARE(take(*m_started), QList<int> {180});

    m_service->setQueltaOffEnable(false);
    QCOMPARE(take(*m_started), QList<int> {0});
    tick(3);
    QCOMPARE(take(*m_ticked), QList<int>());
    // Data sets are not looked at while off.
    feed(0);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int>());

    // Switched on during a failure: the next data set takes it over afresh.
    m_service->setQueltaOffEnable(true);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int> {10});

    // A settings import or restore that turns the protection off stops the countdown too.
    m_root.settings()->setSettings(Settings::ShutdownEnable, false);
    QVERIFY(!m_service->queltaOffEnable());
    QCOMPARE(take(*m_started), QList<int> {0});
    tick();
    QCOMPARE(take(*m_ticked), QList<int>());
}

void TestServiceShutdown::linkLost()
{
    m_service->setMainFaultOffCap(20);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});

    // A lost link empties the data set: neither a return of the mains nor an
    // empty battery.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no longer answers"));
    UpsState lost;
    lost.link = UpsState::Link::Offline;
    lost.batteryCharge = 0;
    m_service->updateState(lost);
    tick();
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_ticked), QList<int> {179});

    // Back, with the mains: now it is cancelled.
    m_state.batteryCharge = 80;
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
}

void TestServiceShutdown::scheduledShutdown()
{
    m_service->startShutdown(0);
    QCOMPARE(take(*m_started), QList<int> {10});
    m_service->startShutdown(5); // one is running
    QCOMPARE(take(*m_started), QList<int>());
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});

    // The mains coming and going does not cancel a scheduled countdown.
    feed(mainsFault);
    feed(0);
    QCOMPARE(take(*m_started), QList<int>());
    tick(9);
    QCOMPARE(take(*m_ticked), countingDown(8, 0));

    m_service->startShutdown(2);
    QCOMPARE(take(*m_started), QList<int> {120});
    // It does not depend on the master switch either; only switching it off stops
    // it.
    m_service->setQueltaOffEnable(false);
    QCOMPARE(take(*m_started), QList<int> {0});
    m_service->startShutdown(-4);
    QCOMPARE(take(*m_started), QList<int> {10});
    m_service->setQueltaOffEnable(true);
    m_service->setQueltaOffEnable(false);
}

void TestServiceShutdown::finalStep()
{
    // The step runs once, when the first UPS command is due, and holds the countdown until it
    // is done; a cancelled countdown's step no longer counts.
    int begun = 0;
    std::function<void()> finish;
    m_service->setFinalStep(
        [&](std::function<void()> done) {
            ++begun;
            finish = done;
        },
        30);
    m_service->setUpsOffEnable(true);
    m_service->startShutdown(0);
    take(*m_started);
    tick(3);
    QCOMPARE(begun, 1);
    QCOMPARE(take(*m_ticked), QList<int>());
    finish();
    tick(9);
    QCOMPARE(take(*m_ticked), countingDown(9, 1));
    QCOMPARE(begun, 1);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {0});

    // A step that never reports holds the countdown for its time limit only.
    m_service->setFinalStep([&](std::function<void()>) { ++begun; }, 5);
    m_service->startShutdown(0);
    tick(5);
    QCOMPARE(take(*m_ticked), QList<int>());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("final step has not ended"));
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});
    m_service->setQueltaOffEnable(false);
    m_service->setFinalStep(ServiceShutdown::FinalStep(), 0);
}

void TestServiceShutdown::settings()
{
    Settings *settings = m_root.settings();
    m_service->setBattLowOffTime(7);
    m_service->setExecEnable(5);
    QCOMPARE(settings->getSettings(Settings::ShutdownExec).toString(), QString("true"));

    // Followed as written by someone else (an import), hand-edited nonsense included.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("mainFaultCapacity.*not a number"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("osOff.*not a yes or no"));
    settings->setSettings(Settings::ShutdownMainFaultTime, 9);
    settings->setSettings(Settings::ShutdownMainFaultCap, "lots");
    settings->setSettings(Settings::ShutdownOsOff, "maybe");
    QCOMPARE(m_service->mainFaultOffTime(), 9);
    QCOMPARE(m_service->mainFaultOffCap(), 1);
    QCOMPARE(m_service->osOffEnable(), false);
    QCOMPARE(m_service->battLowOffTime(), 7);

    // A minute count beyond reason does not overflow into a negative countdown.
    m_service->setMainFaultOffTime(INT_MAX);
    feed(mainsFault);
    QVERIFY(take(*m_started).value(0) > 0);
}

QTEST_GUILESS_MAIN(TestServiceShutdown)
#include "tst_serviceshutdown.moc"
