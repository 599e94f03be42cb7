// The network server over real sockets: Debian's NUT clients (upsc, upscmd, upsmon) against it,
// a client of our own that checks the exact bytes, STARTTLS, and the abuse a server on a network
// meets, while a timer on the main thread (where the UPS is polled) must stay on time.
#include "nutdispatcher.h"
#include "nutpassword.h"
#include "nutpeer.h"
#include "nutservice.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTcpSocket>
#include <QtTest>

namespace {

NutSnapshot onLine()
{
    NutSnapshot s;
    s.stale = false;
    s.variables = {
        {"battery.charge", "87", false},      {"battery.runtime", "1260", false},
        {"input.voltage", "229.5", false},    {"ups.mfr", "Maker \"Q\" #1 \\ x", true},
        {"ups.model", "Line 1500 Pro", true}, {"ups.status", "OL", true},
    };
    s.commands = {{"beeper.toggle", 0}, {"test.battery.start.quick", 0}};
    return s;
}

NutSnapshot withStatus(const QByteArray &status, bool onBattery)
{
    NutSnapshot s = onLine();
    s.variables[5].value = status;
    s.onBattery = onBattery;
    return s;
}

// A client of our own, reading replies byte for byte.
class RawClient
{
public:
    explicit RawClient(quint16 port, const QHostAddress &host = QHostAddress::LocalHost)
    {
        socket.connectToHost(host, port);
        socket.waitForConnected(5000);
    }
    // Reads until the bytes read end with `end`, or the time is up.
    QByteArray readUntil(const QByteArray &end, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!buffer.endsWith(end) && !deadline.hasExpired()) {
            if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(50)) {
                if (socket.state() != QAbstractSocket::ConnectedState)
                    break;
                continue;
            }
            buffer += socket.readAll();
        }
        return take();
    }
    QByteArray ask(const QByteArray &lines, const QByteArray &end = "\n")
    {
        socket.write(lines);
        return readUntil(end);
    }
    QByteArray take()
    {
        const QByteArray out = buffer;
        buffer.clear();
        return out;
    }
    // True once the server has closed the connection.
    bool waitForClose(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
            if (socket.waitForReadyRead(50))
                buffer += socket.readAll();
        }
        return socket.state() != QAbstractSocket::ConnectedState;
    }

    QSslSocket socket;
    QByteArray buffer;
};

// Records how late a 50 ms timer on the main thread fires, as the UPS poll would.
class PollWatch : public QObject
{
public:
    PollWatch()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            const qint64 late = clock.restart() - 50;
            worst = std::max(worst, late);
        });
        timer.start(50);
        clock.start();
    }
    QTimer timer;
    QElapsedTimer clock;
    qint64 worst = 0;
};

QMutex logMutex;
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

// The server logs from its own thread.
void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        QMutexLocker lock(&logMutex);
        logLines << text;
    }
    previousHandler(type, context, text);
}

int logCount(const QString &part)
{
    QMutexLocker lock(&logMutex);
    return int(std::count_if(logLines.cbegin(), logLines.cend(),
                             [&](const QString &line) { return line.contains(part); }));
}

// One case of tests/support/nut_abuse.py, run beside the event loop so the main thread keeps
// turning (and PollWatch sees whether it is held up).
QJsonObject runAbuse(const QStringList &arguments, const QProcessEnvironment &env = {})
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUELTA_PYTHON),
                  QStringList {QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/nut_abuse.py")} +
                      arguments);
    QDeadlineTimer deadline(120000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
    const QByteArray out = process.readAllStandardOutput();
    if (process.exitCode() != 0 || out.isEmpty())
        qWarning() << "nut_abuse.py" << arguments << "failed:" << process.readAllStandardError();
    return QJsonDocument::fromJson(out).object();
}

// An address of this machine other than loopback, to be a client outside the allowed networks.
QHostAddress otherLocalAddress()
{
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a;
    }
    return {};
}

} // namespace

class TestNutServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void realClientsReadAndCommand();
    void exactBytes();
    void upsmonSecondary();
    void upsmonLostLinkOnBattery();
    void upsmonForcedShutdownEndsPrimaryWait();
    void startTls();
    void abuse();

private:
    NutServerConfig config() const
    {
        NutServerConfig c;
        c.enabled = true;
        c.listen = QStringList {QStringLiteral("127.0.0.1")};
        c.port = 0;
        c.throttleBaseMs = 100;
        return c;
    }
    // Applies a configuration and waits until the server listens again.
    bool start(const NutServerConfig &c)
    {
        QSignalSpy port(m_service.get(), &NutService::portChanged);
        m_service->setConfig(NutServerConfig());
        m_service->setConfig(c);
        QDeadlineTimer deadline(10000);
        while (port.isEmpty() || port.last().at(0).toInt() == 0) {
            if (deadline.hasExpired() || !port.wait(int(deadline.remainingTime())))
                return false;
        }
        m_port = m_service->port();
        return m_port != 0;
    }
    QString target() const { return QStringLiteral("ups@127.0.0.1:%1").arg(m_port); }

    std::unique_ptr<NutService> m_service;
    NutAccountList m_accounts;
    quint16 m_port = 0;
};

void TestNutServer::initTestCase()
{
    previousHandler = qInstallMessageHandler(recordLog);
    if (!QFile::exists(QStringLiteral("/usr/bin/upsc")))
        QSKIP("Debian's nut-client is not installed (scripts/setup installs it)");
    m_accounts = {{"adm", NutAccount::Admin, NutPassword::hash("adm+pw")},
                  {"mon", NutAccount::Monitor, NutPassword::hash("mon-pw")}};
}

void TestNutServer::init()
{
    m_service.reset(new NutService);
    m_service->setAccounts(m_accounts);
    m_service->setSnapshot(onLine());
    QVERIFY(start(config()));
}

void TestNutServer::cleanup()
{
    m_service.reset();
}

void TestNutServer::realClientsReadAndCommand()
{
    NutPeer::Result r = NutPeer::run("upsc", {"-l", QStringLiteral("127.0.0.1:%1").arg(m_port)});
    QCOMPARE(r.out, QByteArray("ups\n"));
    r = NutPeer::run("upsc", {target()});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out,
             QByteArray("battery.charge: 87\nbattery.runtime: 1260\ninput.voltage: 229.5\n"
                        "ups.mfr: Maker \"Q\" #1 \\ x\nups.model: Line 1500 Pro\n"
                        "ups.status: OL\n"));
    m_service->setSnapshot(withStatus("OB", true));
    QTRY_COMPARE(NutPeer::run("upsc", {target(), "ups.status"}).out, QByteArray("OB\n"));
    r = NutPeer::run("upsc", {target(), "ups.temperature"});
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains("Variable not supported by UPS"), r.err);

    r = NutPeer::run("upscmd", {"-l", target()});
    QVERIFY2(r.out.contains("beeper.toggle - Switch the UPS beeper on or off\n"
                            "test.battery.start.quick - Ten-second battery test\n"),
             r.out);
    QSignalSpy commands(m_service.get(), &NutService::commandRequested);
    r = NutPeer::run("upscmd", {"-u", "adm", "-p", "adm+pw", target(), "test.battery.start.quick"});
    QCOMPARE(r.exitCode, 0);
    QTRY_COMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toByteArray(), QByteArray("test.battery.start.quick"));
    QCOMPARE(commands.at(0).at(2).toString(), QStringLiteral("adm"));
    r = NutPeer::run("upscmd", {"-u", "mon", "-p", "mon-pw", target(), "beeper.toggle"});
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains("ERR ACCESS-DENIED"), r.err);
    r = NutPeer::run("upscmd", {"-u", "adm", "-p", "adm+pw", target(), "load.off"});
    QVERIFY2(r.err.contains("ERR CMD-NOT-SUPPORTED"), r.err);
    QTest::qWait(100);
    QCOMPARE(commands.count(), 1);

    NutSnapshot stale = onLine();
    stale.stale = true;
    m_service->setSnapshot(stale);
    QTRY_VERIFY(NutPeer::run("upsc", {target()}).err.contains("Data stale"));
}

void TestNutServer::exactBytes()
{
    RawClient c(m_port);
    // What a Home Assistant style client reads: BEGIN and END lines around the list, LF only,
    // values quoted with their quotes and backslashes escaped.
    QCOMPARE(c.ask("LIST VAR ups\n", "END LIST VAR ups\n"),
             QByteArray("BEGIN LIST VAR ups\n"
                        "VAR ups battery.charge \"87\"\n"
                        "VAR ups battery.runtime \"1260\"\n"
                        "VAR ups input.voltage \"229.5\"\n"
                        "VAR ups ups.mfr \"Maker \\\"Q\\\" \\#1 \\\\ x\"\n"
                        "VAR ups ups.model \"Line 1500 Pro\"\n"
                        "VAR ups ups.status \"OL\"\n"
                        "END LIST VAR ups\n"));
    // Requests in one write, CR LF endings, a blank line: one reply each, in order.
    QCOMPARE(
        c.ask("GET VAR ups ups.model\r\nLIST UPS\r\n\r\nGET NUMLOGINS ups\n", "NUMLOGINS ups 0\n"),
        QByteArray("VAR ups ups.model \"Line 1500 Pro\"\n"
                   "BEGIN LIST UPS\nUPS ups \"Line 1500 Pro\"\nEND LIST UPS\n"
                   "ERR UNKNOWN-COMMAND\n"
                   "NUMLOGINS ups 0\n"));
    QCOMPARE(c.ask("LOGOUT\n"), QByteArray("OK Goodbye\n"));
    QVERIFY(c.waitForClose(5000));
}

void TestNutServer::upsmonSecondary()
{
    UpsmonProcess upsmon({target(), "mon", "mon-pw", 2, 3, false});
    QVERIFY(upsmon.isRunning());
    QVERIFY2(upsmon.waitForLog(QRegularExpression("parse_status: \\[OL\\]"), 20000),
             qPrintable(upsmon.log()));
    NutSnapshot stale = onLine();
    stale.stale = true;
    m_service->setSnapshot(stale);
    QVERIFY2(upsmon.waitForLog(QRegularExpression("stale"), 20000, 6), qPrintable(upsmon.log()));
    QVERIFY2(!upsmon.shutdownRan(), qPrintable(upsmon.log()));
    m_service->setSnapshot(withStatus("OB", true));
    QVERIFY2(upsmon.waitForLog(QRegularExpression("parse_status: \\[OB\\]"), 20000, 5),
             qPrintable(upsmon.log()));
    QVERIFY2(!upsmon.shutdownRan(), qPrintable(upsmon.log()));
    m_service->setSnapshot(withStatus("OB LB", true));
    QVERIFY2(upsmon.waitForShutdown(30000), qPrintable(upsmon.log()));
}

void TestNutServer::upsmonLostLinkOnBattery()
{
    UpsmonProcess upsmon({target(), "mon", "mon-pw", 2, 3, false});
    m_service->setSnapshot(withStatus("OB", true));
    QVERIFY2(upsmon.waitForLog(QRegularExpression("parse_status: \\[OB\\]"), 20000),
             qPrintable(upsmon.log()));
    NutSnapshot stale = withStatus("OB", true);
    stale.stale = true;
    m_service->setSnapshot(stale);
    QVERIFY2(upsmon.waitForShutdown(30000), qPrintable(upsmon.log()));
}

void TestNutServer::upsmonForcedShutdownEndsPrimaryWait()
{
    NutServerConfig c = config();
    c.hostSyncSeconds = 120;
    QVERIFY(start(c));
    UpsmonProcess upsmon({target(), "mon", "mon-pw", 2, 3, false});
    QVERIFY2(upsmon.waitForLog(QRegularExpression("Logged into UPS"), 20000),
             qPrintable(upsmon.log()));
    QSignalSpy finished(m_service.get(), &NutService::shutdownWaitFinished);
    QElapsedTimer clock;
    clock.start();
    m_service->beginShutdownWait();
    QVERIFY2(upsmon.waitForShutdown(30000), qPrintable(upsmon.log()));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
    QVERIFY(clock.elapsed() < 60000);
}

void TestNutServer::startTls()
{
    const QString certs = NutPeer::certificateFolder();
    QVERIFY(!certs.isEmpty());
    NutServerConfig c = config();
    c.certFile = certs + "/cert.pem";
    c.keyFile = certs + "/key.pem";
    QVERIFY(start(c));
    RawClient client(m_port);
    QCOMPARE(client.ask("STARTTLS\n"), QByteArray("OK STARTTLS\n"));
    client.socket.setPeerVerifyMode(QSslSocket::VerifyPeer);
    client.socket.setPeerVerifyName(QStringLiteral("localhost"));
    auto tls = client.socket.sslConfiguration();
    tls.setCaCertificates(QSslCertificate::fromPath(c.certFile));
    client.socket.setSslConfiguration(tls);
    client.socket.startClientEncryption();
    QVERIFY(client.socket.waitForEncrypted(10000));
    QCOMPARE(client.ask("GET VAR ups ups.status\n"), QByteArray("VAR ups ups.status \"OL\"\n"));
    QCOMPARE(client.ask("STARTTLS\n"), QByteArray("ERR ALREADY-SSL-MODE\n"));

    UpsmonProcess upsmon({target(), "mon", "mon-pw", 2, 3, true});
    QVERIFY2(upsmon.waitForLog(QRegularExpression("Logged into UPS"), 20000),
             qPrintable(upsmon.log()));
}

void TestNutServer::abuse()
{
    PollWatch poll;
    NutServerConfig c = config();
    c.idleMs = 1000;
    c.maxClients = 3;
    c.outputLimit = 16 * 1024;
    const QHostAddress other = otherLocalAddress();
    if (!other.isNull())
        c.listen << other.toString();
    QVERIFY(start(c));
    const QString port = QString::number(m_port);

    // Over-long, binary and half lines: each answered, none ends the connection.
    QJsonObject r = runAbuse({"lines", "127.0.0.1", port});
    QCOMPARE(r.value("long").toString(),
             "ERR TOO-LONG\n" + QString::fromLatin1(NutDispatcher::versionText()));
    QCOMPARE(r.value("binary").toString(),
             QString("ERR UNKNOWN-COMMAND\nVAR ups ups.status \"OL\"\n"));
    QCOMPARE(r.value("half").toString(), QString("VAR ups ups.status \"OL\"\n"));
    QCOMPARE(r.value("logout").toString(), QString("OK Goodbye\n"));
    QVERIFY(r.value("closedAfterLogout").toBool());

    // A silent client is closed after the idle time; one that speaks stays.
    r = runAbuse({"idle", "127.0.0.1", port});
    QVERIFY2(r.value("silentClosedAfter").toDouble() >= 0.8, qPrintable(QJsonDocument(r).toJson()));
    QVERIFY(r.value("silentClosedAfter").toDouble() < 10);
    QCOMPARE(r.value("busyAnswer").toString(), QString("1.3\n"));

    // More clients than allowed: the first three are served, the rest closed; logged once.
    QTRY_VERIFY(m_service->clients().isEmpty());
    for (int round = 0; round < 2; ++round) {
        r = runAbuse({"crowd", "127.0.0.1", port, "5"});
        QCOMPARE(r.value("served").toArray(), QJsonArray({true, true, true, false, false}));
        QTRY_VERIFY(m_service->clients().isEmpty());
    }
    QCOMPARE(logCount("Refused a connection from 127.0.0.1: too many clients"), 1);

    // A client outside the allowed networks is closed at once, and logged once.
    if (other.isNull()) {
        qWarning("No address besides loopback here: the allow-list case is left out");
    } else {
        for (int i = 0; i < 3; ++i) {
            r = runAbuse({"refused", other.toString(), port, other.toString()});
            QVERIFY(r.value("closedAfter").toDouble(-1) >= 0);
        }
        QCOMPARE(logCount("Refused a connection from " + other.toString() + ": not in"), 1);
        c.allow = QStringList {other.toString() + "/32"};
        m_service->setConfig(c);
        QTRY_COMPARE(runAbuse({"crowd", other.toString(), port, "1"}).value("served").toArray(),
                     QJsonArray({true}));
    }

    // Wrong passwords: each verdict waits twice as long as the one before (100 ms at first);
    // the right password afterwards is let in and forgives the address.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("RIGHT", "mon-pw");
    r = runAbuse({"guess", "127.0.0.1", port, "mon", "3"}, env);
    const QJsonArray wrong = r.value("wrong").toArray();
    QCOMPARE(wrong.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(wrong.at(i).toArray().at(1).toString(), QString("ERR ACCESS-DENIED\n"));
        QVERIFY2(wrong.at(i).toArray().at(0).toInt() >= 95 << i,
                 qPrintable(QJsonDocument(r).toJson()));
    }
    QCOMPARE(r.value("right").toArray().at(1).toString(), QString("OK\n"));
    QVERIFY(r.value("right").toArray().at(0).toInt() < 2000);

    // A client that sends requests and never reads the replies is closed once its unsent
    // replies pass the limit.
    r = runAbuse({"deaf", "127.0.0.1", port});
    QVERIFY2(r.value("closed").toBool(), qPrintable(QJsonDocument(r).toJson()));
    QCOMPARE(logCount("does not read its replies"), 1);

    // Through all of it the main thread stayed free.
    QVERIFY2(poll.worst < 250, qPrintable(QString::number(poll.worst)));
    qDebug() << "worst poll lateness" << poll.worst << "ms";
}

QTEST_GUILESS_MAIN(TestNutServer)
#include "tst_nutserver.moc"
