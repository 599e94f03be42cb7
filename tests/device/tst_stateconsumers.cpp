// What the program makes of the typed state: alarms from status flags, fault words and the link,
// the self-test recordings, the published map with its histories, and the status summary file.
#include "alarm.h"
#include "alarmrules.h"
#include "clock.h"
#include "devdatamap.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "samplestore.h"
#include "selftestrecorder.h"
#include "statusfile.h"
#include "testroot.h"
#include "upsstate.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace RecordProbe;

namespace {

const QString statusFile = QStringLiteral("/log/output/upsstatus.txt");
const QString selfTestFolder = QStringLiteral("/data/self_test/");

int storedRows(int code)
{
    return sqlCount(QStringLiteral("select count(*) from alarm where alarm = ?"), code);
}

// The self-test rows as "dateTime duration count" lines, with " drop" where one was kept.
QStringList selfTestRows()
{
    QStringList rows;
    QSqlQuery query(
        QStringLiteral("select dateTime, duration, count, battVolDrop from log_self_test"));
    while (query.next())
        rows << query.value(0).toString() + ' ' + query.value(1).toString() + ' ' +
                query.value(2).toString() +
                (query.isNull(3) ? QString() : ' ' + QString::number(query.value(3).toDouble()));
    return rows;
}

// A data set of an answering UPS.
UpsState online(int status, float capacity = 100.0f, int load = 50, float inputVoltage = 230.0f)
{
    UpsState state;
    state.link = UpsState::Link::Online;
    state.setStatusByte(quint8(status));
    state.batteryCharge = capacity;
    state.load = load;
    state.inputVoltage = inputVoltage;
    state.outputVoltage = inputVoltage + 1000.0f;
    return state;
}

UpsState offline()
{
    UpsState state;
    state.link = UpsState::Link::Offline;
    return state;
}

UpsState faults(int kind, int word, quint16 value)
{
    UpsState state = online(0);
    state.faultKind = kind;
    state.faultWords[std::size_t(word)] = value;
    return state;
}

} // namespace

class TestStateConsumers : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    RecordWriter m_writer;
    Alarm m_alarm {&m_writer};
    QStringList alarms() const { return currentAlarmTexts(&m_alarm); }
    void tick() { m_alarm.onTimerEvent(); }

    QStringList recordings() const
    {
        return QDir(m_root.file(selfTestFolder)).entryList(QDir::Files, QDir::Name);
    }
    QByteArray recording(const QString &name) const { return m_root.read(selfTestFolder + name); }

    // The nine values of the status line; empty when there is no file.
    QList<int> summary() const
    {
        const QByteArray line = m_root.read(statusFile);
        if (line.isEmpty())
            return {};
        if (!line.endsWith("\r\n"))
            return {-1};
        QList<int> values;
        const QList<QByteArray> fields = line.trimmed().split(',');
        for (int i = 1; i < fields.size(); ++i)
            values << fields.at(i).toInt();
        return values;
    }

private slots:
    void init()
    {
        m_alarm.clearAlarms();
        Clock::advance(3600);
        tick();
        QSqlQuery(QStringLiteral("delete from log_self_test"));
        for (const QString &name : recordings())
            QFile::remove(m_root.file(selfTestFolder + name));
        QFile::remove(m_root.file(statusFile));
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

    void selfTestRecordings()
    {
        SelfTestRecorder recorder(&m_writer);
        QSignalSpy recorded(&recorder, &SelfTestRecorder::recorded);
        QVector<SelfTestResult> results;
        connect(&recorder, &SelfTestRecorder::finished,
                [&results](const SelfTestResult &result) { results.append(result); });
        UpsState idle = online(0, 98.0f, 40);
        idle.batteryVoltage = 27.4f;
        recorder.updateState(idle);
        Clock::advance(2);
        // Data sets come about every 700 ms; the test flag is up for ten seconds, while the
        // battery voltage falls by 0.1 V a data set, to 25.9 V, and is 26.9 V again at the end.
        float capacity = 98.0f;
        float voltage = 27.4f;
        for (int ms = 0; ms <= 10000; ms += 700) {
            UpsState testing = online(0x20, capacity, 40);
            voltage -= 0.1f;
            testing.batteryVoltage = voltage;
            recorder.updateState(testing);
            Clock::advance(0, 700);
            capacity = ms < 5000 ? 88.0f : 72.0f;
        }
        idle = online(0, 72.0f, 40);
        idle.batteryVoltage = 26.9f;
        recorder.updateState(idle);
        QCOMPARE(recordings(), QStringList({"20240902143002.txt"}));
        const QList<QByteArray> lines = recording("20240902143002.txt").split('\n');
        QCOMPARE(lines.size(), 11); // every line ends with a line feed
        QCOMPARE(lines.first(), QByteArray("0,40,98"));
        QCOMPARE(lines.at(1), QByteArray("1,40,88"));
        QCOMPARE(lines.at(9), QByteArray("9,40,72"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:02 10 10 1.5"}));
        QCOMPARE(recorded.count(), 1);
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().seconds, 10);
        QVERIFY(results.first().passed());
        QCOMPARE(qRound(*results.first().voltageDrop * 100), 150);

        // The link is lost during a test: the zeros of the lost data set are the last sample,
        // and nothing more is written when the link comes back with the test over.
        init();
        recorder.updateState(online(0x20, 98.0f, 40));
        Clock::advance(1);
        recorder.updateState(online(0x20, 98.0f, 40));
        Clock::advance(1);
        recorder.updateState(offline());
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,40,98\n1,40,98\n2,0,0\n"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:00 2 3"}));
        recorder.updateState(online(0));
        QCOMPARE(selfTestRows().size(), 1);
        // The voltage of the former test's end is no start for this one: none was reported.
        QCOMPARE(results.size(), 2);
        QVERIFY(!results.last().voltageDrop);

        // The battery ran low during the test: it failed, and is told so once. (A recording
        // that cannot be written is the full-disk suite's.)
        init();
        recorder.updateState(online(0x20, 0.0f, 50));
        Clock::advance(1);
        recorder.updateState(online(0x22, 0.0f, 50));
        recorder.updateState(online(0, 0.0f, 50));
        recorder.updateState(online(0, 0.0f, 50));
        QCOMPARE(results.size(), 3);
        QVERIFY(results.last().batteryLow && !results.last().passed());
    }

    // A sample is a measurement taken since the last one: while no data set comes (a line
    // whose replies are all refused), the last values are not stored again.
    void samplesOfNewDataOnly()
    {
        SampleStore store(&m_writer, m_root.settings());
        const QString rows = QStringLiteral("select count(*) from device_data");
        const int before = sqlCount(rows);
        store.updateState(online(0, 100.0f, 40));
        for (int i = 0; i < 3; ++i)
            store.store();
        QCOMPARE(sqlCount(rows), before + 1);
        store.updateState(online(0, 100.0f, 41));
        store.store();
        QCOMPARE(sqlCount(rows), before + 2);
        store.updateState(offline());
        store.store();
        QCOMPARE(sqlCount(rows), before + 2);
    }

    void publishedMap()
    {
        // Sixty values each: the zero of the start and the first value are gone.
        DevDataMap published;
        for (int i = 1; i <= 61; ++i)
            published.record(online(0, 100.0f, 50, float(i)));
        UpsState state = online(0x81, 87.5f, 35, 230.0f);
        state.runtime = 42;
        state.manufacturer = QStringLiteral("ORVAK");
        state.ratedCurrent = 5;
        QVariantMap map = published.map(state, true);
        const QVariantList input = map.value("inputVolList").toList();
        QCOMPARE(input.size(), 60);
        QCOMPARE(input.first().toFloat(), 2.0f);
        QCOMPARE(map.value("outputVolList").toList().last().toFloat(), 1061.0f);
        // The keys and types the screens read, from the state; what the UPS did not report
        // reads 0, and before the link is known "devOnline" is absent.
        QCOMPARE(map.size(), 27);
        const QVariantMap expected = {
            {"mainsFault", 1},       {"buzzer", 1},         {"battLowVol", 0},
            {"battCapacity", 87.5f}, {"load", 35},          {"battRemainTime", 42},
            {"ratingCurrent", 5},    {"compName", "ORVAK"}, {"devOnline", true},
            {"temperature", 0.0f},   {"ratingFreq", 0.0f}};
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(map.value(it.key()) == it.value(), qPrintable(it.key()));
        map = DevDataMap().map(UpsState(), false);
        QCOMPARE(map.size(), 26);
        QCOMPARE(map.value("inputVolList"), QVariant(QVariantList {0.0f}));
    }

    void summaryValues()
    {
        StatusFile file;
        // Mode, battery level and load level at their bounds: {status, capacity, load, line}.
        const QList<std::tuple<int, float, int, QList<int>>> levels = {
            {0x09, 24.9f, 24, {4, 0, 3, 0, 0, 3, 0, 0, 0}},
            {0x05, 25.0f, 25, {2, 0, 2, 0, 0, 2, 0, 0, 0}},
            {0x14, 74.9f, 100, {1, 0, 1, 0, 0, 0, 0, 0, 0}},
            {0x10, 75.0f, 101, {3, 0, 0, 0, 0, 4, 0, 0, 0}},
            {0xE2, 100.0f, 65535, {0, 0, 0, 0, 0, 4, 0, 0, 0}},
            {0x0C, 80.0f, 80, {4, 0, 0, 0, 0, 0, 0, 0, 0}},
        };
        for (const auto &c : levels) {
            file.updateState(online(std::get<0>(c), std::get<1>(c), std::get<2>(c)));
            QCOMPARE(summary(), std::get<3>(c));
        }

        // Fault positions: {kind, word, bit, position}, -1 for no position.
        const QList<std::array<int, 4>> positions = {
            {1, 8, 4, 3},  {1, 8, 9, 4},  {1, 5, 0, 6},  {1, 5, 11, 7}, {1, 3, 3, 8},
            {1, 8, 6, -1}, {2, 0, 7, 3},  {2, 7, 5, 4},  {2, 4, 2, 6},  {2, 0, 11, 7},
            {2, 2, 0, 8},  {2, 4, 3, -1}, {3, 8, 4, -1}, {0, 2, 0, -1},
        };
        file.updateState(online(0, 100.0f, 80));
        for (const auto &c : positions) {
            UpsState state = faults(c[0], c[1], quint16(1u << c[2]));
            state.load = 80;
            file.updateState(state);
            QList<int> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0};
            if (c[3] >= 0)
                expected[c[3]] = 1;
            QVERIFY2(
                summary() == expected || (c[3] < 0 && summary().isEmpty()),
                qPrintable(QStringLiteral("kind %1 word %2 bit %3").arg(c[0]).arg(c[1]).arg(c[2])));
            file.updateState(online(0, 100.0f, 80));
        }
    }

    void statusFileWrites()
    {
        Clock::setNow(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
        StatusFile file;
        // The first summary equals the remembered zeros: no file.
        file.updateState(online(0, 100.0f, 80));
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        file.updateState(online(0, 100.0f, 20));
        QCOMPARE(summary(), QList<int>({0, 0, 0, 0, 0, 3, 0, 0, 0}));
        // Same values again: the file is left alone.
        QFile::remove(m_root.file(statusFile));
        Clock::advance(5);
        file.updateState(online(0, 100.0f, 21));
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        // Any change rewrites it with the time of the change.
        file.updateState(online(0x01, 100.0f, 21));
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:14,2,0,0,0,0,3,0,0,0\r\n"));
        // Losing the link: everything zero but "communication lost".
        file.updateState(offline());
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:14,0,1,0,0,0,0,0,0,0\r\n"));
    }

    void readerNeverSeesAPartialStatusLine()
    {
        StatusFile file;
        file.updateState(online(0, 100.0f, 10));
        std::atomic<bool> done {false};
        std::atomic<int> reads {0};
        std::atomic<int> bad {0};
        const QString path = m_root.file(statusFile);
        std::thread reader([&] {
            while (!done) {
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly)) {
                    ++bad; // the file must always be there
                    continue;
                }
                const QByteArray line = file.readAll();
                if (!line.endsWith("\r\n") || line.count(',') != 9 || line.count('\n') != 1)
                    ++bad;
                ++reads;
            }
        });
        for (int i = 0; i < 20000 && (i < 150 || reads < 50); ++i)
            file.updateState(online(0, 100.0f, i % 2 ? 10 : 90));
        done = true;
        reader.join();
        QVERIFY(reads > 0);
        QCOMPARE(bad.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStateConsumers)
#include "tst_stateconsumers.moc"
