// The UPS shared over the network, the whole way: a simulated UPS on a pseudo-terminal, the
// program's core reading it, the network server serving it, and Debian's NUT clients (upsc,
// upscmd, upsmon) plus clients of our own reading it. Abusive clients run beside the program
// while the UPS poll must stay on time.
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "listmodelnutuser.h"
#include "login1service.h"
#include "logrecorder.h"
#include "nutclient.h"
#include "nutdispatcher.h"
#include "nutlink.h"
#include "nutpeer.h"
#include "nutserverprocess.h"
#include "nutupspublisher.h"
#include "paths.h"
#include "privatebus.h"
#include "pythonscript.h"
#include "recordprobe.h"
#include "servicenetwork.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QNetworkInterface>
#include <QSslSocket>
#include <QtTest>

#include <memory>

namespace {

// A client of our own that reads the replies byte for byte.
class RawClient
{
public:
    explicit RawClient(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }

    // Reads until the bytes end with `end`, spinning the event loop, bounded in time.
    QByteArray ask(const QByteArray &lines, const QByteArray &end = "\n")
    {
        socket.write(lines);
        QDeadlineTimer deadline(10000);
        while (!buffer.endsWith(end) && !deadline.hasExpired() &&
               socket.state() != QAbstractSocket::UnconnectedState) {
            QTest::qWait(5);
            buffer += socket.readAll();
        }
        const QByteArray out = buffer;
        buffer.clear();
        return out;
    }

    QSslSocket socket;
    QByteArray buffer;
};

// One case of tests/support/nut_abuse.py, run beside the event loop so the UPS poll goes on.
QJsonObject abuse(const QStringList &arguments,
                  const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    return PythonScript::ask(QStringLiteral("nut_abuse.py"), arguments, env);
}

// An address of this machine other than loopback: a client from it is outside loopback.
QHostAddress otherLocalAddress()
{
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a;
    }
    return {};
}

// The status file's fields after its time stamp: operating mode, communication lost, levels.
QByteArrayList statusFields(const QString &root)
{
    return TestRoot::statusFields(root).mid(1);
}

// The newest sample of the database under `root`, as the table shows it.
QString newestSample(const QString &root)
{
    return RecordProbe::sqlValueIn(root + "/data/quelta.db",
                                   "select printf('%.1f %.1f %d %.1f %.2f %.1f', inputVol, "
                                   "outputVol, load, inputFreq, battVol, temperature) from "
                                   "device_data order by id desc limit 1")
        .toString();
}

} // namespace

class TestNetworkSharing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void clientsReadTheUps();
    void instantCommands();
    void upsmonAsSecondary();
    void countdownEndsWithFsd();
    void secondQueltaFollows(); // before STARTTLS is offered: it would refuse our certificate
    void startTls();
    void abuseWhileThePollGoesOn();
    void crowdsBesideUpsmon();

private:
    QString target() const { return QStringLiteral("ups@127.0.0.1:%1").arg(m_port); }
    QByteArray upsc(const QString &variable = QString())
    {
        QStringList args {target()};
        if (!variable.isEmpty())
            args << variable;
        const NutPeer::Result r = NutPeer::run(QStringLiteral("upsc"), args);
        // Its error is the last line (an NSS notice may come first).
        return r.exitCode == 0 ? r.out : "error: " + r.err.trimmed().split('\n').last() + '\n';
    }
    bool sim(const QString &command) { return m_sim.command(command).startsWith("ok"); }
    // The control frames the UPS received once two more status queries have gone by.
    QList<QByteArray> controlFrames()
    {
        const auto polls = [this] {
            const QList<QByteArray> frames = m_sim.receivedFrames();
            return int(std::count(frames.begin(), frames.end(), QByteArray("Q1\r")));
        };
        const int before = polls();
        if (!QTest::qWaitFor([&] { return polls() >= before + 2; }, 10000))
            return {"no polls"};
        return m_sim.takeControlFrames();
    }

    TestRoot m_root {TestRoot::FoldersOnly};
    // A maker's name with blanks, quotes and '#', as the UPS reports it.
    UpsSimProcess m_sim {{QStringLiteral("--instant"), QStringLiteral("--command"),
                          QStringLiteral("identity company A \"b\" #1")}};
    CompositionRoot m_program;
    quint16 m_port = 0;
    QHostAddress m_other;
};

void TestNetworkSharing::initTestCase()
{
    LogRecorder::install();
    if (!QFile::exists(QStringLiteral("/usr/bin/upsc")))
        QSKIP("Debian's nut-client is not installed (scripts/setup installs it)");
    QVERIFY(m_sim.isReady());
    m_program.openStores();
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
    settings->setSettings(Settings::UpsComPort, m_sim.portPath());
    m_other = otherLocalAddress();
    QString listen = QStringLiteral("127.0.0.1");
    if (!m_other.isNull())
        listen += ',' + m_other.toString();
    settings->setSettings(Settings::NetworkEnable, true);
    settings->setSettings(Settings::NetworkListen, listen);
    settings->setSettings(Settings::NetworkPort, 0); // any free port
    settings->setSettings(Settings::NetworkHostSync, 60);
    settings->setSettings(Settings::NetworkAliases, QStringLiteral("qnapups"));
    ServiceNetwork *network = m_program.serviceNetwork();
    // Short limits where waiting out the real ones would take long: a silent client may stay
    // 5 s (upsmon polls every second), a wrong password holds back 100 ms at first.
    network->setClientLimits(5000, 100, 16 * 1024);
    m_program.start();
    QCOMPARE(network->users()->addUser("adm", "admin", "adm-pw"), QString());
    QCOMPARE(network->users()->addUser("mon", "monitor", "mon-pw"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(m_program.devComm()->state().online(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(network->listeningPort() != 0, 10000);
    m_port = quint16(network->listeningPort());
    QTRY_VERIFY_WITH_TIMEOUT(upsc("ups.status") == "OL\n", 10000);
}

// Each case leaves the UPS as it found it, even when it failed half-way.
void TestNetworkSharing::cleanup()
{
    Clock::useSystemClock();
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::ShutdownEnable, false);
    settings->setSettings(Settings::ShutdownUPSOff, false);
    if (m_program.devComm()->state().shutdownActive)
        m_program.devComm()->cancelOutputOff();
    for (const char *command : {"speed 1", "silent off", "fault off", "lowbatt auto", "bypass off",
                                "input 230", "mains return", "output on"})
        QVERIFY(sim(QString::fromLatin1(command)));
    QTRY_VERIFY_WITH_TIMEOUT(upsc("ups.status") == "OL\n", 30000);
}

void TestNetworkSharing::clientsReadTheUps()
{
    NutPeer::Result r = NutPeer::run("upsc", {"-l", QStringLiteral("127.0.0.1:%1").arg(m_port)});
    QCOMPARE(r.out, QByteArray("ups\n"));
    // Every reading of the simulated UPS under its standard name, in NUT's order (once each query
    // has been answered: a slow start may still lack one).
    QTRY_COMPARE_WITH_TIMEOUT(upsc(),
                              QByteArray("battery.charge: 100\n"
                                         "battery.runtime: 2040\n"
                                         "battery.voltage: 27.20\n"
                                         "battery.voltage.nominal: 24.0\n"
                                         "device.firmware: V1.00\n"
                                         "device.mfr: A \"b\" #1\n"
                                         "device.model: SIM-1000\n"
                                         "device.serial: SIM000000000000000001\n"
                                         "device.type: ups\n"
                                         "driver.name: quelta\n"
                                         "driver.version: " QUELTA_APP_VERSION "\n"
                                         "input.current.nominal: 4.0\n"
                                         "input.frequency: 50.0\n"
                                         "input.frequency.nominal: 50.0\n"
                                         "input.voltage: 230.0\n"
                                         "input.voltage.fault: 230.0\n"
                                         "input.voltage.nominal: 230\n"
                                         "output.current.nominal: 4\n"
                                         "output.voltage: 230.0\n"
                                         "output.voltage.nominal: 230.0\n"
                                         "ups.beeper.status: enabled\n"
                                         "ups.firmware: V1.00\n"
                                         "ups.load: 35\n"
                                         "ups.mfr: A \"b\" #1\n"
                                         "ups.model: SIM-1000\n"
                                         "ups.serial: SIM000000000000000001\n"
                                         "ups.status: OL\n"
                                         "ups.temperature: 30.5\n"
                                         "ups.test.result: No test initiated\n"
                                         "ups.type: offline / line interactive\n"),
                              10000);

    // A mains failure is followed: on battery, which is no fault of the UPS; a fault of its own
    // is an alarm.
    QVERIFY(sim("mains fail"));
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.status"), QByteArray("OB\n"), 10000);
    QVERIFY(sim("fault on"));
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.status"), QByteArray("OB ALARM\n"), 10000);
    QCOMPARE(upsc("ups.alarm"), QByteArray("UPS fault\n"));
    QVERIFY(sim("fault off"));
    QVERIFY(sim("bypass on")); // a standby type boosting a low mains
    QVERIFY(sim("input 190"));
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.status"), QByteArray("OB BOOST\n"), 10000);
    QVERIFY(sim("bypass off") && sim("input 230") && sim("mains return"));
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.status"), QByteArray("OL\n"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.alarm"),
                              QByteArray("error: Error: Variable not supported by UPS\n"), 10000);

    // The bytes a Home Assistant style client reads: BEGIN and END lines around the list, LF
    // only, the maker's name with its blanks, quotes and '#' quoted and escaped.
    RawClient client(m_port);
    QCOMPARE(client.ask("GET VAR ups ups.mfr\n"),
             QByteArray("VAR ups ups.mfr \"A \\\"b\\\" \\#1\"\n"));
    const QByteArray list = client.ask("LIST VAR ups\n", "END LIST VAR ups\n");
    QVERIFY(list.startsWith("BEGIN LIST VAR ups\nVAR ups battery.charge \"100\"\n"));
    QVERIFY(list.contains("\nVAR ups device.mfr \"A \\\"b\\\" \\#1\"\n"));
    QVERIFY(!list.contains('\r'));
    const QList<QByteArray> lines = list.split('\n');
    QCOMPARE(lines.size(), 33); // BEGIN, 30 variables, END, and nothing after the last LF
    for (int i = 1; i < 31; ++i)
        QVERIFY2(lines.at(i).startsWith("VAR ups ") && lines.at(i).endsWith('"'), lines.at(i));

    // Beside NUT's own driver on a second simulated UPS of the same kind: every name it gives
    // the UPS is served here too (its settings and guesses aside), with the same ratings, and
    // the same commands are listed.
    UpsSimProcess twin;
    QVERIFY(twin.isReady());
    NutServerProcess nut;
    nut.addUps("qx", "nutdrv_qx", twin.portPath(), {"protocol = megatec"});
    QVERIFY2(nut.start(30000), qPrintable(nut.output()));
    const QString theirs = QStringLiteral("qx@127.0.0.1:%1").arg(nut.port());
    const auto variables = [](const QByteArray &listed) {
        QMap<QByteArray, QByteArray> map;
        for (const QByteArray &line : listed.split('\n')) {
            const int colon = line.indexOf(": ");
            if (colon > 0)
                map.insert(line.left(colon), line.mid(colon + 2));
        }
        return map;
    };
    const auto ours = variables(upsc());
    const auto nuts = variables(NutPeer::run("upsc", {theirs}).out);
    QVERIFY(nuts.size() > 20);
    for (auto it = nuts.cbegin(); it != nuts.cend(); ++it) {
        const QByteArray &name = it.key();
        if (name.startsWith("driver.") || name.startsWith("ups.delay.") ||
            name.startsWith("battery.voltage.high") || name.startsWith("battery.voltage.low"))
            continue;
        QVERIFY2(ours.contains(name), name);
        if (name.endsWith(".nominal"))
            QCOMPARE(ours.value(name).toDouble(), it.value().toDouble());
    }
    const auto commandNames = [](const QString &ups) {
        QByteArrayList names;
        for (const QByteArray &line : NutPeer::run("upscmd", {"-l", ups}).out.split('\n')) {
            if (line.contains(" - "))
                names << line.left(line.indexOf(" - "));
        }
        return names;
    };
    QCOMPARE(commandNames(target()), commandNames(theirs));
}

void TestNetworkSharing::instantCommands()
{
    using L = QList<QByteArray>;
    // Every command the serial line can carry, whatever the state: clients read the list once.
    const QByteArray everyCommand =
        "BEGIN LIST CMD ups\nCMD ups beeper.toggle\nCMD ups load.off\nCMD ups load.on\n"
        "CMD ups shutdown.return\nCMD ups shutdown.stayoff\nCMD ups shutdown.stop\n"
        "CMD ups test.battery.start\nCMD ups test.battery.start.deep\n"
        "CMD ups test.battery.start.quick\nCMD ups test.battery.stop\nEND LIST CMD ups\n";
    // A client of its own each time: one silent for long is closed.
    const auto listCmd = [this] {
        return RawClient(m_port).ask("LIST CMD ups\n", "END LIST CMD ups\n");
    };
    QCOMPARE(listCmd(), everyCommand);
    m_sim.clearReceived();
    const QString admin = QStringLiteral("adm");
    const auto upscmd = [this](const QString &user, const QString &password,
                               const QStringList &command) {
        return NutPeer::run("upscmd", QStringList {"-u", user, "-p", password, target()} + command);
    };
    const auto testRuns = [this](bool running) {
        return QTest::qWaitFor(
            [&] { return upsc("ups.status") == (running ? "OL CAL\n" : "OL\n"); }, 10000);
    };
    NutPeer::Result r = upscmd(admin, "adm-pw", {"test.battery.start.quick"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(controlFrames(), L {"T\r"});
    QVERIFY(testRuns(true));
    QCOMPARE(upsc("ups.test.result"), QByteArray("In progress\n"));
    QCOMPARE(listCmd(), everyCommand);
    // What the line would drop now is refused with upsd's error for a command that failed.
    r = upscmd(admin, "adm-pw", {"test.battery.start.quick"});
    QVERIFY2(r.exitCode != 0 && r.err.contains("ERR INSTCMD-FAILED"), r.err);
    QCOMPARE(upscmd(admin, "adm-pw", {"test.battery.stop"}).exitCode, 0);
    QCOMPARE(controlFrames(), L {"CT\r"});
    // The finished test is in the records, and so in the variables, in NUT's words.
    QTRY_VERIFY_WITH_TIMEOUT(upsc("ups.test.result") == "Done and passed\n", 15000);
    QVERIFY(
        upsc("ups.test.date").startsWith(QDate::currentDate().toString("yyyy-MM-dd").toLatin1()));
    r = upscmd(admin, "adm-pw", {"test.battery.stop"});
    QVERIFY2(r.err.contains("ERR INSTCMD-FAILED"), r.err);

    // The test time in seconds, as NUT's driver for this line takes it: whole minutes on the
    // line; beyond 99 minutes refused, and nothing reaches the UPS.
    for (const auto &[seconds, frame] : {std::pair<QString, QByteArray> {"60", "T01\r"},
                                         std::pair<QString, QByteArray> {"600", "T10\r"}}) {
        QCOMPARE(upscmd(admin, "adm-pw", {"test.battery.start", seconds}).exitCode, 0);
        QCOMPARE(controlFrames(), L {frame});
        QVERIFY(testRuns(true));
        QCOMPARE(upscmd(admin, "adm-pw", {"test.battery.stop"}).exitCode, 0);
        QCOMPARE(controlFrames(), L {"CT\r"});
        QVERIFY(testRuns(false));
    }
    r = upscmd(admin, "adm-pw", {"test.battery.start", "5941"});
    QVERIFY2(r.err.contains("ERR INVALID-ARGUMENT"), r.err);
    QCOMPARE(controlFrames(), L {});

    // Quelta's own network link asks this server for a 5-minute test: 300 s, "T05" on the line.
    QTemporaryDir linkHome;
    QVERIFY(QDir(linkHome.path()).mkpath("cfg"));
    Paths::setRoot(linkHome.path());
    Settings linkSettings;
    linkSettings.load();
    Paths::setRoot(QString());
    linkSettings.setSettings(Settings::UpsNutHost, QStringLiteral("127.0.0.1"));
    linkSettings.setSettings(Settings::UpsNutPort, m_port);
    linkSettings.setSettings(Settings::UpsNutUser, admin);
    linkSettings.setSettings(Settings::UpsNutPassword, QStringLiteral("adm-pw"));
    linkSettings.setSettings(Settings::UpsNutAllowPlain, true);
    NutLink link(&linkSettings);
    link.start();
    QTRY_VERIFY_WITH_TIMEOUT(link.state().online() && link.client()->commands().size() == 10,
                             10000);
    QSignalSpy refused(&link, &UpsLink::commandRefused);
    link.setSelfTest(UpsLink::SelfTestCustom, 5);
    QCOMPARE(controlFrames(), L {"T05\r"});
    QVERIFY(testRuns(true));
    link.setSelfTest(UpsLink::SelfTestCancel, 0);
    QCOMPARE(controlFrames(), L {"CT\r"});
    QVERIFY(refused.isEmpty());
    link.stop();

    // A pending output-off changes the list in nothing either; what it excludes is refused.
    QCOMPARE(upscmd(admin, "adm-pw", {"shutdown.stayoff"}).exitCode, 0);
    QCOMPARE(controlFrames(), L {"S.2R9999\r"});
    QTRY_VERIFY_WITH_TIMEOUT(m_program.devComm()->state().shutdownActive, 10000);
    QCOMPARE(listCmd(), everyCommand);
    QVERIFY(upscmd(admin, "adm-pw", {"load.off"}).err.contains("ERR INSTCMD-FAILED"));
    QCOMPARE(upscmd(admin, "adm-pw", {"shutdown.stop"}).exitCode, 0);
    QCOMPARE(controlFrames(), L {"C\r"});
    QTRY_VERIFY_WITH_TIMEOUT(!m_program.devComm()->state().shutdownActive, 10000);

    QCOMPARE(upscmd(admin, "adm-pw", {"beeper.toggle"}).exitCode, 0);
    m_sim.takeControlFrames();
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.beeper.status"), QByteArray("disabled\n"), 10000);
    QCOMPARE(upscmd(admin, "adm-pw", {"beeper.toggle"}).exitCode, 0);
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.beeper.status"), QByteArray("enabled\n"), 10000);

    // A monitor account is refused with upsd's error, and nothing reaches the UPS.
    m_sim.takeControlFrames();
    r = upscmd("mon", "mon-pw", {"test.battery.start.quick"});
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains("ERR ACCESS-DENIED"), r.err);
    QCOMPARE(controlFrames(), L {});
}

// Stock upsmon as a secondary, Quelta's own countdown left out: upsmon decides alone.
void TestNetworkSharing::upsmonAsSecondary()
{
    m_program.settings()->setSettings(Settings::ShutdownEnable, false);
    std::unique_ptr<UpsmonProcess> upsmon(
        new UpsmonProcess({target(), "mon", "mon-pw", 2, 3, false}));
    QVERIFY2(upsmon->waitForLog(QRegularExpression("parse_status: \\[OL\\]"), 20000),
             qPrintable(upsmon->log()));
    QVERIFY(sim("mains fail"));
    // On battery alone it only tells, poll after poll.
    QVERIFY2(upsmon->waitForLog(QRegularExpression("parse_status: \\[OB\\]"), 20000, 5),
             qPrintable(upsmon->log()));
    QVERIFY(!upsmon->shutdownRan());
    QCOMPARE(LogRecorder::count("User mon@127.0.0.1 logged in"), 1);
    // An alias (QNAP's name for the UPS) lists its clients as a UPS of its own.
    QCOMPARE(NutPeer::run("upsc", {"-c", QStringLiteral("qnapups@127.0.0.1:%1").arg(m_port)}).out,
             QByteArray("127.0.0.1\n"));

    // The line goes silent; once the link is found lost the last data is served 15 s more,
    // then the data is stale, and upsmon treats a UPS last seen on battery as gone.
    QSignalSpy lost(m_program.devComm(), &DevComm::linkLost);
    QVERIFY(sim("silent on"));
    QVERIFY(lost.wait(30000));
    Clock::setNow(QDateTime::currentDateTime());
    QCOMPARE(upsc("ups.status"), QByteArray("OB\n"));
    Clock::advance(NutUpsPublisher::staleAfterSeconds + 1);
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.status"), QByteArray("error: Error: Data stale\n"), 10000);
    QVERIFY2(upsmon->waitForShutdown(30000), qPrintable(upsmon->log()));
    QVERIFY2(upsmon->log().contains("Data stale"), qPrintable(upsmon->log()));

    // The line back, a low battery on battery: it waits HOSTSYNC for a primary's FSD, then
    // shuts down.
    Clock::useSystemClock();
    QVERIFY(sim("silent off"));
    QTRY_COMPARE_WITH_TIMEOUT(upsc("ups.status"), QByteArray("OB\n"), 30000);
    upsmon.reset(); // before the next one starts
    upsmon.reset(new UpsmonProcess({target(), "mon", "mon-pw", 2, 3, false}));
    QVERIFY2(upsmon->waitForLog(QRegularExpression("parse_status: \\[OB"), 20000),
             qPrintable(upsmon->log()));
    QVERIFY(sim("lowbatt on"));
    QVERIFY2(upsmon->waitForLog(QRegularExpression("Giving up on the primary"), 30000),
             qPrintable(upsmon->log()));
    QVERIFY2(upsmon->waitForShutdown(30000), qPrintable(upsmon->log()));
}

void TestNetworkSharing::countdownEndsWithFsd()
{
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::ShutdownMainFaultTime, 5);
    settings->setSettings(Settings::ShutdownBattLowTime, 0); // ten seconds
    settings->setSettings(Settings::ShutdownUPSOff, true);
    settings->setSettings(Settings::ShutdownUPSOffTime, 1);
    // Its HOSTSYNC outlasts the countdown: it waits for the FSD rather than giving up first.
    UpsmonProcess upsmon({target(), "mon", "mon-pw", 30, 3, false});
    QVERIFY2(upsmon.waitForLog(QRegularExpression("parse_status: \\[OL\\]"), 20000),
             qPrintable(upsmon.log()));
    RawClient client(m_port);
    QCOMPARE(client.ask("GET NUMLOGINS ups\n"), QByteArray("NUMLOGINS ups 1\n"));
    m_sim.clearReceived();

    // Mains failure and low battery: a ten-second countdown, whose first act (the UPS output
    // off) waits for the primary's duty. FSD sends upsmon down at once; its leaving ends the
    // wait long before the 60 s of hostSync, and the UPS is told to switch off.
    QSignalSpy started(m_program.serviceShutdown(), &ServiceShutdown::shutdownStarted);
    QSignalSpy shortened(m_program.serviceShutdown(), &ServiceShutdown::shutdownShortened);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sim("mains fail") && sim("lowbatt on"));
    // (The mains acts at once; the low battery once two replies say so.)
    QTRY_VERIFY_WITH_TIMEOUT(!started.isEmpty() && !shortened.isEmpty(), 10000);
    QCOMPARE(started.at(0).at(0).toInt(), 300);
    QCOMPARE(shortened.at(0).at(0).toInt(), 10);
    QVERIFY2(upsmon.waitForShutdown(30000), qPrintable(upsmon.log()));
    // Its log comes through a pipe: the line may come in after the shutdown command ran.
    QVERIFY2(upsmon.waitForLog(QRegularExpression("forced shutdown in progress"), 10000),
             qPrintable(upsmon.log()));
    QTRY_VERIFY_WITH_TIMEOUT(m_sim.receivedFrames().contains("S01R0003\r"), 30000);
    QVERIFY(clock.elapsed() < 40000);
    QCOMPARE(LogRecorder::count("Primary's wait over: no client is logged in any more"), 1);
    RawClient after(m_port); // the first one has been silent longer than a client may be
    QCOMPARE(after.ask("GET VAR ups ups.status\n"),
             QByteArray("VAR ups ups.status \"FSD OB LB\"\n"));

    // The mains returns: nothing turns back, as with NUT's primary. FSD stays (upsd latches
    // it), the UPS is sent no cancel, and its power cycle (its minute, then three minutes off,
    // here 60 times faster) brings back the machine that went down. Then FSD goes.
    QVERIFY(sim("lowbatt auto") && sim("mains return"));
    QTRY_COMPARE_WITH_TIMEOUT(after.ask("GET VAR ups ups.status\n"),
                              QByteArray("VAR ups ups.status \"FSD OL\"\n"), 10000);
    QVERIFY(!controlFrames().contains("C\r"));
    QCOMPARE(started.count(), 1);
    QVERIFY(sim("speed 60"));
    const auto event = [this](const char *what) {
        const QStringList lines = m_sim.eventLines();
        return std::count_if(lines.begin(), lines.end(),
                             [what](const QString &line) { return line.endsWith(what); });
    };
    QTRY_VERIFY_WITH_TIMEOUT(event("output off") == 1 && event("output on") == 1, 20000);
    RawClient last(m_port); // the other one has been silent too long by now
    QTRY_COMPARE_WITH_TIMEOUT(last.ask("GET VAR ups ups.status\n"),
                              QByteArray("VAR ups ups.status \"OL\"\n"), 20000);
    QCOMPARE(LogRecorder::count("The UPS output is back on the mains"), 1);
    QVERIFY(!m_sim.receivedFrames().contains("C\r"));
}

void TestNetworkSharing::startTls()
{
    const QString certs = NutPeer::certificateFolder();
    QVERIFY(!certs.isEmpty());
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::NetworkCertFile, certs + "/cert.pem");
    settings->setSettings(Settings::NetworkKeyFile, certs + "/key.pem");
    QTRY_VERIFY_WITH_TIMEOUT(LogRecorder::count("STARTTLS offered") == 1, 10000);
    RawClient client(m_port);
    QCOMPARE(client.ask("STARTTLS\n"), QByteArray("OK STARTTLS\n"));
    client.socket.setPeerVerifyName(QStringLiteral("localhost"));
    QSslConfiguration tls = client.socket.sslConfiguration();
    tls.setCaCertificates(QSslCertificate::fromPath(certs + "/cert.pem"));
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    client.socket.setSslConfiguration(tls);
    client.socket.startClientEncryption();
    QTRY_VERIFY_WITH_TIMEOUT(client.socket.isEncrypted(), 10000);
    QCOMPARE(client.ask("GET VAR ups ups.status\n"), QByteArray("VAR ups ups.status \"OL\"\n"));
    QCOMPARE(client.ask("STARTTLS\n"), QByteArray("ERR ALREADY-SSL-MODE\n"));

    // Stock upsmon that insists on TLS logs in over it.
    UpsmonProcess upsmon({target(), "mon", "mon-pw", 2, 3, true});
    QVERIFY2(upsmon.waitForLog(QRegularExpression("Logged into UPS"), 20000),
             qPrintable(upsmon.log()));
    QVERIFY(upsmon.log().contains("SSL handshake done"));
    QTRY_VERIFY_WITH_TIMEOUT(LogRecorder::count("logged in to UPS ups (TLS)") == 1, 10000);
}

// A second Quelta (the built program, headless, in a folder of its own) watching this one's UPS
// through the network link with its protection on: it shows what this one reads, and the end of
// this one's countdown (FSD) powers it off at once, long before its own countdown would.
void TestNetworkSharing::secondQueltaFollows()
{
    if (!QFile::exists(QStringLiteral(QUELTA_BIN_DIR "/quelta")))
        QSKIP("The program is not built here (a core-only build)");
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    Login1Service login1(bus.address(), Login1Service::Accept);
    QVERIFY(login1.isReady());
    QTemporaryDir dir;
    const QString home = dir.path() + "/home", tmp = dir.path() + "/tmp";
    QVERIFY(QDir().mkpath(home + "/cfg") && QDir().mkpath(tmp));
    {
        QSettings config(home + "/cfg/config.cfg", QSettings::IniFormat);
        const QList<QPair<const char *, QVariant>> values = {
            {"ups/commType", int(DevComm::NUT)},
            {"ups/nutHost", "127.0.0.1"},
            {"ups/nutPort", m_port},
            // An account that may run commands: it still sends none it did not schedule.
            {"ups/nutUser", "adm"},
            {"ups/nutPassword", Settings::encryptPassword(QStringLiteral("adm-pw"))},
            {"ups/nutAllowPlain", true},
            {"ups/saveCycle", 1},
            {"shutdown/enable", true},
            {"shutdown/mainFaultTime", 60},
            {"shutdown/battLowTime", 10},
            {"shutdown/osOff", true}};
        for (const auto &value : values)
            config.setValue(QLatin1String(value.first), value.second);
    }
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QUELTA_HOME", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("TMPDIR", tmp);
    env.insert("QUELTA_LOGIN1_BUS", bus.address());
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(QUELTA_BIN_DIR "/quelta"), {"--headless", "--home", home});
    const auto stop = qScopeGuard([&second] {
        second.kill();
        second.waitForFinished(5000);
    });

    // Logged in as a secondary; the same readings, stored in its own history.
    RawClient client(m_port);
    QTRY_COMPARE_WITH_TIMEOUT(client.ask("GET NUMLOGINS ups\n"), QByteArray("NUMLOGINS ups 1\n"),
                              20000);
    const auto ours = [this] {
        const UpsState &s = m_program.devComm()->state();
        return QStringLiteral("%1 %2 %3 %4 %5 %6")
            .arg(double(s.inputVoltage.value_or(-1)), 0, 'f', 1)
            .arg(double(s.outputVoltage.value_or(-1)), 0, 'f', 1)
            .arg(s.load.value_or(-1))
            .arg(double(s.inputFrequency.value_or(-1)), 0, 'f', 1)
            .arg(double(s.batteryVoltage.value_or(-1)), 0, 'f', 2)
            .arg(double(s.temperature.value_or(-1)), 0, 'f', 1);
    };
    QTRY_VERIFY2_WITH_TIMEOUT(newestSample(home) == ours(),
                              qPrintable(newestSample(home) + " / " + ours()), 20000);
    QCOMPARE(statusFields(home), statusFields(m_root.path()));

    Settings *settings = m_program.settings();
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::ShutdownMainFaultTime, 5);
    settings->setSettings(Settings::ShutdownBattLowTime, 0); // ten seconds
    settings->setSettings(Settings::ShutdownUPSOff, true);
    settings->setSettings(Settings::ShutdownUPSOffTime, 1);
    const int waitsOver =
        LogRecorder::count("Primary's wait over: no client is logged in any more");
    // A failure and a return: its own countdown starts and is called off, and it sends the UPS
    // nothing (no shutdown.stop): only what it scheduled itself is its to cancel.
    QSignalSpy commands(m_program.serviceNetwork(), &ServiceNetwork::commandRequested);
    settings->setSettings(Settings::ShutdownEnable, false);
    QVERIFY(sim("mains fail"));
    QTRY_VERIFY_WITH_TIMEOUT(statusFields(home).value(0) == "2", 20000);
    QVERIFY(sim("mains return"));
    QTRY_VERIFY2_WITH_TIMEOUT(statusFields(home).value(0) != "2",
                              statusFields(home).join(',').constData(), 20000);
    QTest::qWait(1500); // its answer to that reply would be here by now
    QCOMPARE(commands.count(), 0);
    settings->setSettings(Settings::ShutdownEnable, true);
    m_sim.clearReceived();
    QVERIFY(sim("mains fail"));
    QTRY_VERIFY2_WITH_TIMEOUT(
        statusFields(home).value(0) == "2" && statusFields(home) == statusFields(m_root.path()),
        (statusFields(home).join(',') + " / " + statusFields(m_root.path()).join(',')).constData(),
        20000);
    QVERIFY(sim("lowbatt on"));
    QTRY_COMPARE_WITH_TIMEOUT(login1.calls(), QStringList {"PowerOff false"}, 40000);
    // It logged out on its way down, which ended this one's wait; the UPS output goes off.
    QTRY_COMPARE_WITH_TIMEOUT(
        LogRecorder::count("Primary's wait over: no client is logged in any more"), waitsOver + 1,
        20000);
    QTRY_VERIFY_WITH_TIMEOUT(m_sim.receivedFrames().contains("S01R0003\r"), 20000);
}

void TestNetworkSharing::abuseWhileThePollGoesOn()
{
    // The poll's pace: the longest gap between two data sets, with and without abuse.
    QElapsedTimer clock;
    clock.start();
    qint64 last = -1, worst = 0;
    int sets = 0;
    QObject watch;
    connect(m_program.devComm(), &DevComm::stateChanged, &watch, [&] {
        if (last >= 0)
            worst = std::max(worst, clock.elapsed() - last);
        last = clock.elapsed();
        ++sets;
    });
    // Three gaps of the calm poll (a steady reading is told once a second).
    QTRY_VERIFY_WITH_TIMEOUT(sets > 3, 10000);
    const qint64 calm = worst;
    worst = 0;
    const QString port = QString::number(m_port);

    // Over-long, binary and half lines: each answered, none ends the connection.
    QJsonObject r = abuse({"lines", "127.0.0.1", port});
    QCOMPARE(r.value("long").toString(),
             "ERR TOO-LONG\n" + QString::fromLatin1(NutDispatcher::versionText()));
    QCOMPARE(r.value("binary").toString(),
             QString("ERR UNKNOWN-COMMAND\nVAR ups ups.status \"OL\"\n"));
    QCOMPARE(r.value("half").toString(), QString("VAR ups ups.status \"OL\"\n"));
    QCOMPARE(r.value("logout").toString(), QString("OK Goodbye\n"));
    QVERIFY(r.value("closedAfterLogout").toBool());

    // A silent client is closed after the idle time (1 s here); one that speaks stays.
    m_program.serviceNetwork()->setClientLimits(1000, 100, 16 * 1024);
    r = abuse({"idle", "127.0.0.1", port});
    m_program.serviceNetwork()->setClientLimits(5000, 100, 16 * 1024);
    const double closedAfter = r.value("silentClosedAfter").toDouble();
    QVERIFY2(closedAfter >= 0.8 && closedAfter < 10, qPrintable(QJsonDocument(r).toJson()));
    QCOMPARE(r.value("busyAnswer").toString(), QString("1.3\n"));

    // More clients than allowed: for each newcomer the one silent longest goes, told once.
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::NetworkMaxClients, 3);
    QTRY_VERIFY(m_program.serviceNetwork()->clients()->rowCount() == 0);
    for (int round = 0; round < 2; ++round) {
        r = abuse({"crowd", "127.0.0.1", port, "5"});
        QCOMPARE(r.value("served").toArray(), QJsonArray({false, false, true, true, true}));
        QTRY_VERIFY(m_program.serviceNetwork()->clients()->rowCount() == 0);
    }
    QCOMPARE(LogRecorder::count("to make room for a new client"), 1);
    settings->setSettings(Settings::NetworkMaxClients, 64);

    // A client outside the allowed networks is closed at once, logged once; allowed, it is served.
    if (m_other.isNull()) {
        qWarning("No address besides loopback here: the allow-list case is left out");
    } else {
        const QString other = m_other.toString();
        for (int i = 0; i < 3; ++i) {
            r = abuse({"refused", other, port, other});
            QVERIFY(r.value("closedAfter").toDouble(-1) >= 0);
        }
        QCOMPARE(LogRecorder::count("Refused a connection from " + other + ": not in"), 1);
        settings->setSettings(Settings::NetworkAllow, other + "/32");
        QTRY_COMPARE(abuse({"crowd", other, port, "1"}).value("served").toArray(),
                     QJsonArray({true}));
        settings->setSettings(Settings::NetworkAllow, QString());
    }

    // Wrong passwords: each verdict waits twice as long as the one before (100 ms here at
    // first); the right password afterwards is let in and forgives the name.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("RIGHT", "mon-pw");
    r = abuse({"guess", "127.0.0.1", port, "mon", "3"}, env);
    const QJsonArray wrong = r.value("wrong").toArray();
    QCOMPARE(wrong.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(wrong.at(i).toArray().at(1).toString(), QString("ERR ACCESS-DENIED\n"));
        QVERIFY2(wrong.at(i).toArray().at(0).toInt() >= 95 << i,
                 qPrintable(QJsonDocument(r).toJson()));
    }
    QCOMPARE(r.value("right").toArray().at(1).toString(), QString("OK\n"));

    // A client that sends requests and never reads is closed once its unsent replies pass the
    // limit (16 KiB here).
    for (int i = 0; i < 2; ++i) {
        r = abuse({"deaf", "127.0.0.1", port});
        QVERIFY2(r.value("closed").toBool(), qPrintable(QJsonDocument(r).toJson()));
    }
    // Told once within the minute, like every event of one client.
    QCOMPARE(LogRecorder::count("does not read its replies"), 1);

    // Garbage after STARTTLS, again and again: one line, then once the minute is over one more
    // with the count.
    Clock::setNow(QDateTime::currentDateTime());
    r = abuse({"tlsgarbage", "127.0.0.1", port, "40"});
    QCOMPARE(r.value("closed").toInt(), 40);
    QCOMPARE(LogRecorder::count("TLS handshake with 127.0.0.1 failed"), 1);
    Clock::advance(61);
    QCOMPARE(abuse({"tlsgarbage", "127.0.0.1", port, "1"}).value("closed").toInt(), 1);
    QTRY_COMPARE(
        LogRecorder::count("39 more times within a minute: TLS handshake with 127.0.0.1 failed"),
        1);
    QCOMPARE(LogRecorder::count("TLS handshake with 127.0.0.1 failed"), 3);
    Clock::useSystemClock();

    // Through all of it the UPS was polled at its pace.
    qDebug() << "longest gap between data sets:" << calm << "ms calm," << worst << "ms under abuse";
    QVERIFY2(worst < std::max<qint64>(2 * calm, 1500), qPrintable(QString::number(worst)));
}

// Beside a stock upsmon: hundreds of silent clients and a burst of wrong passwords from its own
// address never keep it out. (Apart from the poll's pace above: upsmon's start is not timed.)
void TestNetworkSharing::crowdsBesideUpsmon()
{
    const QString port = QString::number(m_port);
    // Hundreds of silent clients from one address: they keep three quarters of the places at
    // most, a newcomer is served, and a logged-in upsmon is never closed for room.
    {
        UpsmonProcess upsmon({target(), "mon", "mon-pw", 2, 3, false});
        QVERIFY2(upsmon.waitForLog(QRegularExpression("parse_status: \\[OL\\]"), 20000),
                 qPrintable(upsmon.log()));
        const int logins = LogRecorder::count("User mon@127.0.0.1 logged in");
        const QJsonObject r = abuse({"idlers", "127.0.0.1", port, "500"});
        QVERIFY2(r.value("served").toBool(), qPrintable(QJsonDocument(r).toJson()));
        QVERIFY2(r.value("open").toInt() <= 48, qPrintable(QJsonDocument(r).toJson()));
        RawClient count(m_port);
        QCOMPARE(count.ask("GET NUMLOGINS ups\n"), QByteArray("NUMLOGINS ups 1\n"));
        QCOMPARE(LogRecorder::count("User mon@127.0.0.1 logged in"), logins);
        QVERIFY(upsmon.waitForLog(QRegularExpression("parse_status: \\[OL\\]"), 10000,
                                  upsmon.log().count("parse_status: [OL]") + 1));
    }

    // A burst of wrong passwords at once from loopback, for an admin's name and an unknown one,
    // holds its verdicts back for half a minute; another name's right password is let in at
    // once, and so is a stock upsmon starting now.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("RIGHTUSER", "mon");
    env.insert("RIGHT", "mon-pw");
    const QJsonObject r = abuse({"burst", "127.0.0.1", port, "adm,ghost", "8"}, env);
    QCOMPARE(r.value("right").toArray().at(1).toString(), QString("OK\n"));
    QVERIFY2(r.value("right").toArray().at(0).toInt() < 2000,
             qPrintable(QJsonDocument(r).toJson()));
    {
        const int logins = LogRecorder::count("User mon@127.0.0.1 logged in");
        UpsmonProcess upsmon({target(), "mon", "mon-pw", 2, 3, false});
        QElapsedTimer upsmonClock; // from its start
        upsmonClock.start();
        QTRY_COMPARE_WITH_TIMEOUT(LogRecorder::count("User mon@127.0.0.1 logged in"), logins + 1,
                                  20000);
        QVERIFY2(upsmonClock.elapsed() < 5000, qPrintable(upsmon.log()));
        QVERIFY2(upsmon.waitForLog(QRegularExpression("parse_status: \\[OL\\]"), 10000),
                 qPrintable(upsmon.log()));
    }
}

QTEST_GUILESS_MAIN(TestNetworkSharing)
#include "tst_networksharing.moc"
