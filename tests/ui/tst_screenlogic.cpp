#include "devcomm.h"
#include "devstatusview.h"
#include "nutupspublisher.h"
#include "renderchoice.h"
#include "upsstate.h"

#include <QtTest>

#include <cmath>

// The decisions the screens rest on: what the device page shows (link state, status tiles, texts
// and the live paths of the power-flow diagram) from the typed state of the UPS, and which
// renderer draws the window.
class TestScreenLogic : public QObject
{
    Q_OBJECT

private:
    // An online UPS on mains with a full battery and the beeper on, with `status` set instead.
    static UpsState onMains(int status = 0x80, UpsState::Link link = UpsState::Link::Online)
    {
        UpsState state;
        state.link = link;
        state.setStatusByte(quint8(status));
        state.inputVoltage = 229.96f;
        state.outputVoltage = 230.0f;
        state.inputFrequency = 50.04f;
        state.batteryVoltage = 2.251f;
        state.load = 37;
        state.temperature = 31.0f;
        state.batteryCharge = 97.5f;
        state.runtime = 117;
        state.manufacturer = QStringLiteral("ACME POWER     ");
        state.model = QStringLiteral("  LX-1000 ");
        state.serialNumber = QStringLiteral("SN0042");
        return state;
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

        // A UPS that has not answered yet shows no "Normal" either.
        view.setState(onMains(0, UpsState::Link::Unknown));
        expect(view, "linkState=0;faultState=-1");

        view.setState(onMains());
        expect(view,
               "linkState=1;inputState=0;batteryState=0;faultState=0;selfTestState=0;"
               "inputVolText=230.0;inputFreqText=50.0;battVolText=2.25;loadText=37;"
               "temperatureText=31.0;battRemainText=01:57:00;batteryPercent=97.5;"
               "manufacturerText=ACME POWER;modelText=LX-1000;versionText=--");

        view.setState(onMains(0x2B));
        expect(view, "inputState=1;batteryState=1;faultState=1;selfTestState=1");

        // A lost link: what it last read is not shown as measurements or as "Normal"; the model
        // last named stays known.
        UpsState named = onMains();
        named.model = QStringLiteral(" QuadraLine ");
        view.setState(named);
        UpsState lost = onMains(0, UpsState::Link::Offline);
        lost.model.clear();
        view.setState(lost);
        expect(view,
               "linkState=2;inputState=-1;outputVolText=--;loadPercent=-1;modelText=--;"
               "knownModel=QuadraLine");

        // A value the UPS did not report, or no number, shows as "--"; the battery stays in range.
        UpsState partial = onMains();
        partial.temperature.reset();
        partial.inputVoltage = float(NAN);
        partial.batteryCharge = 180.0f;
        view.setState(partial);
        expect(view, "temperatureText=--;inputVolText=--;batteryPercent=100");
    }

    void workModeAndPowerPaths()
    {
        const int mains = DevStatusView::WorkOnMains, battery = DevStatusView::WorkOnBattery,
                  bypass = DevStatusView::WorkOnBypass, boost = DevStatusView::WorkBoostOrBuck;
        const struct
        {
            const char *what;
            int status;
            int mode;
            QString live; // mains, bypass, inverter, charging, discharging, load
            float outputVolts = -1; // -1: as the UPS on mains reports it
        } cases[] = {
            {"on mains", 0x00, mains, "m.ic.L"},
            // A line-interactive UPS on mains sets the standby-type bit: still on mains.
            {"standby bit", 0x10, mains, "m.ic.L"},
            {"mains fault", 0x01, battery, "..i.dL"},
            // A self-test runs the load from the battery with the mains present.
            {"self-test", 0x20, mains, "m.i.dL"},
            {"bypass", 0x04, bypass, "mb.c.L"},
            // On a standby type the same bit is boost or buck: the inverter side carries the load.
            {"boost or buck", 0x14, boost, "m.ic.L"},
            // Mains gone wins over a bypass flag.
            {"bypass, no mains", 0x05, battery, ""},
            // Output switched off, as measured: nothing reaches the load, with the shutdown flag
            // or without it (a battery run flat).
            {"output off", 0x40, -1, "m..c..", 0.0f},
            {"output off, no flag", 0x00, -1, "m..c..", 0.3f},
            // A shutdown pending (the flag through the command's delay): the load still has its
            // 230 V, on the inverter or on the bypass.
            {"shutdown pending", 0x40, mains, "m.ic.L", 230.0f},
            {"shutdown pending, bypass", 0x44, bypass, "mb.c.L", 230.0f},
            {"link lost", -1, -1, "......"},
        };
        for (const auto &c : cases) {
            DevStatusView view;
            UpsState state = onMains(
                qMax(0, c.status), c.status < 0 ? UpsState::Link::Offline : UpsState::Link::Online);
            if (c.outputVolts >= 0)
                state.outputVoltage = c.outputVolts;
            view.setState(state);
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
        const auto with = [](int status, float outputVolts, UpsState::Link link) {
            UpsState state = onMains(status, link);
            state.outputVoltage = outputVolts;
            return state;
        };
        const auto online = UpsState::Link::Online;
        UpsState noReading = onMains(0);
        noReading.outputVoltage.reset();
        const struct
        {
            const char *what;
            UpsState state;
            int shown;
        } cases[] = {
            {"no answer yet", with(0x08, 0.0f, UpsState::Link::Unknown), waiting},
            {"on mains", onMains(0), normal},
            {"on bypass", onMains(0x04), normal},
            {"self-test", onMains(0x20), normal},
            {"mains failed", onMains(0x01), battery},
            {"battery low on battery", onMains(0x03), low},
            {"battery low on mains", onMains(0x02), low},
            // Shutdown active with the output still live, though nothing of ours asked for it
            // (the UPS's panel, another program): the load has power until the delay ends.
            {"output going off", onMains(0x40), DevStatusView::UpsOutputOffPending},
            {"output switched off", with(0x40, 0.0f, online), off},
            {"battery run flat", with(0x03, 0.0f, online), off},
            {"no output reading", noReading, normal},
            {"garbled output reading", with(0, float(NAN), online), normal},
            {"UPS fault", onMains(0x08), fault},
            {"fault above everything else", with(0x0B, 0.0f, online), fault},
            {"link lost, last flags stale", with(0x08, 0.0f, UpsState::Link::Offline), lost},
        };
        for (const auto &c : cases) {
            DevStatusView view;
            QSignalSpy status(&view, &DevStatusView::statusChanged);
            view.setState(c.state);
            QVERIFY2(view.upsState() == c.shown,
                     qPrintable(QString("%1: %2").arg(c.what).arg(view.upsState())));
            QCOMPARE(status.count(), 1);
        }
    }

    // The window and the network server tell the same "output off": what the output measures,
    // whatever the shutdown flag says, so a network client never hears of power the window
    // shows as gone, or the other way round.
    void outputOffAgreesWithTheNetwork()
    {
        const struct
        {
            const char *what;
            int status;
            std::optional<float> volts;
            bool off;
            UpsState::Link link = UpsState::Link::Online;
        } cases[] = {
            {"live", 0x00, 230.0f, false},
            {"switched off", 0x40, 0.0f, true},
            {"switched off, residue on the sensor", 0x40, 4.5f, true},
            {"battery run flat, no flag", 0x03, 0.3f, true},
            {"off pending", 0x40, 230.0f, false},
            {"no output reading", 0x40, std::nullopt, false},
            {"link lost", 0x40, 0.0f, false, UpsState::Link::Offline},
        };
        for (const auto &c : cases) {
            UpsState state = onMains(c.status, c.link);
            state.outputVoltage = c.volts;
            DevStatusView view;
            view.setState(state);
            QByteArray status;
            for (const NutVariable &v :
                 NutUpsPublisher::build(state, DevComm::COM, {}, {}).variables)
                status = v.name == "ups.status" ? v.value : status;
            const bool windowOff = view.upsState() == DevStatusView::UpsOutputOff;
            const bool networkOff = status.split(' ').contains("OFF");
            QVERIFY2(windowOff == c.off && networkOff == c.off,
                     qPrintable(QString("%1: window %2, network %3")
                                    .arg(c.what)
                                    .arg(windowOff)
                                    .arg(networkOff)));
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

        // The link republishes mostly the same data set; only a change wakes the screens.
        view.setState(onMains());
        view.setState(onMains());
        QCOMPARE(status.count(), 1);
        UpsState changed = onMains();
        changed.load = 38;
        view.setState(changed);
        QCOMPARE(status.count(), 2);
    }

    // The software renderer where OpenGL draws on the processor, unless the user named a backend.
    void rendererChosen()
    {
        const struct
        {
            const char *user;
            bool glAvailable;
            const char *renderer;
            bool software;
        } cases[] = {
            {"", true, "llvmpipe (LLVM 15.0.6, 256 bits)", true},
            {"", true, "softpipe", true},
            {"", true, "Mesa swrast", true},
            {"", true, "Software Rasterizer", true},
            {"", true, "LLVMPIPE", true},
            {"", false, "", true},
            {"", true, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
            {"", true, "NVIDIA GeForce GTX 1050/PCIe/SSE2", false},
            {"", true, "virgl", false},
            {"software", true, "llvmpipe", false},
            {"opengl", true, "llvmpipe", false},
            {"rhi", false, "", false},
            {"  ", true, "llvmpipe", true}, // blank names none
        };
        for (const auto &c : cases) {
            const QString backend = RenderChoice::backendFor(c.user, c.glAvailable, c.renderer);
            QVERIFY2(backend == (c.software ? QStringLiteral("software") : QString()),
                     qPrintable(QString("%1 / %2").arg(c.user, c.renderer)));
        }
    }
};

QTEST_GUILESS_MAIN(TestScreenLogic)
#include "tst_screenlogic.moc"
