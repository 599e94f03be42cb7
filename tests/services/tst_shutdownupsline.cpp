// The UPS shutdown command of a countdown as the UPS sees it: frames on a
// serial line to the simulator, with the mains failure coming the whole way
// from the simulated UPS.
#include "devcomm.h"
#include "serviceshutdown.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

int count(const QList<QByteArray> &frames, const QByteArray &frame)
{
    return int(std::count(frames.begin(), frames.end(), frame));
}

} // namespace

class TestShutdownUpsLine : public QObject
{
    Q_OBJECT
private slots:
    void upsCommandTwice();

private:
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QVERIFY(QMetaObject::invokeMethod(m_service, "onTimerTimeout"));
    }
    // The shutdown requests sent since the last call: control requests go out
    // before the next status query, so two queries later everything asked for has
    // been sent.
    QList<QByteArray> shutdownFramesSent(UpsSimProcess &sim)
    {
        QList<QByteArray> sent;
        if (!QTest::qWaitFor([&] { return count(sim.receivedFrames(), "Q1\r") >= 2; }, 5000))
            return {"no polls"};
        for (const QByteArray &frame : sim.receivedFrames()) {
            if (frame.startsWith('S') || frame.startsWith('C'))
                sent << frame;
        }
        sim.clearReceived();
        return sent;
    }

    TestRoot m_root;
    ServiceShutdown *m_service = nullptr;
};

void TestShutdownUpsLine::upsCommandTwice()
{
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    DevComm *devComm = DevComm::instance();
    m_service = ServiceShutdown::instance();
    m_service->setQueltaOffEnable(true);
    m_service->setMainFaultOffTime(1);
    m_service->setBattLowOffTime(0);
    m_service->setUpsOffEnable(true);
    m_service->setUpsOffTime(2);
    QVERIFY(devComm->openDevice(DevComm::COM, sim.portPath()));
    QTRY_VERIFY_WITH_TIMEOUT(devComm->devData().value("devOnline").toBool(), 5000);

    QSignalSpy started(m_service, &ServiceShutdown::shutdownStarted);
    QCOMPARE(sim.command("mains fail").left(2), QString("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.takeFirst().at(0).toInt(), 60);

    tick(50); // 10 seconds left
    QCOMPARE(count(sim.receivedFrames(), "S02\r"), 0);
    sim.clearReceived();
    tick(); // on battery: no restart time
    QCOMPARE(shutdownFramesSent(sim), QList<QByteArray> {"S02\r"});
    tick(7);
    QCOMPARE(shutdownFramesSent(sim), QList<QByteArray>());
    tick(); // 2 seconds left
    tick(3); // and past the end
    QCOMPARE(shutdownFramesSent(sim), QList<QByteArray> {"S02\r"});

    // The mains returns: the UPS is told to cancel.
    sim.clearReceived();
    QCOMPARE(sim.command("mains return").left(2), QString("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.takeFirst().at(0).toInt(), 0);
    QVERIFY(sim.waitForFrame("C\r", 5000));

    // A countdown that starts at ten seconds sends the command at its first tick.
    sim.clearReceived();
    QCOMPARE(sim.command("lowbatt on").left(2), QString("ok"));
    QCOMPARE(sim.command("mains fail").left(2), QString("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 5000);
    QCOMPARE(started.takeFirst().at(0).toInt(), 10);
    tick();
    QVERIFY(sim.waitForFrame("S02\r", 5000));
    m_service->setQueltaOffEnable(false);
}

QTEST_GUILESS_MAIN(TestShutdownUpsLine)
#include "tst_shutdownupsline.moc"
