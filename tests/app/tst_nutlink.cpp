// The network link in the whole program without a window: Debian's upsd serving a dummy-ups
// UPS that plays a state file, then the chain upssim -> nutdrv_qx -> upsd. What the server says
// becomes the window's state, alarm rows, samples and the shutdown countdown; a forced shutdown
// ends the countdown, logs out and powers off.
#include "alarm.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "devstatusview.h"
#include "login1service.h"
#include "nutclient.h"
#include "nutlink.h"
#include "nutserverprocess.h"
#include "privatebus.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "samplestore.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "upslink.h"
#include "upssimprocess.h"

#include <QtTest>

#include <memory>

using namespace RecordProbe;

namespace {

const QString onMains = QStringLiteral("ups.status: OL\ninput.voltage: 231.0\n"
                                       "output.voltage: 230.0\nups.load: 23\n"
                                       "battery.charge: 100\nbattery.runtime: 1800\n"
                                       "ups.mfr: Maker\nups.model: M1000\n");

} // namespace

class TestNutLink : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};
    PrivateBus m_bus;
    std::unique_ptr<Login1Service> m_login1;
    NutServerProcess m_nut;
    std::unique_ptr<CompositionRoot> m_program;
    NutLink *m_link = nullptr;

    int rows(int code) const
    {
        m_program->recordWriter()->flush();
        return sqlCount(QStringLiteral("select count(*) from alarm where alarm = ?"), code);
    }
    bool online() const { return m_program->devComm()->state().online(); }
    const UpsState &state() const { return m_program->devComm()->state(); }
    Settings *settings() const { return m_program->settings(); }
    void play(const QString &status, const QString &extra = QString())
    {
        QString text = onMains;
        text.replace(QStringLiteral("ups.status: OL"), QStringLiteral("ups.status: ") + status);
        m_nut.writeDeviceFile(QStringLiteral("ups"), text + extra);
    }
    void pointAt(quint16 port, const QString &ups, const QString &user, const QString &password)
    {
        settings()->setSettings(Settings::UpsNutPort, port);
        settings()->setSettings(Settings::UpsNutUps, ups);
        settings()->setSettings(Settings::UpsNutUser, user);
        settings()->setSettings(Settings::UpsNutPassword, password);
        // The link takes the fields of one edit together, at the next turn of the event loop.
        QTRY_VERIFY(m_link->client()->endpoint().user == user &&
                    m_link->client()->endpoint().port == port);
    }

private slots:
    void initTestCase()
    {
        if (!NutServerProcess::available())
            QSKIP("Debian's nut-server is not installed (scripts/setup installs it)");
        QVERIFY(m_bus.isRunning());
        m_login1.reset(new Login1Service(m_bus.address(), Login1Service::Accept));
        QVERIFY(m_login1->isReady());
        qputenv("QUELTA_LOGIN1_BUS", m_bus.address().toUtf8());

        m_nut.addDummyUps(QStringLiteral("ups"), onMains);
        m_nut.addUser(QStringLiteral("mon"), QStringLiteral("pw"), {"upsmon secondary"});
        QVERIFY2(m_nut.start(), qPrintable(m_nut.output()));

        m_program = std::make_unique<CompositionRoot>();
        m_program->openStores();
        settings()->setSettings(Settings::UpsCommType, int(DevComm::NUT));
        settings()->setSettings(Settings::UpsNutHost, QStringLiteral("127.0.0.1"));
        settings()->setSettings(Settings::UpsNutAllowPlain, true);
        settings()->setSettings(Settings::UpsNutPort, m_nut.port());
        settings()->setSettings(Settings::UpsNutUser, QStringLiteral("mon"));
        settings()->setSettings(Settings::UpsNutPassword, QStringLiteral("pw"));
        settings()->setSettings(Settings::UpsDataSaveCycle, 60);
        settings()->setSettings(Settings::ShutdownEnable, true);
        settings()->setSettings(Settings::ShutdownMainFaultTime, 1);
        m_link = m_program->devComm()->findChild<NutLink *>();
        QVERIFY(m_link);
        NutClient::Timing timing;
        timing.pollMs = 500;
        timing.batteryPollMs = 250;
        timing.retryFirstMs = 100;
        timing.retryMaxMs = 400;
        m_link->client()->setTiming(timing);
        m_program->start();
        QTRY_VERIFY_WITH_TIMEOUT(online(), 15000);
        QCOMPARE(rows(Alarm::CommNormal), 1);
    }

    // What the window shows: the server's values, and "--" for those it does not have.
    void windowState()
    {
        QCOMPARE(*state().inputVoltage, 231.0f);
        QCOMPARE(*state().runtime, 30);
        QCOMPARE(state().manufacturer, QStringLiteral("Maker"));
        DevStatusView view;
        view.setState(state());
        QCOMPARE(view.inputVolText(), QStringLiteral("231.0"));
        QCOMPARE(view.temperatureText(), QStringLiteral("--"));
        QCOMPARE(view.inputFreqText(), QStringLiteral("--"));
        QCOMPARE(view.battRemainText(), QStringLiteral("00:30:00"));
        // Protection is on: logged in, so the server's primary waits for this computer.
        QTRY_VERIFY_WITH_TIMEOUT(m_link->client()->isLoggedIn(), 10000);
        // The server offers none of the self-test commands: the control page says so.
        const QString why = m_program->devComm()->controlUnavailable(UpsLink::ControlSelfTest10S);
        QVERIFY2(why.contains(QStringLiteral("test.battery.start.quick")), qPrintable(why));
        QSignalSpy refused(m_program->devComm(), &DevComm::commandRefused);
        m_program->devComm()->setSelfTest(UpsLink::SelfTest10S, 0);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.first().first().toString(), why);
    }

    // OL -> OB -> OB LB -> OL: the alarm rows, the samples and the countdown follow.
    void mainsFailure()
    {
        ServiceShutdown *shutdown = m_program->serviceShutdown();
        QSignalSpy started(shutdown, &ServiceShutdown::shutdownStarted);
        const int samples = sqlCount(QStringLiteral("select count(*) from device_data"));
        play(QStringLiteral("OB DISCHRG"), QStringLiteral("battery.charge: 80\n"));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 10000);
        QCOMPARE(started.at(0).at(0).toInt(), 60);
        QCOMPARE(rows(Alarm::MainsFault), 1);
        QVERIFY(currentAlarmTexts(m_program->alarm()).contains("Input voltage fault"));
        QCOMPARE(*state().batteryCharge, 80.0f);
        m_program->sampleStore()->store();
        m_program->recordWriter()->flush();
        QCOMPARE(sqlCount(QStringLiteral("select count(*) from device_data")), samples + 1);

        play(QStringLiteral("OB LB"), QStringLiteral("battery.charge: 15\n"));
        QTRY_COMPARE_WITH_TIMEOUT(rows(Alarm::BattVolLow), 1, 10000);
        // The low battery counts once a second reply says so too.
        QSignalSpy ticks(shutdown, &ServiceShutdown::shutdownTimeChanged);
        QTRY_VERIFY_WITH_TIMEOUT(!ticks.isEmpty() && ticks.last().at(0).toInt() < 10, 10000);

        play(QStringLiteral("OL CHRG"));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 10000);
        QCOMPARE(started.at(1).at(0).toInt(), 0);
        QCOMPARE(rows(Alarm::MainsNormal), 1);
        QCOMPARE(rows(Alarm::BattVolNormal), 1);
    }

    // upsd stopped: "Communication lost" as for a silent serial UPS; started again: back.
    void serverGoneAndBack()
    {
        m_nut.stopServer();
        QTRY_VERIFY_WITH_TIMEOUT(!online(), 10000);
        QCOMPARE(currentAlarmTexts(m_program->alarm()), QStringList({"Communication lost"}));
        QCOMPARE(rows(Alarm::CommLost), 1);
        QVERIFY(!m_program->devComm()->linkProblem().isEmpty());
        QCOMPARE(m_program->sampleStore()->interval(), -1);
        QVERIFY2(m_nut.startServer(), qPrintable(m_nut.output()));
        QTRY_VERIFY_WITH_TIMEOUT(online(), 15000);
        QCOMPARE(rows(Alarm::CommNormal), 2);
        QVERIFY(!currentAlarmTexts(m_program->alarm()).contains("Communication lost"));
        QCOMPARE(m_program->devComm()->linkProblem(), QString());
    }

    // The chain upssim -> nutdrv_qx -> upsd: a mains failure on the serial line reaches the
    // alarm table; commands go out as the driver's requests, a refused one is told.
    void driverChain()
    {
        UpsSimProcess sim({QStringLiteral("--instant")});
        QVERIFY(sim.isReady());
        NutServerProcess chain;
        chain.addUps(QStringLiteral("qx"), QStringLiteral("nutdrv_qx"), sim.portPath(),
                     {QStringLiteral("protocol = megatec")});
        chain.addUser(QStringLiteral("admin"), QStringLiteral("adm"),
                      {"upsmon secondary", "instcmds = ALL"});
        chain.addUser(QStringLiteral("viewer"), QStringLiteral("v"), {"upsmon secondary"});
        QVERIFY2(chain.start(30000), qPrintable(chain.output()));
        pointAt(chain.port(), QStringLiteral("qx"), QStringLiteral("admin"), QStringLiteral("adm"));
        QTRY_VERIFY_WITH_TIMEOUT(online() && state().model.startsWith(QLatin1String("SIM")), 15000);
        // The driver gives the rating reply under the input's names.
        QCOMPARE(state().ratedOutputVoltage.value_or(-1), 230.0f);
        QCOMPARE(state().ratedCurrent.value_or(-1), 4);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_program->devComm()->controlUnavailable(UpsLink::ControlSelfTest10S).isEmpty(), 10000);

        const int faults = rows(Alarm::MainsFault);
        QVERIFY(sim.run({"mains fail"}));
        QTRY_COMPARE_WITH_TIMEOUT(rows(Alarm::MainsFault), faults + 1, 15000);
        QVERIFY(sim.run({"mains return"}));
        QTRY_VERIFY_WITH_TIMEOUT(!state().onBattery, 15000);

        m_program->devComm()->setSelfTest(UpsLink::SelfTestCustom, 5);
        QVERIFY(sim.waitForFrame("T05\r", 10000));
        m_program->devComm()->toggleBeeper();
        QVERIFY(sim.waitForFrame("Q\r", 10000));

        // A user without commands: the server refuses, the user is told why.
        pointAt(chain.port(), QStringLiteral("qx"), QStringLiteral("viewer"), QStringLiteral("v"));
        QTRY_VERIFY_WITH_TIMEOUT(
            online() &&
                m_program->devComm()->controlUnavailable(UpsLink::ControlSelfTest10S).isEmpty(),
            15000);
        QSignalSpy refused(m_program->devComm(), &DevComm::commandRefused);
        m_program->devComm()->setSelfTest(UpsLink::SelfTest10S, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty(), 10000);
        QVERIFY2(refused.first().first().toString().contains("ACCESS-DENIED"),
                 qPrintable(refused.first().first().toString()));

        pointAt(m_nut.port(), QStringLiteral("ups"), QStringLiteral("mon"), QStringLiteral("pw"));
        QTRY_VERIFY_WITH_TIMEOUT(online() && state().manufacturer == "Maker", 15000);
    }

    // The primary declares a forced shutdown: the countdown ends at once, this computer logs
    // out and powers off.
    void forcedShutdown()
    {
        settings()->setSettings(Settings::ShutdownOsOff, true);
        QTRY_VERIFY_WITH_TIMEOUT(m_link->client()->isLoggedIn(), 10000);
        ServiceShutdown *shutdown = m_program->serviceShutdown();
        QSignalSpy started(shutdown, &ServiceShutdown::shutdownStarted);
        play(QStringLiteral("OL FSD"));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 10000);
        QCOMPARE(started.at(0).at(0).toInt(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(m_login1->calls().contains("PowerOff false"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_link->client()->isLoggedIn(), 10000);
        // Still watching, without the login.
        QTRY_VERIFY_WITH_TIMEOUT(online() && m_link->client()->hasData(), 10000);
    }
};

QTEST_GUILESS_MAIN(TestNutLink)
#include "tst_nutlink.moc"
