// Alarms from status flags, fault words and the link, over time.
#include "alarm.h"
#include "alarmrules.h"
#include "clock.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "testroot.h"
#include "upsstates.h"

#include <QtTest>

using namespace RecordProbe;

using namespace UpsStates;

namespace {

int storedRows(int code)
{
    return sqlCount(QStringLiteral("select count(*) from alarm where alarm = ?"), code);
}

} // namespace

class TestAlarmRules : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    RecordWriter m_writer;
    Alarm m_alarm {&m_writer};
    QStringList alarms() const { return currentAlarmTexts(&m_alarm); }
    void tick() { m_alarm.onTimerEvent(); }

private slots:
    void init()
    {
        m_alarm.clearAlarms();
        Clock::advance(3600);
        tick();
        Clock::setNow(QDateTime(QDate(2024, 9, 2), QTime(14, 30, 0)));
    }

    void statusBits()
    {
        // Every bit raised and returned; the bypass bit of a standby unit means boost or buck.
        const QList<std::tuple<int, int, QStringList>> cases = {
            {0,
             0xEB,
             {"Input voltage fault", "Battery voltage low", "UPS fault", "In self-test",
              "In power off", "Buzzer open"}},
            {0xEB,
             0,
             {"Input voltage returns to normal", "Battery voltage returns to normal",
              "UPS returns to normal", "Self-test finished", "UPS returns from power off",
              "Buzzer silent"}},
            {0, 0x04, {"Bypass supply"}},
            {0x04, 0, {"Rectifier supply"}},
            {0x10, 0x14, {"Boost or buck activated"}},
            {0x14, 0x10, {"UPS returns from boost or buck"}},
            {0, 0x10, {}}, // standby type alone
            {0x0B, 0x0B, {}},
        };
        for (const auto &c : cases) {
            AlarmRules rules(&m_alarm);
            rules.updateState(online(std::get<0>(c)));
            m_alarm.clearAlarms();
            rules.updateState(online(std::get<1>(c)));
            QCOMPARE(alarms(), std::get<2>(c));
        }
    }

    void alarmsOverTimeAndTheLink()
    {
        AlarmRules rules(&m_alarm);
        const int rows = storedRows(Alarm::MainsFault);
        // The first data set: what it reports, then the UPS answering.
        rules.updateState(online(0x81));
        QCOMPARE(alarms(),
                 QStringList({"Input voltage fault", "Buzzer open", "Communication established"}));
        // The events leave after 11 s; the lasting alarm stays while the bit is set.
        Clock::advance(11);
        tick();
        QCOMPARE(alarms(), QStringList({"Input voltage fault"}));
        // Mains fails and returns in the same second: only the return is listed.
        rules.updateState(online(0x80));
        rules.updateState(online(0x81));
        rules.updateState(online(0x80));
        QCOMPARE(alarms(), QStringList({"Input voltage returns to normal"}));
        QCOMPARE(storedRows(Alarm::MainsFault), rows + 2);
        Clock::advance(11);
        tick();
        QCOMPARE(alarms(), QStringList());

        // The UPS reports it cannot communicate: the list stays and "Communication lost" joins
        // it; the beeper reported again when it is back only restarts its event.
        const int beeps = storedRows(Alarm::BuzzerOn);
        rules.updateState(online(0x00));
        rules.updateState(online(0x80));
        Clock::advance(5);
        tick();
        rules.updateState(offline());
        rules.upsCommFault();
        QCOMPARE(alarms(), QStringList({"Buzzer open", "Communication lost"}));
        rules.updateState(online(0x80));
        QCOMPARE(alarms(), QStringList({"Buzzer open", "Communication established"}));
        QCOMPARE(storedRows(Alarm::BuzzerOn), beeps + 1);
        Clock::advance(10);
        tick();
        QVERIFY(alarms().contains("Buzzer open"));

        // A lost data set raises and clears nothing; the link going down clears the list.
        m_alarm.clearAlarms();
        AlarmRules lost(&m_alarm);
        lost.updateState(online(0xB7));
        lost.updateFaults(faults(1, 3, 0x0008));
        QCOMPARE(m_alarm.alarmNum(), 7);
        lost.updateState(offline());
        QCOMPARE(m_alarm.alarmNum(), 7);
        lost.linkLost();
        Clock::advance(15);
        tick();
        QCOMPARE(alarms(), QStringList({"Communication lost"}));

        // Back online, every flag and fault still present is raised again.
        lost.updateState(online(0xB7));
        lost.updateFaults(faults(1, 3, 0x0008));
        QCOMPARE(alarms(),
                 QStringList({"Input voltage fault", "Battery voltage low",
                              "Boost or buck activated", "In self-test", "Buzzer open",
                              "Communication established", "Inverter fault"}));
    }

    void faultWordAlarms()
    {
        AlarmRules rules(&m_alarm);
        UpsState state = faults(1, 5, 0x0200); // offset 0x59
        state.faultWords[8] = 0x0010; // offset 0x84
        const int rbc = storedRows(0x10059);
        // The same words twice raise them once.
        for (int i = 0; i < 2; ++i)
            rules.updateFaults(state);
        QCOMPARE(alarms(), QStringList({"RBC needs replacement", "Fan inoperative"}));
        QCOMPARE(storedRows(0x10059), rbc + 1);
        // A cleared bit becomes a timed return event; set again, the fault replaces it.
        state.faultWords[8] = 0;
        rules.updateFaults(state);
        QCOMPARE(alarms(),
                 QStringList({"RBC needs replacement", "Returned from: Fan inoperative"}));
        state.faultWords[8] = 0x0010;
        rules.updateFaults(state);
        QCOMPARE(alarms(), QStringList({"RBC needs replacement", "Fan inoperative"}));
        state.faultWords[8] = 0;
        rules.updateFaults(state);
        Clock::advance(11);
        tick();
        QCOMPARE(alarms(), QStringList({"RBC needs replacement"}));

        // Kind 1 -> 2: the same bits are raised anew as family 2 faults; the family 1 alarms
        // stay until cleared or the link goes down. Back to kind 1: raised again only where
        // not listed; nothing is cleared.
        m_alarm.clearAlarms();
        AlarmRules fresh(&m_alarm);
        UpsState both = faults(1, 1, 0x0002); // offset 0x11
        both.faultWords[2] = 0x0001; // offset 0x20
        fresh.updateFaults(both);
        both.faultKind = 2;
        fresh.updateFaults(both);
        QCOMPARE(alarms(),
                 QStringList({"-DC bus over voltage", "+DC bus discharge fail",
                              "Rectifier CPLD clock source fault", "Inverter fault"}));
        both.faultKind = 1;
        fresh.updateFaults(both);
        QCOMPARE(alarms().size(), 4);

        // Kinds without texts raise nothing; only the low byte of the kind counts.
        m_alarm.clearAlarms();
        for (int kind : {0, 3})
            fresh.updateFaults(faults(kind, 0, 0x0007));
        QCOMPARE(alarms(), QStringList());
        fresh.updateFaults(faults(0x101, 0, 0x0007));
        QCOMPARE(
            alarms(),
            QStringList({"Input phase sequence error", "Input voltage high", "Input voltage low"}));
    }
};

QTEST_GUILESS_MAIN(TestAlarmRules)
#include "tst_alarmrules.moc"
