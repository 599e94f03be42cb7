// Self-test recordings made while the serial link polls the simulated UPS. The clock moves on
// one second with every published status, so a test of ten statuses is a test of ten seconds.
#include "clock.h"
#include "devcomm.h"
#include "settings.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QDir>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>
#include <memory>

class TestDevCommSelfTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tenSecondTest();
    void secondTestHasItsOwnFile();
    void linkLostDuringTest();

private:
    int selfTest() const { return dev->devData().value("selfTest").toInt(); }
    QStringList recordings() const;
    QStringList lines(const QString &name) const;
    // Runs a 10-second test for `statuses` published statuses; returns the new recording.
    QString runTest(int statuses);

    std::unique_ptr<TestRoot> root;
    std::unique_ptr<UpsSimProcess> sim;
    DevComm *dev = nullptr;
};

void TestDevCommSelfTest::initTestCase()
{
    root.reset(new TestRoot);
    // The simulated UPS's own clock crawls: its tests end when told to, not on their own.
    sim.reset(new UpsSimProcess(
        {QStringLiteral("--instant"), QStringLiteral("--speed"), QStringLiteral("0.01")}));
    QVERIFY(sim->isReady());
    Clock::setNow(QDateTime(QDate(2026, 3, 1), QTime(10, 0, 0)));
    Settings::instance()->setSettings(Settings::UpsCommType, int(DevComm::COM));
    Settings::instance()->setSettings(Settings::UpsComPort, sim->portPath());
    dev = DevComm::instance();
    connect(dev, &DevComm::devDataChanged, this, [] { Clock::advance(1); });
    QTRY_VERIFY_WITH_TIMEOUT(dev->devData().value("devOnline").toBool(), 5000);
}

QStringList TestDevCommSelfTest::recordings() const
{
    return QDir(root->file(QStringLiteral("/data/self_test")))
        .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
}

QStringList TestDevCommSelfTest::lines(const QString &name) const
{
    const QString text = QString::fromLatin1(root->read(QStringLiteral("/data/self_test/") + name));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString TestDevCommSelfTest::runTest(int statuses)
{
    const QStringList before = recordings();
    dev->setSelfTest(2, 0);
    if (!QTest::qWaitFor([this] { return selfTest() == 1; }, 5000))
        return QStringLiteral("no test started");
    QSignalSpy spy(dev, &DevComm::devDataChanged);
    if (!QTest::qWaitFor([&] { return spy.count() >= statuses - 1; }, 20000))
        return QStringLiteral("too few statuses");
    if (sim->command(QStringLiteral("selftest finish")) != QLatin1String("ok"))
        return QStringLiteral("simulator refused");
    if (!QTest::qWaitFor([this] { return selfTest() == 0; }, 5000))
        return QStringLiteral("test did not end");
    QStringList added = recordings();
    for (const QString &name : before)
        added.removeAll(name);
    return added.size() == 1 ? added.first() : QStringLiteral("%1 new files").arg(added.size());
}

void TestDevCommSelfTest::tenSecondTest()
{
    const QString name = runTest(10);
    QVERIFY2(name.endsWith(QLatin1String(".txt")), qPrintable(name));
    const QStringList samples = lines(name);
    QVERIFY2(samples.size() >= 9 && samples.size() <= 13, qPrintable(samples.join(' ')));
    for (int i = 0; i < samples.size(); ++i) {
        const QStringList fields = samples.at(i).split(QLatin1Char(','));
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields.at(0).toInt(), i);
        QVERIFY(fields.at(2).toInt() > 0);
    }
    QSqlQuery row("select dateTime, duration, count from log_self_test order by id");
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toString(),
             QStringLiteral("2026-03-01 10:") + name.mid(10, 2) + QLatin1Char(':') +
                 name.mid(12, 2));
    QCOMPARE(row.value(2).toInt(), samples.size());
    QVERIFY(qAbs(row.value(1).toInt() - samples.size()) <= 1);
    QVERIFY(!row.next());
}

void TestDevCommSelfTest::secondTestHasItsOwnFile()
{
    const QString name = runTest(5);
    QVERIFY2(name.endsWith(QLatin1String(".txt")), qPrintable(name));
    QCOMPARE(recordings().size(), 2);
    const QStringList samples = lines(name);
    QVERIFY2(samples.size() >= 4 && samples.size() <= 7, qPrintable(samples.join(' ')));
    QVERIFY(samples.first().startsWith(QLatin1String("0,")));
    QSqlQuery row("select count from log_self_test order by id desc");
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), samples.size());
}

void TestDevCommSelfTest::linkLostDuringTest()
{
    dev->setSelfTest(2, 0);
    QTRY_COMPARE_WITH_TIMEOUT(selfTest(), 1, 5000);
    QSignalSpy spy(dev, &DevComm::devDataChanged);
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 3, 10000);

    QCOMPARE(sim->command(QStringLiteral("silent on")), QStringLiteral("ok"));
    // Unanswered sends until the UPS counts as lost; the reset ends the recording.
    QTimer *pollTimer = dev->findChild<QTimer *>(QStringLiteral("pollTimer"));
    for (int i = 0; i < 20 && dev->devData().value("devOnline").toBool(); ++i) {
        QMetaObject::invokeMethod(dev, "onTimerPollingTimeout");
        pollTimer->stop();
    }
    QCOMPARE(dev->devData().value("devOnline").toBool(), false);
    QCOMPARE(recordings().size(), 3);
    const QStringList samples = lines(recordings().last());
    QVERIFY(samples.size() >= 3);
    QSqlQuery row("select count from log_self_test order by id desc");
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), samples.size());
    QCOMPARE(sim->command(QStringLiteral("speak")), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TestDevCommSelfTest)
#include "tst_devcommselftest.moc"
