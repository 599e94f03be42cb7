#include "devstatusview.h"

#include <QSignalSpy>
#include <QtTest>

// The decisions the device page shows: link state, status tiles, texts and the live paths of
// the power-flow diagram, from maps shaped like the link's published data.
class TestDevStatusView : public QObject
{
    Q_OBJECT

private:
    // An online UPS on mains with a full battery, as the driver publishes it.
    static QVariantMap onMains()
    {
        return {
            {"devOnline", true},
            {"inputVol", 229.96},
            {"outputVol", 230.0},
            {"inputFreq", 50.04},
            {"battVol", 2.251},
            {"load", 37},
            {"temperature", 31.0},
            {"battCapacity", 97.5},
            {"battRemainTime", 117},
            {"mainsFault", 0},
            {"battLowVol", 0},
            {"bypassStart", 0},
            {"UPSFault", 0},
            {"workState", 0},
            {"selfTest", 0},
            {"powerOff", 0},
            {"buzzer", 1},
            {"compName", "ACME POWER     "},
            {"UPSModel", "  LX-1000 "},
            {"version", ""},
            {"sn", "SN0042"},
        };
    }
    static QVariantMap with(QVariantMap map, const QString &key, const QVariant &value)
    {
        map.insert(key, value);
        return map;
    }

private slots:
    void linkAndTilesFollowTheData()
    {
        DevStatusView view;
        // Before the link has been found up or down: nothing is known.
        QCOMPARE(view.linkState(), int(DevStatusView::LinkUnknown));
        QCOMPARE(view.inputState(), int(DevStatusView::FlagUnknown));
        QCOMPARE(view.workMode(), int(DevStatusView::WorkUnknown));
        QCOMPARE(view.inputVolText(), QStringLiteral("--"));
        QCOMPARE(view.battRemainText(), QStringLiteral("--:--:--"));
        QCOMPARE(view.batteryPercent(), -1.0);

        // The zeroed map of a driver that has not seen the UPS yet shows no "Normal" either.
        QVariantMap zero = onMains();
        zero.remove("devOnline");
        view.setDevData(zero);
        QCOMPARE(view.linkState(), int(DevStatusView::LinkUnknown));
        QCOMPARE(view.faultState(), int(DevStatusView::FlagUnknown));

        view.setDevData(onMains());
        QCOMPARE(view.linkState(), int(DevStatusView::LinkOnline));
        QVERIFY(view.online());
        QCOMPARE(view.inputState(), int(DevStatusView::FlagNormal));
        QCOMPARE(view.batteryState(), int(DevStatusView::FlagNormal));
        QCOMPARE(view.faultState(), int(DevStatusView::FlagNormal));
        QCOMPARE(view.selfTestState(), int(DevStatusView::FlagNormal));
        QCOMPARE(view.workMode(), int(DevStatusView::WorkOnMains));
        QCOMPARE(view.inputVolText(), QStringLiteral("230.0"));
        QCOMPARE(view.inputFreqText(), QStringLiteral("50.0"));
        QCOMPARE(view.battVolText(), QStringLiteral("2.25"));
        QCOMPARE(view.loadText(), QStringLiteral("37"));
        QCOMPARE(view.temperatureText(), QStringLiteral("31.0"));
        QCOMPARE(view.battRemainText(), QStringLiteral("01:57:00"));
        QCOMPARE(view.batteryPercent(), 97.5);
        QCOMPARE(view.manufacturerText(), QStringLiteral("ACME POWER"));
        QCOMPARE(view.modelText(), QStringLiteral("LX-1000"));
        QCOMPARE(view.versionText(), QStringLiteral("--"));

        QVariantMap failing = with(with(onMains(), "mainsFault", 1), "battLowVol", 1);
        failing = with(with(failing, "UPSFault", 1), "selfTest", 1);
        view.setDevData(failing);
        QCOMPARE(view.inputState(), int(DevStatusView::FlagActive));
        QCOMPARE(view.batteryState(), int(DevStatusView::FlagActive));
        QCOMPARE(view.faultState(), int(DevStatusView::FlagActive));
        QCOMPARE(view.selfTestState(), int(DevStatusView::FlagActive));

        // A lost link: the driver's zeros are not shown as measurements or as "Normal".
        QVariantMap lost = with(onMains(), "devOnline", false);
        view.setDevData(lost);
        QCOMPARE(view.linkState(), int(DevStatusView::LinkOffline));
        QCOMPARE(view.inputState(), int(DevStatusView::FlagUnknown));
        QCOMPARE(view.outputVolText(), QStringLiteral("--"));
        QCOMPARE(view.loadPercent(), -1.0);

        // Garbage in the map never shows as a number.
        view.setDevData(with(onMains(), "inputVol", QStringLiteral("n/a")));
        QCOMPARE(view.inputVolText(), QStringLiteral("--"));
        view.setDevData(with(onMains(), "battCapacity", 180));
        QCOMPARE(view.batteryPercent(), 100.0);
    }

    void workModeComesFromWhereThePowerFlows()
    {
        DevStatusView view;
        // A line-interactive UPS on mains sets the standby-type bit: still on mains.
        view.setDevData(with(onMains(), "workState", 1));
        QCOMPARE(view.workMode(), int(DevStatusView::WorkOnMains));
        view.setDevData(with(with(onMains(), "workState", 1), "mainsFault", 1));
        QCOMPARE(view.workMode(), int(DevStatusView::WorkOnBattery));
        view.setDevData(with(onMains(), "bypassStart", 1));
        QCOMPARE(view.workMode(), int(DevStatusView::WorkOnBypass));
        // Mains gone wins over a bypass flag.
        view.setDevData(with(with(onMains(), "bypassStart", 1), "mainsFault", 1));
        QCOMPARE(view.workMode(), int(DevStatusView::WorkOnBattery));
    }

    void powerPathsOfTheDiagram()
    {
        DevStatusView view;
        view.setDevData(onMains());
        QVERIFY(view.mainsLive());
        QVERIFY(view.inverterLive());
        QVERIFY(view.batteryCharging());
        QVERIFY(!view.batteryDischarging());
        QVERIFY(!view.bypassLive());
        QVERIFY(view.loadLive());

        view.setDevData(with(onMains(), "mainsFault", 1));
        QVERIFY(!view.mainsLive());
        QVERIFY(view.inverterLive());
        QVERIFY(!view.batteryCharging());
        QVERIFY(view.batteryDischarging());
        QVERIFY(view.loadLive());

        // A self-test runs the load from the battery with the mains present.
        view.setDevData(with(onMains(), "selfTest", 1));
        QVERIFY(view.mainsLive());
        QVERIFY(!view.batteryCharging());
        QVERIFY(view.batteryDischarging());

        view.setDevData(with(onMains(), "bypassStart", 1));
        QVERIFY(view.bypassLive());
        QVERIFY(!view.inverterLive());
        QVERIFY(view.loadLive());

        // Output switched off: nothing reaches the load.
        QVariantMap off = with(with(onMains(), "powerOff", 1), "outputVol", 0.0);
        view.setDevData(off);
        QVERIFY(!view.inverterLive());
        QVERIFY(!view.loadLive());
        QVERIFY(view.batteryCharging());

        view.setDevData(with(onMains(), "devOnline", false));
        QVERIFY(!view.mainsLive() && !view.inverterLive() && !view.loadLive());
        QVERIFY(!view.batteryCharging() && !view.batteryDischarging() && !view.bypassLive());
    }

    void countdownAndNotifications()
    {
        DevStatusView view;
        QSignalSpy status(&view, &DevStatusView::statusChanged);
        QSignalSpy countdown(&view, &DevStatusView::shutdownSecondsChanged);

        QCOMPARE(view.countdownText(), QStringLiteral("--:--:--"));
        QVERIFY(!view.countdownRunning());
        view.setShutdownSeconds(180);
        QCOMPARE(view.countdownText(), QStringLiteral("00:03:00"));
        QVERIFY(view.countdownRunning());
        view.setShutdownSeconds(179);
        QCOMPARE(view.countdownText(), QStringLiteral("00:02:59"));
        view.setShutdownSeconds(2880 * 60);
        QCOMPARE(view.countdownText(), QStringLiteral("48:00:00"));
        view.setShutdownSeconds(0);
        QCOMPARE(view.countdownText(), QStringLiteral("--:--:--"));
        view.setShutdownSeconds(-5);
        QCOMPARE(countdown.count(), 4);

        // The link republishes the same map on every poll; only a change wakes the screens.
        view.setDevData(onMains());
        view.setDevData(onMains());
        QCOMPARE(status.count(), 1);
        view.setDevData(with(onMains(), "load", 38));
        QCOMPARE(status.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestDevStatusView)
#include "tst_devstatusview.moc"
