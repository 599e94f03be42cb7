// The serial link end to end: a simulated UPS on a pseudo-terminal, published under a path of
// our own, watched through DevComm. What the link reads is checked in its typed state; what the
// program makes of it is the composition root's suite.
#include "clock.h"
#include "devcomm.h"
#include "platform.h"
#include "seriallink.h"
#include "settings.h"
#include "testroot.h"
#include "upslink.h"
#include "upssimprocess.h"

#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestSerialLink : public QObject
{
    Q_OBJECT

private:
    const UpsState &state() const { return dev->state(); }
    bool online() const { return state().online(); }
    QSerialPort *port() const
    {
        return link->findChild<QSerialPort *>(QStringLiteral("serialPort"));
    }
    QTimer *pollTimer() const { return link->findChild<QTimer *>(QStringLiteral("pollTimer")); }

    void startSimulator()
    {
        sim.reset(new UpsSimProcess({QStringLiteral("--instant"), QStringLiteral("--link"), path}));
        QVERIFY(sim->isReady());
    }

    // Polls driven by hand with the poll timer held: only an accepted answer starts it again
    // (after 100 ms), which is how one is recognised. No answer comes to a control request, nor
    // to one the simulator says it ignored; a reply spoiled on the line is given a moment.
    int pollByHand(int times)
    {
        static const QByteArrayList queries = {"BT\r", "BP\r", "Q1\r", "A1\r",
                                               "F\r",  "I\r",  "NQU\r"};
        int answered = 0;
        for (int i = 0; i < times; ++i) {
            const int lines = sim->eventLines().size();
            const int frames = sim->receivedFrames().size();
            link->poll();
            pollTimer()->stop();
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 250) {
                QCoreApplication::processEvents();
                if (link->pollInterval() == 100) {
                    pollTimer()->stop();
                    ++answered;
                    break;
                }
                const QByteArrayList sent = sim->receivedFrames().mid(frames);
                if ((!sent.isEmpty() && !queries.contains(sent.last())) ||
                    !sim->eventLines().mid(lines).filter(QStringLiteral("NOTE ignored")).isEmpty())
                    break;
                QThread::msleep(1);
            }
        }
        return answered;
    }

    template<typename Done> bool pollUntil(Done done)
    {
        for (int i = 0; i < 20 && !done(); ++i)
            pollByHand(1);
        return done();
    }
    bool pollUntil(bool UpsState::*flag, bool value)
    {
        return pollUntil([=] { return state().*flag == value; });
    }
    bool answers()
    {
        return pollUntil([this] { return online(); });
    }

    std::unique_ptr<TestRoot> root;
    std::unique_ptr<UpsSimProcess> sim;
    std::unique_ptr<DevComm> dev;
    SerialLink *link = nullptr;
    QString path;

private slots:
    void initTestCase()
    {
        root.reset(new TestRoot(TestRoot::WithSettings));
        path = root->file(QStringLiteral("/ups"));
        startSimulator();
        Settings *settings = root->settings();
        settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
        settings->setSettings(Settings::UpsComPort, path);
        // A hand-edited rate that is no number: the line runs at 2400, the file stays as is.
        settings->setSettings(Settings::UpsBaudRate, QStringLiteral("fast"), true);
        dev.reset(new DevComm(settings));
        link = dev->findChild<SerialLink *>();
        QVERIFY(link && !port()->isOpen()); // nothing is opened before the start
        dev->start();
        QCOMPARE(dev->baud(), 2400);
        QCOMPARE(port()->baudRate(), 2400);
        QCOMPARE(settings->getSettings(Settings::UpsBaudRate, true).toString(),
                 QStringLiteral("fast"));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QVERIFY(port()->isOpen());
        QVERIFY(sim->waitForFrame("BT\r"));
        // A pseudo-terminal has no rate: at 115200 baud a reply is read as soon as it is in.
        dev->setBaud(115200);
    }

    void firstCycle()
    {
        // Identity and ratings are asked in the first cycle.
        QVERIFY(pollUntil([this] { return !state().firmware.isEmpty(); }));
        QCOMPARE(state().ratedOutputVoltage.value_or(0), 230.0f);
        QCOMPARE(state().serialNumber, QStringLiteral("SIM000000000000000001"));
        QCOMPARE(dev->devData().value("sn").toString(), QStringLiteral("SIM000000000000000001"));
        QCOMPARE(dev->comPort().mid(0, 2), (QStringList {path, QStringLiteral("None")}));
        QCOMPARE(dev->portName(0), path);
        QCOMPARE(dev->portName(1), QString());
        // The next request 100 ms after an answer, 1500 ms after one unanswered.
        QCOMPARE(pollByHand(1), 1);
        link->poll();
        QCOMPARE(link->pollInterval(), 1500);
        QTRY_VERIFY_WITH_TIMEOUT(pollByHand(1) == 1, 5000); // its late answer passed over
    }

    void upsAnsweringOnlyStatus()
    {
        QCOMPARE(pollByHand(1), 1); // the timer stopped and nothing in flight
        QCOMPARE(sim->command(QStringLiteral("battery 50")), QStringLiteral("ok"));
        QCOMPARE(sim->command(QStringLiteral("answer Q1")), QStringLiteral("ok"));
        sim->clearReceived();
        // Three cycles: BT, BP and A1 go unanswered, every Q1 is answered.
        QCOMPARE(pollByHand(12), 3);
        QCOMPARE(sim->receivedFrames().count("Q1\r"), 3);
        QVERIFY(online());
        // The capacity estimated from the battery voltage agrees with the unit's own.
        QVERIFY(qAbs(state().batteryCharge.value_or(0) - 50.0f) < 1.0f);
        QVERIFY(state().chargeEstimated);
        QCOMPARE(sim->command(QStringLiteral("answer all")), QStringLiteral("ok"));
        QCOMPARE(sim->command(QStringLiteral("battery 100")), QStringLiteral("ok"));
        QCOMPARE(pollByHand(4), 4); // BT, BP, Q1 and A1 replies all accepted

        // Garbage on the line costs at most the replies it spoils; the polls go on.
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        QCOMPARE(sim->command(QStringLiteral("garbage 300")).left(2), QStringLiteral("ok"));
        pollByHand(8);
        QVERIFY(online());
        QCOMPARE(pollByHand(4), 4);
        QCOMPARE(lost.count(), 0);
    }

    // A unit that echoes each request in front of its reply stays online, and what it reads
    // follows the unit.
    void echoingLine()
    {
        QCOMPARE(pollByHand(1), 1);
        QCOMPARE(sim->command(QStringLiteral("echo on")), QStringLiteral("ok"));
        QCOMPARE(sim->command(QStringLiteral("load 55")), QStringLiteral("ok"));
        QCOMPARE(pollByHand(8), 8);
        QVERIFY(online());
        QCOMPARE(state().load.value_or(0), 55);
        QCOMPARE(sim->command(QStringLiteral("echo off")), QStringLiteral("ok"));
        QCOMPARE(sim->command(QStringLiteral("load 35")), QStringLiteral("ok"));
        QCOMPARE(pollByHand(4), 4);
        QCOMPARE(state().load.value_or(0), 35);
    }

    // The requests reach the UPS through the driver (whose encodings are tested on their own)
    // and the UPS reports the change.
    void controlRequests()
    {
        using L = QList<QByteArray>;
        QCOMPARE(pollByHand(1), 1);
        sim->clearReceived();
        const bool beeper = state().beeper;
        // Two requests before the next poll: the later one goes out first.
        dev->setBuzzer();
        dev->setShutdown(true, 0);
        QVERIFY(pollUntil(&UpsState::shutdownActive, true));
        QVERIFY(pollUntil(&UpsState::beeper, !beeper));
        dev->setShutdown(false, 0);
        QVERIFY(pollUntil(&UpsState::shutdownActive, false));
        dev->setSelfTest(UpsLink::SelfTest10S, 0);
        QVERIFY(pollUntil(&UpsState::selfTest, true));
        dev->setSelfTest(UpsLink::SelfTestCustom, 30); // while one runs, only a cancel goes out
        dev->setSelfTest(UpsLink::SelfTestCancel, 0);
        QVERIFY(pollUntil(&UpsState::selfTest, false));
        dev->setBuzzer();
        QVERIFY(pollUntil(&UpsState::beeper, beeper));
        QCOMPARE(sim->takeControlFrames(), (L {"S.2R9999\r", "Q\r", "C\r", "T\r", "CT\r", "Q\r"}));
    }

    // Silence loses the UPS at the ninth unanswered send; the polls go on and the first answer
    // brings it back.
    void silence()
    {
        QSignalSpy onlineSpy(dev.get(), &DevComm::onlineChanged);
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        QCOMPARE(pollByHand(1), 1); // nothing unanswered before the silence
        QCOMPARE(sim->command(QStringLiteral("silent on")), QStringLiteral("ok"));
        // No event loop in between: nothing can be answered.
        for (int i = 0; i < 8; ++i)
            link->poll();
        QVERIFY(online());
        link->poll();
        QVERIFY(!online());
        QCOMPARE(state().link, UpsState::Link::Offline);
        QCOMPARE(dev->devData().value("devOnline"), QVariant(false));
        QVERIFY(!state().inputVoltage);
        QCOMPARE(onlineSpy.count(), 1);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(link->pollInterval(), 1500);
        QCOMPARE(sim->command(QStringLiteral("speak")), QStringLiteral("ok"));
        QVERIFY(answers());

        dev->setBaud(9600);
        QCOMPARE(port()->baudRate(), 9600);
        QCOMPARE(root->settings()->getSettings(Settings::UpsBaudRate).toInt(), 9600);
        // A restore puts the rate back, and the line follows.
        root->settings()->restore();
        QCOMPARE(port()->baudRate(), 2400);
        QCOMPARE(dev->baud(), 2400);
        dev->setBaud(115200);
    }

    void portNamedByPathVanishes()
    {
        dev->scanPorts();
        QVERIFY(port()->isOpen());
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        QVERIFY(QFile::remove(path));
        QSignalSpy listSpy(dev.get(), &DevComm::comPortChanged);
        dev->scanPorts();
        QVERIFY(!port()->isOpen());
        QVERIFY(!online());
        QCOMPARE(lost.count(), 1);
        QCOMPARE(listSpy.count(), 0); // the list of ports did not change
        dev->scanPorts();
        QVERIFY(!port()->isOpen());

        // Back at the same name: opened again, and the UPS comes back.
        QVERIFY(QFile::link(sim->portPath(), path));
        dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());
        QCOMPARE(dev->commType(), int(DevComm::COM));
    }

    void errorsOnTheOpenPort()
    {
        // A burst of errors closes the port once, and it is opened again while it is there.
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        for (int i = 0; i < 50; ++i)
            emit port()->errorOccurred(QSerialPort::ReadError);
        QTRY_VERIFY_WITH_TIMEOUT(!port()->isOpen(), 1000);
        QCoreApplication::processEvents();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!online());
        for (int i = 0; i < 10 && !port()->isOpen(); ++i)
            dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());

        // A failure of the port as it was is not held against the port opened after it.
        emit port()->errorOccurred(QSerialPort::ResourceError);
        QVERIFY(dev->openDevice(DevComm::COM, path));
        QCoreApplication::sendPostedEvents(link, QEvent::MetaCall);
        QVERIFY(port()->isOpen());
        QVERIFY(answers());

        // A port that fails again before the UPS answered is left alone twice as long. The
        // failures are handled without a turn of the event loop, so no answer comes in between.
        auto failAndCountScans = [this] {
            emit port()->errorOccurred(QSerialPort::WriteError);
            QCoreApplication::sendPostedEvents(link, QEvent::MetaCall);
            int scans = 0;
            while (!port()->isOpen() && scans < 50) {
                dev->scanPorts();
                ++scans;
            }
            return scans;
        };
        QCOMPARE(failAndCountScans(), 5);
        QCOMPARE(failAndCountScans(), 9);
        QCOMPARE(failAndCountScans(), 17);
        QVERIFY(answers());
        QCOMPARE(failAndCountScans(), 5);
        QVERIFY(answers());
    }

    void simulatorGoesAndComesBack()
    {
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        // The far end closes: the port fails on its own, without a scan, and does not spin.
        sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!port()->isOpen(), 5000);
        QVERIFY(!online());
        QVERIFY(link->pollInterval() < 0);
        dev->scanPorts();
        QVERIFY(!port()->isOpen());

        startSimulator();
        for (int i = 0; i < 6 && !port()->isOpen(); ++i)
            dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());
        QCOMPARE(lost.count(), 1);
    }

    // The port another program holds (the service, say): not opened and told, tried again
    // at the pace of a port that refuses to open, taken once it is free.
    void portHeldByAnotherProgram()
    {
        bool busy = false;
        QVERIFY(dev->openDevice(DevComm::COM, QString())); // this program lets go
        const int other = platform::claimDevice(path.toStdWString(), &busy);
        QVERIFY(other >= 0 && !busy);
        QSignalSpy busySpy(dev.get(), &DevComm::linkBusyChanged);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("in use by another program"));
        QVERIFY(!dev->openDevice(DevComm::COM, path));
        QVERIFY(dev->linkBusy());
        QCOMPARE(busySpy.count(), 1);
        for (int i = 0; i < 30; ++i)
            dev->scanPorts();
        QVERIFY(!port()->isOpen());
        QCOMPARE(busySpy.count(), 1);

        platform::releaseDevice(other);
        for (int i = 0; i < 25 && !port()->isOpen(); ++i)
            dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(!dev->linkBusy());
        QCOMPARE(busySpy.count(), 2);
        QVERIFY(answers());
    }

    void openingNothingAndAnAbsentPort()
    {
        Settings *settings = root->settings();
        QVERIFY(dev->openDevice(DevComm::COM, dev->portName(1)));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QCOMPARE(settings->getSettings(Settings::UpsCommType).toInt(), 1);
        QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(), path);
        QVERIFY(!port()->isOpen());
        QCOMPARE(dev->comPort().first(), path);

        // A port that is not there: false, the choice is kept, and it opens once it appears.
        const QString later = root->file(QStringLiteral("/later"));
        QVERIFY(!dev->openDevice(DevComm::COM, later));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(), later);
        QCOMPARE(dev->comPort().mid(0, 2), (QStringList {later, QStringLiteral("None")}));
        dev->scanPorts();
        QVERIFY(!port()->isOpen());
        QVERIFY(QFile::link(sim->portPath(), later));
        dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());
    }
};

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
