// The protocol engine without sockets: how the byte stream is cut into lines, how a line is cut
// into words, and what the server answers to each request, byte for byte as upsd of NUT 2.8
// answers it (checked against a real upsd with the dummy driver).
#include "nutdispatcher.h"
#include "nutlineparser.h"
#include "nutlinesplitter.h"
#include "nutpassword.h"
#include "nutserverstate.h"
#include "nutsession.h"

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
    s.commands = {
        {"beeper.toggle", 0}, {"test.battery.start", 99}, {"test.battery.start.quick", 0}};
    return s;
}

// Requests and the replies expected, one pair per line: "request => reply", where "\n" in the
// reply stands for the LF between lines (every reply ends with one).
using Script = QStringList;

} // namespace

class TestNutProtocol : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void splitter();
    void parser_data();
    void parser();
    void quoting();
    void dispatcher_data();
    void dispatcher();
    void sessionsAndFsd();
    void passwords();

private:
    NutAccountList m_accounts;
};

void TestNutProtocol::initTestCase()
{
    // Few iterations: the hash form is the same, only cheaper to check in a test.
    m_accounts = {{"adm", NutAccount::Admin, NutPassword::hash("s3cret pw", 1000)},
                  {"mon", NutAccount::Monitor, NutPassword::hash("pw", 1000)}};
}

void TestNutProtocol::splitter()
{
    NutLineSplitter s;
    NutLineSplitter::Line line;
    QVERIFY(!s.next(&line));
    s.feed("VER\r\nNET", 8);
    QVERIFY(s.next(&line));
    QCOMPARE(line.text, QByteArray("VER\r"));
    QVERIFY(!line.tooLong);
    QVERIFY(!s.next(&line)); // half a line waits
    s.feed("VER\n\n", 5);
    QVERIFY(s.next(&line));
    QCOMPARE(line.text, QByteArray("NETVER"));
    QVERIFY(s.next(&line));
    QCOMPARE(line.text, QByteArray());

    // 1024 bytes are a line; 1025 are too long, whether they come at once or bit by bit, and
    // the next line is read as usual. Binary bytes are just bytes.
    const QByteArray longest(NutLineSplitter::maxLength, 'x');
    s.feed(longest + "\n", longest.size() + 1);
    QVERIFY(s.next(&line));
    QCOMPARE(line.text.size(), NutLineSplitter::maxLength);
    QVERIFY(!line.tooLong);
    for (int i = 0; i < 400; ++i) {
        s.feed("\x00\xff\x01", 3);
        QVERIFY(!s.next(&line));
        QVERIFY(s.pending() <= NutLineSplitter::maxLength + 3);
    }
    s.feed("\nGET\x00 x\n", 8);
    QVERIFY(s.next(&line));
    QVERIFY(line.tooLong);
    QVERIFY(line.text.isEmpty());
    QVERIFY(s.next(&line));
    QCOMPARE(line.text, QByteArray("GET\x00 x", 6));
    QVERIFY(!s.next(&line));
    QCOMPARE(s.pending(), 0);
}

void TestNutProtocol::parser_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("words"); // joined by "|"; "!" for a malformed line

    QTest::newRow("blanks") << QByteArray("GET\tVAR  ups\r\x0b x\f") << "GET|VAR|ups|x";
    QTest::newRow("quoted") << QByteArray("SET VAR ups a \"two words\"")
                            << "SET|VAR|ups|a|two words";
    QTest::newRow("escapes") << QByteArray(R"(a "q\"b\\c" d\ e \#f)") << R"(a|q"b\c|d e|#f)";
    QTest::newRow("empty quoted") << QByteArray("PASSWORD \"\"") << "PASSWORD|";
    QTest::newRow("comment") << QByteArray("GET VAR ups ups.status # rest \"")
                             << "GET|VAR|ups|ups.status";
    QTest::newRow("hash in word") << QByteArray("a#b") << "a#b";
    QTest::newRow("quote splits") << QByteArray("ups.\"status\"x") << "ups.|status|x";
    QTest::newRow("nul ignored") << QByteArray("GET VAR ups ups.st\0atus", 23)
                                 << "GET|VAR|ups|ups.status";
    QTest::newRow("trailing backslash") << QByteArray("VER\\") << "VER";
    QTest::newRow("open quote") << QByteArray("GET VAR \"ups") << "!";
    QTest::newRow("blank") << QByteArray(" \r") << "";
}

void TestNutProtocol::parser()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, words);
    QByteArrayList got;
    const bool ok = NutLineParser::parse(line, &got);
    QCOMPARE(ok ? QString::fromLatin1(got.join('|')) : QStringLiteral("!"), words);
}

void TestNutProtocol::quoting()
{
    QCOMPARE(NutLineParser::quote("a b \"c\" #d \\e"), QByteArray(R"("a b \"c\" \#d \\e")"));
    QCOMPARE(NutLineParser::quote(QByteArray("x\ny\0z\x7f", 6)), QByteArray("\"x y z \""));
    // What goes out comes back the same through the parser clients use.
    const QByteArray value = "Maker \"Q\" #1 \\ x";
    QByteArrayList words;
    QVERIFY(NutLineParser::parse("VAR ups ups.mfr " + NutLineParser::quote(value), &words));
    QCOMPARE(words.value(3), value);
}

void TestNutProtocol::dispatcher_data()
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
        "LIST RW ups => BEGIN LIST RW ups\\nEND LIST RW ups",
        "LIST CMD ups => BEGIN LIST CMD ups\\nCMD ups beeper.toggle\\nCMD ups test.battery.start\\n"
        "CMD ups test.battery.start.quick\\nEND LIST CMD ups",
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
        "LOGOUT x => ERR INVALID-ARGUMENT", "LOGOUT => OK Goodbye",
    } << false;
    QTest::newRow("admin") << Script {
        "USERNAME adm => OK", "PASSWORD \"s3cret pw\" => OK", "LOGIN ups => OK",
        "PRIMARY ups => OK PRIMARY-GRANTED", "MASTER ups => OK MASTER-GRANTED",
        "SET VAR ups ups.status OB => ERR READONLY", "SET VAR ups nope 1 => ERR VAR-NOT-SUPPORTED",
        "SET TRACKING ON => ERR INVALID-ARGUMENT",
        "INSTCMD ups beeper.toggle extra words => OK",
        "INSTCMD ups test.battery.start => ERR INVALID-ARGUMENT",
        "INSTCMD ups test.battery.start 100 => ERR INVALID-ARGUMENT",
        "INSTCMD ups TEST.BATTERY.START 5 => OK",
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

void TestNutProtocol::dispatcher()
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
        QCOMPARE(commands, QByteArrayList({"adm:beeper.toggle ", "adm:test.battery.start 5"}));
    else
        QVERIFY(commands.isEmpty());
}

void TestNutProtocol::sessionsAndFsd()
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

void TestNutProtocol::passwords()
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

QTEST_GUILESS_MAIN(TestNutProtocol)
#include "tst_nutprotocol.moc"
