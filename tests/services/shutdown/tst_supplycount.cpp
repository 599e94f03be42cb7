// What the shutdown's supply count makes of what it sees, without a network server: the chosen
// names from the settings, a reading of this computer's line confirmed by the next one, a watched
// UPS that stops answering or leaves its server, and the runtime it is judged by.
#include "settings.h"
#include "supplycount.h"
#include "testroot.h"
#include "upsstates.h"

#include <QtTest>

using namespace UpsStates;

namespace {

// One supply as the decision gets it, in one line.
QString describe(const Protection::Supply &s)
{
    QStringList out {s.name};
    const QList<QPair<const char *, bool>> flags = {
        {"unknown", !s.known},     {"answering", s.answering}, {"seen", s.everSeen},
        {"ob", s.onBattery},       {"lb", s.batteryLow},       {"fsd", s.forcedShutdown},
        {"below", s.belowCapacity}};
    for (const auto &flag : flags) {
        if (flag.second)
            out << flag.first;
    }
    if (s.runtimeSeconds >= 0)
        out << QString::number(s.runtimeSeconds) + 's';
    return out.join(' ');
}

} // namespace

class TestSupplyCount : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::WithSettings};

    QStringList judged(const SupplyCount &count, int capacity = 50) const
    {
        QStringList out;
        for (const Protection::Supply &supply : count.supplies(capacity))
            out << describe(supply);
        return out;
    }

private slots:
    void namesFromTheSettings()
    {
        Settings *settings = m_root.settings();
        SupplyCount count(settings);
        count.setNameCheck([](const QString &name) { return name == "rack"; });
        count.start();
        QVERIFY(count.localOnly());
        QSignalSpy changed(&count, &SupplyCount::changed);
        // Twice named counts once; a minimum under one is one; a name no watched UPS has is
        // never judged.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No watched UPS is named typo"));
        settings->setSettings(Settings::ShutdownSupplies,
                              QStringList {"local", "rack", "rack", "typo"});
        QCOMPARE(count.chosen(), QStringList({"local", "rack", "typo"}));
        QCOMPARE(count.minimum(), 1);
        QCOMPARE(count.unknown(), QStringList({"typo"}));
        QVERIFY(!changed.isEmpty() && !count.localOnly());
        QCOMPARE(judged(count), QStringList({"local", "rack", "typo unknown"}));
        settings->setSettings(Settings::ShutdownSupplies, QString());
        QVERIFY(count.localOnly());
        settings->setSettings(Settings::ShutdownSupplies, QStringLiteral("local"));
    }

    void readingsOverTime()
    {
        Settings *settings = m_root.settings();
        settings->setSettings(Settings::ShutdownSupplies, QStringList {"local", "rack"});
        SupplyCount count(settings);
        bool listed = true;
        count.setNameCheck([&listed](const QString &name) { return listed && name == "rack"; });
        count.start();

        // This computer's line: low battery and a low charge count from the second reading in a
        // row; a UPS server's at once.
        UpsState low = online(0x03, 20.0f); // on battery, battery low
        count.updateLocal(low);
        count.updateSupply("rack", low);
        QCOMPARE(judged(count),
                 QStringList({"local answering seen ob", "rack answering seen ob lb below"}));
        count.updateLocal(low);
        QCOMPARE(judged(count).first(), "local answering seen ob lb below");
        QCOMPARE(count.lost(), QStringList({"local", "rack"}));
        count.updateLocal(online(0x01, 20.0f));
        QCOMPARE(judged(count).first(), "local answering seen ob below");
        QCOMPARE(judged(count, 10).first(), "local answering seen ob");

        // The runtime judged is the lower of the UPS's own (minutes, not an estimate) and the
        // learned one.
        UpsState timed = online(0);
        timed.runtime = 5;
        count.updateLocal(timed);
        QCOMPARE(judged(count).first(), "local answering seen 300s");
        count.setLearnedRuntime("local", 200);
        QCOMPARE(judged(count).first(), "local answering seen 200s");
        count.setLearnedRuntime("local", 400);
        QCOMPARE(judged(count).first(), "local answering seen 300s");
        timed.runtimeEstimated = true;
        count.updateLocal(timed);
        QCOMPARE(judged(count).first(), "local answering seen 400s");

        // Silent, or gone from its server: judged by what it was last seen as.
        count.updateSupply("rack", offline());
        QCOMPARE(judged(count).last(), "rack seen ob lb");
        count.updateSupply("rack", online(0x01));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("rack is no longer listed"));
        count.forget("rack");
        QCOMPARE(judged(count).last(), "rack seen ob");
        QVERIFY(count.unknown().isEmpty());
        // Taken off the watched list by the user: nothing of it is kept, and its name is unknown.
        listed = false;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No watched UPS is named rack"));
        count.listEdited();
        QCOMPARE(judged(count).last(), "rack unknown");
        QVERIFY(!count.lost().contains("rack"));
        settings->setSettings(Settings::ShutdownSupplies, QStringLiteral("local"));
    }
};

QTEST_GUILESS_MAIN(TestSupplyCount)
#include "tst_supplycount.moc"
