// The network UPS client: the variable mapping, the line codec, servers of our own that misbehave
// in every way the protocol allows and more, and Debian's real upsd with the dummy-ups driver.
#include "logrecorder.h"
#include "nutclient.h"
#include "nutcommand.h"
#include "nutline.h"
#include "nutlinesplitter.h"
#include "nutreading.h"
#include "nutserverprocess.h"
#include "smtptestserver.h"
#include "testroot.h"

#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString upsName = QStringLiteral("ups");

QHash<QString, QString> vars(const QStringList &pairs)
{
    QHash<QString, QString> map;
    for (const QString &pair : pairs) {
        const int eq = pair.indexOf(QLatin1Char('='));
        map.insert(pair.left(eq), pair.mid(eq + 1));
    }
    return map;
}

QByteArray varList(const QString &ups, const QByteArray &entries)
{
    return "BEGIN LIST VAR " + ups.toUtf8() + '\n' + entries + "END LIST VAR " + ups.toUtf8() +
        '\n';
}

const QByteArray goodVars = "VAR ups ups.status \"OL CHRG\"\nVAR ups input.voltage \"230.5\"\n"
                            "VAR ups battery.charge \"97\"\n";

// A server speaking just enough of the protocol, whose answers a test replaces line by line.
// With a certificate it offers STARTTLS.
class FakeServer : public QTcpServer
{
public:
    struct Answer
    {
        QByteArray bytes;
        bool close = false;
    };
    using Responder = std::function<std::optional<Answer>(const QByteArray &request)>;

    explicit FakeServer(Responder special = {}) : m_special(std::move(special))
    {
        listen(QHostAddress::LocalHost, 0);
    }

    static std::optional<Answer> standard(const QByteArray &request)
    {
        if (request == "STARTTLS")
            return Answer {"ERR FEATURE-NOT-CONFIGURED\n"};
        if (request == "LIST CMD ups")
            return Answer {"BEGIN LIST CMD ups\nCMD ups beeper.toggle\nCMD ups "
                           "test.battery.start.quick\nEND LIST CMD ups\n"};
        if (request == "LIST VAR ups")
            return Answer {varList(upsName, goodVars)};
        if (request.startsWith("USERNAME") || request.startsWith("PASSWORD") ||
            request.startsWith("LOGIN") || request.startsWith("INSTCMD"))
            return Answer {"OK\n"};
        return Answer {"ERR UNKNOWN-COMMAND\n"};
    }

    QList<QByteArray> requests;
    QList<qint64> attempts;
    int connections = 0;
    bool refuse = false;
    QSslCertificate certificate;
    QSslKey key;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        ++connections;
        attempts.append(QDateTime::currentMSecsSinceEpoch());
        if (refuse) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        connect(socket, &QSslSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    void serve(QSslSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        int end;
        while ((end = buffer.indexOf('\n')) >= 0) {
            const QByteArray request = buffer.left(end);
            buffer.remove(0, end + 1);
            requests.append(request);
            std::optional<Answer> answer = m_special ? m_special(request) : std::nullopt;
            if (!answer && request == "STARTTLS" && !certificate.isNull())
                answer = Answer {"OK STARTTLS\n"};
            if (!answer)
                answer = standard(request);
            if (answer->bytes == "<silent>")
                continue;
            socket->write(answer->bytes);
            if (answer->bytes == "OK STARTTLS\n")
                socket->startServerEncryption();
            if (answer->close) {
                socket->flush();
                socket->disconnectFromHost();
                return;
            }
        }
    }

    Responder m_special;
    QHash<QSslSocket *, QByteArray> m_buffers;
};

NutClient::Timing fastTiming(int pollMs = 300)
{
    NutClient::Timing timing;
    timing.pollMs = pollMs;
    timing.batteryPollMs = pollMs / 2;
    timing.retryFirstMs = 40;
    timing.retryMaxMs = 320;
    return timing;
}

NutClient::Endpoint endpointFor(quint16 port, const QString &user = QString(),
                                const QString &password = QString())
{
    NutClient::Endpoint endpoint;
    endpoint.host = QStringLiteral("127.0.0.1");
    endpoint.port = port;
    endpoint.ups = upsName;
    endpoint.user = user;
    endpoint.password = password;
    endpoint.allowPlain = true;
    return endpoint;
}

} // namespace

class TestNutClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        using Vars = QHash<QString, QString>;
        qRegisterMetaType<Vars>();
        LogRecorder::install();
    }

    void readings_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QString>("expected");

        QTest::newRow("on mains, all there")
            << QStringList {"ups.status=OL CHRG",
                            "input.voltage=230.4",
                            "output.voltage=229",
                            "ups.load=23",
                            "input.frequency=50.0",
                            "battery.voltage=27.3",
                            "ups.temperature=31.5",
                            "battery.charge=97",
                            "battery.runtime=1800",
                            "output.voltage.nominal=230",
                            "input.frequency.nominal=50",
                            "battery.voltage.nominal=24",
                            "output.current.nominal=4.3",
                            "ups.beeper.status=enabled",
                            "ups.type=offline / line interactive",
                            "device.mfr=Maker",
                            "ups.mfr=Other",
                            "ups.model=M1000",
                            "ups.firmware=02.1",
                            "ups.serial=SN9"}
            << "known OL CHRG in 230.4 out 229 load 23 freq 50 batt 27.3 temp 31.5 charge 97 "
               "runtime 1800 rOut 230 rFreq 50 rBatt 24 rCur 4.3 beeper 1 standby 1 "
               "id Maker/M1000/02.1/SN9";
        QTest::newRow("every status word, unknown ones ignored")
            << QStringList {"ups.status=OB LB BYPASS CAL FSD TRIM BOOST OFF OVER RB DISCHRG ALARM "
                            "HB XYZ"}
            << "known OB LB BYPASS CAL FSD TRIM BOOST OFF OVER RB DISCHRG ALARM";
        QTest::newRow("driver starting: nothing known")
            << QStringList {"ups.status=WAIT", "input.voltage=230"} << "in 230";
        QTest::newRow("no status at all") << QStringList {"battery.charge=50"} << "charge 50";
        QTest::newRow("numbers that are not numbers stay empty")
            << QStringList {"ups.status=OB",          "battery.charge=abc",   "input.voltage=1e3",
                            "output.voltage=1,200.2", "ups.load= 12",         "battery.runtime=nan",
                            "input.frequency=inf",    "battery.voltage=0x10", "ups.temperature=--5",
                            "ups.beeper.status=loud"}
            << "known OB refused input.voltage,output.voltage,ups.load,input.frequency,"
               "battery.voltage,ups.temperature,battery.charge,battery.runtime,ups.beeper.status";
        QTest::newRow("out of range stays empty, fallbacks taken")
            << QStringList {"battery.charge=120",
                            "ups.load=-3",
                            "battery.temperature=40",
                            "output.frequency.nominal=x",
                            "input.frequency.nominal=60",
                            "ups.mfr=Other",
                            "ups.type=online"}
            << "temp 40 rFreq 60 standby 0 id Other/// refused ups.load,battery.charge,"
               "output.frequency.nominal";
        // A test under way is a sign of its own beside CAL; a verdict that names none is none.
        QTest::newRow("test in progress")
            << QStringList {"ups.status=OL", "ups.test.result=In progress"} << "known OL testing";
        QTest::newRow("test verdict")
            << QStringList {"ups.test.result=Done and warning"} << "verdict warning";
        QTest::newRow("test aborted") << QStringList {"ups.test.result=Aborted"} << "";
        QTest::newRow("signed and bare decimals")
            << QStringList {"ups.temperature=-4.5", "input.voltage=+230", "ups.load=.5"}
            << "in 230 load 0.5 temp -4.5";
    }

    void readings()
    {
        QFETCH(QStringList, variables);
        QFETCH(QString, expected);
        const NutReading r = NutReading::fromVariables(vars(variables));
        QStringList out;
        if (r.statusKnown) {
            out << "known";
            const QList<QPair<const char *, bool>> words {
                {"OL", r.online},           {"OB", r.onBattery},      {"LB", r.batteryLow},
                {"BYPASS", r.bypass},       {"CAL", r.calibrating},   {"FSD", r.forcedShutdown},
                {"TRIM", r.trim},           {"BOOST", r.boost},       {"OFF", r.outputOff},
                {"OVER", r.overload},       {"RB", r.replaceBattery}, {"CHRG", r.charging},
                {"DISCHRG", r.discharging}, {"ALARM", r.alarm}};
            for (const auto &word : words) {
                if (word.second)
                    out << word.first;
            }
        }
        if (r.testInProgress)
            out << "testing";
        const char *verdicts[] = {"", "passed", "warning", "failed"};
        if (r.testVerdict != UpsState::TestVerdict::None)
            out << "verdict" << verdicts[int(r.testVerdict)];
        const QList<QPair<const char *, std::optional<double>>> numbers {
            {"in", r.inputVoltage},
            {"out", r.outputVoltage},
            {"load", r.load},
            {"freq", r.inputFrequency},
            {"batt", r.batteryVoltage},
            {"temp", r.temperature},
            {"charge", r.batteryCharge},
            {"runtime", r.batteryRuntime},
            {"rOut", r.ratingOutputVoltage},
            {"rFreq", r.ratingFrequency},
            {"rBatt", r.ratingBatteryVoltage},
            {"rCur", r.ratingCurrent}};
        for (const auto &number : numbers) {
            if (number.second)
                out << number.first << QString::number(*number.second);
        }
        if (r.beeperOn)
            out << "beeper" << QString::number(*r.beeperOn);
        if (r.standbyType)
            out << "standby" << QString::number(*r.standbyType);
        const QString id = QStringList {r.manufacturer, r.model, r.firmware, r.serial}.join('/');
        if (id != QLatin1String("///"))
            out << "id" << id;
        if (!r.refused.isEmpty())
            out << "refused" << r.refused.join(',');
        QCOMPARE(out.join(' '), expected);
    }

    // Requests become the commands the server offers (here those of nutdrv_qx on a Q1 UPS), or
    // none at all.
    void commandMapping()
    {
        const QStringList qx {"beeper.toggle",
                              "load.off",
                              "load.on",
                              "shutdown.return",
                              "shutdown.stayoff",
                              "shutdown.stop",
                              "test.battery.start",
                              "test.battery.start.deep",
                              "test.battery.start.quick",
                              "test.battery.stop"};
        const QStringList sparse {"beeper.enable", "beeper.disable", "load.on"};
        NutReading mains = NutReading::fromVariables(vars({"ups.status=OL"}));
        NutReading battery = NutReading::fromVariables(vars({"ups.status=OB OFF"}));
        NutReading beeperOff = NutReading::fromVariables(vars({"ups.beeper.status=disabled"}));
        const auto run = [](NutCommand::Request request, const QStringList &offered,
                            const NutReading &state, int minutes = 0) {
            const std::optional<NutCommand> c =
                NutCommand::forRequest(request, offered, state, minutes);
            return c ? (c->name + ' ' + c->parameter).trimmed() : QStringLiteral("-");
        };
        QCOMPARE(run(NutCommand::SelfTestQuick, qx, mains), QString("test.battery.start.quick"));
        QCOMPARE(run(NutCommand::SelfTestDeep, qx, mains), QString("test.battery.start.deep"));
        QCOMPARE(run(NutCommand::SelfTestMinutes, qx, mains, 5), QString("test.battery.start 300"));
        QCOMPARE(run(NutCommand::SelfTestCancel, qx, mains), QString("test.battery.stop"));
        QCOMPARE(run(NutCommand::BeeperToggle, qx, mains), QString("beeper.toggle"));
        QCOMPARE(run(NutCommand::OutputOff, qx, mains, 2), QString("shutdown.stayoff 120"));
        QCOMPARE(run(NutCommand::OutputOff, qx, battery), QString("shutdown.return"));
        QCOMPARE(run(NutCommand::OutputOffCancel, qx, mains), QString("shutdown.stop"));
        QCOMPARE(run(NutCommand::OutputOffCancel, qx, battery), QString("load.on"));
        QCOMPARE(run(NutCommand::SelfTestQuick, sparse, mains), QString("-"));
        QCOMPARE(run(NutCommand::OutputOff, sparse, battery), QString("-"));
        QCOMPARE(run(NutCommand::OutputOffCancel, sparse, mains), QString("load.on"));
        QCOMPARE(run(NutCommand::BeeperToggle, sparse, mains), QString("-")); // state unknown
        QCOMPARE(run(NutCommand::BeeperToggle, sparse, beeperOff), QString("beeper.enable"));
        QCOMPARE(run(NutCommand::BeeperToggle, {}, beeperOff), QString("-"));
    }

    // The one reading of a line for both sides, as upsd reads a request; a server's reply is
    // read the same way and refused where it cannot be trusted; what goes out reads back as it
    // was; a stream is cut into lines of bounded length.
    void lineCodec()
    {
        const QList<QPair<QByteArray, const char *>> requests {
            {"GET\tVAR  ups\r\x0b x\f", "GET|VAR|ups|x"},
            {"SET VAR ups a \"two words\"", "SET|VAR|ups|a|two words"},
            {"a \"q\\\"b\\\\c\" d\\ e \\#f", "a|q\"b\\c|d e|#f"},
            {"PASSWORD \"\"", "PASSWORD|"},
            {"GET VAR ups ups.status # rest \"", "GET|VAR|ups|ups.status"},
            {"a#b", "a#b"},
            {"ups.\"status\"x", "ups.|status|x"},
            {QByteArray("GET VAR ups ups.st\0atus", 23), "GET|VAR|ups|ups.status"},
            {"VER\\", "VER"},
            {"GET VAR \"ups", "!"},
            {" \r", ""}};
        for (const auto &c : requests) {
            QByteArrayList words;
            const bool ok = NutLine::split(c.first, &words);
            QCOMPARE(ok ? words.join('|') : QByteArray("!"), QByteArray(c.second));
        }
        const QList<QPair<QByteArray, QStringList>> replies {
            {"VAR ups ups.status \"OL CHRG\"", {"VAR", "ups", "ups.status", "OL CHRG"}},
            {"VAR ups x \"\"", {"VAR", "ups", "x", ""}},
            {"  OK\t ", {"OK"}},
            {"VAR ups x \"caf\xc3\xa9\"", {"VAR", "ups", "x", QString::fromUtf8("caf\xc3\xa9")}}};
        for (const auto &c : replies) {
            QStringList words;
            QVERIFY2(NutLine::splitReply(c.first, &words), c.first.constData());
            QCOMPARE(words, c.second);
        }
        for (const QByteArray &bad : {QByteArray("VAR ups x \"open"), QByteArray("OK \\"),
                                      QByteArray("VAR\x01 x"), QByteArray("A\0B", 3)}) {
            QStringList words;
            QVERIFY2(!NutLine::splitReply(bad, &words), bad.constData());
        }

        // What goes out reads back as the same words, a '#' at a word's start included; a line
        // end inside a word is refused, and a value never breaks a reply line.
        const QStringList words {"PASSWORD", "p a\"s\\s", "#x"};
        const QByteArray line = NutLine::join(words);
        QCOMPARE(line,
                 QByteArray("PASSWORD \"p a\\\"s\\\\s\" \"\\#x\""
                            "\n"));
        QStringList back;
        QVERIFY(NutLine::splitReply(line.chopped(1), &back));
        QCOMPARE(back, words);
        QVERIFY(NutLine::join({"PASSWORD", "x\nLOGOUT"}).isEmpty());
        QCOMPARE(NutLine::quote(QByteArray("x\ny\0z\x7f", 6)), QByteArray("\"x y z \""));
        const QByteArray value = "Maker \"Q\" #1 \\ x";
        QByteArrayList served;
        QVERIFY(NutLine::split("VAR ups ups.mfr " + NutLine::quote(value), &served));
        QCOMPARE(served.value(3), value);
        QCOMPARE(NutLine::excerpt(QByteArray(200, 'a') + "\x01", 4),
                 QString("aaaa... (201 bytes)"));

        // Lines end at LF, a half line waits; the limit's length is a line, one byte more is
        // too long, whether it comes at once or bit by bit, and the next line reads as usual.
        NutLineSplitter s;
        NutLineSplitter::Line next;
        s.feed("VER\r\nNET", 8);
        QVERIFY(s.next(&next) && next.text == "VER\r" && !next.tooLong);
        QVERIFY(!s.next(&next));
        s.feed("VER\n\n", 5);
        QVERIFY(s.next(&next) && next.text == "NETVER");
        QVERIFY(s.next(&next) && next.text.isEmpty());
        const QByteArray longest(NutLineSplitter::maxLength, 'x');
        s.feed(longest + "\n", longest.size() + 1);
        QVERIFY(s.next(&next) && next.text.size() == NutLineSplitter::maxLength && !next.tooLong);
        for (int i = 0; i < 400; ++i) {
            s.feed("\x00\xff\x01", 3);
            QVERIFY(!s.next(&next));
            QVERIFY(s.pending() <= NutLineSplitter::maxLength + 3);
        }
        QVERIFY(s.dropping());
        s.feed("\nGET\x00 x\n", 8);
        QVERIFY(s.next(&next) && next.tooLong && next.text.isEmpty());
        QVERIFY(s.next(&next) && next.text == QByteArray("GET\x00 x", 6));
        QVERIFY(!s.next(&next) && s.pending() == 0 && !s.dropping());
    }

    // Each misbehaviour ends in a lost link with a clear reason, never in a hang or in data
    // taken from half a list; the client then tries again.
    void badServers()
    {
        const QByteArray var = "LIST VAR ups", cmd = "LIST CMD ups", tls = "STARTTLS";
        const struct
        {
            QByteArray request, answer;
            bool close;
            const char *reason;
        } cases[] = {
            {var, "HELLO THERE\n", false, "answered LIST VAR with: HELLO THERE"},
            {var, QByteArray("\x00\xff\x02zz\n", 6), false, "cannot be read: \\x00\\xff\\x02zz"},
            // A line without end, a list without end.
            {var, "BEGIN LIST VAR ups\nVAR ups ups.status \"OL", false,
             "did not answer LIST VAR in time"},
            {var, "BEGIN LIST VAR ups\n" + goodVars, false, "did not answer LIST VAR in time"},
            {var, varList(QStringLiteral("other"), {}), false,
             "answered LIST VAR with: BEGIN LIST VAR other"},
            {var,
             "BEGIN LIST VAR ups\nVAR ups ups.status \"" + QByteArray(10 << 20, 'A') +
                 "\"\nEND LIST VAR ups\n",
             false, "line longer than 16384 bytes"},
            {var, "BEGIN LIST VAR ups\n" + QByteArray("VAR ups x \"1\"\n").repeated(6000), false,
             "goes on beyond 5000 entries"},
            {cmd, "ERR UNKNOWN-UPS\n", false, "knows no UPS named \"ups\""},
            {var, "ERR ACCESS-DENIED\n", false, "refused LIST VAR: ACCESS-DENIED"},
            {tls, "<silent>", false, "did not answer STARTTLS in time"},
            {var, "BEGIN LIST VAR ups\n" + goodVars, true, "closed the connection"}, // mid-list
            {tls, QByteArray(), true, "closed the connection"}, // at once
            {cmd, "MAYBE\n", false, "answered LIST CMD with: MAYBE"},
        };
        for (const auto &c : cases) {
            FakeServer server([&](const QByteArray &r) -> std::optional<FakeServer::Answer> {
                if (r == c.request)
                    return FakeServer::Answer {c.answer, c.close};
                return std::nullopt;
            });
            NutClient client;
            client.setTiming(fastTiming());
            client.setEndpoint(endpointFor(server.serverPort()));
            QSignalSpy received(&client, &NutClient::variablesReceived);
            QSignalSpy lost(&client, &NutClient::unavailable);
            client.start();
            QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 10000);
            const QString reason = lost.first().first().toString();
            QVERIFY2(reason.contains(QLatin1String(c.reason)), qPrintable(reason));
            QVERIFY(received.isEmpty());
            QVERIFY(!client.hasData());
            QCOMPARE(client.problem(), reason);
            // It comes back for more.
            QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 2, 10000);
        }
    }

    // A server that keeps refusing: 40, 80, 160, 320, 320 ms between attempts, one warning for
    // all of them; data coming back is logged once and brings the short delay back.
    void retryBackoff()
    {
        LogRecorder::take();
        FakeServer server;
        server.refuse = true;
        NutClient client;
        client.setTiming(fastTiming());
        client.setEndpoint(endpointFor(server.serverPort()));
        QSignalSpy lost(&client, &NutClient::unavailable);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(server.attempts.size() >= 7, 20000);
        const QList<int> expected {40, 80, 160, 320, 320, 320};
        for (int i = 0; i < expected.size(); ++i) {
            const qint64 gap = server.attempts.at(i + 1) - server.attempts.at(i);
            QVERIFY2(gap >= expected.at(i) * 9 / 10 && gap < expected.at(i) + 2000,
                     qPrintable(QStringLiteral("gap %1: %2 ms").arg(i).arg(gap)));
        }
        QVERIFY(lost.size() >= 6);
        QCOMPARE(LogRecorder::take(QtWarningMsg).filter(QStringLiteral("Network link")).size(), 1);

        server.refuse = false;
        QSignalSpy received(&client, &NutClient::variablesReceived);
        QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty(), 10000);
        QCOMPARE(client.problem(), QString());
        using Vars = QHash<QString, QString>;
        QCOMPARE(received.first().first().value<Vars>().value("battery.charge"), QString("97"));
    }

    // Polls every poll period on mains and twice as often on battery; a silent server is noticed
    // within two poll periods of its last answer.
    void pollPace()
    {
        bool battery = false;
        bool silent = false;
        QList<qint64> polls;
        FakeServer server([&](const QByteArray &r) -> std::optional<FakeServer::Answer> {
            if (r != "LIST VAR ups")
                return std::nullopt;
            if (silent)
                return FakeServer::Answer {"<silent>"};
            polls.append(QDateTime::currentMSecsSinceEpoch());
            return FakeServer::Answer {
                varList(upsName, battery ? "VAR ups ups.status \"OB DISCHRG\"\n" : goodVars)};
        });
        NutClient client;
        client.setTiming(fastTiming(400));
        client.setEndpoint(endpointFor(server.serverPort()));
        QSignalSpy lost(&client, &NutClient::unavailable);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(polls.size() >= 4, 10000);
        QVERIFY(lost.isEmpty());
        const auto meanGap = [&] {
            return double(polls.last() - polls.at(polls.size() - 4)) / 3;
        };
        QVERIFY2(meanGap() >= 360 && meanGap() < 1000, qPrintable(QString::number(meanGap())));
        battery = true;
        polls.clear();
        QTRY_VERIFY_WITH_TIMEOUT(polls.size() >= 5, 10000);
        polls.removeFirst(); // still on the mains period
        QVERIFY2(meanGap() >= 180 && meanGap() < 500, qPrintable(QString::number(meanGap())));

        silent = true;
        QElapsedTimer since;
        since.start();
        const qint64 lastAnswer = polls.last();
        QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 10000);
        const qint64 noticed = QDateTime::currentMSecsSinceEpoch() - lastAnswer;
        QVERIFY2(noticed <= 2 * 400 + 400, qPrintable(QString::number(noticed)));
        QVERIFY(lost.first().first().toString().contains("did not answer LIST VAR in time"));
    }

    // Commands: only those the server lists go out; its refusal comes back as its error word.
    void commands()
    {
        QByteArray instcmdAnswer = "OK\n";
        FakeServer server([&](const QByteArray &r) -> std::optional<FakeServer::Answer> {
            if (r.startsWith("INSTCMD"))
                return FakeServer::Answer {instcmdAnswer};
            return std::nullopt;
        });
        NutClient client;
        client.setTiming(fastTiming(1000));
        client.setEndpoint(endpointFor(server.serverPort(), "admin", "pw"));
        QSignalSpy finished(&client, &NutClient::commandFinished);
        client.instantCommand("beeper.toggle");
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.takeFirst(), QVariantList({"beeper.toggle", "NOT-CONNECTED"}));

        QSignalSpy commandsChanged(&client, &NutClient::commandsChanged);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(!commandsChanged.isEmpty(), 10000);
        QCOMPARE(client.commands(), QStringList({"beeper.toggle", "test.battery.start.quick"}));
        client.instantCommand("beeper.toggle");
        client.instantCommand("load.off");
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(finished.takeFirst(), QVariantList({"load.off", "CMD-NOT-SUPPORTED"}));
        QCOMPARE(finished.takeFirst(), QVariantList({"beeper.toggle", ""}));
        instcmdAnswer = "ERR ACCESS-DENIED\n";
        client.instantCommand("test.battery.start.quick", "5");
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.takeFirst(), QVariantList({"test.battery.start.quick", "ACCESS-DENIED"}));
        QVERIFY(server.requests.contains("INSTCMD ups test.battery.start.quick 5"));
        QVERIFY(server.requests.contains("USERNAME admin"));
        QVERIFY(server.requests.contains("PASSWORD pw"));
        // No protection asked for: never a LOGIN.
        QVERIFY(!server.requests.contains("LOGIN ups"));
    }

    // Several UPSes of one server on one connection: every UPS it lists, one LIST VAR each per
    // poll, followed as the list changes; a UPS the server cannot serve leaves the others alone,
    // and each keeps its own commands.
    void severalUpsesOnOneConnection()
    {
        // "a-gone" sits between the others: its refusal comes amid the answers of one write.
        QByteArray listed = "UPS a \"A\"\nUPS b \"B\"\nUPS a-gone \"C\"\n";
        FakeServer server([&](const QByteArray &r) -> std::optional<FakeServer::Answer> {
            if (r == "LIST UPS")
                return FakeServer::Answer {"BEGIN LIST UPS\n" + listed + "END LIST UPS\n"};
            for (const char *ups : {"a", "b", "c"}) {
                if (r == QByteArray("LIST VAR ") + ups)
                    return FakeServer::Answer {
                        varList(ups, QByteArray("VAR ") + ups + " ups.status \"OL\"\n")};
                if (r == QByteArray("LIST CMD ") + ups)
                    return FakeServer::Answer {QByteArray("BEGIN LIST CMD ") + ups + "\nCMD " +
                                               ups + " beeper.toggle\nEND LIST CMD " + ups + "\n"};
            }
            if (r == "LIST VAR a-gone")
                return FakeServer::Answer {"ERR UNKNOWN-UPS\n"};
            return std::nullopt;
        });
        NutClient client;
        client.setTiming(fastTiming(200));
        NutClient::Endpoint endpoint = endpointFor(server.serverPort());
        endpoint.ups.clear();
        client.setEndpoint(endpoint);
        client.setWatched({}, true);
        QSignalSpy units(&client, &NutClient::upsListChanged);
        QSignalSpy received(&client, &NutClient::upsVariablesReceived);
        QSignalSpy lost(&client, &NutClient::upsUnavailable);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(received.size() >= 6, 10000);
        QCOMPARE(units.first().first().toStringList(), QStringList({"a", "a-gone", "b"}));
        QCOMPARE(lost.first(),
                 QVariantList({"a-gone", "The server knows no UPS named \"a-gone\""}));
        QVERIFY(client.hasDataOf("a") && client.hasDataOf("b") && !client.hasDataOf("a-gone"));
        QCOMPARE(server.connections, 1);
        // A round is LIST UPS, then one LIST VAR per UPS: never two of one UPS in a round.
        int rounds = 0;
        QSet<QByteArray> inRound;
        for (const QByteArray &r : server.requests) {
            if (r == "LIST UPS") {
                ++rounds;
                inRound.clear();
            } else if (r.startsWith("LIST VAR")) {
                QVERIFY2(!inRound.contains(r), r.constData());
                inRound.insert(r);
            }
        }
        QVERIFY(rounds >= 3);
        QTRY_COMPARE(client.commandsOf("b"), QStringList({"beeper.toggle"}));
        QSignalSpy finished(&client, &NutClient::upsCommandFinished);
        client.instantCommandTo("b", "beeper.toggle");
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.first(), QVariantList({"b", "beeper.toggle", ""}));
        QVERIFY(server.requests.contains("INSTCMD b beeper.toggle"));

        // The server lists another UPS and no longer one of the first.
        units.clear();
        listed = "UPS a \"A\"\nUPS c \"C\"\n";
        QTRY_VERIFY_WITH_TIMEOUT(!units.isEmpty(), 10000);
        QCOMPARE(units.first().first().toStringList(), QStringList({"a", "c"}));
        received.clear();
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(received.cbegin(), received.cend(),
                                             [](const QList<QVariant> &args) {
                                                 return args.first().toString() == "c";
                                             }),
                                 10000);
        QCOMPARE(server.connections, 1);

        // A server that goes away loses every UPS on it, each told once per attempt.
        lost.clear();
        server.close();
        server.refuse = true;
        for (QTcpSocket *socket : server.findChildren<QTcpSocket *>())
            socket->abort();
        QTRY_VERIFY_WITH_TIMEOUT(lost.size() >= 2, 10000);
        QVERIFY(!client.hasDataOf("a") && !client.hasDataOf("c"));
    }

    // STARTTLS: used when offered and checked against the CA file; refused certificates, an
    // unreadable or empty CA file (a clear reason, not a silent fallback to the system's) and a
    // server without TLS (unless plain is allowed) give no data.
    void startTls()
    {
        const struct
        {
            bool offered;
            const char *ca; // trusted, other (authority), missing, garbage (file)
            bool allowPlain;
            const char *outcome;
        } cases[] = {
            {true, "trusted", false, "^encrypted$"},
            {true, "trusted", true, "^encrypted$"}, // plain allowed, still encrypted
            {true, "other", true, "^lost: The server's certificate is not trusted"},
            {true, "missing", true, "^lost: Cannot read the CA file .*missing.pem"},
            {true, "garbage", true, "^lost: The CA file .* holds no PEM certificate"},
            {false, "trusted", false,
             "^lost: The server offers no encryption \\(FEATURE-NOT-CONFIGURED\\) and an "
             "unencrypted connection is not allowed"},
            {false, "trusted", true, "^plain$"},
        };
        const auto run = [](bool offered, const QString &ca, bool allowPlain, const char *outcome) {
            const QString certFile = SmtpTestServer::certificateFile();
            const QSslKey key(TestRoot::readFile(QFileInfo(certFile).dir().filePath("key.pem")),
                              QSsl::Ec);
            const QList<QSslCertificate> certs = QSslCertificate::fromPath(certFile);
            QVERIFY(!certs.isEmpty() && !key.isNull());

            FakeServer server;
            if (offered) {
                server.certificate = certs.first();
                server.key = key;
            }
            QTemporaryDir dir;
            QString caFile = ca == "trusted" ? certFile : dir.filePath(ca + ".pem");
            if (ca == "garbage") {
                QFile garbage(caFile);
                QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("not a certificate\n"));
            } else if (ca == "other") {
                // A valid PEM file of some other authority.
                QProcess openssl;
                openssl.start("openssl",
                              {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                               "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                               dir.filePath("k.pem"), "-out", caFile, "-days", "2", "-subj",
                               "/CN=127.0.0.1"});
                QVERIFY(openssl.waitForFinished(30000) && openssl.exitCode() == 0);
            }
            NutClient client;
            client.setTiming(fastTiming(1500));
            NutClient::Endpoint endpoint = endpointFor(server.serverPort());
            endpoint.caFile = caFile;
            endpoint.allowPlain = allowPlain;
            client.setEndpoint(endpoint);
            QSignalSpy received(&client, &NutClient::variablesReceived);
            QSignalSpy lost(&client, &NutClient::unavailable);
            client.start();
            QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty() || !lost.isEmpty(), 15000);
            const QString seen = !lost.isEmpty()
                ? "lost: " + lost.first().first().toString()
                : (client.isEncrypted() ? QStringLiteral("encrypted") : QStringLiteral("plain"));
            QVERIFY2(QRegularExpression(outcome).match(seen).hasMatch(), qPrintable(seen));
            client.stop();
        };
        for (const auto &c : cases) {
            run(c.offered, QString::fromLatin1(c.ca), c.allowPlain, c.outcome);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Debian's upsd with dummy-ups and its own STARTTLS: refused when its certificate is not
    // trusted; users and passwords, stale data, a server that goes away and comes back, all
    // encrypted. (Data, commands and a refused command through the whole program are the
    // network link's suite.)
    void realServer()
    {
        if (!NutServerProcess::available())
            QSKIP("Debian's nut-server is not installed (scripts/setup installs it)");
        const QString certFile = SmtpTestServer::certificateFile();
        NutServerProcess nut;
        nut.addDummyUps(upsName, "ups.status: OB LB\ninput.voltage: 231.0\nbattery.charge: 18\n");
        nut.addUser("mon", "secret", {"upsmon secondary"});
        nut.addServerSetting("MAXAGE 3");
        QVERIFY2(nut.enableTls(certFile, QFileInfo(certFile).dir().filePath("key.pem")),
                 qPrintable(nut.output()));
        QVERIFY2(nut.start(), qPrintable(nut.output()));
        const auto endpoint = [&](const QString &password, const QString &caFile = QString()) {
            NutClient::Endpoint e = endpointFor(nut.port(), "mon", password);
            e.caFile = caFile.isNull() ? certFile : caFile;
            e.allowPlain = false;
            return e;
        };

        NutClient client;
        client.setTiming(fastTiming(500));
        client.setEndpoint(endpoint("secret", "")); // the system's authorities
        QSignalSpy received(&client, &NutClient::variablesReceived);
        QSignalSpy lost(&client, &NutClient::unavailable);
        QSignalSpy finished(&client, &NutClient::commandFinished);
        client.start();
        QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 15000);
        QVERIFY2(lost.first().first().toString().contains("certificate is not trusted"),
                 qPrintable(lost.first().first().toString()));

        // A wrong password: watched all the same, not logged in, commands refused.
        client.setLoginWanted(true);
        client.setEndpoint(endpoint("wrong"));
        QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty(), 10000);
        using Vars = QHash<QString, QString>;
        const auto last = [&] {
            return received.last().first().value<Vars>();
        };
        QVERIFY(client.isEncrypted());
        QCOMPARE(last().value("ups.status"), QString("OB LB"));
        QCOMPARE(last().value("battery.charge"), QString("18"));
        QCOMPARE(client.commands(), QStringList({"load.off"}));
        QVERIFY(!client.isLoggedIn());
        client.instantCommand("load.off");
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 10000);
        QCOMPARE(finished.takeFirst(), QVariantList({"load.off", "ACCESS-DENIED"}));

        // The right password logs in (the server lists this client), and leaving protection
        // logs out again.
        client.setEndpoint(endpoint("secret"));
        QTRY_VERIFY_WITH_TIMEOUT(client.isLoggedIn(), 10000);
        client.setLoginWanted(false);
        QTRY_VERIFY_WITH_TIMEOUT(!client.isLoggedIn(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(client.hasData(), 10000);

        // A driver that hangs: stale data is a loss; it comes back by itself.
        lost.clear();
        nut.pauseDriver(upsName, true);
        QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 15000);
        QVERIFY2(lost.first().first().toString().contains("DATA-STALE"),
                 qPrintable(lost.first().first().toString()));
        received.clear();
        nut.pauseDriver(upsName, false);
        QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty(), 15000);

        // upsd stopped and started again: lost, then back encrypted without help.
        lost.clear();
        nut.stopServer();
        QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 10000);
        QVERIFY(!client.hasData());
        received.clear();
        QVERIFY2(nut.startServer(), qPrintable(nut.output()));
        // (a server that just started may first say WAIT)
        QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty() && last().value("ups.status") == "OB LB",
                                 15000);
        QVERIFY(client.isEncrypted());

        // An unknown UPS name.
        NutClient::Endpoint other = endpoint("secret");
        other.ups = "nosuch";
        lost.clear();
        client.setEndpoint(other);
        QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 10000);
        QVERIFY(lost.first().first().toString().contains("knows no UPS named \"nosuch\""));
    }
};

QTEST_GUILESS_MAIN(TestNutClient)
#include "tst_nutclient.moc"
