// The USB transport through the hidapi seam: the report cycle, what is read once per connection,
// the UPS's own communication flag, reports of the wrong length, string descriptors, a device
// that vanishes and returns, and the control reports.
#include "alarm.h"
#include "devcomm.h"
#include "fakehid.h"
#include "recordprobe.h"
#include "settings.h"
#include "testroot.h"
#include "upsdata.h"
#include "usblink.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

using namespace RecordProbe;

namespace {

const quint16 vendorId = 0x0665;
const quint16 productId = 0x5161;

void putWord(QByteArray &bytes, int offset, quint16 value)
{
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char(value >> 8);
}

// Status word: bit 0 the UPS's own communication fault, bits 1 to 8 the status byte.
QByteArray measurement(quint16 inputDeciVolt, quint8 status, bool commFault = false, int load = 35)
{
    QByteArray r(21, '\0');
    r[0] = 1;
    putWord(r, 1, inputDeciVolt);
    putWord(r, 3, 1000);
    putWord(r, 5, 2298);
    putWord(r, 7, 2710); // 27.10 V
    r[9] = char(load);
    putWord(r, 10, 500);
    putWord(r, 12, 305);
    putWord(r, 14, 87);
    putWord(r, 16, 42);
    putWord(r, 18, quint16((status << 1) | (commFault ? 1 : 0)));
    return r;
}

QByteArray versionReport(quint8 a, quint8 b, quint8 c)
{
    QByteArray r(6, '\0');
    r[0] = char(100);
    r[1] = char(a);
    r[2] = char(b);
    r[3] = char(c);
    return r;
}

QByteArray ratingReport()
{
    QByteArray r(10, '\0');
    r[0] = char(101);
    putWord(r, 1, 2200); // 220.0 V
    putWord(r, 3, 2400); // 24.00 V
    putWord(r, 5, 5); // 5 A
    putWord(r, 7, 500); // 50.0 Hz
    return r;
}

QByteArray faultReport(quint8 kind, int wordIndex, quint16 value)
{
    QByteArray r(29, '\0');
    r[0] = char(103);
    r[1] = char(kind);
    putWord(r, 2 + 2 * wordIndex, value);
    return r;
}

} // namespace

class TestDevCommUsb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deviceList();
    void reportCycle();
    void oddReportsAndStrings();
    void communicationFlagAndReadFailure();
    void vanishAndReturn();
    void controlReports();
    void switchingToSerialDropsTheDevice();

private:
    void poll(int times = 1);
    QTimer *timer(const char *name) const;
    DevComm *dev = nullptr;
    TestRoot *root = nullptr;
};

void TestDevCommUsb::initTestCase()
{
    root = new TestRoot;
    QFile list(root->file(QStringLiteral("/cfg/usb.cfg")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    // A bad entry first: the good one after it is still tried.
    list.write(R"({"usb": [[1, 2, 3], [1637, 20833]]})");
    list.close();
    Settings::instance()->setSettings(Settings::UpsCommType, int(DevComm::USB));
    Settings::instance()->setSettings(Settings::UpsDataSaveCycle, 30);

    FakeHid::reset();
    dev = DevComm::instance();
    QCOMPARE(FakeHid::initCalls(), 1);
    // Tried at once, whatever the link type; nothing attached yet.
    QCOMPARE(FakeHid::openCalls(), (QList<QPair<quint16, quint16>> {{vendorId, productId}}));
    QCOMPARE(dev->commType(), int(DevComm::USB));
    QVERIFY(timer("pollTimer")->isActive());
    QCOMPARE(timer("pollTimer")->interval(), 1500);
    QCOMPARE(timer("portScanTimer")->interval(), 250);
}

void TestDevCommUsb::poll(int times)
{
    for (int i = 0; i < times; ++i)
        QMetaObject::invokeMethod(dev, "onTimerPollingTimeout");
}

QTimer *TestDevCommUsb::timer(const char *name) const
{
    return dev->findChild<QTimer *>(QLatin1String(name));
}

void TestDevCommUsb::deviceList()
{
    using List = QVector<QPair<quint16, quint16>>;
    QCOMPARE(UsbLink::parseDeviceList("not json"), List());
    QCOMPARE(UsbLink::parseDeviceList("[1, 2]"), List());
    QCOMPARE(UsbLink::parseDeviceList(R"({"usb": {"a": 1}})"), List());
    QCOMPARE(UsbLink::parseDeviceList(R"({"usb": [[1637, 20833], [1155, 22352]]})"),
             (List {{1637, 20833}, {1155, 22352}}));
    // Not a pair, not a whole number (counts as 0, which would match any device), strings,
    // id 0: skipped. Out of range: the low 16 bits.
    QCOMPARE(UsbLink::parseDeviceList(R"({"usb": [[1], [1,2,3], "x", [1.5, 2], ["1637", 20833],
                                                  [0, 5], [70000, 5], [-1, 7], [9, 10]]})"),
             (List {{4464, 5}, {65535, 7}, {9, 10}}));
}

void TestDevCommUsb::reportCycle()
{
    QSignalSpy versionSpy(dev, &DevComm::usbVersionChanged);
    QSignalSpy dataSpy(dev, &DevComm::devDataChanged);
    QSignalSpy onlineSpy(dev, &DevComm::onlineChanged);

    // Nothing attached: every poll tries to open, at the slow pace.
    poll();
    QCOMPARE(FakeHid::openCalls().size(), 2);
    QCOMPARE(timer("pollTimer")->interval(), 1500);

    FakeHid::attach(vendorId, productId);
    FakeHid::setReport(100, versionReport(2, 0, 13));
    FakeHid::setReport(101, ratingReport());
    FakeHid::setReport(1, measurement(2301, 0x00));
    FakeHid::setReport(103, faultReport(1, 8, 0x0010)); // fan inoperative
    FakeHid::pushString(17, QString()); // empty: asked again next poll
    FakeHid::setString(17, QStringLiteral("SN-0042"));
    FakeHid::setString(18, QStringLiteral("ORVAK Power"));
    FakeHid::setString(20, QStringLiteral("QuadraLine 3000 Pro")); // wider than its slot
    FakeHid::setString(21, QStringLiteral("V2.13"));
    FakeHid::clearRecords();

    poll();
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(versionSpy.count(), 1);
    QCOMPARE(timer("pollTimer")->interval(), 100);

    poll(); // ratings
    QCOMPARE(dev->devData().value("ratingOutputVol").toFloat(), 220.0f);
    QCOMPARE(dev->devData().value("ratingBattVol").toFloat(), 24.0f);
    QCOMPARE(dev->devData().value("ratingCurrent").toInt(), 5);
    QCOMPARE(dev->devData().value("ratingFreq").toFloat(), 50.0f);
    QCOMPARE(dataSpy.count(), 0);

    poll(); // first measurement: online
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(dataSpy.count(), 1);
    const QVariantMap data = dev->devData();
    QCOMPARE(data.value("devOnline").toBool(), true);
    QCOMPARE(data.value("inputVol").toFloat(), 230.1f);
    QCOMPARE(data.value("battVol").toFloat(), 27.1f);
    QCOMPARE(data.value("load").toInt(), 35);
    QCOMPARE(data.value("battCapacity").toFloat(), 87.0f);
    QCOMPARE(data.value("battRemainTime").toInt(), 42);
    QCOMPARE(currentAlarmTexts(), QStringList {QStringLiteral("Communication established")});
    QVERIFY(timer("saveTimer")->isActive());
    QCOMPARE(timer("saveTimer")->interval(), 30000);

    poll(); // fault words
    QVERIFY(currentAlarmTexts().contains(QStringLiteral("Fan inoperative")));
    poll(8);

    // Version and ratings once per connection, then measurement and fault words in turn.
    QCOMPARE(FakeHid::reportRequests(),
             (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::stringRequests(), (QList<int> {17, 17, 18, 20, 21}));
    const UpsData *ups = dev->upsData();
    QCOMPARE(QByteArray(ups->sn), QByteArray("SN-0042"));
    QCOMPARE(QByteArray(ups->compName), QByteArray("ORVAK Power"));
    QCOMPARE(QByteArray(ups->UPSModel), QByteArray("QuadraLine"));
    QCOMPARE(QByteArray(ups->version), QByteArray("V2.13"));
    QCOMPARE(dev->devData().value("UPSModel").toString(), QStringLiteral("QuadraLine"));

    // A sample per save tick while online, with the values of the record.
    const int before = sqlCount(QStringLiteral("select count(*) from device_data"));
    QMetaObject::invokeMethod(dev, "onTimerSaveTimeout");
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from device_data")), before + 1);
    QSqlQuery last(QStringLiteral("select inputVol, load, battVol from device_data order by id "
                                  "desc limit 1"));
    QVERIFY(last.next());
    QCOMPARE(last.value(0).toFloat(), 230.1f);
    QCOMPARE(last.value(1).toInt(), 35);
    QCOMPARE(last.value(2).toFloat(), 27.1f);
}

void TestDevCommUsb::oddReportsAndStrings()
{
    QSignalSpy dataSpy(dev, &DevComm::devDataChanged);
    FakeHid::clearRecords();
    const float before = dev->devData().value("inputVol").toFloat();
    // A 20-byte measurement, a long version report and an id nobody asked for are all ignored.
    FakeHid::pushReport(1, measurement(1234, 0x01).left(20));
    FakeHid::pushReport(103, faultReport(1, 8, 0x0000) + QByteArray(3, '\0'));
    poll(2);
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(dev->devData().value("inputVol").toFloat(), before);
    QVERIFY(currentAlarmTexts().contains(QStringLiteral("Fan inoperative")));
    QCOMPARE(timer("pollTimer")->interval(), 100); // a report came back all the same
    FakeHid::pushReport(1,
                        QByteArray("\x07"
                                   "abc",
                                   4));
    poll(2);
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(dataSpy.count(), 0);
    // Zero bytes: nothing read, the slow pace.
    FakeHid::pushReport(1, QByteArray());
    poll();
    QCOMPARE(timer("pollTimer")->interval(), 1500);
    poll();
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(FakeHid::stringRequests(), QList<int>());
}

void TestDevCommUsb::communicationFlagAndReadFailure()
{
    QSignalSpy onlineSpy(dev, &DevComm::onlineChanged);
    FakeHid::clearRecords();
    // The UPS says it cannot talk: offline, "Communication lost" added without clearing the list.
    FakeHid::pushReport(1, measurement(2301, 0x00, true));
    poll(2);
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(dev->devData().value("devOnline").toBool(), false);
    QVERIFY(currentAlarmTexts().contains(QStringLiteral("Communication lost")));
    QVERIFY(currentAlarmTexts().contains(QStringLiteral("Fan inoperative")));
    QVERIFY(timer("saveTimer")->isActive());
    const int before = sqlCount(QStringLiteral("select count(*) from device_data"));
    QMetaObject::invokeMethod(dev, "onTimerSaveTimeout"); // offline: nothing stored
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from device_data")), before);

    // A failed read of a device still attached is passing: it stays open.
    FakeHid::pushReportFailure(101);
    poll();
    QCOMPARE(FakeHid::enumerateCalls(), 1);
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(timer("pollTimer")->interval(), 1500);

    // Back online, with the ratings and strings the reset had cleared read again.
    poll(5);
    QCOMPARE(dev->devData().value("devOnline").toBool(), true);
    QVERIFY(!currentAlarmTexts().contains(QStringLiteral("Communication lost")));
    QCOMPARE(dev->devData().value("ratingOutputVol").toFloat(), 220.0f);
    QCOMPARE(dev->devData().value("sn").toString(), QStringLiteral("SN-0042"));
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(FakeHid::reportRequests().count(100), 0);
}

void TestDevCommUsb::vanishAndReturn()
{
    QSignalSpy versionSpy(dev, &DevComm::usbVersionChanged);
    FakeHid::detach();
    FakeHid::clearRecords();
    poll();
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(dev->usbVersion(), QString());
    QCOMPARE(versionSpy.count(), 1);
    QCOMPARE(dev->devData().value("devOnline").toBool(), false);
    QCOMPARE(currentAlarmTexts(), QStringList {QStringLiteral("Communication lost")});
    QVERIFY(!timer("saveTimer")->isActive());
    QCOMPARE(dev->devData().value("compName").toString(), QString());
    poll(3);
    QCOMPARE(FakeHid::openCalls().size(), 3); // tried again at every poll

    // Back: strings, version and ratings are read again; a string that fails is not retried.
    FakeHid::setStringFailure(20);
    FakeHid::attach(vendorId, productId);
    FakeHid::clearRecords();
    poll(8);
    QCOMPARE(FakeHid::reportRequests(), (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::stringRequests(), (QList<int> {17, 18, 20, 21}));
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(dev->devData().value("devOnline").toBool(), true);
    QCOMPARE(dev->devData().value("sn").toString(), QStringLiteral("SN-0042"));
    QCOMPARE(dev->devData().value("UPSModel").toString(), QString());
    QCOMPARE(dev->devData().value("ratingOutputVol").toFloat(), 220.0f);
}

void TestDevCommUsb::controlReports()
{
    FakeHid::clearRecords();
    auto sent = [] {
        const QList<QByteArray> reports = FakeHid::sentReports();
        FakeHid::clearRecords();
        return reports;
    };
    dev->setShutdown(true, 11);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x03\x0c", 2)});
    dev->setShutdown(true, 0);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x03\x01", 2)});
    dev->setShutdown(false, 7);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x03\x00", 2)});
    // Past 254 minutes the delay would wrap to 0, a cancel: the longest delay instead.
    dev->setShutdown(true, 255);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x03\xff", 2)});
    dev->setSelfTest(1, 0);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x02\x03", 2)});
    dev->setSelfTest(2, 0);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x02\x01", 2)});
    dev->setSelfTest(3, 0);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x02\x02", 2)});
    dev->setSelfTest(4, 30);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x02\x21", 2)});
    dev->setSelfTest(4, 253);
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x02\x00", 2)});
    dev->setSelfTest(5, 10);
    QCOMPARE(sent(), QList<QByteArray>());

    // The beeper report follows the published state.
    dev->setBuzzer();
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x04\x02", 2)});
    FakeHid::setReport(1, measurement(2301, 0x80));
    poll(2);
    QCOMPARE(dev->devData().value("buzzer").toInt(), 1);
    dev->setBuzzer();
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x04\x01", 2)});

    // No device: nothing goes out.
    FakeHid::detach();
    poll();
    dev->setShutdown(true, 1);
    dev->setBuzzer();
    QCOMPARE(sent(), QList<QByteArray>());
    FakeHid::attach(vendorId, productId);
    poll(4);
    QCOMPARE(dev->devData().value("devOnline").toBool(), true);
}

void TestDevCommUsb::switchingToSerialDropsTheDevice()
{
    QVERIFY(dev->openDevice(DevComm::COM, QStringLiteral("None")));
    QCOMPARE(dev->commType(), int(DevComm::COM));
    QCOMPARE(Settings::instance()->getSettings(Settings::UpsCommType).toInt(), 1);
    // What the USB device reported must not stay published while nothing polls it.
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(dev->devData().value("devOnline").toBool(), false);
    QCOMPARE(dev->usbVersion(), QString());
    QVERIFY(!timer("saveTimer")->isActive());
    FakeHid::clearRecords();
    poll(3);
    QCOMPARE(FakeHid::reportRequests(), QList<quint8>());

    QVERIFY(dev->openDevice(DevComm::USB));
    poll(3);
    QCOMPARE(dev->devData().value("devOnline").toBool(), true);
    QCOMPARE(FakeHid::reportRequests().first(), quint8(100));
}

QTEST_GUILESS_MAIN(TestDevCommUsb)
#include "tst_devcommusb.moc"
