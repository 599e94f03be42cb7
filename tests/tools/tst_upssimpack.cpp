// upssim's battery pack, driven through its control channel as the tests and the bench use it:
// on three different batteries the terminals sag under load and recover, the runtime falls
// faster than the load rises (Peukert), the UPS's own figure is off by its factor, ageing takes
// its share, and a fast clock runs the battery down to battery low.
#include "upssimprocess.h"

#include <QtTest>

namespace {

// A number out of the answer to "state" ("... battvolt=24.31 ...").
double field(const QString &state, const QString &name)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("\\b%1=([0-9.]+)").arg(name)).match(state);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

} // namespace

class TestUpsSimPack : public QObject
{
    Q_OBJECT
private slots:
    void batteriesBehave();
};

void TestUpsSimPack::batteriesBehave()
{
    const QStringList packs = {"ah=7 peukert=1.25 ohms=0.1", "ah=12 peukert=1.08 ohms=0.04",
                               "ah=9 peukert=1.4 ohms=0.07 years=3 fadeyear=5"};
    for (const QString &pack : packs) {
        UpsSimProcess sim({"--instant", "--speed", "0.01", "--pack", pack});
        QVERIFY2(sim.isReady(), qPrintable(pack));
        QVERIFY(sim.run({"load 20", "mains fail"}));
        const QString light = sim.command("state");
        QVERIFY(sim.run({"load 80"}));
        const QString heavy = sim.command("state");
        QVERIFY(sim.run({"load 20"}));
        const QString again = sim.command("state");
        // The terminals sag under load and recover with it.
        QVERIFY2(field(heavy, "battvolt") < field(light, "battvolt") - 0.3, qPrintable(pack));
        QVERIFY2(qAbs(field(again, "battvolt") - field(light, "battvolt")) < 0.05,
                 qPrintable(pack));
        // Four times the load takes more than four times the charge per second.
        QVERIFY2(field(light, "remaining") > 4 * field(heavy, "remaining"), qPrintable(pack));
        // The UPS's own figure follows its factor.
        QVERIFY(sim.run({"pack factor=2"}));
        const double doubled = field(sim.command("state"), "remaining");
        QVERIFY2(qAbs(doubled / field(again, "remaining") - 2) < 0.02, qPrintable(pack));
        if (pack.contains("years"))
            QCOMPARE(field(light, "health"), 0.85);
        // A bad setting is refused and changes nothing.
        QVERIFY(sim.command("pack peukert=3").startsWith("error peukert"));
        QVERIFY(sim.command("pack volts=12").startsWith("error unknown"));
        QCOMPARE(field(sim.command("state"), "peukert"), field(light, "peukert"));
        // A fast clock runs it down: battery low comes, while the charge is still above zero.
        QVERIFY(sim.run({"load 60", "speed 10000"}));
        QVERIFY2(sim.waitForEvent("STATE battery-low on", 5000), qPrintable(pack));
        QVERIFY(sim.run({"speed 0.01"}));
        QVERIFY(field(sim.command("state"), "capacity") >= 0);
        QVERIFY(sim.run({"pack off"}));
        QVERIFY(sim.command("state").contains("pack=off"));
    }
}

QTEST_GUILESS_MAIN(TestUpsSimPack)
#include "tst_upssimpack.moc"
