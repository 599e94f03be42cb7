// The network server without sockets. The protocol engine: how the byte stream is cut into
// lines, how a line is cut into words, and what the server answers to each request, byte for
// byte as upsd of NUT 2.8 answers it (checked against a real upsd with the dummy driver), and how
// wrong passwords are slowed down. What it publishes of a UPS state: the status flags NUT's
// clients act on, the readings present and absent, the backup time that is always there, the
// commands the link carries out and those it refuses now, the last self-test's outcome, and the
// lost link that turns the data stale after 15 s. The accounts where they are kept: the
// [network] group of the configuration file as the store writes it, and the command line for
// machines without a screen (the list the settings page edits is tested with the page). Over
// loopback: a crowd on the server's one socket set, each client answered its own requests.
#include "alarm.h"
#include "clock.h"
#include "devcomm.h"
#include "nutaccountstore.h"
#include "nutdispatcher.h"
#include "nutpassword.h"
#include "nutserver.h"
#include "nutserverstate.h"
#include "nutsession.h"
#include "nutthrottle.h"
#include "nutupspublisher.h"
#include "nutusercommand.h"
#include "paths.h"
#include "settings.h"
#include "testroot.h"
#include "upsstate.h"

#include <QSqlQuery>
#include <QTcpSocket>
#include <QtTest>

namespace {

NutSnapshot sampleSnapshot()
{
    NutSnapshot s;
    s.stale = false;
    s.variables = {
        {"battery.charge", "87", false},
        {"battery.runtime", "1260", false},
        {"ups.mfr", "Maker \"Q\" #1 \\ x", true},
        {"ups.model", "Line 1500", true},
        {"ups.status", "OL", true},
    };
    s.commands = {{"beeper.toggle", 0, 0, {}},
                  {"test.battery.start", 5940, 600, {}},
                  {"test.battery.start.quick", 0, 0, {}},
                  {"test.battery.stop", 0, 0, "no self-test is running"}};
    return s;
}

// Requests and the replies expected, one pair per line: "request => reply", where "\n" in the
// reply stands for the LF between lines (every reply ends with one).
using Script = QStringList;

UpsState online()
{
    UpsState s;
    s.link = UpsState::Link::Online;
    s.inputVoltage = 229.5f;
    s.outputVoltage = 230.0f;
    s.ratedOutputVoltage = 230.0f;
    s.batteryCharge = 80.0f;
    s.runtime = 25;
    return s;
}

QByteArray value(const NutSnapshot &snapshot, const char *name)
{
    for (const NutVariable &v : snapshot.variables) {
        if (v.name == name)
            return v.value;
    }
    return "(absent)";
}

QByteArray commands(const NutSnapshot &snapshot)
{
    QByteArrayList names;
    for (const NutOfferedCommand &c : snapshot.commands)
        names << c.name;
    return names.join(' ');
}

} // namespace

class TestNutServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void dispatcher_data();
    void dispatcher();
    void sessionsAndFsd();
    void passwords();
    void statusAndReadings_data();
    void statusAndReadings();
    void commandsOfTheLink_data();
    void commandsOfTheLink();
    void publisherFollowsTheLink();
    void throttleSparesRightPasswords();
    void storeKeepsHashesOnly();
    void commandLine_data();
    void commandLine();
    void crowdOnOneSocketSet();

private:
    NutAccountList m_accounts;
};

void TestNutServer::initTestCase()
{
    // Few iterations: the hash form is the same, only cheaper to check in a test.
    m_accounts = {{"adm", NutAccount::Admin, NutPassword::hash("s3cret pw", 1000)},
                  {"mon", NutAccount::Monitor, NutPassword::hash("pw", 1000)}};
}

void TestNutServer::dispatcher_data()
{
    QTest::addColumn<Script>("script");
    QTest::addColumn<bool>("stale");

    QTest::newRow("plain commands") << Script {
        "VER => Network UPS Tools upsd 2.8.0 - served by Quelta " QUELTA_APP_VERSION,
        "ver x => ERR INVALID-ARGUMENT",
        "NETVER => 1.3", "protver => 1.3", "PROTVER 2 => ERR INVALID-ARGUMENT",
        "HELP => Commands: HELP VER GET LIST SET INSTCMD LOGIN LOGOUT USERNAME PASSWORD STARTTLS",
        " => ERR UNKNOWN-COMMAND", "BOGUS => ERR UNKNOWN-COMMAND",
        "GET VAR \"ups => ERR INVALID-ARGUMENT",
        "STARTTLS => ERR FEATURE-NOT-CONFIGURED",
    } << false;
    QTest::newRow("data queries") << Script {
        "GET => ERR INVALID-ARGUMENT", "GET VAR ups => ERR INVALID-ARGUMENT",
        "GET VAR UPS ups.STATUS => VAR UPS ups.STATUS \"OL\"",
        "GET VAR ups ups.mfr => VAR ups ups.mfr \"Maker \\\"Q\\\" \\#1 \\\\ x\"",
        "GET VAR ups nope => ERR VAR-NOT-SUPPORTED", "GET VAR nope x => ERR UNKNOWN-UPS",
        "GET VAR qnapups battery.charge => VAR qnapups battery.charge \"87\"",
        "GET TYPE ups battery.charge => TYPE ups battery.charge NUMBER",
        "GET TYPE ups ups.model => TYPE ups ups.model STRING:64",
        "GET DESC ups battery.charge => DESC ups battery.charge \"Battery charge (percent of full)\"",
        "GET DESC ups nope.x => DESC ups nope.x \"Description unavailable\"",
        "GET DESC ups \"a b\" => ERR INVALID-ARGUMENT",
        "GET CMDDESC ups beeper.toggle => CMDDESC ups beeper.toggle \"Switch the UPS beeper on or off\"",
        "GET UPSDESC ups => UPSDESC ups \"Line 1500\"",
        "GET NUMLOGINS ups extra => NUMLOGINS ups 0",
        "GET FOO ups x => ERR INVALID-ARGUMENT",
        "LIST => ERR INVALID-ARGUMENT", "LIST VAR => ERR INVALID-ARGUMENT",
        "LIST UPS => BEGIN LIST UPS\\nUPS ups \"Line 1500\"\\nEND LIST UPS",
        "LIST VAR nope => ERR UNKNOWN-UPS",
        "LIST VAR ups => BEGIN LIST VAR ups\\nVAR ups battery.charge \"87\"\\n"
        "VAR ups battery.runtime \"1260\"\\nVAR ups ups.mfr \"Maker \\\"Q\\\" \\#1 \\\\ x\"\\n"
        "VAR ups ups.model \"Line 1500\"\\nVAR ups ups.status \"OL\"\\nEND LIST VAR ups",
        // Written in other cases, the name comes back as the client wrote it.
        "LIST VAR Ups => BEGIN LIST VAR Ups\\nVAR Ups battery.charge \"87\"\\n"
        "VAR Ups battery.runtime \"1260\"\\nVAR Ups ups.mfr \"Maker \\\"Q\\\" \\#1 \\\\ x\"\\n"
        "VAR Ups ups.model \"Line 1500\"\\nVAR Ups ups.status \"OL\"\\nEND LIST VAR Ups",
        "LIST RW ups => BEGIN LIST RW ups\\nEND LIST RW ups",
        "LIST CMD ups => BEGIN LIST CMD ups\\nCMD ups beeper.toggle\\nCMD ups test.battery.start\\n"
        "CMD ups test.battery.start.quick\\nCMD ups test.battery.stop\\nEND LIST CMD ups",
        "LIST CLIENT ups => BEGIN LIST CLIENT ups\\nEND LIST CLIENT ups",
        "LIST ENUM ups ups.status => BEGIN LIST ENUM ups ups.status\\nEND LIST ENUM ups ups.status",
        "LIST RANGE ups nope => ERR VAR-NOT-SUPPORTED", "LIST ENUM ups => ERR INVALID-ARGUMENT",
        "LIST FOO ups x => ERR INVALID-ARGUMENT",
    } << false;
    QTest::newRow("stale data") << Script {
        "GET VAR ups ups.status => ERR DATA-STALE", "LIST VAR ups => ERR DATA-STALE",
        "LIST CMD ups => ERR DATA-STALE", "GET NUMLOGINS ups => ERR DATA-STALE",
        "LIST VAR nope => ERR UNKNOWN-UPS",
        "GET UPSDESC ups => UPSDESC ups \"Line 1500\"",
        "LIST UPS => BEGIN LIST UPS\\nUPS ups \"Line 1500\"\\nEND LIST UPS",
        "LIST CLIENT ups => BEGIN LIST CLIENT ups\\nEND LIST CLIENT ups",
    } << true;
    QTest::newRow("account order") << Script {
        "LOGIN ups => ERR USERNAME-REQUIRED", "USERNAME => ERR INVALID-ARGUMENT",
        "USERNAME mon => OK", "USERNAME mon => ERR ALREADY-SET-USERNAME",
        "INSTCMD ups beeper.toggle => ERR PASSWORD-REQUIRED", "PASSWORD a b => ERR INVALID-ARGUMENT",
        "PASSWORD pw => OK", "PASSWORD pw => ERR ALREADY-SET-PASSWORD",
        "LOGIN => ERR INVALID-ARGUMENT", "LOGIN nope => ERR UNKNOWN-UPS",
        "PRIMARY ups => ERR ACCESS-DENIED", "MASTER ups => ERR ACCESS-DENIED",
        "FSD ups => ERR ACCESS-DENIED", "INSTCMD ups => ERR INVALID-ARGUMENT",
        "INSTCMD ups load.off => ERR CMD-NOT-SUPPORTED",
        "INSTCMD ups beeper.toggle => ERR ACCESS-DENIED",
        "SET VAR ups ups.status 1 => ERR ACCESS-DENIED", "SET VAR ups x => ERR INVALID-ARGUMENT",
        "LOGIN Ups => OK", "LOGIN ups => ERR ALREADY-LOGGED-IN",
        "GET NUMLOGINS ups => NUMLOGINS ups 1",
        "LIST CLIENT UPS => BEGIN LIST CLIENT UPS\\nCLIENT ups 192.0.2.7\\nEND LIST CLIENT UPS",
        // An alias answers as a UPS of its own, or clients take the reply for another one's.
        "LIST CLIENT QnapUps => BEGIN LIST CLIENT QnapUps\\nCLIENT qnapups 192.0.2.7\\n"
        "END LIST CLIENT QnapUps",
        "LOGOUT x => ERR INVALID-ARGUMENT", "LOGOUT => OK Goodbye",
    } << false;
    QTest::newRow("admin") << Script {
        "USERNAME adm => OK", "PASSWORD \"s3cret pw\" => OK", "LOGIN ups => OK",
        "PRIMARY ups => OK PRIMARY-GRANTED", "MASTER ups => OK MASTER-GRANTED",
        "SET VAR ups ups.status OB => ERR READONLY", "SET VAR ups nope 1 => ERR VAR-NOT-SUPPORTED",
        "SET TRACKING ON => ERR INVALID-ARGUMENT",
        "INSTCMD ups beeper.toggle extra words => OK",
        // The test time in seconds, ten minutes when none is given, as NUT's driver takes it.
        "INSTCMD ups test.battery.start => OK", "INSTCMD ups TEST.BATTERY.START 5940 => OK",
        "INSTCMD ups test.battery.start 5941 => ERR INVALID-ARGUMENT",
        "INSTCMD ups test.battery.start 0 => ERR INVALID-ARGUMENT",
        "INSTCMD ups test.battery.start 1.5 => ERR INVALID-ARGUMENT",
        // Listed, but not what the UPS can do now.
        "INSTCMD ups test.battery.stop => ERR INSTCMD-FAILED",
        "FSD ups => OK FSD-SET", "GET VAR ups ups.status => VAR ups ups.status \"FSD OL\"",
    } << false;
    QTest::newRow("wrong password") << Script {
        "USERNAME adm => OK", "PASSWORD s3cret => OK", "LOGIN ups => ERR ACCESS-DENIED",
        "FSD ups => ERR ACCESS-DENIED", "GET NUMLOGINS ups => NUMLOGINS ups 0",
    } << false;
    QTest::newRow("stale admin") << Script {
        "USERNAME adm => OK", "PASSWORD \"s3cret pw\" => OK",
        "INSTCMD ups beeper.toggle => ERR DATA-STALE", "SET VAR ups x 1 => ERR DATA-STALE",
        "FSD ups => OK FSD-SET",
    } << true;
}

void TestNutServer::dispatcher()
{
    QFETCH(Script, script);
    QFETCH(bool, stale);
    NutServerState state;
    state.setNames("ups", {"qnapups"});
    NutSnapshot snapshot = sampleSnapshot();
    snapshot.stale = stale;
    state.setSnapshot(snapshot);
    state.setAccounts(m_accounts);
    QByteArrayList commands;
    state.runCommand = [&](const QByteArray &c, const QByteArray &p, const NutSession &s) {
        commands << s.username + ':' + c + ' ' + p;
    };
    NutSession session;
    session.address = "192.0.2.7";
    state.addSession(&session);
    for (const QString &step : script) {
        const int arrow = step.indexOf(" => ");
        const QByteArray request = step.left(arrow).toUtf8();
        const QByteArray expected = step.mid(arrow + 4).toUtf8().replace("\\n", "\n") + '\n';
        const NutReply reply = NutDispatcher::handle(state, session, request);
        QCOMPARE(reply.text, expected);
        QCOMPARE(reply.after == NutReply::Close, request == "LOGOUT");
    }
    if (QTest::currentDataTag() == QLatin1String("admin"))
        QCOMPARE(commands, QByteArrayList({"adm:beeper.toggle ", "adm:test.battery.start 600",
                                           "adm:test.battery.start 5940"}));
    else
        QVERIFY(commands.isEmpty());
}

void TestNutServer::sessionsAndFsd()
{
    NutServerState state;
    int loginsChanged = 0;
    state.loginsChanged = [&] {
        ++loginsChanged;
    };
    state.setAccounts(m_accounts);
    NutSnapshot snapshot = sampleSnapshot();
    snapshot.alarms = QStringList {"Mains fault", "Battery low"};
    state.setSnapshot(snapshot);
    NutSession a, b;
    a.address = "10.0.0.1";
    b.address = "::1";
    state.addSession(&a);
    state.addSession(&b);
    for (NutSession *s : {&a, &b}) {
        for (const char *line : {"USERNAME mon", "PASSWORD pw", "LOGIN ups"})
            QCOMPARE(NutDispatcher::handle(state, *s, line).text, QByteArray("OK\n"));
    }
    QCOMPARE(state.loginCount(), 2);
    QCOMPARE(loginsChanged, 2);
    QCOMPARE(
        NutDispatcher::handle(state, a, "LIST CLIENT ups").text,
        QByteArray(
            "BEGIN LIST CLIENT ups\nCLIENT ups 10.0.0.1\nCLIENT ups ::1\nEND LIST CLIENT ups\n"));
    // Alarms: ALARM in the status and their texts in ups.alarm, which sorts in among the rest.
    QCOMPARE(NutDispatcher::handle(state, a, "GET VAR ups ups.status").text,
             QByteArray("VAR ups ups.status \"OL ALARM\"\n"));
    QVERIFY(NutDispatcher::handle(state, a, "LIST VAR ups")
                .text.contains("VAR ups ups.alarm \"Mains fault; Battery low\"\n"
                               "VAR ups ups.mfr"));
    state.setFsd(true);
    QCOMPARE(state.variable("ups.status")->value, QByteArray("FSD OL ALARM"));
    state.removeSession(&a);
    QCOMPARE(state.loginCount(), 1);
    QCOMPARE(loginsChanged, 3);
    state.setFsd(false);
    snapshot.alarms.clear();
    state.setSnapshot(snapshot);
    QCOMPARE(state.variable("ups.status")->value, QByteArray("OL"));
    QVERIFY(!state.variable("ups.alarm"));
}

void TestNutServer::passwords()
{
    // The stored form: salted, so one password gives two different hashes, both right.
    const QByteArray h1 = NutPassword::hash("secret", 1000);
    const QByteArray h2 = NutPassword::hash("secret", 1000);
    QVERIFY(h1.startsWith("pbkdf2-sha256$1000$"));
    QVERIFY(h1 != h2);
    QVERIFY(NutPassword::verify(h1, "secret") && NutPassword::verify(h2, "secret"));
    QVERIFY(!NutPassword::verify(h1, "Secret"));
    for (const QByteArray &bad :
         {QByteArray(), QByteArray("secret"), h1 + "x", QByteArray(h1).replace("$1000$", "$1$"),
          QByteArray(h1).replace("$1000$", "$x$")})
        QVERIFY2(!NutPassword::verify(bad, "secret"), bad);

    // A right password is remembered per account until the accounts change.
    NutServerState state;
    state.setAccounts(m_accounts);
    NutSession s;
    s.username = "mon";
    s.password = "pw";
    bool checked = false;
    QVERIFY(state.authenticate(s, &checked) && checked);
    QVERIFY(state.authenticate(s, &checked) && !checked);
    NutAccountList changed = m_accounts;
    changed[1].role = NutAccount::Admin;
    state.setAccounts(changed);
    QVERIFY(state.authenticate(s, &checked) && checked);
    QCOMPARE(s.role, NutAccount::Admin);
    NutSession nobody;
    nobody.username = "ghost";
    nobody.password = "pw";
    QVERIFY(!state.authenticate(nobody, &checked) && checked);
}

void TestNutServer::throttleSparesRightPasswords()
{
    NutThrottle throttle(1000, 60000);
    const QString home = QStringLiteral("127.0.0.1");
    // A burst of wrong passwords for one name: each verdict waits for the one before, and
    // twice as long.
    QList<qint64> waits;
    for (int i = 0; i < 4; ++i)
        waits << throttle.verdictDelay(home, "adm", false, 0);
    QCOMPARE(waits, (QList<qint64> {1000, 3000, 7000, 15000}));
    // Another client at the address with its own name and the right password: at once.
    QCOMPARE(throttle.verdictDelay(home, "mon", true, 0), 0);
    // Trying another name, known or not, is held back across names.
    QCOMPARE(throttle.verdictDelay(home, "ghost", false, 0), 31000);
    // The guessed name's right password comes in its turn, so no answer time tells it apart.
    QCOMPARE(throttle.verdictDelay(home, "adm", true, 0), 15000);
    QCOMPARE(throttle.verdictDelay(QStringLiteral("192.0.2.9"), "adm", false, 0), 1000);
    // Its right password forgave the name, not the address.
    QCOMPARE(throttle.verdictDelay(home, "adm", false, 20000), 43000);
    QCOMPARE(throttle.verdictDelay(home, "mon", true, 20000), 0);
    // A quarter of an hour without a wrong password forgives everything.
    const qint64 later = 63000 + 15 * 60 * 1000 + 1;
    QCOMPARE(throttle.verdictDelay(home, "adm", true, later), 0);
    QCOMPARE(throttle.verdictDelay(home, "ghost", false, later), 1000);
}

void TestNutServer::statusAndReadings_data()
{
    QTest::addColumn<UpsState>("state");
    QTest::addColumn<QString>("expected"); // name=value; ... of the variables looked at

    const QString looked =
        "ups.status=%1; battery.runtime=%2; battery.charge=%3; ups.temperature=%4";
    UpsState s = online();
    QTest::newRow("on line") << s << looked.arg("OL", "1500", "80", "(absent)");
    s.onBattery = true;
    s.batteryLow = true;
    s.temperature = 41.2f;
    QTest::newRow("low on battery") << s << looked.arg("OB LB", "1500", "80", "41.2");
    s = online();
    s.bypass = true;
    QTest::newRow("online type on bypass")
        << s << looked.arg("OL BYPASS", "1500", "80", "(absent)");
    s.standbyType = true;
    s.inputVoltage = 200.0f;
    QTest::newRow("standby type boosting") << s << looked.arg("OL BOOST", "1500", "80", "(absent)");
    s.inputVoltage = 250.0f;
    QTest::newRow("standby type trimming") << s << looked.arg("OL TRIM", "1500", "80", "(absent)");
    s.ratedOutputVoltage.reset();
    QTest::newRow("standby type, no rating") << s << looked.arg("OL", "1500", "80", "(absent)");
    s = online();
    s.selfTest = true;
    s.shutdownActive = true;
    s.outputVoltage = 0.0f;
    QTest::newRow("testing, output off") << s << looked.arg("OL CAL OFF", "1500", "80", "(absent)");
    s.outputVoltage = 230.0f;
    QTest::newRow("output off pending") << s << looked.arg("OL CAL", "1500", "80", "(absent)");
    // Without the UPS's own backup time (or with only an estimate from the charge) none is
    // served, unless one was learned.
    s = online();
    s.runtime.reset();
    QTest::newRow("no runtime") << s << looked.arg("OL", "(absent)", "80", "(absent)");
    s.runtime = 96;
    s.runtimeEstimated = true;
    s.onBattery = s.batteryLow = true;
    QTest::newRow("estimate, low") << s << looked.arg("OB LB", "(absent)", "80", "(absent)");
}

void TestNutServer::statusAndReadings()
{
    QFETCH(UpsState, state);
    QFETCH(QString, expected);
    const NutSnapshot snapshot = NutUpsPublisher::build(state, DevComm::COM, {}, {});
    QVERIFY(!snapshot.stale);
    QStringList got;
    for (const QString &pair : expected.split("; ")) {
        const QString name = pair.section('=', 0, 0);
        got << name + '=' + QString::fromUtf8(value(snapshot, name.toLatin1().constData()));
    }
    QCOMPARE(got.join("; "), expected);
    // Names sorted, each once, nothing empty where a text is missing.
    QByteArray previous;
    for (const NutVariable &v : snapshot.variables) {
        QVERIFY2(v.name > previous, v.name);
        previous = v.name;
    }
    QCOMPARE(value(snapshot, "ups.mfr"), QByteArray("(absent)"));
    QCOMPARE(value(snapshot, "ups.test.result"),
             state.selfTest ? QByteArray("In progress") : QByteArray("No test initiated"));
    // A learned runtime stands in only where the UPS tells none of its own.
    const NutSnapshot learned = NutUpsPublisher::build(state, DevComm::COM, {}, {}, 487);
    QCOMPARE(value(learned, "battery.runtime"),
             state.runtime && !state.runtimeEstimated ? value(snapshot, "battery.runtime")
                                                      : QByteArray("487"));
}

void TestNutServer::commandsOfTheLink_data()
{
    QTest::addColumn<UpsState>("state");
    QTest::addColumn<int>("commType");
    QTest::addColumn<QByteArray>("usable"); // the commands not refused in this state

    UpsState s = online();
    QTest::newRow("serial, on mains")
        << s << int(DevComm::COM)
        << QByteArray("beeper.toggle load.off shutdown.stayoff test.battery.start "
                      "test.battery.start.deep test.battery.start.quick");
    QTest::newRow("usb, on mains") << s << int(DevComm::USB)
                                   << QByteArray("beeper.toggle load.off shutdown.return "
                                                 "test.battery.start test.battery.start.deep "
                                                 "test.battery.start.quick");
    s.onBattery = true;
    s.selfTest = true;
    QTest::newRow("serial, on battery, testing")
        << s << int(DevComm::COM)
        << QByteArray("beeper.toggle load.off shutdown.return test.battery.stop");
    s.shutdownActive = true;
    QTest::newRow("serial, output going off")
        << s << int(DevComm::COM)
        << QByteArray("beeper.toggle load.on shutdown.stop test.battery.stop");
}

void TestNutServer::commandsOfTheLink()
{
    QFETCH(UpsState, state);
    QFETCH(int, commType);
    QFETCH(QByteArray, usable);
    const NutSnapshot snapshot = NutUpsPublisher::build(state, commType, {}, {});
    // Listed whatever the state, as NUT's driver lists them for a serial UPS: clients read the
    // list once. What does not fit the state now is refused when asked for.
    QByteArray all = "beeper.toggle load.off load.on shutdown.return shutdown.stayoff "
                     "shutdown.stop test.battery.start test.battery.start.deep "
                     "test.battery.start.quick test.battery.stop";
    if (commType != DevComm::COM)
        all.replace("shutdown.stayoff ", "");
    QCOMPARE(::commands(snapshot), all);
    QByteArrayList free;
    for (const NutOfferedCommand &c : snapshot.commands) {
        if (c.refusal.isEmpty())
            free << c.name;
        QCOMPARE(c.maxSeconds, c.name == "test.battery.start" ? 5940 : 0);
    }
    QCOMPARE(free.join(' '), usable);
}

void TestNutServer::publisherFollowsTheLink()
{
    TestRoot root(TestRoot::Everything);
    Clock::setNow(QDateTime(QDate(2024, 6, 1), QTime(12, 0, 0)));
    // The last recorded test; the battery ran low while it ran, the fault came later.
    QSqlQuery sql;
    QVERIFY(sql.exec("insert into log_self_test(dateTime, duration, count) "
                     "values('2024-05-31 08:00:00', 10, 10)"));
    QVERIFY(sql.exec(QStringLiteral("insert into alarm(dateTime, alarm) values"
                                    "('2024-05-31 08:00:06', %1), ('2024-05-31 08:01:00', %2)")
                         .arg(int(Alarm::BattVolLow))
                         .arg(int(Alarm::UPSFault))));
    DevComm devComm(root.settings());
    NutUpsPublisher source(&devComm);
    QSignalSpy published(&source, &NutUpsPublisher::snapshotChanged);

    // Never online: stale from the start; then the first data set makes it fresh.
    source.start();
    source.onTimerTimeout();
    QVERIFY(source.snapshot().stale);
    QVERIFY(published.isEmpty());
    source.setAlarms({"UPS fault"});
    source.updateState(online());
    // Nothing is published while no server serves it; asked, the snapshot is made then.
    QVERIFY(published.isEmpty());
    QVERIFY(!source.snapshot().stale);
    source.setServing(true);
    QCOMPARE(published.count(), 1);
    NutSnapshot s = source.snapshot();
    QVERIFY(!s.stale);
    QCOMPARE(s.alarms, QStringList {"UPS fault"});
    QCOMPARE(value(s, "ups.test.result"), QByteArray("Done and warning"));
    QCOMPARE(value(s, "ups.test.date"), QByteArray("2024-05-31 08:00:00"));
    // The rating reply as NUT's driver names it, and as the output's.
    QCOMPARE(value(s, "input.voltage.nominal") + ' ' + value(s, "output.voltage.nominal"),
             QByteArray("230 230.0"));

    // A test ends: its outcome at once, its start as recorded.
    SelfTestResult result;
    result.seconds = 20;
    source.selfTestFinished(result);
    QCOMPARE(value(source.snapshot(), "ups.test.result"), QByteArray("Done and passed"));
    QCOMPARE(value(source.snapshot(), "ups.test.date"), QByteArray("2024-06-01 11:59:40"));
    source.selfTestRecorded(QDateTime(QDate(2024, 6, 1), QTime(11, 59, 39)));
    QCOMPARE(value(source.snapshot(), "ups.test.date"), QByteArray("2024-06-01 11:59:39"));
    result.upsFailed = result.batteryLow = true;
    source.selfTestFinished(result);
    QCOMPARE(value(source.snapshot(), "ups.test.result"), QByteArray("Done and error"));

    // Lost: the last data is served 15 s more, its commands still listed but refused; the 16th
    // second makes it stale.
    UpsState lost;
    lost.link = UpsState::Link::Offline;
    source.updateState(lost);
    s = source.snapshot();
    QVERIFY(!s.stale);
    QCOMPARE(value(s, "input.voltage"), QByteArray("229.5"));
    QCOMPARE(s.commands.size(), 9); // the USB link, the one set
    for (const NutOfferedCommand &c : s.commands)
        QCOMPARE(c.refusal, QByteArray("the UPS link is lost"));
    Clock::advance(15);
    source.onTimerTimeout();
    QVERIFY(!source.snapshot().stale);
    Clock::advance(1);
    source.onTimerTimeout();
    QVERIFY(source.snapshot().stale);
    const int count = published.count();
    source.onTimerTimeout();
    source.updateState(lost);
    QCOMPARE(published.count(), count);

    // Back: fresh at once, commands usable again.
    source.updateState(online());
    QVERIFY(!source.snapshot().stale);
    QVERIFY(source.snapshot().commands.first().refusal.isEmpty());
    Clock::useSystemClock();
}

void TestNutServer::storeKeepsHashesOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    // Other settings already there stay as they are.
    QVERIFY(TestRoot::writeFile(path, "[email]\nserverPort=587\n"));
    Settings settings;
    settings.load(path);
    NutAccountStore store(&settings);
    QCOMPARE(store.setAccount("monuser", NutAccount::Monitor, "secret"), NutAccountStore::Done);
    QCOMPARE(store.setAccount("admin", NutAccount::Admin, "p+w!"), NutAccountStore::Done);
    QCOMPARE(store.setAccount("bad name", NutAccount::Admin, "x"), NutAccountStore::BadName);
    QCOMPARE(store.setAccount(QByteArray(33, 'a'), NutAccount::Admin, "x"),
             NutAccountStore::BadName);
    // What upsmon could not send as it is.
    for (const char *bad : {"", "a b", "a\"b", "a#b", "a\\b", "a\tb"})
        QCOMPARE(store.setAccount("x", NutAccount::Admin, bad), NutAccountStore::BadPassword);
    QCOMPARE(store.setRole("monuser", NutAccount::Admin), NutAccountStore::Done);
    QCOMPARE(store.setRole("ghost", NutAccount::Admin), NutAccountStore::NoSuchAccount);
    QCOMPARE(store.remove("ghost"), NutAccountStore::NoSuchAccount);

    QByteArray text = TestRoot::readFile(path);
    QVERIFY(text.contains("\nserverPort=587\n"));
    QVERIFY(text.contains("[network]\n"));
    QVERIFY(text.contains("users\\monuser\\role=admin"));
    QVERIFY2(text.contains("users\\monuser\\password=\"pbkdf2-sha256$100000$"), text);
    QVERIFY(!text.contains("secret") && !text.contains("p+w!"));

    // A hand-edited entry that makes no account is left out with a warning; the rest stands.
    QVERIFY(TestRoot::writeFile(
        path, "[network]\nusers\\broken\\role=root\nusers\\broken\\password=pbkdf2-sha256$x\n",
        QIODevice::Append));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Network account broken .* malformed"));
    const NutAccountList list = store.accounts();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).name, QByteArray("admin"));
    QCOMPARE(list.at(1).role, NutAccount::Admin);
    QVERIFY(NutPassword::verify(list.at(0).passwordHash, "p+w!"));
    QCOMPARE(store.remove("admin"), NutAccountStore::Done);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Network account broken .* malformed"));
    QCOMPARE(store.accounts().size(), 1);

    // A configuration with lines that are no settings is set aside and written anew at start:
    // the accounts come along.
    QVERIFY(TestRoot::writeFile(path, "[[broken\n", QIODevice::Append));
    qputenv("QUELTA_HOME", dir.path().toUtf8());
    QVERIFY(QDir(dir.path()).mkpath("cfg"));
    QVERIFY(QFile::rename(path, dir.filePath("cfg/config.cfg")));
    Paths::setRoot(dir.path());
    Settings reloaded;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("does not read as this program.s settings"));
    reloaded.load();
    Paths::setRoot(QString());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Network account broken .* malformed"));
    const NutAccountList kept = NutAccountStore(&reloaded).accounts();
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept.at(0).name, QByteArray("monuser"));
}

void TestNutServer::commandLine_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // standard output, or error output when it failed
    QTest::addColumn<QString>("listed"); // --nut-user list afterwards

    QTest::newRow("add") << "add" << QStringList {"monuser"} << "monitor"
                         << "secret\r\n"
                         << 0 << "Account monuser added (monitor).\n"
                         << "monuser monitor\nnas admin\n";
    QTest::newRow("change") << "add" << QStringList {"nas"} << "monitor"
                            << "new\n"
                            << 0 << "Account nas changed (monitor).\n"
                            << "nas monitor\n";
    QTest::newRow("remove unknown") << "remove" << QStringList {"ghost"} << ""
                                    << "" << 1 << "There is no account ghost.\n"
                                    << "nas admin\n";
    QTest::newRow("no role") << "add" << QStringList {"x"} << ""
                             << "pw\n"
                             << 2 << "--nut-user add needs --role monitor or --role admin.\n"
                             << "nas admin\n";
    QTest::newRow("no password") << "add" << QStringList {"x"} << "admin"
                                 << "" << 1
                                 << "A password is 1 to 64 characters without blanks, quotes, "
                                    "backslashes or #.\n"
                                 << "nas admin\n";
    QTest::newRow("bad action") << "rename" << QStringList {"nas"} << ""
                                << "" << 2
                                << "Use --nut-user add NAME --role monitor|admin, --nut-user "
                                   "remove NAME or --nut-user list.\n"
                                << "nas admin\n";
}

void TestNutServer::commandLine()
{
    QFETCH(QString, action);
    QFETCH(QStringList, names);
    QFETCH(QString, role);
    QFETCH(QString, input);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, listed);

    QTemporaryDir dir;
    Settings settings;
    settings.load(dir.filePath("config.cfg"));
    NutAccountStore(&settings).setAccount("nas", NutAccount::Admin, "old");
    QString inText = input, outText, errText;
    QTextStream in(&inText), o(&outText), e(&errText);
    QCOMPARE(NutUserCommand::run(&settings, action, names, role, in, o, e), exitCode);
    QCOMPARE(exitCode == 0 ? outText : errText, out);
    QCOMPARE(exitCode == 0 ? errText : outText, QString());

    QString listText, none;
    QTextStream listOut(&listText), listErr(&none), noInput(&none);
    QCOMPARE(NutUserCommand::run(&settings, "list", {}, QString(), noInput, listOut, listErr), 0);
    QCOMPARE(listText, listed);
    if (QTest::currentDataTag() == QLatin1String("add"))
        QVERIFY(NutPassword::verify(NutAccountStore(&settings).accounts().at(0).passwordHash,
                                    "secret"));
}

// The clients' sockets are watched as one set: every client gets the replies to its own requests
// whoever else is ready in the same wake-up, a client leaving amid the others' requests takes
// none of theirs along, and a client that comes on the descriptor just given back is a new one.
// The replies are compared with the dispatcher's for the same lines.
void TestNutServer::crowdOnOneSocketSet()
{
    NutServer server;
    NutServerConfig config;
    config.enabled = true;
    config.listen = QStringList {QStringLiteral("127.0.0.1")};
    config.port = 0;
    config.maxClients = 1000;
    server.setConfig(config);
    server.setSnapshot(sampleSnapshot());
    QVERIFY(server.serverPort() != 0);

    NutServerState reference;
    reference.setSnapshot(sampleSnapshot());
    const QByteArrayList requests {"GET VAR ups battery.charge", "GET VAR ups ups.mfr",
                                   "LIST VAR ups", "VER", "GET VAR ups no.such", "LIST CMD ups",
                                   "GET UPSDESC ups", "NETVER"};
    struct Client
    {
        std::unique_ptr<QTcpSocket> socket;
        QByteArray expected;
        QByteArray got;
    };
    std::vector<Client> clients;
    // Connects `count` more; the server takes them as its event loop turns.
    auto open = [&](int count) {
        for (int i = 0; i < count; ++i) {
            Client c;
            c.socket.reset(new QTcpSocket);
            c.socket->connectToHost(QHostAddress::LocalHost, server.serverPort());
            clients.push_back(std::move(c));
        }
    };
    auto connected = [&](size_t from) {
        return std::all_of(clients.cbegin() + from, clients.cend(), [](const Client &c) {
            return c.socket->state() == QAbstractSocket::ConnectedState;
        });
    };
    // Client i sends one, two or three requests in one write, so several lines wait in one
    // read; every fifth leaves at once.
    auto ask = [&](size_t from) {
        for (size_t i = from; i < clients.size(); ++i) {
            Client &c = clients[i];
            QByteArray sent;
            NutSession session;
            for (size_t k = 0; k <= i % 3; ++k) {
                const QByteArray line = requests.at(int((i + k * 3) % requests.size()));
                sent += line + '\n';
                c.expected += NutDispatcher::handle(reference, session, line).text;
            }
            c.socket->write(sent);
            c.socket->flush();
            if (from == 0 && i % 5 == 4) {
                c.socket->abort();
                c.expected.clear();
            }
        }
    };
    auto answered = [&] {
        for (Client &c : clients) {
            if (c.socket->state() == QAbstractSocket::ConnectedState)
                c.got += c.socket->readAll();
            if (c.got.size() < c.expected.size())
                return false;
        }
        return true;
    };
    const int crowd = 300;
    open(crowd);
    QTRY_VERIFY_WITH_TIMEOUT(connected(0), 10000);
    ask(0);
    QTRY_VERIFY_WITH_TIMEOUT(answered(), 10000);
    // The places of those gone go to newcomers, on the descriptors the server gave back.
    open(crowd / 5);
    QTRY_VERIFY_WITH_TIMEOUT(connected(crowd), 10000);
    ask(crowd);
    QTRY_VERIFY_WITH_TIMEOUT(answered(), 10000);
    for (size_t i = 0; i < clients.size(); ++i)
        QCOMPARE(clients[i].got, clients[i].expected);
}

QTEST_GUILESS_MAIN(TestNutServer)
#include "tst_nutserver.moc"
