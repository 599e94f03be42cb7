// The control requests on the serial line, as the simulated UPS receives them while it is polled:
// every frame of the encoding, the requests that send nothing, and the order of two requests
// made before the next poll.
#include "devcomm.h"
#include "settings.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

const QList<QByteArray> queries = {"BT\r", "BP\r", "Q1\r", "A1\r", "F\r", "I\r", "NQU\r"};

QList<QByteArray> controlFrames(const QList<QByteArray> &frames)
{
    QList<QByteArray> control;
    for (const QByteArray &frame : frames) {
        if (!queries.contains(frame))
            control << frame;
    }
    return control;
}

} // namespace

class TestDevCommControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shutdownOnMains();
    void shutdownOnBattery();
    void selfTests();
    void buzzerAndOrder();

private:
    // The control frames among the next `frames` frames polled after `request`.
    QList<QByteArray> sent(const std::function<void()> &request, int frames = 5);
    void pollByHand();
    bool waitFlag(const char *key, int value);
    int flag(const char *key) const { return dev->devData().value(key).toInt(); }

    std::unique_ptr<TestRoot> root;
    std::unique_ptr<UpsSimProcess> sim;
    DevComm *dev = nullptr;
};

void TestDevCommControl::initTestCase()
{
    root.reset(new TestRoot);
    sim.reset(new UpsSimProcess(
        {QStringLiteral("--instant"), QStringLiteral("--speed"), QStringLiteral("0.01")}));
    QVERIFY(sim->isReady());
    Settings::instance()->setSettings(Settings::UpsCommType, int(DevComm::COM));
    Settings::instance()->setSettings(Settings::UpsComPort, sim->portPath());
    dev = DevComm::instance();
    QTRY_VERIFY_WITH_TIMEOUT(dev->devData().value("devOnline").toBool(), 5000);
    pollByHand(); // from here on every poll is driven by hand
}

// One poll driven by hand, given a moment for its answer; the poll timer adds none of its own.
// Only an accepted answer starts the stopped timer again.
void TestDevCommControl::pollByHand()
{
    QTimer *pollTimer = dev->findChild<QTimer *>(QStringLiteral("pollTimer"));
    QMetaObject::invokeMethod(dev, "onTimerPollingTimeout");
    pollTimer->stop();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 200) {
        QCoreApplication::processEvents();
        if (pollTimer->isActive()) {
            pollTimer->stop();
            return;
        }
        QThread::msleep(1);
    }
}

bool TestDevCommControl::waitFlag(const char *key, int value)
{
    for (int i = 0; i < 40 && flag(key) != value; ++i)
        pollByHand();
    return flag(key) == value;
}

QList<QByteArray> TestDevCommControl::sent(const std::function<void()> &request, int frames)
{
    sim->clearReceived();
    request();
    for (int i = 0; i < frames; ++i)
        pollByHand();
    if (!QTest::qWaitFor([&] { return sim->receivedFrames().size() >= frames; }, 3000))
        return {"timed out"};
    return controlFrames(sim->receivedFrames());
}

void TestDevCommControl::shutdownOnMains()
{
    QCOMPARE(flag("mainsFault"), 0);
    using L = QList<QByteArray>;
    QCOMPARE(sent([this] { dev->setShutdown(true, 0); }), L {"S.2R9999\r"});
    QCOMPARE(sent([this] { dev->setShutdown(false, 0); }), L {"C\r"});
    QCOMPARE(sent([this] { dev->setShutdown(true, 5); }), L {"S05R9999\r"});
    QCOMPARE(sent([this] { dev->setShutdown(false, 5); }), L {"C\r"});
    QCOMPARE(sent([this] { dev->setShutdown(true, 10); }), L {"S10R9999\r"});
    QCOMPARE(sent([this] { dev->setShutdown(false, 0); }), L {"C\r"});
    QCOMPARE(sent([this] { dev->setShutdown(true, 11); }), L {});
    QCOMPARE(flag("powerOff"), 0);
}

void TestDevCommControl::shutdownOnBattery()
{
    using L = QList<QByteArray>;
    QCOMPARE(sim->command(QStringLiteral("mains fail")), QStringLiteral("ok"));
    QVERIFY(waitFlag("mainsFault", 1));
    QCOMPARE(sent([this] { dev->setShutdown(true, 0); }), L {"S.2\r"});
    QCOMPARE(sent([this] { dev->setShutdown(true, 3); }), L {"S03\r"});
    QCOMPARE(sent([this] { dev->setShutdown(false, 3); }), L {"C\r"});
    QCOMPARE(sim->command(QStringLiteral("mains return")), QStringLiteral("ok"));
    QVERIFY(waitFlag("mainsFault", 0));
}

void TestDevCommControl::selfTests()
{
    using L = QList<QByteArray>;
    // While none runs, a cancel and tests out of range send nothing.
    QCOMPARE(sent([this] { dev->setSelfTest(1, 0); }), L {});
    QCOMPARE(sent([this] { dev->setSelfTest(4, 100); }), L {});
    QCOMPARE(sent([this] { dev->setSelfTest(4, 0); }), L {});
    QCOMPARE(sent([this] { dev->setSelfTest(7, 10); }), L {});

    QCOMPARE(sent([this] { dev->setSelfTest(2, 0); }), L {"T\r"});
    QVERIFY(waitFlag("selfTest", 1));
    // While one runs, only a cancel goes out.
    QCOMPARE(sent([this] { dev->setSelfTest(2, 0); }), L {});
    QCOMPARE(sent([this] { dev->setSelfTest(3, 0); }), L {});
    QCOMPARE(sent([this] { dev->setSelfTest(4, 30); }), L {});
    QCOMPARE(sent([this] { dev->setSelfTest(1, 0); }), L {"CT\r"});
    QVERIFY(waitFlag("selfTest", 0));

    QCOMPARE(sent([this] { dev->setSelfTest(3, 0); }), L {"TL\r"});
    QVERIFY(waitFlag("selfTest", 1));
    QCOMPARE(sent([this] { dev->setSelfTest(1, 0); }), L {"CT\r"});
    QVERIFY(waitFlag("selfTest", 0));

    QCOMPARE(sent([this] { dev->setSelfTest(4, 30); }), L {"T30\r"});
    QVERIFY(waitFlag("selfTest", 1));
    QCOMPARE(sent([this] { dev->setSelfTest(1, 0); }), L {"CT\r"});
    QVERIFY(waitFlag("selfTest", 0));
    QCOMPARE(sent([this] { dev->setSelfTest(4, 1); }), L {"T01\r"});
    QVERIFY(waitFlag("selfTest", 1));
    QCOMPARE(sent([this] { dev->setSelfTest(1, 0); }), L {"CT\r"});
    QVERIFY(waitFlag("selfTest", 0));
}

void TestDevCommControl::buzzerAndOrder()
{
    using L = QList<QByteArray>;
    const int beeper = flag("buzzer");
    QCOMPARE(sent([this] { dev->setBuzzer(); }), L {"Q\r"});
    QVERIFY(waitFlag("buzzer", 1 - beeper));

    // Each request goes to the front of the queue: the later one goes out first, and both
    // before the rest of the cycle.
    sim->clearReceived();
    dev->setBuzzer();
    dev->setShutdown(false, 0);
    pollByHand();
    pollByHand();
    QVERIFY(
        QTest::qWaitFor([this] { return controlFrames(sim->receivedFrames()).size() >= 2; }, 3000));
    const QList<QByteArray> frames = sim->receivedFrames();
    const int cancel = frames.indexOf("C\r");
    QVERIFY(cancel >= 0);
    QCOMPARE(frames.value(cancel + 1), QByteArray("Q\r"));
    QVERIFY(waitFlag("buzzer", beeper));
}

QTEST_GUILESS_MAIN(TestDevCommControl)
#include "tst_devcommcontrol.moc"
