// The USB link through the hidapi seam, seen through DevComm, one device through the cases in
// turn: the report cycle, what is read once per connection, the UPS's own communication flag,
// reports of the wrong length, string descriptors, a device that vanishes and returns, the
// control reports, and a device another program holds.
#include "devcomm.h"
#include "fakehid.h"
#include "logrecorder.h"
#include "platform.h"
#include "settings.h"
#include "testroot.h"
#include "upsstate.h"
#include "usblink.h"

#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {

const quint16 vendorId = 0x0665;
const quint16 productId = 0x5161;

// Little-endian words from byte `at` on.
void put(QByteArray &r, int at, std::initializer_list<quint16> words)
{
    for (quint16 word : words) {
        r[at++] = char(word & 0xFF);
        r[at++] = char(word >> 8);
    }
}

QByteArray report(int id, int size)
{
    QByteArray r(size, '\0');
    r[0] = char(id);
    return r;
}

QByteArray faultReport(quint8 kind, int wordIndex, quint16 value)
{
    QByteArray r = report(103, 29);
    r[1] = char(kind);
    put(r, 2 + 2 * wordIndex, {value});
    return r;
}

} // namespace

class TestUsbLink : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    std::unique_ptr<DevComm> dev;
    UsbLink *usb = nullptr;
    void pollUsb(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            usb->poll();
    }
    QVariant published(const char *key) const { return dev->devData().value(QLatin1String(key)); }
    const UpsState &usbState() const { return dev->state(); }

private slots:
    void usbLinkStarts();
    void usbSearchIsTold();
    void deviceList();
    void reportCycle();
    void oddReportsAndFlags();
    void vanishAndReturn();
    void controlReports();
    void heldByAnotherProgram();
    void switchingToSerialDropsTheDevice();
};

void TestUsbLink::usbLinkStarts()
{
    LogRecorder::install();
    // A bad entry first: the good one after it is still tried.
    QVERIFY(TestRoot::writeFile(m_root.file("/cfg/usb.cfg"),
                                R"({"usb": [[1, 2, 3], [1637, 20833]]})"));
    m_root.settings()->setSettings(Settings::UpsCommType, int(DevComm::USB));

    FakeHid::reset();
    dev = std::make_unique<DevComm>(m_root.settings());
    usb = dev->findChild<UsbLink *>();
    QCOMPARE(FakeHid::initCalls(), 0); // nothing before the start
    dev->start();
    QCOMPARE(FakeHid::initCalls(), 1);
    // Tried at once; nothing attached yet.
    QCOMPARE(FakeHid::records().openCalls,
             (QList<QPair<quint16, quint16>> {{vendorId, productId}}));
    QCOMPARE(dev->commType(), int(DevComm::USB));
    QCOMPARE(usb->pollInterval(), 1500);
}

// With no UPS the log says once what was looked for and what is attached, and again when that
// changes: a HID device of other ids, a UPS of the list whose node this program may not open.
void TestUsbLink::usbSearchIsTold()
{
    QStringList told;
    const auto pollUsb = [this, &told](int times = 1) {
        this->pollUsb(times);
        told << LogRecorder::take(QtWarningMsg).filter(QRegularExpression("^No USB UPS found"));
    };
    LogRecorder::take();
    usb->stop();
    usb->start();
    pollUsb(3);
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.last(), "No USB UPS found: tried the ids 0665:5161 of " +
                 m_root.file("/cfg/usb.cfg") + "; HID devices seen: none");

    FakeHid::attach(0x046d, 0xc52b, "/dev/hidraw-keyboard");
    pollUsb(2);
    QCOMPARE(told.size(), 2);
    QVERIFY2(told.last().endsWith("seen: /dev/hidraw-keyboard (046d:c52b)"), qPrintable(told.last()));

    // A node the user may not open: the real library's open fails, as the fake's does. Root
    // may open anything, so the test gives up its real user id for a moment.
    QTemporaryFile node;
    QVERIFY(node.open());
    QVERIFY(node.setPermissions(QFile::Permissions()));
    FakeHid::attach(vendorId, productId, node.fileName());
    const bool root = ::getuid() == 0;
    QVERIFY(!root || ::setreuid(65534, 0) == 0);
    pollUsb(2);
    QVERIFY(!root || ::setreuid(0, 0) == 0);
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(told.size(), 3);
    for (const QString &part :
         {node.fileName() + " (0665:5161). " + node.fileName() + " is a UPS of the list, but this "
                                                                  "program may not read and write it",
          QString("udev rule")})
        QVERIFY2(told.last().contains(part), qPrintable(told.last()));

    FakeHid::detach();
    pollUsb();
    QCOMPARE(told.size(), 4);
    QVERIFY(told.last().endsWith("seen: none"));
    FakeHid::clearRecords();
    pollUsb();
}

void TestUsbLink::deviceList()
{
    using List = QVector<QPair<quint16, quint16>>;
    for (const char *bad : {"not json", "[1, 2]", R"({"usb": {"a": 1}})"})
        QCOMPARE(UsbLink::parseDeviceList(bad), List());
    // Not a pair, not a whole number (counts as 0, which would match any device), strings,
    // id 0: skipped. Out of range: the low 16 bits.
    QCOMPARE(UsbLink::parseDeviceList(R"({"usb": [[1], [1,2,3], "x", [1.5, 2], ["1637", 20833],
                                                  [0, 5], [70000, 5], [-1, 7], [9, 10]]})"),
             (List {{4464, 5}, {65535, 7}, {9, 10}}));
}

void TestUsbLink::reportCycle()
{
    QSignalSpy versionSpy(dev.get(), &DevComm::usbVersionChanged);
    QSignalSpy onlineSpy(dev.get(), &DevComm::onlineChanged);

    // Nothing attached: every poll tries to open, at the slow pace.
    pollUsb();
    QCOMPARE(FakeHid::records().openCalls.size(), 2);

    FakeHid::attach(vendorId, productId);
    FakeHid::setReport(100, QByteArray("\x64\x02\x00\x0d\x00\x00", 6)); // version 2.0.13
    QByteArray rating = report(101, 10);
    put(rating, 1, {2200, 2400, 5, 500});
    FakeHid::setReport(101, rating);
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x00));
    FakeHid::setReport(103, faultReport(1, 8, 0x0010)); // fan inoperative
    FakeHid::setString(17, QString(), true); // empty: asked again next poll
    FakeHid::setString(17, QStringLiteral("SN-0042"));
    FakeHid::setString(18, QStringLiteral("ORVAK Power"));
    FakeHid::setString(20, QStringLiteral("QuadraLine 3000 Pro")); // wider than its slot
    FakeHid::setString(21, QStringLiteral("V2.13"));
    FakeHid::clearRecords();

    pollUsb();
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(versionSpy.count(), 1);
    QCOMPARE(usb->pollInterval(), 100);

    pollUsb(); // ratings
    QVERIFY(usbState().ratedOutputVoltage == 220.0f && usbState().ratedBatteryVoltage == 24.0f);
    QVERIFY(usbState().ratedCurrent == 5 && usbState().ratedFrequency == 50.0f);

    pollUsb(); // first measurement: online
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(usbState().inputVoltage.value_or(0), 230.1f);
    QCOMPARE(usbState().batteryVoltage.value_or(0), 27.1f);
    QCOMPARE(usbState().load.value_or(0), 35);
    QCOMPARE(usbState().batteryCharge.value_or(0), 87.0f);
    QCOMPARE(usbState().runtime.value_or(0), 42);
    QVERIFY(!usbState().chargeEstimated && !usbState().runtimeEstimated);

    QSignalSpy faults(dev.get(), &DevComm::faultsChanged);
    pollUsb(); // fault words: fan inoperative
    QCOMPARE(faults.count(), 1);
    QVERIFY(usbState().faultKind == 1 && usbState().faultWords[8] == 0x0010);
    pollUsb(8);

    // Version and ratings once per connection, then measurement and fault words in turn; the
    // strings one per poll, an empty one asked again.
    QCOMPARE(FakeHid::records().reportRequests,
             (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::records().stringRequests, (QList<int> {17, 17, 18, 20, 21}));
    QCOMPARE(usbState().serialNumber, QStringLiteral("SN-0042"));
    QCOMPARE(usbState().manufacturer, QStringLiteral("ORVAK Power"));
    QCOMPARE(usbState().firmware, QStringLiteral("V2.13"));
    QCOMPARE(usbState().model, QStringLiteral("QuadraLine"));
}

void TestUsbLink::oddReportsAndFlags()
{
    QSignalSpy dataSpy(dev.get(), &DevComm::devDataChanged);
    QSignalSpy onlineSpy(dev.get(), &DevComm::onlineChanged);
    FakeHid::clearRecords();
    const float before = usbState().inputVoltage.value_or(0);
    // A 20-byte measurement, a long fault report and an id nobody asked for are all ignored.
    FakeHid::setReport(1, FakeHid::measurement(1234, 0x01).left(20), true);
    FakeHid::setReport(103, faultReport(1, 8, 0x0000) + QByteArray(3, '\0'), true);
    pollUsb(2);
    QCOMPARE(usb->pollInterval(), 100); // a report came back all the same
    FakeHid::setReport(1, QByteArray::fromHex("07616263"), true); // id 7: nobody asked
    pollUsb(2);
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(usbState().inputVoltage.value_or(0), before);
    QCOMPARE(usbState().faultWords[8], quint16(0x0010));
    // Zero bytes: nothing read, the slow pace.
    FakeHid::setReport(1, QByteArray(), true);
    pollUsb();
    QCOMPARE(usb->pollInterval(), 1500);
    pollUsb();
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(FakeHid::records().stringRequests, QList<int>());

    // The UPS says it cannot talk: offline, and said so without a lost link.
    QSignalSpy commFault(dev.get(), &DevComm::upsCommFault);
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x00, true), true);
    pollUsb(2);
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(published("devOnline").toBool(), false);
    QVERIFY(commFault.count() == 1 && lost.count() == 0);

    // A failed read of a device still attached is passing: it stays open.
    FakeHid::setReportFailure(101, true);
    pollUsb();
    QCOMPARE(FakeHid::records().enumerateCalls, 1);
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(usb->pollInterval(), 1500);

    // Back online, with the ratings and strings the reset had cleared read again.
    pollUsb(5);
    QCOMPARE(published("devOnline").toBool(), true);
    QCOMPARE(usbState().ratedOutputVoltage.value_or(0), 220.0f);
    QCOMPARE(usbState().serialNumber, QStringLiteral("SN-0042"));
    QCOMPARE(FakeHid::records().reportRequests.count(100), 0);
}

void TestUsbLink::vanishAndReturn()
{
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    FakeHid::detach();
    FakeHid::clearRecords();
    pollUsb();
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(dev->usbVersion(), QString());
    QCOMPARE(published("devOnline").toBool(), false);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(usbState().manufacturer, QString());
    pollUsb(3);
    QCOMPARE(FakeHid::records().openCalls.size(), 3); // tried again at every poll

    // Back: strings, version and ratings are read again; a string that fails is not retried.
    FakeHid::setStringFailure(20);
    FakeHid::attach(vendorId, productId);
    FakeHid::clearRecords();
    pollUsb(8);
    QCOMPARE(FakeHid::records().reportRequests, (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::records().stringRequests, (QList<int> {17, 18, 20, 21}));
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(published("devOnline").toBool(), true);
    QCOMPARE(usbState().serialNumber, QStringLiteral("SN-0042"));
    QCOMPARE(usbState().model, QString());
}

void TestUsbLink::controlReports()
{
    auto sent = [] {
        const QList<QByteArray> reports = FakeHid::records().sentReports;
        FakeHid::clearRecords();
        return reports;
    };
    struct Case
    {
        char call; // s: output off (a: 1) or its cancel (a: 0), t: self-test
        int a, b;
        const char *report; // two bytes; empty: nothing sent
    };
    // Past 254 minutes the delay would wrap to 0, a cancel: the longest delay instead.
    const QList<Case> cases = {
        {'s', 1, 11, "\x03\x0c"},  {'s', 1, 0, "\x03\x01"},  {'s', 0, 7, "\x03\x00"},
        {'s', 1, 255, "\x03\xff"}, {'t', 1, 0, "\x02\x03"},  {'t', 2, 0, "\x02\x01"},
        {'t', 3, 0, "\x02\x02"},   {'t', 4, 30, "\x02\x21"}, {'t', 4, 253, "\x02\x00"},
        {'t', 5, 10, ""},
    };
    sent();
    for (const Case &c : cases) {
        if (c.call == 's' && c.a != 0)
            dev->switchOutputOff(c.b);
        else if (c.call == 's')
            dev->cancelOutputOff();
        else
            dev->setSelfTest(c.a, c.b);
        QList<QByteArray> expected;
        if (*c.report)
            expected.append(QByteArray(c.report, 2));
        QCOMPARE(sent(), expected);
    }

    // The beeper report follows the published state.
    dev->toggleBeeper();
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x04\x02", 2)});
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x80));
    pollUsb(2);
    QVERIFY(usbState().beeper);
    dev->toggleBeeper();
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x04\x01", 2)});

    // No device: nothing goes out.
    FakeHid::detach();
    pollUsb();
    dev->switchOutputOff(1);
    dev->toggleBeeper();
    QCOMPARE(sent(), QList<QByteArray>());
    FakeHid::attach(vendorId, productId);
    pollUsb(4);
    QCOMPARE(published("devOnline").toBool(), true);
}

// The device another program holds (the service, say): closed again at once and told, then
// taken once it is free. A plain file stands for the node.
void TestUsbLink::heldByAnotherProgram()
{
    QTemporaryFile node;
    QVERIFY(node.open());
    FakeHid::detach();
    pollUsb();
    bool busy = false;
    const int other = platform::claimDevice(node.fileName().toStdWString(), &busy);
    QVERIFY(other >= 0 && !busy);
    FakeHid::attach(vendorId, productId, node.fileName());
    QSignalSpy busySpy(dev.get(), &DevComm::linkBusyChanged);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("in use by another program"));
    pollUsb(3);
    QVERIFY(dev->linkBusy());
    QCOMPARE(busySpy.count(), 1);
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(published("devOnline").toBool(), false);

    platform::releaseDevice(other);
    pollUsb(4);
    QVERIFY(!dev->linkBusy());
    QCOMPARE(busySpy.count(), 2);
    QCOMPARE(published("devOnline").toBool(), true);
    // Now this program holds it.
    QCOMPARE(platform::claimDevice(node.fileName().toStdWString(), &busy), -1);
    QVERIFY(busy);
}

void TestUsbLink::switchingToSerialDropsTheDevice()
{
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    QVERIFY(dev->openDevice(DevComm::COM, QString()));
    QCOMPARE(dev->commType(), int(DevComm::COM));
    // What the USB device reported must not stay published while nothing polls it.
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(published("devOnline").toBool(), false);
    QCOMPARE(dev->usbVersion(), QString());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(usb->pollInterval(), -1); // nothing polls it any more
    FakeHid::clearRecords();

    QVERIFY(dev->openDevice(DevComm::USB));
    pollUsb(3);
    QCOMPARE(published("devOnline").toBool(), true);
    QCOMPARE(FakeHid::records().reportRequests.first(), quint8(100));
}

QTEST_GUILESS_MAIN(TestUsbLink)
#include "tst_usblink.moc"
