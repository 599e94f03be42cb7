// What the driver records: alarms from status bits and fault words, the self-test recordings,
// the published map with its histories, and the status summary file.
#include "alarm.h"
#include "clock.h"
#include "megatec.h"
#include "megatechelpers.h"
#include "recordprobe.h"
#include "testroot.h"

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

void tick()
{
    QMetaObject::invokeMethod(Alarm::instance(), "onTimerEvent");
}

// The self-test rows as "dateTime duration count" lines.
QStringList selfTestRows()
{
    QStringList rows;
    QSqlQuery query(QStringLiteral("select dateTime, duration, count from log_self_test"));
    while (query.next())
        rows << query.value(0).toString() + ' ' + query.value(1).toString() + ' ' +
                query.value(2).toString();
    return rows;
}

// Turns a folder into a plain file, so nothing can be written under it.
bool blockFolder(const QString &folder)
{
    QFile blocker(folder);
    return QDir(folder).removeRecursively() && blocker.open(QIODevice::WriteOnly);
}

bool unblockFolder(const QString &folder)
{
    return QFile::remove(folder) && QDir().mkpath(folder);
}

// A driver that came online over USB with the given record values.
void publish(Megatec &driver, quint8 status, float capacity, quint16 load)
{
    UpsData *data = driver.upsData();
    data->battCapacity = capacity;
    data->load = load;
    driver.setStatus(status);
    driver.updateData();
    driver.setOnline(true);
    driver.updateStatusFile();
}

} // namespace

class TestMegatecRecords : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

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
        Alarm::instance()->clearAlarms();
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
            Megatec driver;
            driver.setStatus(quint8(std::get<0>(c)));
            Alarm::instance()->clearAlarms();
            driver.setStatus(quint8(std::get<1>(c)));
            QCOMPARE(currentAlarmTexts(), std::get<2>(c));
            QCOMPARE(driver.upsData()->status, quint8(std::get<1>(c)));
            driver.reset();
        }
    }

    void alarmsOverTimeAndTheLink()
    {
        Megatec driver;
        const int rows = storedRows(Alarm::MainsFault);
        driver.setStatus(0x81);
        QCOMPARE(currentAlarmTexts(), QStringList({"Input voltage fault", "Buzzer open"}));
        // The event leaves after 11 s; the lasting alarm stays while the bit is set.
        Clock::advance(11);
        tick();
        QCOMPARE(currentAlarmTexts(), QStringList({"Input voltage fault"}));
        // Mains fails and returns in the same second: only the return is listed.
        driver.setStatus(0x80);
        driver.setStatus(0x81);
        driver.setStatus(0x80);
        QCOMPARE(currentAlarmTexts(), QStringList({"Input voltage returns to normal"}));
        QCOMPARE(storedRows(Alarm::MainsFault), rows + 2);
        Clock::advance(11);
        tick();
        QCOMPARE(currentAlarmTexts(), QStringList());
        driver.reset();

        // A USB report that flags lost communication resets the driver without clearing the
        // list; when the UPS reports the beeper again the event is only restarted.
        const int beeps = storedRows(Alarm::BuzzerOn);
        driver.setStatus(0x80);
        Clock::advance(5);
        tick();
        driver.reset();
        Alarm::instance()->addAlarm(Alarm::CommLost);
        driver.setStatus(0x80);
        QCOMPARE(storedRows(Alarm::BuzzerOn), beeps + 1);
        Clock::advance(10);
        tick();
        QVERIFY(currentAlarmTexts().contains("Buzzer open"));
        Clock::advance(1);
        tick();
        QCOMPARE(currentAlarmTexts(), QStringList({"Communication lost"}));
        driver.reset();

        Alarm::instance()->clearAlarms();
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("11101101")));
        Megatec::FaultWords words {};
        words[3] = 0x0008;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(Alarm::instance()->alarmNum(), 6);

        // The reset itself raises and clears nothing; the link then clears the list.
        driver.reset();
        QCOMPARE(Alarm::instance()->alarmNum(), 6);
        Alarm::instance()->clearAlarms();
        Alarm::instance()->addAlarm(Alarm::CommLost);
        Clock::advance(15);
        tick();
        QCOMPARE(currentAlarmTexts(), QStringList({"Communication lost"}));

        // Back online, every flag and fault still present is raised again.
        Alarm::instance()->delAlarm(Alarm::CommLost);
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("11101101")));
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(
            currentAlarmTexts(),
            QStringList({"Input voltage fault", "Battery voltage low", "Boost or buck activated",
                         "In self-test", "Buzzer open", "Inverter fault"}));
        driver.reset();
    }

    void faultWordAlarms()
    {
        Megatec driver;
        Megatec::FaultWords words {};
        words[5] = 0x0200; // offset 0x59
        words[8] = 0x0010; // offset 0x84
        const int rbc = storedRows(0x10059);
        // The same words twice raise them once.
        for (int i = 0; i < 2; ++i)
            QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(currentAlarmTexts(), QStringList({"RBC needs replacement", "Fan inoperative"}));
        QCOMPARE(storedRows(0x10059), rbc + 1);
        // A cleared bit becomes a timed return event; set again, the fault replaces it.
        words[8] = 0;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(currentAlarmTexts(),
                 QStringList({"RBC needs replacement", "Returned from: Fan inoperative"}));
        words[8] = 0x0010;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(currentAlarmTexts(), QStringList({"RBC needs replacement", "Fan inoperative"}));
        words[8] = 0;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        Clock::advance(11);
        tick();
        QCOMPARE(currentAlarmTexts(), QStringList({"RBC needs replacement"}));
        driver.reset();

        // Kind 1 -> 2: the same bits are raised anew as family 2 faults; the family 1 alarms
        // stay until cleared or the link goes down.
        Alarm::instance()->clearAlarms();
        Megatec fresh;
        Megatec::FaultWords both {};
        both[1] = 0x0002; // offset 0x11
        both[2] = 0x0001; // offset 0x20
        QVERIFY(answer(fresh, Megatec::CmdOrvakA1, faultReply(1, both)));
        QVERIFY(answer(fresh, Megatec::CmdOrvakA1, faultReply(2, both)));
        QCOMPARE(currentAlarmTexts(),
                 QStringList({"-DC bus over voltage", "+DC bus discharge fail",
                              "Rectifier CPLD clock source fault", "Inverter fault"}));
        // Back to kind 1: raised again only where not listed; nothing is cleared.
        QVERIFY(answer(fresh, Megatec::CmdOrvakA1, faultReply(1, both)));
        QCOMPARE(currentAlarmTexts().size(), 4);
        fresh.reset();

        // Kinds without texts raise nothing; only the low byte of the kind counts.
        Alarm::instance()->clearAlarms();
        words = {};
        words[0] = 0x0007; // offsets 0, 1, 2: the codes of the first events under kind 0
        fresh.setFaultWords(0, words);
        fresh.setFaultWords(3, words);
        QCOMPARE(currentAlarmTexts(), QStringList());
        fresh.setFaultWords(0x101, words);
        QCOMPARE(
            currentAlarmTexts(),
            QStringList({"Input phase sequence error", "Input voltage high", "Input voltage low"}));
        fresh.reset();
    }

    void selfTestRecordings()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.26", "040")));
        Clock::advance(2);
        // Replies come about every 700 ms; the test bit is up for ten seconds.
        QByteArray voltage = "2.26";
        for (int ms = 0; ms <= 10000; ms += 700) {
            QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000100", voltage, "040")));
            Clock::advance(0, 700);
            voltage = ms < 5000 ? "2.20" : "2.10";
        }
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.20", "040")));
        QCOMPARE(recordings(), QStringList({"20240902143002.txt"}));
        const QList<QByteArray> lines = recording("20240902143002.txt").split('\n');
        QCOMPARE(lines.size(), 11); // every line ends with a line feed
        QCOMPARE(lines.first(), QByteArray("0,40,98"));
        QCOMPARE(lines.at(1), QByteArray("1,40,88"));
        QCOMPARE(lines.at(9), QByteArray("9,40,72"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:02 10 10"}));

        // The link is lost during a test: the zero sample of the reset is the last one, and
        // nothing more is written when the link comes back with the test over.
        init();
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000100", "2.26", "040")));
        Clock::advance(1);
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000100", "2.26", "040")));
        Clock::advance(1);
        driver.reset();
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,40,98\n1,40,98\n2,0,0\n"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:00 2 3"}));
        driver.reset();
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000")));
        QCOMPARE(selfTestRows().size(), 1);

        // A folder that cannot be written: no row, the recording goes on, and the next end
        // writes everything since the start.
        init();
        const QString folder = m_root.file(QStringLiteral("/data/self_test"));
        QVERIFY(blockFolder(folder));
        Megatec blocked;
        blocked.upsData()->load = 50;
        blocked.setStatus(0x20);
        blocked.updateData();
        Clock::advance(1);
        blocked.setStatus(0x00);
        QVERIFY(selfTestRows().isEmpty());
        blocked.updateData();
        QVERIFY(unblockFolder(folder));
        Clock::advance(1);
        blocked.reset();
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,50,0\n1,50,0\n2,0,0\n"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:00 2 3"}));
    }

    void voltageHistories()
    {
        // Sixty values each: the zero of the construction and the first value are gone.
        Megatec driver;
        for (int i = 1; i <= 61; ++i) {
            driver.upsData()->inputVol = float(i);
            driver.upsData()->outputVol = float(1000 + i);
            driver.updateData();
        }
        const QVariantList input = driver.data().value("inputVolList").toList();
        const QVariantList output = driver.data().value("outputVolList").toList();
        QCOMPARE(input.size(), 60);
        QCOMPARE(input.first().toFloat(), 2.0f);
        QCOMPARE(output.size(), 60);
        QCOMPARE(output.last().toFloat(), 1061.0f);
        // A reset records the zeros of the lost link.
        driver.reset();
        QCOMPARE(driver.data().value("inputVolList").toList().last().toFloat(), 0.0f);
    }

    void summaryValues()
    {
        Megatec driver;
        // Mode, battery level and load level at their bounds: {status, capacity, load, line}.
        const QList<std::tuple<quint8, float, quint16, QList<int>>> levels = {
            {0x09, 24.9f, 24, {4, 0, 3, 0, 0, 3, 0, 0, 0}},
            {0x05, 25.0f, 25, {2, 0, 2, 0, 0, 2, 0, 0, 0}},
            {0x14, 74.9f, 100, {1, 0, 1, 0, 0, 0, 0, 0, 0}},
            {0x10, 75.0f, 101, {3, 0, 0, 0, 0, 4, 0, 0, 0}},
            {0xE2, 100.0f, 65535, {0, 0, 0, 0, 0, 4, 0, 0, 0}},
            {0x0C, 80.0f, 80, {4, 0, 0, 0, 0, 0, 0, 0, 0}},
        };
        for (const auto &c : levels) {
            publish(driver, std::get<0>(c), std::get<1>(c), std::get<2>(c));
            QCOMPARE(summary(), std::get<3>(c));
        }

        // Fault positions: {kind, word, bit, position}, -1 for no position.
        const QList<std::array<int, 4>> faults = {
            {1, 8, 4, 3},  {1, 8, 9, 4},  {1, 5, 0, 6},  {1, 5, 11, 7}, {1, 3, 3, 8},
            {1, 8, 6, -1}, {2, 0, 7, 3},  {2, 7, 5, 4},  {2, 4, 2, 6},  {2, 0, 11, 7},
            {2, 2, 0, 8},  {2, 4, 3, -1}, {3, 8, 4, -1}, {0, 2, 0, -1},
        };
        publish(driver, 0, 100.0f, 80);
        for (const auto &c : faults) {
            Megatec::FaultWords words {};
            words[std::size_t(c[1])] = quint16(1u << c[2]);
            driver.setFaultWords(c[0], words);
            driver.updateStatusFile();
            QList<int> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0};
            if (c[3] >= 0)
                expected[c[3]] = 1;
            QVERIFY2(
                summary() == expected || (c[3] < 0 && summary().isEmpty()),
                qPrintable(QStringLiteral("kind %1 word %2 bit %3").arg(c[0]).arg(c[1]).arg(c[2])));
            driver.setFaultWords(c[0], Megatec::FaultWords {});
            driver.updateStatusFile();
        }
    }

    void onlineStateAndStatusFile()
    {
        Clock::setNow(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
        Megatec driver;
        QSignalSpy online(&driver, &Megatec::onlineChanged);
        QStringList order;
        connect(&driver, &Megatec::onlineChanged, this, [&] { order << "online"; });
        connect(&driver, &Megatec::dataChanged, this, [&] { order << "data"; });
        QVERIFY(!driver.data().contains("devOnline")); // none before the first reply
        // The first summary after a reset equals the remembered zeros: no file.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.30", "080")));
        QCOMPARE(order, QStringList({"online", "data"}));
        QVERIFY(driver.data().value("devOnline").toBool());
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.30", "020")));
        QCOMPARE(summary(), QList<int>({0, 0, 0, 0, 0, 3, 0, 0, 0}));
        // Same values again: the file is left alone.
        QFile::remove(m_root.file(statusFile));
        Clock::advance(5);
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.30", "021")));
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        // Any change rewrites it with the time of the change.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("10000000", "2.30", "021")));
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:14,2,0,0,0,0,3,0,0,0\r\n"));

        // Losing the link: everything zero but "communication lost"; once only.
        driver.reset();
        driver.reset();
        QCOMPARE(online.count(), 2);
        QVERIFY(!driver.data().value("devOnline").toBool());
        QCOMPARE(driver.data().value("inputVol").toFloat(), 0.0f);
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:14,0,1,0,0,0,0,0,0,0\r\n"));
        // Over USB the link sets the state itself; the file follows at once.
        QFile::remove(m_root.file(statusFile));
        driver.setOnline(true);
        QCOMPARE(online.count(), 3);
        QCOMPARE(summary(), QList<int>({0, 0, 3, 0, 0, 3, 0, 0, 0}));

        // The folder is a file: nothing can be written, the summary is remembered anyway.
        const QString folder = m_root.file(QStringLiteral("/log/output"));
        QVERIFY(blockFolder(folder));
        Megatec blocked;
        publish(blocked, 0x01, 100.0f, 80);
        QVERIFY(unblockFolder(folder));
        blocked.updateStatusFile();
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        publish(blocked, 0x00, 100.0f, 80);
        QCOMPARE(summary(), QList<int>({0, 0, 0, 0, 0, 0, 0, 0, 0}));
    }

    void readerNeverSeesAPartialStatusLine()
    {
        Megatec driver;
        publish(driver, 0, 100.0f, 10);
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
            publish(driver, 0, 100.0f, quint16(i % 2 ? 10 : 90));
        done = true;
        reader.join();
        QVERIFY(reads > 0);
        QCOMPARE(bad.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMegatecRecords)
#include "tst_megatecrecords.moc"
