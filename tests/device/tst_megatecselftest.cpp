// The self-test recording: one sample a second while the UPS tests, a file and a row at the end.
#include "clock.h"
#include "megatec.h"
#include "megatechelpers.h"
#include "testroot.h"

#include <QDir>
#include <QSqlQuery>
#include <QtTest>

namespace {

struct Row
{
    QString dateTime;
    int duration;
    int count;
};

QList<Row> rows()
{
    QList<Row> result;
    QSqlQuery query(
        QStringLiteral("select dateTime, duration, count from log_self_test order by id"));
    while (query.next())
        result.append({query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt()});
    return result;
}

} // namespace

class TestMegatecSelfTest : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

    QStringList recordings() const
    {
        return QDir(m_root.file(QStringLiteral("/data/self_test")))
            .entryList(QDir::Files, QDir::Name);
    }

    QByteArray recording(const QString &name) const
    {
        return m_root.read(QStringLiteral("/data/self_test/") + name);
    }

    void clean()
    {
        QSqlQuery query(QStringLiteral("delete from log_self_test"));
        for (const QString &name : recordings())
            QFile::remove(m_root.file(QStringLiteral("/data/self_test/") + name));
    }

private slots:
    void init()
    {
        clean();
        Clock::setNow(QDateTime(QDate(2024, 9, 2), QTime(14, 30, 0)));
    }

    void tenSecondTest()
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
        QCOMPARE(lines.last(), QByteArray()); // every line ends with a line feed
        QCOMPARE(lines.size() - 1, 10);
        QCOMPARE(lines.first(), QByteArray("0,40,98"));
        QCOMPARE(lines.at(1), QByteArray("1,40,88"));
        QCOMPARE(lines.at(9), QByteArray("9,40,72"));
        for (int i = 0; i < 10; ++i)
            QVERIFY(lines.at(i).startsWith(QByteArray::number(i) + ','));

        const QList<Row> stored = rows();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().dateTime, QStringLiteral("2024-09-02 14:30:02"));
        QCOMPARE(stored.first().duration, 10);
        QCOMPARE(stored.first().count, 10);
    }

    void twoTestsTwoFiles()
    {
        Megatec driver;
        driver.upsData()->load = 20;
        driver.upsData()->battCapacity = 99.9f;
        driver.setStatus(0x20);
        driver.updateData();
        Clock::advance(1);
        driver.updateData();
        driver.setStatus(0x00);

        // The second test starts in the second the first one ended.
        driver.upsData()->load = 30;
        driver.setStatus(0x20);
        driver.updateData();
        Clock::advance(1);
        driver.updateData();
        driver.updateData(); // same second: no sample
        Clock::advance(1);
        driver.setStatus(0x00);

        QCOMPARE(recordings(), QStringList({"20240902143000.txt", "20240902143001.txt"}));
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,20,99\n1,20,99\n"));
        QCOMPARE(recording("20240902143001.txt"), QByteArray("0,30,99\n1,30,99\n"));
        const QList<Row> stored = rows();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(0).duration, 1);
        QCOMPARE(stored.at(1).duration, 2);
        QCOMPARE(stored.at(1).count, 2);
    }

    void resetEndsTheRecording()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000100", "2.26", "040")));
        Clock::advance(1);
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000100", "2.26", "040")));
        Clock::advance(1);
        driver.reset(); // the link is lost: the zero sample of the reset is the last one
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,40,98\n1,40,98\n2,0,0\n"));
        QCOMPARE(rows().size(), 1);
        QCOMPARE(rows().first().count, 3);

        // Nothing more is written when the link comes back with the test over.
        driver.reset();
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000")));
        QCOMPARE(rows().size(), 1);
    }

    void unwritableFolder()
    {
        const QString folder = m_root.file(QStringLiteral("/data/self_test"));
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        Megatec driver;
        driver.upsData()->load = 50;
        driver.setStatus(0x20);
        driver.updateData();
        Clock::advance(1);
        driver.setStatus(0x00); // cannot write: no row, the recording goes on
        QVERIFY(rows().isEmpty());
        driver.updateData();

        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
        Clock::advance(1);
        driver.reset(); // the next end writes everything since the start
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,50,0\n1,50,0\n2,0,0\n"));
        QCOMPARE(rows().size(), 1);
        QCOMPARE(rows().first().duration, 2);
    }
};

QTEST_GUILESS_MAIN(TestMegatecSelfTest)
#include "tst_megatecselftest.moc"
