// The USB transport through the hidapi seam: the report cycle, what is read once per connection,
// the UPS's own communication flag, reports of the wrong length, string descriptors, a device
// that vanishes and returns, and the control reports, seen through DevComm.
#include "devcomm.h"
#include "fakehid.h"
#include "platform.h"
#include "settings.h"
#include "testroot.h"
#include "usblink.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QtTest>

#include <memory>

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

private slots:
    void initTestCase();
    void deviceList();
    void reportCycle();
    void oddReportsAndFlags();
    void vanishAndReturn();
    void controlReports();
    void heldByAnotherProgram();
    void switchingToSerialDropsTheDevice();

private:
    void poll(int times = 1);
    QVariant value(const char *key) const { return dev->devData().value(QLatin1String(key)); }
    const UpsState &state() const { return dev->state(); }
    std::unique_ptr<TestRoot> root;
    std::unique_ptr<DevComm> dev;
    UsbLink *usb = nullptr;
};

void TestUsbLink::initTestCase()
{
    root = std::make_unique<TestRoot>(TestRoot::WithSettings);
    QFile list(root->file(QStringLiteral("/cfg/usb.cfg")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    // A bad entry first: the good one after it is still tried.
    list.write(R"({"usb": [[1, 2, 3], [1637, 20833]]})");
    list.close();
    root->settings()->setSettings(Settings::UpsCommType, int(DevComm::USB));

    FakeHid::reset();
    dev = std::make_unique<DevComm>(root->settings());
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

void TestUsbLink::poll(int times)
{
    for (int i = 0; i < times; ++i)
        usb->poll();
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
    poll();
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

    poll();
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(versionSpy.count(), 1);
    QCOMPARE(usb->pollInterval(), 100);

    poll(); // ratings
    QVERIFY(value("ratingOutputVol").toFloat() == 220.0f &&
            value("ratingBattVol").toFloat() == 24.0f);
    QVERIFY(value("ratingCurrent").toInt() == 5 && value("ratingFreq").toFloat() == 50.0f);

    poll(); // first measurement: online
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(value("inputVol").toFloat(), 230.1f);
    QCOMPARE(value("battVol").toFloat(), 27.1f);
    QCOMPARE(value("load").toInt(), 35);
    QCOMPARE(value("battCapacity").toFloat(), 87.0f);
    QCOMPARE(value("battRemainTime").toInt(), 42);
    QVERIFY(!state().chargeEstimated && !state().runtimeEstimated);

    QSignalSpy faults(dev.get(), &DevComm::faultsChanged);
    poll(); // fault words: fan inoperative
    QCOMPARE(faults.count(), 1);
    QVERIFY(state().faultKind == 1 && state().faultWords[8] == 0x0010);
    poll(8);

    // Version and ratings once per connection, then measurement and fault words in turn; the
    // strings one per poll, an empty one asked again.
    QCOMPARE(FakeHid::records().reportRequests,
             (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::records().stringRequests, (QList<int> {17, 17, 18, 20, 21}));
    QCOMPARE(state().serialNumber, QStringLiteral("SN-0042"));
    QCOMPARE(state().manufacturer, QStringLiteral("ORVAK Power"));
    QCOMPARE(state().firmware, QStringLiteral("V2.13"));
    QCOMPARE(value("UPSModel").toString(), QStringLiteral("QuadraLine"));
}

void TestUsbLink::oddReportsAndFlags()
{
    QSignalSpy dataSpy(dev.get(), &DevComm::devDataChanged);
    QSignalSpy onlineSpy(dev.get(), &DevComm::onlineChanged);
    FakeHid::clearRecords();
    const float before = value("inputVol").toFloat();
    // A 20-byte measurement, a long fault report and an id nobody asked for are all ignored.
    FakeHid::setReport(1, FakeHid::measurement(1234, 0x01).left(20), true);
    FakeHid::setReport(103, faultReport(1, 8, 0x0000) + QByteArray(3, '\0'), true);
    poll(2);
    QCOMPARE(usb->pollInterval(), 100); // a report came back all the same
    FakeHid::setReport(1, QByteArray::fromHex("07616263"), true); // id 7: nobody asked
    poll(2);
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(value("inputVol").toFloat(), before);
    QCOMPARE(state().faultWords[8], quint16(0x0010));
    // Zero bytes: nothing read, the slow pace.
    FakeHid::setReport(1, QByteArray(), true);
    poll();
    QCOMPARE(usb->pollInterval(), 1500);
    poll();
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(FakeHid::records().stringRequests, QList<int>());

    // The UPS says it cannot talk: offline, and said so without a lost link.
    QSignalSpy commFault(dev.get(), &DevComm::upsCommFault);
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x00, true), true);
    poll(2);
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(value("devOnline").toBool(), false);
    QVERIFY(commFault.count() == 1 && lost.count() == 0);

    // A failed read of a device still attached is passing: it stays open.
    FakeHid::setReportFailure(101, true);
    poll();
    QCOMPARE(FakeHid::records().enumerateCalls, 1);
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(usb->pollInterval(), 1500);

    // Back online, with the ratings and strings the reset had cleared read again.
    poll(5);
    QCOMPARE(value("devOnline").toBool(), true);
    QCOMPARE(value("ratingOutputVol").toFloat(), 220.0f);
    QCOMPARE(value("sn").toString(), QStringLiteral("SN-0042"));
    QCOMPARE(FakeHid::records().reportRequests.count(100), 0);
}

void TestUsbLink::vanishAndReturn()
{
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    FakeHid::detach();
    FakeHid::clearRecords();
    poll();
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(dev->usbVersion(), QString());
    QCOMPARE(value("devOnline").toBool(), false);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(value("compName").toString(), QString());
    poll(3);
    QCOMPARE(FakeHid::records().openCalls.size(), 3); // tried again at every poll

    // Back: strings, version and ratings are read again; a string that fails is not retried.
    FakeHid::setStringFailure(20);
    FakeHid::attach(vendorId, productId);
    FakeHid::clearRecords();
    poll(8);
    QCOMPARE(FakeHid::records().reportRequests, (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::records().stringRequests, (QList<int> {17, 18, 20, 21}));
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(value("devOnline").toBool(), true);
    QCOMPARE(value("sn").toString(), QStringLiteral("SN-0042"));
    QCOMPARE(value("UPSModel").toString(), QString());
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
        char call; // s: shutdown, t: self-test
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
        if (c.call == 's')
            dev->setShutdown(c.a != 0, c.b);
        else
            dev->setSelfTest(c.a, c.b);
        QList<QByteArray> expected;
        if (*c.report)
            expected.append(QByteArray(c.report, 2));
        QCOMPARE(sent(), expected);
    }

    // The beeper report follows the published state.
    dev->setBuzzer();
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x04\x02", 2)});
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x80));
    poll(2);
    QCOMPARE(value("buzzer").toInt(), 1);
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
    QCOMPARE(value("devOnline").toBool(), true);
}

// The device another program holds (the service, say): closed again at once and told, then
// taken once it is free. A plain file stands for the node.
void TestUsbLink::heldByAnotherProgram()
{
    QTemporaryFile node;
    QVERIFY(node.open());
    FakeHid::detach();
    poll();
    bool busy = false;
    const int other = platform::claimDevice(node.fileName().toStdWString(), &busy);
    QVERIFY(other >= 0 && !busy);
    FakeHid::attach(vendorId, productId, node.fileName());
    QSignalSpy busySpy(dev.get(), &DevComm::linkBusyChanged);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("in use by another program"));
    poll(3);
    QVERIFY(dev->linkBusy());
    QCOMPARE(busySpy.count(), 1);
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(value("devOnline").toBool(), false);

    platform::releaseDevice(other);
    poll(4);
    QVERIFY(!dev->linkBusy());
    QCOMPARE(busySpy.count(), 2);
    QCOMPARE(value("devOnline").toBool(), true);
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
    QCOMPARE(value("devOnline").toBool(), false);
    QCOMPARE(dev->usbVersion(), QString());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(usb->pollInterval(), -1); // nothing polls it any more
    FakeHid::clearRecords();

    QVERIFY(dev->openDevice(DevComm::USB));
    poll(3);
    QCOMPARE(value("devOnline").toBool(), true);
    QCOMPARE(FakeHid::records().reportRequests.first(), quint8(100));
}

QTEST_GUILESS_MAIN(TestUsbLink)
#include "tst_usblink.moc"
