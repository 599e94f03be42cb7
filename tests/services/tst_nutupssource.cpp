// What the network server publishes of a UPS state: the status flags NUT's clients act on, the
// readings present and absent, the backup time that is always there, and the commands the link
// carries out now; and the lost link that turns the data stale after 15 s.
#include "clock.h"
#include "devcomm.h"
#include "nutupssource.h"
#include "testroot.h"
#include "upsstate.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

UpsState online()
{
    UpsState s;
    s.link = UpsState::Link::Online;
    s.inputVoltage = 229.5f;
    s.outputVoltage = 230.0f;
    s.ratedOutputVoltage = 230.0f;
    s.batteryCharge = 80.0f;
    s.runtime = 25;
    return s;
}

QByteArray value(const NutSnapshot &snapshot, const char *name)
{
    for (const NutVariable &v : snapshot.variables) {
        if (v.name == name)
            return v.value;
    }
    return "(absent)";
}

QByteArray commands(const NutSnapshot &snapshot)
{
    QByteArrayList names;
    for (const NutOfferedCommand &c : snapshot.commands)
        names << c.name;
    return names.join(' ');
}

} // namespace

class TestNutUpsSource : public QObject
{
    Q_OBJECT
private slots:
    void statusAndReadings_data();
    void statusAndReadings();
    void commandsOfTheLink_data();
    void commandsOfTheLink();
    void lostLinkTurnsStale();
};

void TestNutUpsSource::statusAndReadings_data()
{
    QTest::addColumn<UpsState>("state");
    QTest::addColumn<QString>("expected"); // name=value; ... of the variables looked at

    const QString looked =
        "ups.status=%1; battery.runtime=%2; battery.charge=%3; ups.temperature=%4";
    UpsState s = online();
    QTest::newRow("on line") << s << looked.arg("OL", "1500", "80", "(absent)");
    s.onBattery = true;
    s.batteryLow = true;
    s.temperature = 41.2f;
    QTest::newRow("low on battery") << s << looked.arg("OB LB", "1500", "80", "41.2");
    s = online();
    s.bypass = true;
    QTest::newRow("online type on bypass")
        << s << looked.arg("OL BYPASS", "1500", "80", "(absent)");
    s.standbyType = true;
    s.inputVoltage = 200.0f;
    QTest::newRow("standby type boosting") << s << looked.arg("OL BOOST", "1500", "80", "(absent)");
    s.inputVoltage = 250.0f;
    QTest::newRow("standby type trimming") << s << looked.arg("OL TRIM", "1500", "80", "(absent)");
    s.ratedOutputVoltage.reset();
    QTest::newRow("standby type, no rating") << s << looked.arg("OL", "1500", "80", "(absent)");
    s = online();
    s.selfTest = true;
    s.shutdownActive = true;
    s.outputVoltage = 0.0f;
    QTest::newRow("testing, output off") << s << looked.arg("OL CAL OFF", "1500", "80", "(absent)");
    s.outputVoltage = 230.0f;
    QTest::newRow("output off pending") << s << looked.arg("OL CAL", "1500", "80", "(absent)");
    // Without the UPS's own backup time: from the charge, else a floor that no client takes
    // for an empty battery, none when the battery is low.
    s = online();
    s.runtime.reset();
    QTest::newRow("runtime from charge") << s << looked.arg("OL", "5760", "80", "(absent)");
    s.batteryCharge.reset();
    QTest::newRow("runtime floor") << s << looked.arg("OL", "600", "(absent)", "(absent)");
    s.onBattery = s.batteryLow = true;
    QTest::newRow("runtime floor, low") << s << looked.arg("OB LB", "0", "(absent)", "(absent)");
}

void TestNutUpsSource::statusAndReadings()
{
    QFETCH(UpsState, state);
    QFETCH(QString, expected);
    const NutSnapshot snapshot = NutUpsSource::build(state, DevComm::COM, {}, {});
    QVERIFY(!snapshot.stale);
    QStringList got;
    for (const QString &pair : expected.split("; ")) {
        const QString name = pair.section('=', 0, 0);
        got << name + '=' + QString::fromUtf8(value(snapshot, name.toLatin1().constData()));
    }
    QCOMPARE(got.join("; "), expected);
    // Names sorted, each once, nothing empty where a text is missing.
    QByteArray previous;
    for (const NutVariable &v : snapshot.variables) {
        QVERIFY2(v.name > previous, v.name);
        previous = v.name;
    }
    QCOMPARE(value(snapshot, "ups.mfr"), QByteArray("(absent)"));
    QCOMPARE(value(snapshot, "ups.test.result"),
             state.selfTest ? QByteArray("In progress") : QByteArray("No test initiated"));
}

void TestNutUpsSource::commandsOfTheLink_data()
{
    QTest::addColumn<UpsState>("state");
    QTest::addColumn<int>("commType");
    QTest::addColumn<QByteArray>("commands");

    UpsState s = online();
    QTest::newRow("serial, on mains")
        << s << int(DevComm::COM)
        << QByteArray("beeper.toggle load.off shutdown.return shutdown.stayoff test.battery.start "
                      "test.battery.start.deep test.battery.start.quick");
    QTest::newRow("usb, on mains") << s << int(DevComm::USB)
                                   << QByteArray("beeper.toggle load.off shutdown.return "
                                                 "test.battery.start test.battery.start.deep "
                                                 "test.battery.start.quick");
    s.onBattery = true;
    s.selfTest = true;
    QTest::newRow("serial, on battery, testing")
        << s << int(DevComm::COM)
        << QByteArray("beeper.toggle load.off shutdown.return test.battery.stop");
    s.shutdownActive = true;
    QTest::newRow("serial, output going off")
        << s << int(DevComm::COM)
        << QByteArray("beeper.toggle load.on shutdown.stop test.battery.stop");
}

void TestNutUpsSource::commandsOfTheLink()
{
    QFETCH(UpsState, state);
    QFETCH(int, commType);
    QFETCH(QByteArray, commands);
    const NutSnapshot snapshot = NutUpsSource::build(state, commType, {}, {});
    QCOMPARE(::commands(snapshot), commands);
    for (const NutOfferedCommand &c : snapshot.commands)
        QCOMPARE(c.maxParameter, c.name == "test.battery.start" ? 99 : 0);
}

void TestNutUpsSource::lostLinkTurnsStale()
{
    TestRoot root(TestRoot::WithSettings);
    DevComm devComm(root.settings());
    NutUpsSource source(&devComm);
    QSignalSpy published(&source, &NutUpsSource::snapshotChanged);
    Clock::setNow(QDateTime(QDate(2024, 6, 1), QTime(12, 0, 0)));

    // Never online: stale from the start; then the first data set makes it fresh.
    source.onTimerTimeout();
    QVERIFY(source.snapshot().stale);
    QVERIFY(published.isEmpty());
    source.setAlarms({"UPS fault"});
    source.selfTestRecorded(QDateTime(QDate(2024, 5, 31), QTime(8, 0, 0)), 10);
    source.updateState(online());
    QCOMPARE(published.count(), 1);
    NutSnapshot s = source.snapshot();
    QVERIFY(!s.stale);
    QCOMPARE(s.alarms, QStringList {"UPS fault"});
    QCOMPARE(value(s, "ups.test.result"), QByteArray("Done"));
    QCOMPARE(value(s, "ups.test.date"), QByteArray("2024-05-31 08:00:00"));

    // Lost: the last data is served 15 s more, without commands; the 16th second makes it stale.
    UpsState lost;
    lost.link = UpsState::Link::Offline;
    source.updateState(lost);
    s = source.snapshot();
    QVERIFY(!s.stale);
    QCOMPARE(value(s, "input.voltage"), QByteArray("229.5"));
    QVERIFY(s.commands.isEmpty());
    Clock::advance(15);
    source.onTimerTimeout();
    QVERIFY(!source.snapshot().stale);
    Clock::advance(1);
    source.onTimerTimeout();
    QVERIFY(source.snapshot().stale);
    const int count = published.count();
    source.onTimerTimeout();
    source.updateState(lost);
    QCOMPARE(published.count(), count);

    // Back: fresh at once, commands again.
    source.updateState(online());
    QVERIFY(!source.snapshot().stale);
    QVERIFY(!source.snapshot().commands.isEmpty());
    Clock::useSystemClock();
}

QTEST_GUILESS_MAIN(TestNutUpsSource)
#include "tst_nutupssource.moc"
