// The published map, the voltage histories, the online state and the status summary file.
#include "clock.h"
#include "megatec.h"
#include "megatechelpers.h"
#include "testroot.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

const QString statusFile = QStringLiteral("/log/output/upsstatus.txt");

} // namespace

class TestMegatecStatus : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

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

    // A driver that came online over USB with the given record values.
    static void publish(Megatec &driver, quint8 status, float capacity, quint16 load)
    {
        UpsData *data = driver.upsData();
        data->battCapacity = capacity;
        data->load = load;
        driver.setStatus(status);
        driver.updateData();
        driver.setOnline(true);
        driver.updateStatusFile();
    }

private slots:
    void init()
    {
        QFile::remove(m_root.file(statusFile));
        Clock::setNow(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    }

    void mapAtConstruction()
    {
        Megatec driver;
        const QVariantMap map = driver.data();
        const QStringList floats = {"inputVol",        "outputVol",    "inputFreq",
                                    "battVol",         "battCapacity", "temperature",
                                    "ratingOutputVol", "ratingFreq",   "ratingBattVol"};
        const QStringList ints = {"load",        "battRemainTime", "mainsFault",   "battLowVol",
                                  "bypassStart", "UPSFault",       "workState",    "selfTest",
                                  "powerOff",    "buzzer",         "ratingCurrent"};
        const QStringList strings = {"compName", "UPSModel", "version", "sn"};
        QCOMPARE(map.size(), floats.size() + ints.size() + strings.size() + 2);
        for (const QString &key : floats) {
            QCOMPARE(map.value(key).userType(), int(QMetaType::Float));
            QCOMPARE(map.value(key).toFloat(), 0.0f);
        }
        for (const QString &key : ints) {
            QCOMPARE(map.value(key).userType(), int(QMetaType::Int));
            QCOMPARE(map.value(key).toInt(), 0);
        }
        for (const QString &key : strings) {
            QCOMPARE(map.value(key).userType(), int(QMetaType::QString));
            QVERIFY(map.value(key).toString().isEmpty());
        }
        for (const QString key : {"inputVolList", "outputVolList"}) {
            const QVariantList list = map.value(key).toList();
            QCOMPARE(list.size(), 1);
            QCOMPARE(list.first().userType(), int(QMetaType::Float));
        }
        QVERIFY(!map.contains("devOnline"));
        QVERIFY(!driver.isOnline());
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
    }

    void histories()
    {
        Megatec driver;
        for (int i = 1; i <= 60; ++i) {
            driver.upsData()->inputVol = float(i);
            driver.upsData()->outputVol = float(1000 + i);
            driver.updateData();
        }
        QVariantList input = driver.data().value("inputVolList").toList();
        QCOMPARE(input.size(), 60);
        QCOMPARE(input.first().toFloat(), 1.0f); // the zero of the construction is gone
        QCOMPARE(input.last().toFloat(), 60.0f);
        driver.upsData()->inputVol = 61.0f;
        driver.upsData()->outputVol = 1061.0f;
        driver.updateData();
        input = driver.data().value("inputVolList").toList();
        const QVariantList output = driver.data().value("outputVolList").toList();
        QCOMPARE(input.size(), 60);
        QCOMPARE(output.size(), 60);
        QCOMPARE(input.first().toFloat(), 2.0f);
        QCOMPARE(output.first().toFloat(), 1002.0f);
        QCOMPARE(output.last().toFloat(), 1061.0f);
        // A reset records the zeros of the lost link.
        driver.reset();
        QCOMPARE(driver.data().value("inputVolList").toList().last().toFloat(), 0.0f);
        QCOMPARE(driver.data().value("inputVolList").toList().size(), 60);
    }

    void onlineAndReset()
    {
        Megatec driver;
        QSignalSpy online(&driver, &Megatec::onlineChanged);
        QSignalSpy changed(&driver, &Megatec::dataChanged);
        QStringList order;
        connect(&driver, &Megatec::onlineChanged, this, [&] { order << "online"; });
        connect(&driver, &Megatec::dataChanged, this, [&] { order << "data"; });

        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("10000000", "2.10", "030")));
        QCOMPARE(order, QStringList({"online", "data"}));
        QCOMPARE(online.takeFirst().value(0).toBool(), true);
        QCOMPARE(driver.data().value("devOnline").userType(), int(QMetaType::Bool));
        QVERIFY(driver.data().value("devOnline").toBool());
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:09,2,0,1,0,0,2,0,0,0\r\n"));

        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("10000000", "2.10", "030")));
        QCOMPARE(online.count(), 0);
        QCOMPARE(changed.count(), 2);

        // Losing the link: everything zero but "communication lost".
        driver.reset();
        QCOMPARE(online.takeFirst().value(0).toBool(), false);
        QCOMPARE(changed.count(), 3);
        QVERIFY(!driver.data().value("devOnline").toBool());
        QCOMPARE(driver.data().value("mainsFault").toInt(), 0);
        QCOMPARE(driver.data().value("inputVol").toFloat(), 0.0f);
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:09,0,1,0,0,0,0,0,0,0\r\n"));

        // A reset while offline signals nothing.
        driver.reset();
        QCOMPARE(online.count(), 0);
        QCOMPARE(changed.count(), 3);

        // Over USB the link sets the state itself; the file follows at once.
        QFile::remove(m_root.file(statusFile));
        driver.setOnline(true);
        QCOMPARE(online.takeFirst().value(0).toBool(), true);
        QCOMPARE(summary(), QList<int>({0, 0, 3, 0, 0, 3, 0, 0, 0}));
        driver.setOnline(true);
        QCOMPARE(online.count(), 0);
    }

    void summaryValues()
    {
        Megatec driver;
        const QList<QPair<quint8, int>> modes = {{0x09, 4}, {0x05, 2}, {0x14, 1}, {0x10, 3},
                                                 {0x00, 0}, {0xE2, 0}, {0x0C, 4}, {0x15, 2}};
        for (const auto &mode : modes) {
            publish(driver, mode.first, 80.0f, 80);
            QCOMPARE(summary().value(0), mode.second);
        }

        const QList<QPair<float, int>> battery = {{0.0f, 3},  {24.9f, 3}, {25.0f, 2}, {49.9f, 2},
                                                  {50.0f, 1}, {74.9f, 1}, {75.0f, 0}, {100.0f, 0}};
        for (const auto &level : battery) {
            publish(driver, 0, level.first, 80);
            QCOMPARE(summary().value(2), level.second);
        }

        const QList<QPair<int, int>> loads = {{0, 3},  {24, 3}, {25, 2},  {49, 2},  {50, 1},
                                              {74, 1}, {75, 0}, {100, 0}, {101, 4}, {65535, 4}};
        for (const auto &level : loads) {
            publish(driver, 0, 100.0f, quint16(level.first));
            QCOMPARE(summary().value(5), level.second);
        }
    }

    void faultPositions()
    {
        struct Case
        {
            int kind;
            int word;
            int bit;
            int position; // -1: no position
        };
        const QList<Case> cases = {
            {1, 8, 4, 3}, {1, 8, 5, 3},  {1, 8, 0, 4},   {1, 8, 7, 4},  {1, 8, 8, 4},
            {1, 8, 9, 4}, {1, 5, 0, 6},  {1, 5, 9, 6},   {1, 5, 10, 7}, {1, 5, 11, 7},
            {1, 3, 3, 8}, {1, 8, 6, -1}, {1, 5, 12, -1}, {1, 0, 7, -1}, {2, 0, 7, 3},
            {2, 0, 0, 4}, {2, 0, 9, 4},  {2, 2, 13, 4},  {2, 7, 2, 4},  {2, 7, 5, 4},
            {2, 4, 2, 6}, {2, 4, 4, 6},  {2, 4, 7, 6},   {2, 4, 3, -1}, {2, 0, 11, 7},
            {2, 2, 0, 8}, {2, 8, 4, -1}, {3, 8, 4, -1},  {3, 0, 7, -1}, {0, 2, 0, -1},
        };
        Megatec driver;
        publish(driver, 0, 100.0f, 80);
        for (const Case &c : cases) {
            Megatec::FaultWords words {};
            words[std::size_t(c.word)] = quint16(1u << c.bit);
            driver.setFaultWords(c.kind, words);
            driver.updateStatusFile();
            QList<int> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0};
            if (c.position >= 0)
                expected[c.position] = 1;
            QVERIFY2(
                summary() == expected || (c.position < 0 && summary().isEmpty()),
                qPrintable(
                    QStringLiteral("kind %1 word %2 bit %3").arg(c.kind).arg(c.word).arg(c.bit)));
            driver.setFaultWords(c.kind, Megatec::FaultWords {});
            driver.updateStatusFile();
        }
    }

    void writtenOncePerChange()
    {
        Megatec driver;
        // The first summary after a reset equals the remembered zeros: no file.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.30", "080")));
        QVERIFY(driver.isOnline());
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
    }

    void unwritableFolder()
    {
        // The folder is a file: nothing can be written, the summary is remembered anyway.
        const QString folder = m_root.file(QStringLiteral("/log/output"));
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        Megatec driver;
        publish(driver, 0x01, 100.0f, 80);
        QVERIFY(QFileInfo(folder).isFile());
        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
        driver.updateStatusFile();
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        publish(driver, 0x00, 100.0f, 80);
        QCOMPARE(summary(), QList<int>({0, 0, 0, 0, 0, 0, 0, 0, 0}));
    }

    void readerNeverSeesAPartialLine()
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

QTEST_GUILESS_MAIN(TestMegatecStatus)
#include "tst_megatecstatus.moc"
