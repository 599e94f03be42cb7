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
    static QVariantMap onMains(const QVariantMap &changes = {})
    {
        QVariantMap map = {{"devOnline", true},
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
                           {"sn", "SN0042"}};
        for (auto it = changes.begin(); it != changes.end(); ++it)
            map.insert(it.key(), it.value());
        return map;
    }
    // "name=value;..." with the shown value's text. Link: 0 unknown, 1 online, 2 offline; flags:
    // -1 unknown, 0 normal, 1 active; work mode: 0 unknown, 1 mains, 2 battery, 3 bypass.
    static void expect(const DevStatusView &view, const QString &properties)
    {
        for (const QString &property : properties.split(';')) {
            const QString name = property.section('=', 0, 0);
            QCOMPARE(name + "=" + view.property(qPrintable(name)).toString(), property);
        }
    }

private slots:
    void linkAndTilesFollowTheData()
    {
        DevStatusView view;
        // Before the link has been found up or down: nothing is known.
        expect(view,
               "linkState=0;inputState=-1;workMode=0;inputVolText=--;"
               "battRemainText=--:--:--;batteryPercent=-1");

        // The zeroed map of a driver that has not seen the UPS yet shows no "Normal" either.
        QVariantMap zero = onMains();
        zero.remove("devOnline");
        view.setDevData(zero);
        expect(view, "linkState=0;faultState=-1");

        view.setDevData(onMains());
        expect(view,
               "linkState=1;inputState=0;batteryState=0;faultState=0;selfTestState=0;"
               "inputVolText=230.0;inputFreqText=50.0;battVolText=2.25;loadText=37;"
               "temperatureText=31.0;battRemainText=01:57:00;batteryPercent=97.5;"
               "manufacturerText=ACME POWER;modelText=LX-1000;versionText=--");

        view.setDevData(
            onMains({{"mainsFault", 1}, {"battLowVol", 1}, {"UPSFault", 1}, {"selfTest", 1}}));
        expect(view, "inputState=1;batteryState=1;faultState=1;selfTestState=1");

        // A lost link: the driver's zeros are not shown as measurements or as "Normal".
        view.setDevData(onMains({{"devOnline", false}}));
        expect(view, "linkState=2;inputState=-1;outputVolText=--;loadPercent=-1");

        // Garbage in the map never shows as a number.
        view.setDevData(onMains({{"inputVol", "n/a"}, {"battCapacity", 180}}));
        expect(view, "inputVolText=--;batteryPercent=100");
    }

    void workModeAndPowerPaths()
    {
        const int mains = DevStatusView::WorkOnMains, battery = DevStatusView::WorkOnBattery,
                  bypass = DevStatusView::WorkOnBypass;
        const struct
        {
            const char *what;
            QVariantMap changes;
            int mode;
            QString live; // mains, bypass, inverter, charging, discharging, load
        } cases[] = {
            {"on mains", {}, mains, "m.ic.L"},
            // A line-interactive UPS on mains sets the standby-type bit: still on mains.
            {"standby bit", {{"workState", 1}}, mains, "m.ic.L"},
            {"mains fault", {{"mainsFault", 1}}, battery, "..i.dL"},
            // A self-test runs the load from the battery with the mains present.
            {"self-test", {{"selfTest", 1}}, mains, "m.i.dL"},
            {"bypass", {{"bypassStart", 1}}, bypass, "mb.c.L"},
            // Mains gone wins over a bypass flag.
            {"bypass, no mains", {{"bypassStart", 1}, {"mainsFault", 1}}, battery, ""},
            // Output switched off: nothing reaches the load.
            {"output off", {{"powerOff", 1}, {"outputVol", 0.0}}, -1, "m..c.."},
            {"link lost", {{"devOnline", false}}, -1, "......"},
        };
        for (const auto &c : cases) {
            DevStatusView view;
            view.setDevData(onMains(c.changes));
            if (c.mode >= 0)
                QVERIFY2(view.workMode() == c.mode, c.what);
            if (c.live.isEmpty())
                continue;
            const QString live = QString(view.mainsLive() ? "m" : ".") +
                (view.bypassLive() ? "b" : ".") + (view.inverterLive() ? "i" : ".") +
                (view.batteryCharging() ? "c" : ".") + (view.batteryDischarging() ? "d" : ".") +
                (view.loadLive() ? "L" : ".");
            QVERIFY2(live == c.live, qPrintable(c.what + (": " + live)));
        }
    }

    // The one state shown in the header, the pill and the tray: the worst of what holds.
    void worstStateShown()
    {
        const int waiting = DevStatusView::UpsWaiting, normal = DevStatusView::UpsNormal,
                  battery = DevStatusView::UpsOnBattery, low = DevStatusView::UpsBatteryLow,
                  off = DevStatusView::UpsOutputOff, fault = DevStatusView::UpsFault,
                  lost = DevStatusView::UpsCommLost;
        const QVariantMap noLink = {{"UPSFault", 0}, {"outputVol", 0.0}};
        const struct
        {
            const char *what;
            QVariantMap data;
            int state;
        } cases[] = {
            {"no answer yet", noLink, waiting},
            {"on mains", onMains(), normal},
            {"on bypass", onMains({{"bypassStart", 1}}), normal},
            {"self-test", onMains({{"selfTest", 1}}), normal},
            {"mains failed", onMains({{"mainsFault", 1}}), battery},
            {"battery low on battery", onMains({{"mainsFault", 1}, {"battLowVol", 1}}), low},
            {"battery low on mains", onMains({{"battLowVol", 1}}), low},
            // Shutdown active with the output still live: the load has power until the delay ends.
            {"output going off", onMains({{"powerOff", 1}}), normal},
            {"output switched off", onMains({{"powerOff", 1}, {"outputVol", 0.0}}), off},
            {"battery run flat",
             onMains({{"mainsFault", 1}, {"battLowVol", 1}, {"outputVol", 0.0}}), off},
            {"no output reading", onMains({{"outputVol", QVariant()}}), normal},
            {"garbled output reading", onMains({{"outputVol", "n/a"}}), normal},
            {"UPS fault", onMains({{"UPSFault", 1}}), fault},
            {"fault above everything else",
             onMains({{"UPSFault", 1}, {"mainsFault", 1}, {"battLowVol", 1}, {"outputVol", 0.0}}),
             fault},
            {"link lost, last flags stale",
             onMains({{"devOnline", false}, {"UPSFault", 1}, {"outputVol", 0.0}}), lost},
        };
        for (const auto &c : cases) {
            DevStatusView view;
            QSignalSpy status(&view, &DevStatusView::statusChanged);
            view.setDevData(c.data);
            QVERIFY2(view.upsState() == c.state,
                     qPrintable(QString("%1: %2").arg(c.what).arg(view.upsState())));
            QCOMPARE(status.count(), 1);
        }
    }

    void countdownAndNotifications()
    {
        DevStatusView view;
        QSignalSpy status(&view, &DevStatusView::statusChanged);
        QVERIFY(!view.countdownRunning());
        const QPair<int, const char *> countdowns[] = {{180, "00:03:00"},
                                                       {179, "00:02:59"},
                                                       {2880 * 60, "48:00:00"},
                                                       {0, "--:--:--"},
                                                       {-5, "--:--:--"}};
        for (const auto &c : countdowns) {
            view.setShutdownSeconds(c.first);
            QCOMPARE(view.countdownText(), QString(c.second));
            QCOMPARE(view.countdownRunning(), c.first > 0);
        }

        // The link republishes the same map on every poll; only a change wakes the screens.
        view.setDevData(onMains());
        view.setDevData(onMains());
        QCOMPARE(status.count(), 1);
        view.setDevData(onMains({{"load", 38}}));
        QCOMPARE(status.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestDevStatusView)
#include "tst_devstatusview.moc"
