// The status summary file other programs read.
#include "clock.h"
#include "statusfile.h"
#include "testroot.h"
#include "upsstates.h"

#include <QtTest>

#include <array>
#include <atomic>
#include <thread>

using namespace UpsStates;

namespace {

const QString statusFile = QStringLiteral("/log/output/upsstatus.txt");

} // namespace

class TestStatusFile : public QObject
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

private slots:
    void init()
    {
        QFile::remove(m_root.file(statusFile));
        Clock::setNow(QDateTime(QDate(2024, 9, 2), QTime(14, 30, 0)));
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

QTEST_GUILESS_MAIN(TestStatusFile)
#include "tst_statusfile.moc"
