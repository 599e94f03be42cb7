// The serial link end to end: a simulated UPS on a pseudo-terminal, published under a path of
// our own, watched by the one DevComm of this process.
#include "alarm.h"
#include "clock.h"
#include "devcomm.h"
#include "recordprobe.h"
#include "settings.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QDir>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace RecordProbe;

class TestDevCommSerial : public QObject
{
    Q_OBJECT

private:
    bool online() const { return dev->devData().value("devOnline").toBool(); }
    QTimer *timer(const char *name) const { return dev->findChild<QTimer *>(QLatin1String(name)); }
    QSerialPort *port() const
    {
        return dev->findChild<QSerialPort *>(QStringLiteral("serialPort"));
    }
    int sampleRows() const { return sqlCount("select count(*) from device_data"); }
    void poll() { QMetaObject::invokeMethod(dev, "onTimerPollingTimeout"); }
    void scan() { QMetaObject::invokeMethod(dev, "onTimerCOMTimeout"); }

    void startSimulator()
    {
        sim.reset(new UpsSimProcess({QStringLiteral("--instant"), QStringLiteral("--link"), link}));
        QVERIFY(sim->isReady());
    }

    QString statusField(int index) const
    {
        const QList<QByteArray> fields =
            root->read(QStringLiteral("/log/output/upsstatus.txt")).trimmed().split(',');
        return fields.size() == 10 ? QString::fromLatin1(fields.at(index)) : QString();
    }

    // Polls driven by hand, each given a moment for its answer; the poll timer adds none of its
    // own. Only an accepted answer starts the stopped timer again, which is how one is recognised.
    int pollByHand(int times)
    {
        QTimer *pollTimer = timer("pollTimer");
        int answered = 0;
        for (int i = 0; i < times; ++i) {
            poll();
            pollTimer->stop();
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 250) {
                QCoreApplication::processEvents();
                if (pollTimer->isActive()) {
                    pollTimer->stop();
                    ++answered;
                    break;
                }
                QThread::msleep(1);
            }
        }
        return answered;
    }

    bool pollUntil(const char *key, int value)
    {
        for (int i = 0; i < 20 && dev->devData().value(key).toInt() != value; ++i)
            pollByHand(1);
        return dev->devData().value(key).toInt() == value;
    }

    std::unique_ptr<TestRoot> root;
    std::unique_ptr<UpsSimProcess> sim;
    QString link;
    DevComm *dev = nullptr;

private slots:
    void initTestCase()
    {
        root.reset(new TestRoot);
        link = root->file(QStringLiteral("/ups"));
        startSimulator();
        Settings::instance()->setSettings(Settings::UpsCommType, int(DevComm::COM));
        Settings::instance()->setSettings(Settings::UpsComPort, link);
        Settings::instance()->setSettings(Settings::UpsDataSaveCycle, 5);
        // A hand-edited rate that is no number: the line runs at 2400, the file stays as is.
        Settings::instance()->setSettings(Settings::UpsBaudRate, QStringLiteral("fast"), true);
        dev = DevComm::instance();
        QCOMPARE(dev->baud(), 2400);
        QCOMPARE(port()->baudRate(), 2400);
        QCOMPARE(Settings::instance()->getSettings(Settings::UpsBaudRate, true).toString(),
                 QStringLiteral("fast"));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QVERIFY(port()->isOpen());
        QVERIFY(sim->waitForFrame("BT\r"));
    }

    void comesOnline()
    {
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);
        // Identity and ratings are asked in the first cycle, published with the next status.
        QTRY_COMPARE_WITH_TIMEOUT(dev->devData().value("ratingOutputVol").toFloat(), 230.0f, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!dev->devData().value("version").toString().isEmpty(), 5000);
        QCOMPARE(dev->devData().value("sn").toString(), QStringLiteral("SIM000000000000000001"));

        QVERIFY(currentAlarmTexts().contains(QStringLiteral("Communication established")));
        QCOMPARE(sqlCount("select count(*) from alarm where alarm = 1"), 1);
        QCOMPARE(timer("saveTimer")->interval(), 5000);
        QCOMPARE(statusField(2), QStringLiteral("0"));
        QCOMPARE(dev->comPort().mid(0, 2), (QStringList {link, QStringLiteral("None")}));
        QCOMPARE(timer("portScanTimer")->interval(), 250);
        QCOMPARE(pollByHand(1), 1);
        QCOMPARE(timer("pollTimer")->interval(), 100); // the next request soon after an answer
        timer("pollTimer")->start();

        // The port scan has been running all along: a port named by a path that exists stays open.
        QTest::qWait(600);
        QVERIFY(port()->isOpen());
        QVERIFY(online());
    }

    void mainsFailure()
    {
        QCOMPARE(sim->command(QStringLiteral("mains fail")), QStringLiteral("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(dev->devData().value("mainsFault").toInt(), 1, 5000);
        QCOMPARE(sqlCount("select count(*) from alarm where alarm = 2"), 1);
        QCOMPARE(statusField(1), QStringLiteral("2"));

        QCOMPARE(sim->command(QStringLiteral("mains return")), QStringLiteral("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(dev->devData().value("mainsFault").toInt(), 0, 5000);
        QVERIFY(statusField(1) != QLatin1String("2"));
        QVERIFY(currentAlarmTexts().contains(QStringLiteral("Input voltage returns to normal")));
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
        QVERIFY(!currentAlarmTexts().contains(QStringLiteral("Communication lost")));
        // The capacity estimated from the battery voltage agrees with the unit's own.
        QVERIFY(qAbs(dev->devData().value("battCapacity").toFloat() - 50.0f) < 1.0f);
        QCOMPARE(sim->command(QStringLiteral("answer all")), QStringLiteral("ok"));
        QCOMPARE(sim->command(QStringLiteral("battery 100")), QStringLiteral("ok"));
        QCOMPARE(pollByHand(4), 4); // BT, BP, Q1 and A1 replies all accepted

        // Garbage on the line costs at most the replies it spoils; the polls go on.
        const int rows = sqlCount("select count(*) from alarm");
        QCOMPARE(sim->command(QStringLiteral("garbage 300")).left(2), QStringLiteral("ok"));
        pollByHand(8);
        QVERIFY(online());
        QCOMPARE(pollByHand(4), 4);
        QCOMPARE(sqlCount("select count(*) from alarm"), rows);
    }

    // The requests reach the UPS through the driver (whose encodings are tested on their own), the
    // UPS reports the change, and a self-test it runs is recorded second by second.
    void controlRequestsAndSelfTestRecording()
    {
        using L = QList<QByteArray>;
        Clock::setNow(QDateTime(QDate(2026, 3, 1), QTime(10, 0, 0)));
        QCOMPARE(pollByHand(1), 1);
        sim->clearReceived();
        const int beeper = dev->devData().value("buzzer").toInt();
        // Two requests before the next poll: the later one goes out first.
        dev->setBuzzer();
        dev->setShutdown(true, 0);
        QVERIFY(pollUntil("powerOff", 1));
        QVERIFY(pollUntil("buzzer", 1 - beeper));
        dev->setShutdown(false, 0);
        QVERIFY(pollUntil("powerOff", 0));
        QCOMPARE(sim->takeControlFrames(), (L {"S.2R9999\r", "Q\r", "C\r"}));

        const int rows = sqlCount("select count(*) from log_self_test");
        const QString folder = root->file("/data/self_test");
        dev->setSelfTest(2, 0);
        QVERIFY(pollUntil("selfTest", 1));
        // Ten seconds on the program's clock, then the UPS ends the test on its own.
        for (int i = 0; i < 9; ++i) {
            Clock::advance(1);
            QCOMPARE(pollByHand(4), 4); // a cycle: one status reply, one sample
        }
        QCOMPARE(sim->command(QStringLiteral("selftest finish")), QStringLiteral("ok"));
        QVERIFY(pollUntil("selfTest", 0));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList {"20260301100000.txt"});
        const QList<QByteArray> samples =
            root->read("/data/self_test/20260301100000.txt").split('\n');
        QCOMPARE(samples.size(), 11); // 0 to 9 and the line feed at the end
        for (int i = 0; i < 10; ++i)
            QVERIFY(samples.at(i).startsWith(QByteArray::number(i) + ','));
        QCOMPARE(sqlCount("select count(*) from log_self_test where count = 10 and duration = 9"),
                 rows + 1);

        // A second test, cancelled: a file of its own.
        Clock::advance(5);
        dev->setSelfTest(3, 0);
        QVERIFY(pollUntil("selfTest", 1));
        Clock::advance(1);
        QCOMPARE(pollByHand(4), 4);
        dev->setSelfTest(4, 30); // while one runs, only a cancel goes out
        dev->setSelfTest(1, 0);
        QVERIFY(pollUntil("selfTest", 0));
        QCOMPARE(sim->takeControlFrames(), (L {"T\r", "TL\r", "CT\r"}));
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 (QStringList {"20260301100000.txt", "20260301100014.txt"}));
        QVERIFY(root->read("/data/self_test/20260301100014.txt").startsWith("0,"));
        QCOMPARE(sqlCount("select count(*) from log_self_test"), rows + 2);
        dev->setBuzzer();
        QVERIFY(pollUntil("buzzer", beeper));
    }

    // A sample per save tick while online; silence loses the UPS at the ninth unanswered send, and
    // the samples stop with it.
    void samplesAndSilence()
    {
        dev->setSaveCycle(7);
        QCOMPARE(timer("saveTimer")->interval(), 7000);
        const int before = sampleRows();
        QMetaObject::invokeMethod(dev, "onTimerSaveTimeout");
        QCOMPARE(sampleRows(), before + 1);
        QSqlQuery last("select inputVol, outputVol, inputFreq from device_data order by id desc");
        QVERIFY(last.next());
        QVERIFY(last.value(0).toDouble() > 200 && last.value(1).toDouble() > 200);
        QVERIFY(last.value(2).toDouble() > 40);

        QSignalSpy onlineSpy(dev, &DevComm::onlineChanged);
        QCOMPARE(pollByHand(1), 1); // nothing unanswered before the silence
        QCOMPARE(sim->command(QStringLiteral("silent on")), QStringLiteral("ok"));
        // No event loop in between: nothing can be answered.
        for (int i = 0; i < 8; ++i)
            poll();
        QVERIFY(online());
        poll();
        QVERIFY(!online());
        QCOMPARE(timer("pollTimer")->interval(), 1500);
        QCOMPARE(onlineSpy.count(), 1);
        QCOMPARE(currentAlarmTexts(), QStringList {QStringLiteral("Communication lost")});
        QCOMPARE(sqlCount("select count(*) from alarm where alarm = 0"), 1);
        QCOMPARE(statusField(2), QStringLiteral("1"));
        QVERIFY(!timer("saveTimer")->isActive());
        QMetaObject::invokeMethod(dev, "onTimerSaveTimeout");
        QCOMPARE(sampleRows(), before + 1);
        // Stopped with the link: a new cycle is only stored, and used when the UPS is back.
        dev->setSaveCycle(9);
        QVERIFY(!timer("saveTimer")->isActive());
        QCOMPARE(Settings::instance()->getSettings(Settings::UpsDataSaveCycle).toInt(), 9);
        // The polls go on while offline, and the first answer brings the UPS back.
        QVERIFY(timer("pollTimer")->isActive());
        QCOMPARE(sim->command(QStringLiteral("speak")), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);
        QVERIFY(currentAlarmTexts().contains(QStringLiteral("Communication established")));
        QCOMPARE(timer("saveTimer")->interval(), 9000);
        // A cycle the timer cannot keep (0 from a hand-edited file, or weeks) is held to its range.
        dev->setSaveCycle(0);
        QCOMPARE(timer("saveTimer")->interval(), 1000);
        QCOMPARE(Settings::instance()->getSettings(Settings::UpsDataSaveCycle).toInt(), 0);
        dev->setSaveCycle(5000000);
        QCOMPARE(timer("saveTimer")->interval(), 2147483000);
        dev->setSaveCycle(9);

        dev->setBaud(9600);
        QCOMPARE(port()->baudRate(), 9600);
        QCOMPARE(Settings::instance()->getSettings(Settings::UpsBaudRate).toInt(), 9600);
    }

    void portNamedByPathVanishes()
    {
        timer("portScanTimer")->stop(); // scans by hand from here on
        scan();
        QVERIFY(port()->isOpen());

        QVERIFY(QFile::remove(link));
        QSignalSpy listSpy(dev, &DevComm::comPortChanged);
        scan();
        QVERIFY(!port()->isOpen());
        QVERIFY(!online());
        QCOMPARE(currentAlarmTexts(), QStringList {QStringLiteral("Communication lost")});
        QCOMPARE(listSpy.count(), 0); // the list of ports did not change
        scan();
        QVERIFY(!port()->isOpen());

        // Back at the same name: opened again, and the UPS comes back.
        QVERIFY(QFile::link(sim->portPath(), link));
        scan();
        QVERIFY(port()->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);
        QCOMPARE(dev->commType(), int(DevComm::COM));
    }

    void errorsOnTheOpenPort()
    {
        // A burst of errors closes the port once, and it is opened again while it is there.
        const int lost = sqlCount("select count(*) from alarm where alarm = 0");
        for (int i = 0; i < 50; ++i)
            emit port()->errorOccurred(QSerialPort::ReadError);
        QTRY_VERIFY_WITH_TIMEOUT(!port()->isOpen(), 1000);
        QTest::qWait(50);
        QCOMPARE(sqlCount("select count(*) from alarm where alarm = 0"), lost + 1);
        QVERIFY(!online());
        for (int i = 0; i < 10 && !port()->isOpen(); ++i)
            scan();
        QVERIFY(port()->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);

        // A failure of the port as it was is not held against the port opened after it.
        emit port()->errorOccurred(QSerialPort::ResourceError);
        QVERIFY(dev->openDevice(DevComm::COM, link));
        QTest::qWait(100);
        QVERIFY(port()->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);

        // A port that fails again before the UPS answered is left alone twice as long. The failures
        // are handled without a turn of the event loop, so no answer comes in between.
        auto failAndCountScans = [this] {
            emit port()->errorOccurred(QSerialPort::WriteError);
            QCoreApplication::sendPostedEvents(dev, QEvent::MetaCall);
            int scans = 0;
            while (!port()->isOpen() && scans < 50) {
                scan();
                ++scans;
            }
            return scans;
        };
        QCOMPARE(failAndCountScans(), 5);
        QCOMPARE(failAndCountScans(), 9);
        QCOMPARE(failAndCountScans(), 17);
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);
        QCOMPARE(failAndCountScans(), 5);
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);
    }

    void simulatorGoesAndComesBack()
    {
        const int lost = sqlCount("select count(*) from alarm where alarm = 0");
        // The far end closes: the port fails on its own, without a scan, and does not spin.
        sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!port()->isOpen(), 5000);
        QVERIFY(!online());
        QCOMPARE(currentAlarmTexts(), QStringList {QStringLiteral("Communication lost")});
        QVERIFY(!timer("pollTimer")->isActive());
        scan();
        QVERIFY(!port()->isOpen());

        startSimulator();
        for (int i = 0; i < 6 && !port()->isOpen(); ++i)
            scan();
        QVERIFY(port()->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);
        QCOMPARE(sqlCount("select count(*) from alarm where alarm = 0"), lost + 1);
    }

    void openingNothingAndAnAbsentPort()
    {
        QVERIFY(dev->openDevice(DevComm::COM, QStringLiteral("None")));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QCOMPARE(Settings::instance()->getSettings(Settings::UpsCommType).toInt(), 1);
        QCOMPARE(Settings::instance()->getSettings(Settings::UpsComPort).toString(), link);
        QVERIFY(!port()->isOpen());
        sim->clearReceived();
        poll();
        QTest::qWait(300);
        QCOMPARE(sim->receivedFrames(), QList<QByteArray>());
        QCOMPARE(dev->comPort().first(), link);

        // A port that is not there: false, the choice is kept, and it opens once it appears.
        const QString later = root->file(QStringLiteral("/later"));
        QVERIFY(!dev->openDevice(DevComm::COM, later));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QCOMPARE(Settings::instance()->getSettings(Settings::UpsComPort).toString(), later);
        QCOMPARE(dev->comPort().mid(0, 2), (QStringList {later, QStringLiteral("None")}));
        scan();
        QVERIFY(!port()->isOpen());
        QVERIFY(QFile::link(sim->portPath(), later));
        scan();
        QVERIFY(port()->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(online(), 5000);
    }
};

QTEST_GUILESS_MAIN(TestDevCommSerial)
#include "tst_devcommserial.moc"
