// The web page, its API and the metrics, the whole way: a simulated UPS on a pseudo-terminal,
// the program's core reading it, the web service serving it, and real clients: Qt's own HTTP
// client, Debian's chromium (through chromium-driver and selenium), Debian's prometheus and
// promtool, and abusive clients of our own while the UPS poll must stay on time.
#include "alarm.h"
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "listmodelnutuser.h"
#include "logrecorder.h"
#include "pythonscript.h"
#include "servicenetwork.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "upssimprocess.h"
#include "webservice.h"

#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QtTest>

namespace {

struct Http
{
    int status = 0;
    QByteArray body;
    QNetworkReply::RawHeaderPair header(const QByteArray &name) const;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    QList<QNetworkReply::RawHeaderPair> headers;
};

QNetworkReply::RawHeaderPair Http::header(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h;
    }
    return {};
}

using Script = PythonScript::Session;

QString json(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
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

qint64 residentKiB()
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+)"))
                                          .match(TestRoot::readFile("/proc/self/status"));
    return m.captured(1).toLongLong();
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A fenced block of the README that starts with `start`: what users copy is what is checked.
QByteArray readmeBlock(const QByteArray &start)
{
    const QByteArray text = TestRoot::readFile(QStringLiteral(QUELTA_SOURCE_DIR "/README.md"));
    const int at = text.indexOf("```yaml\n" + start);
    if (at < 0)
        return {};
    const int from = at + 8;
    return text.mid(from, text.indexOf("```", from) - from);
}

} // namespace

class TestWebService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void apiFollowsTheUps();
    void metricsForPrometheus();
    void pageInABrowser();
    void httpsForTheAdmin();
    void abuseWhileThePollGoesOn();

private:
    QString url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
            .arg(m_https ? "https" : "http")
            .arg(m_port)
            .arg(path);
    }
    Http request(const QByteArray &method, const QString &path,
                 const QList<QPair<QByteArray, QByteArray>> &headers = {},
                 const QByteArray &body = {});
    Http get(const QString &path, const QByteArray &language = {})
    {
        return request("GET", path, {{"Accept-Language", language}});
    }
    bool sim(const QString &command) { return m_sim.command(command).startsWith("ok"); }
    QString condition() { return get("/api/v1/ups/rack").json().value("condition").toString(); }
    void useHttps(bool on);

    TestRoot m_root {TestRoot::FoldersOnly};
    UpsSimProcess m_sim {{QStringLiteral("--instant")}};
    CompositionRoot m_program;
    QNetworkAccessManager m_net;
    QTemporaryDir m_certs;
    quint16 m_port = 0;
    bool m_https = false;
};

void TestWebService::initTestCase()
{
    LogRecorder::install();
    for (const char *tool : {"/usr/bin/chromedriver", "/usr/bin/prometheus", "/usr/bin/promtool",
                             "/usr/share/javascript/chart.js/chart.min.js"}) {
        if (!QFile::exists(QString::fromLatin1(tool)))
            QSKIP(
                qPrintable(QStringLiteral("%1 is missing (scripts/setup installs it)").arg(tool)));
    }
    QVERIFY(m_sim.isReady());
    // A certificate for the loopback address, signed by itself.
    QProcess openssl;
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost",
                   "-keyout", m_certs.filePath("key.pem"), "-out", m_certs.filePath("cert.pem")});
    QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);

    m_program.openStores();
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
    settings->setSettings(Settings::UpsComPort, m_sim.portPath());
    settings->setSettings(Settings::UpsDataSaveCycle, 1);
    settings->setSettings(Settings::NetworkUpsName, QStringLiteral("rack"));
    settings->setSettings(Settings::WebEnable, true);
    settings->setSettings(Settings::WebPort, 0); // any free port
    // Short limits where waiting out the real ones would take long: a silent connection may stay
    // 2 s, a request head 4 s, a wrong password holds back 100 ms at first.
    m_program.webService()->setLimits(2, 100, 15000, 1024, 4);
    m_program.start();
    ListModelNutUser *users = m_program.serviceNetwork()->users();
    QCOMPARE(users->addUser("adm", "admin", "adm-pw"), QString());
    QCOMPARE(users->addUser("mon", "monitor", "mon-pw"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(m_program.devComm()->state().online(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_program.webService()->listeningPort() != 0, 10000);
    // The port it picked from now on, through every restart.
    m_port = quint16(m_program.webService()->listeningPort());
    m_program.settings()->setSettings(Settings::WebPort, m_port);
    QTRY_COMPARE_WITH_TIMEOUT(condition(), QStringLiteral("normal"), 10000);
}

void TestWebService::cleanup()
{
    Clock::useSystemClock();
    m_program.settings()->setSettings(Settings::ShutdownEnable, false);
    if (m_program.devComm()->state().selfTest)
        QVERIFY(sim(QStringLiteral("selftest finish")));
    QVERIFY(sim(QStringLiteral("mains return")));
    QTRY_COMPARE_WITH_TIMEOUT(condition(), QStringLiteral("normal"), 20000);
}

Http TestWebService::request(const QByteArray &method, const QString &path,
                             const QList<QPair<QByteArray, QByteArray>> &headers,
                             const QByteArray &body)
{
    QNetworkRequest r(QUrl(url(path)));
    for (const auto &h : headers) {
        if (!h.second.isEmpty())
            r.setRawHeader(h.first, h.second);
    }
    if (m_https) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(QSslCertificate::fromPath(m_certs.filePath("cert.pem")));
        r.setSslConfiguration(tls);
    }
    QNetworkReply *reply = m_net.sendCustomRequest(r, method, body);
    if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 30000))
        qWarning() << "no reply to" << method << path;
    Http out;
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = reply->readAll();
    out.headers = reply->rawHeaderPairs();
    if (out.status == 0)
        qWarning() << method << path << reply->errorString();
    reply->deleteLater();
    return out;
}

void TestWebService::useHttps(bool on)
{
    const int before = LogRecorder::count(on ? "(HTTPS)" : "(HTTP)");
    const int restarts = LogRecorder::count("Web service listening");
    // Three keys written at once: the listener starts again once, with all of them.
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::WebAllow, on ? QStringLiteral("192.0.2.0/24") : QString());
    settings->setSettings(Settings::WebCertFile, on ? m_certs.filePath("cert.pem") : QString());
    settings->setSettings(Settings::WebKeyFile, on ? m_certs.filePath("key.pem") : QString());
    m_https = on;
    QTRY_VERIFY_WITH_TIMEOUT(LogRecorder::count(on ? "(HTTPS)" : "(HTTP)") > before &&
                                 get("/healthz").status == 200,
                             10000);
    // A second start would follow the first at once: what has not come by now is not coming.
    QTest::qWait(200);
    QCOMPARE(LogRecorder::count("Web service listening"), restarts + 1);
}

void TestWebService::apiFollowsTheUps()
{
    // Every UPS the program knows, by the name the network server gives it, as the window shows
    // it; the page of each under its name.
    const QJsonArray all = get("/api/v1/ups").json().value("ups").toArray();
    QCOMPARE(all.size(), 1);
    const QJsonObject ups = all.first().toObject();
    QCOMPARE(ups.value("name").toString(), QStringLiteral("rack"));
    QCOMPARE(ups.value("conditionText").toString(), QStringLiteral("UPS Normal"));
    QCOMPARE(ups.value("status").toArray(), QJsonArray({"OL"}));
    QCOMPARE(ups.value("readings").toObject().value("inputVoltage").toDouble(), 230.0);
    QCOMPARE(ups.value("readings").toObject().value("batteryVoltage").toDouble(), 27.2);
    QCOMPARE(ups.value("identity").toObject().value("model").toString(),
             QStringLiteral("SIM-1000"));
    // The overview of every UPS at "/" (drawn by the page, below); this computer's countdown.
    const Http root = get("/");
    QCOMPARE(root.status, 200);
    QVERIFY(root.body.contains("id=\"overview\""));
    QCOMPARE(get("/api/v1/computer").json()["countdown"].toInt(-1), 0);
    const Http page = get("/ups/rack/");
    QCOMPARE(page.status, 200);
    QVERIFY(page.header("Content-Security-Policy").second.contains("script-src 'self'"));
    QCOMPARE(get("/ups/nobody/").status, 404);
    QCOMPARE(get("/static/app.js").status, 200);
    QCOMPARE(get("/javascript/chart.js/chart.min.js").status, 200);
    QCOMPARE(get("/healthz").body, QByteArray("ok\n"));

    // The words of the browser's language, from the window's catalogues; English for a language
    // the program does not speak.
    for (const auto &c :
         {std::make_pair("fr-CH, fr;q=0.9, en;q=0.8", "fr_FR"),
          std::make_pair("zh-TW,zh;q=0.9", "zh_TW"), std::make_pair("de-DE, zh-CN;q=0.5", "zh_CN"),
          std::make_pair("de-DE", "en")}) {
        QTranslator catalogue;
        QVERIFY(catalogue.load(c.second, QStringLiteral(QUELTA_BIN_DIR "/translations")));
        const QString words = catalogue.translate("UpsStateLook", "UPS Normal");
        QCOMPARE(get("/api/v1/ups/rack", c.first).json().value("conditionText").toString(),
                 words.isEmpty() ? QStringLiteral("UPS Normal") : words);
        QCOMPARE(get("/api/v1/texts", c.first).json().value("day").toString().isEmpty(), false);
    }

    // The events of the page: the state at once, then each change as it comes.
    QNetworkReply *events = m_net.get(QNetworkRequest(QUrl(url("/api/v1/events"))));
    QByteArray stream;
    connect(events, &QIODevice::readyRead, events, [&] { stream += events->readAll(); });
    // Let go of the stream however this ends: its handler writes into this frame.
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> closeEvents(
        events, [](QNetworkReply *r) {
            r->disconnect();
            r->abort();
            r->deleteLater();
        });
    const auto lastState = [&stream] {
        const int at = stream.lastIndexOf("event: ups\ndata: ");
        return at < 0
            ? QJsonObject()
            : QJsonDocument::fromJson(stream.mid(at + 17, stream.indexOf('\n', at + 17) - at - 17))
                  .object();
    };
    QTRY_COMPARE(lastState().value("condition").toString(), QStringLiteral("normal"));
    QVERIFY(sim("mains fail"));
    QTRY_COMPARE(lastState().value("condition").toString(), QStringLiteral("onbattery"));
    QCOMPARE(lastState().value("status").toArray().first().toString(), QStringLiteral("OB"));
    // The alarm is raised from the state it follows; an event may come between the two.
    const auto mainsFaultShown = [&lastState] {
        const QJsonArray alarms = lastState().value("alarms").toArray();
        return std::any_of(alarms.begin(), alarms.end(),
                           [](const QJsonValue &a) { return a.toObject().value("code") == 2; });
    };
    QTRY_VERIFY2(mainsFaultShown(), qPrintable(json(lastState())));
    QVERIFY(sim("mains return"));
    QTRY_COMPARE(lastState().value("condition").toString(), QStringLiteral("normal"));

    // A self-test, recorded with its verdict.
    QVERIFY(sim("selftest 10s"));
    QTRY_VERIFY_WITH_TIMEOUT(m_program.devComm()->state().selfTest, 10000);
    QVERIFY(sim("selftest finish"));
    QTRY_COMPARE_WITH_TIMEOUT(
        get("/api/v1/ups/rack/selftests").json().value("selfTests").toArray().size(), 1, 20000);
    const QJsonArray tests = get("/api/v1/ups/rack/selftests").json().value("selfTests").toArray();
    QCOMPARE(tests.first()["result"].toString(), QStringLiteral("passed"));
    // Neither the mains failure nor the self-test ran to battery low: no health yet, and why.
    QTRY_VERIFY(get("/api/v1/ups/rack/health").json()["cutShort"].toInt() >= 2);
    const QJsonObject health = get("/api/v1/ups/rack/health").json();
    QVERIFY(health["discharges"].toArray().isEmpty() && health["wornAt"].isNull());
    QCOMPARE(health["wornBelow"].toDouble(), 0.8);

    // The stored alarms and samples of a range, read off the poll's thread.
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QJsonArray stored =
        get("/api/v1/ups/rack/alarms?from=" + today).json()["alarms"].toArray();
    QVERIFY2(stored.size() >= 2 &&
                 stored.first()["time"].toString() >= stored.last()["time"].toString(),
             qPrintable(QJsonDocument(stored).toJson()));
    QTRY_VERIFY(get("/api/v1/ups/rack/samples?points=100&from=" + today).json()["samples"].toInt() >
                2);
    // A day in `to` takes in that whole day.
    const QString wholeDay = "from=" + today + "&to=" + today;
    QTRY_COMPARE(get("/api/v1/ups/rack/alarms?" + wholeDay).json()["alarms"].toArray(),
                 get("/api/v1/ups/rack/alarms?from=" + today).json()["alarms"].toArray());
    QVERIFY(get("/api/v1/ups/rack/samples?points=100&" + wholeDay).json()["samples"].toInt() > 2);
    const QJsonObject samples = get("/api/v1/ups/rack/samples?points=100&from=" + today).json();
    const QJsonArray inputs = samples.value("series")["inputVoltage"].toArray();
    QVERIFY(!inputs.isEmpty() && inputs.size() <= 100);
    QCOMPARE(get("/api/v1/ups/rack/samples?points=1").status, 400);
    QCOMPARE(get("/api/v1/ups/rack/alarms?from=yesterday").status, 400);
    QCOMPARE(get("/api/v1/ups/rack/alarms?from=2030-01-02&to=2030-01-01").status, 400);

    // A new name moves every address; the stream says the old one is gone.
    m_program.settings()->setSettings(Settings::NetworkUpsName, QStringLiteral("cupboard"));
    QTRY_COMPARE(get("/api/v1/ups/cupboard").status, 200);
    QCOMPARE(get("/api/v1/ups/rack").status, 404);
    QTRY_VERIFY(stream.contains("event: removed\ndata: {\"name\":\"rack\"}"));
    m_program.settings()->setSettings(Settings::NetworkUpsName, QStringLiteral("rack"));
    QTRY_COMPARE(get("/api/v1/ups/rack").status, 200);

    // Commands need a POST, HTTPS and an admin.
    QCOMPARE(get("/api/v1/ups/rack/commands/beeper").status, 405);
    const Http plain = request("POST", "/api/v1/ups/rack/commands/beeper",
                               {{"Content-Type", "application/json"}}, "{}");
    QCOMPARE(plain.status, 403);
    QCOMPARE(request("POST", "/api/v1/login", {{"Content-Type", "application/json"}},
                     R"({"user":"adm","password":"adm-pw"})")
                 .status,
             403);
}

void TestWebService::metricsForPrometheus()
{
    // promtool finds nothing to say about the exposition, nor about the README's alert rules.
    const Http metrics = get("/metrics");
    QCOMPARE(metrics.status, 200);
    QVERIFY(metrics.body.contains("quelta_ups_status{ups=\"rack\",flag=\"OL\"} 1\n"));
    QVERIFY(metrics.body.contains("quelta_build_info{version=\"" QUELTA_APP_VERSION "\"} 1\n"));
    QProcess promtool;
    promtool.start("promtool", {"check", "metrics"});
    promtool.write(metrics.body);
    promtool.closeWriteChannel();
    QVERIFY(promtool.waitForFinished(30000));
    QVERIFY2(promtool.exitCode() == 0, promtool.readAll().constData());
    QTemporaryDir dir;
    const QByteArray rules = readmeBlock("groups:");
    QVERIFY(rules.contains("alert: UpsOnBattery"));
    QVERIFY(TestRoot::writeFile(dir.filePath("rules.yml"), rules));
    promtool.start("promtool", {"check", "rules", dir.filePath("rules.yml")});
    QVERIFY(promtool.waitForFinished(30000));
    QVERIFY2(promtool.exitCode() == 0, promtool.readAll().constData());
    // A lost link names its UPS; the service itself down (no ups label) names its address.
    QVERIFY(TestRoot::writeFile(dir.filePath("rules_test.yml"), R"yml(rule_files: [rules.yml]
tests:
  - interval: 1m
    input_series:
      - series: 'up{job="quelta",instance="nas:8493"}'
        values: '0x5'
      - series: 'quelta_ups_link_up{job="quelta",instance="pc:8493",ups="rack"}'
        values: '0x5'
    alert_rule_test:
      - eval_time: 3m
        alertname: UpsLinkLost
        exp_alerts:
          - exp_labels: {severity: critical, job: quelta, instance: "nas:8493"}
            exp_annotations: {summary: "No word from the Quelta service at nas:8493"}
          - exp_labels: {severity: critical, job: quelta, instance: "pc:8493", ups: rack}
            exp_annotations: {summary: "No word from UPS rack (pc:8493)"}
)yml"));
    promtool.setWorkingDirectory(dir.path());
    promtool.setProcessChannelMode(QProcess::MergedChannels);
    promtool.start("promtool", {"test", "rules", dir.filePath("rules_test.yml")});
    QVERIFY(promtool.waitForFinished(30000));
    QVERIFY2(promtool.exitCode() == 0, promtool.readAll().constData());
    // This computer's own countdown, beside those of the UPSes.
    QVERIFY(metrics.body.contains("\nquelta_shutdown_countdown_seconds 0\n"));
    QVERIFY(metrics.body.contains("\nquelta_shutdown_supplies_able 1\n"));
    QVERIFY(metrics.body.contains("\nquelta_shutdown_supplies_needed 1\n"));

    // Debian's Prometheus scrapes the page with the README's scrape configuration (every second
    // here) and evaluates its rules: after a mains failure a query gives the input voltage and
    // the on-battery flag, and the on-battery alert is under way.
    QByteArray config = readmeBlock("scrape_configs:");
    QVERIFY(config.contains("127.0.0.1:8493"));
    config.replace("127.0.0.1:8493", "127.0.0.1:" + QByteArray::number(m_port));
    config = "global:\n  scrape_interval: 1s\n  evaluation_interval: 1s\nrule_files:\n  - " +
        dir.filePath("rules.yml").toUtf8() + "\n" + config;
    QVERIFY(TestRoot::writeFile(dir.filePath("prometheus.yml"), config));
    const quint16 port = freePort();
    ChildProcess prometheus;
    prometheus.setProcessChannelMode(QProcess::MergedChannels);
    prometheus.start("prometheus",
                     {"--config.file=" + dir.filePath("prometheus.yml"),
                      "--storage.tsdb.path=" + dir.filePath("data"),
                      QStringLiteral("--web.listen-address=127.0.0.1:%1").arg(port)});
    QVERIFY(sim("mains fail"));
    const auto query = [&](const QString &expression) {
        QNetworkRequest r(QUrl(QStringLiteral("http://127.0.0.1:%1/api/v1/query?query=%2")
                                   .arg(port)
                                   .arg(QString::fromLatin1(QUrl::toPercentEncoding(expression)))));
        QNetworkReply *reply = m_net.get(r);
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000))
            qWarning() << "Prometheus gave no answer to" << expression;
        const QJsonArray result =
            QJsonDocument::fromJson(reply->readAll())["data"]["result"].toArray();
        reply->deleteLater();
        return result.isEmpty() ? QString() : result.first()["value"].toArray().at(1).toString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(query("quelta_ups_status{ups=\"rack\",flag=\"OB\"}"),
                              QStringLiteral("1"), 30000);
    const double volts =
        get("/api/v1/ups/rack").json().value("readings")["inputVoltage"].toDouble(-1);
    QCOMPARE(query("quelta_ups_input_voltage_volts{ups=\"rack\"}").toDouble(), volts);
    QTRY_VERIFY_WITH_TIMEOUT(
        query("ALERTS{alertname=\"UpsOnBattery\",ups=\"rack\"}") == QStringLiteral("1"), 30000);
    QVERIFY2(prometheus.state() == QProcess::Running, prometheus.readAll().constData());
    prometheus.terminate();
    prometheus.waitForFinished(10000);
}

void TestWebService::pageInABrowser()
{
    // At a phone's width and a desktop's: a mains failure shows within 2 s without a reload,
    // in the window's words and colours, and the console stays clean.
    for (int width : {360, 1280}) {
        Script browser("web_browser.py", {url("/ups/rack/"), QString::number(width)});
        QCOMPARE(browser.ask("state")["condition"].toString(), QStringLiteral("normal"));
        QVERIFY(sim("mains fail"));
        const QJsonObject seen = browser.ask("expect onbattery");
        QVERIFY2(seen["seen"].toBool(), qPrintable(json(seen)));
        QCOMPARE(seen["text"].toString(), QStringLiteral("On Battery"));
        QVERIFY(sim("mains return"));
        QVERIFY2(browser.ask("expect normal")["seen"].toBool(), qPrintable(json(seen)));
        // The chart's times are round: whole hours of the browser's day.
        const QJsonObject ticks = browser.ask("ticks");
        const QJsonArray values = ticks["ticks"].toArray();
        QVERIFY2(values.size() >= 2, qPrintable(json(ticks)));
        for (const QJsonValue &v : values) {
            const qint64 localMinutes =
                qint64(v.toDouble()) / 60000 - ticks["offset"].toInt();
            QVERIFY2(qint64(v.toDouble()) % 60000 == 0 && localMinutes % 60 == 0,
                     qPrintable(json(ticks)));
        }
        // No discharge ran to battery low: the health card says how it will be measured.
        const QJsonObject health = browser.ask("health");
        QVERIFY2(health["rows"].toArray().size() == 1 &&
                     health["rows"][0].toString().contains("first full-enough discharges"),
                 qPrintable(json(health)));
        const QJsonObject links = browser.ask("home");
        QCOMPARE(links["back"].toString(), url("/"));
        QCOMPARE(links["home"].toString(), url("/"));
        const QJsonObject end = browser.ask("quit");
        QVERIFY2(end["errors"].toArray().isEmpty() && !end["reloaded"].toBool(),
                 qPrintable(json(end)));
    }

    // The overview: a card leading to the page of each UPS, following it as it changes.
    Script overview("web_browser.py", {url("/"), "1280"});
    QCOMPARE(overview.ask("cards")["cards"].toArray(),
             QJsonArray({QJsonArray({"rack", "normal", url("/ups/rack/")})}));
    QVERIFY(sim("mains fail"));
    const auto firstCondition = [&overview] {
        return overview.ask("cards")["cards"].toArray().at(0).toArray().at(1).toString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(firstCondition(), QStringLiteral("onbattery"), 5000);
    QCOMPARE(overview.ask("computer")["shown"].toBool(), false);
    const QJsonObject end = overview.ask("quit");
    QVERIFY2(end["errors"].toArray().isEmpty(), qPrintable(json(end)));
}

void TestWebService::httpsForTheAdmin()
{
    useHttps(true);
    // The settings file read again announces each key: the service runs on as it was.
    const int listening = LogRecorder::count("Web service listening");
    emit m_program.settings()->changed(QStringLiteral("web/certFile"));
    emit m_program.settings()->changed(QStringLiteral("web/keyFile"));
    // Nothing happens, which no signal tells: a start would be logged well within this.
    QTest::qWait(500);
    QCOMPARE(LogRecorder::count("Web service listening"), listening);
    QCOMPARE(get("/api/v1/ups/rack").json()["name"].toString(), QStringLiteral("rack"));
    const QList<QPair<QByteArray, QByteArray>> asJson = {{"Content-Type", "application/json"}};

    // Logins: a wrong password is refused, a monitor has no commands, another site's page
    // gets nowhere, and a command needs the admin's token.
    QCOMPARE(request("POST", "/api/v1/login", asJson, R"({"user":"adm","password":"nope"})").status,
             401);
    QCOMPARE(
        request("POST", "/api/v1/login", asJson, R"({"user":"mon","password":"mon-pw"})").status,
        403);
    QCOMPARE(request("POST", "/api/v1/login", {{"Content-Type", "text/plain"}},
                     R"({"user":"adm","password":"adm-pw"})")
                 .status,
             403);
    const Http login =
        request("POST", "/api/v1/login", asJson, R"({"user":"adm","password":"adm-pw"})");
    QCOMPARE(login.status, 200);
    const QByteArray bearer = "Bearer " + login.json()["token"].toString().toLatin1();
    QCOMPARE(request("POST", "/api/v1/ups/rack/commands/beeper", asJson, "{}").status, 401);
    QCOMPARE(
        request(
            "POST", "/api/v1/ups/rack/commands/beeper",
            {asJson.first(), {"Authorization", bearer}, {"Origin", "https://elsewhere.example"}},
            "{}")
            .status,
        403);
    const bool beeper = m_program.devComm()->state().beeper;
    QCOMPARE(request("POST", "/api/v1/ups/rack/commands/beeper",
                     {asJson.first(), {"Authorization", bearer}}, "{}")
                 .status,
             200);
    QTRY_COMPARE_WITH_TIMEOUT(m_program.devComm()->state().beeper, !beeper, 10000);
    // No countdown runs: nothing to cancel.
    QCOMPARE(request("POST", "/api/v1/ups/rack/commands/cancel-shutdown",
                     {asJson.first(), {"Authorization", bearer}}, "{}")
                 .status,
             409);
    // A new password of the account ends its tokens; another account's change does not.
    ListModelNutUser *users = m_program.serviceNetwork()->users();
    const auto rowOf = [users](const char *name) {
        const NutAccountList accounts = users->accounts();
        for (int i = 0; i < accounts.size(); ++i) {
            if (accounts.at(i).name == name)
                return i;
        }
        return -1;
    };
    const auto beep = [&](const QByteArray &token) {
        return request("POST", "/api/v1/ups/rack/commands/beeper",
                       {asJson.first(), {"Authorization", token}}, "{}")
            .status;
    };
    QCOMPARE(users->updateUser(rowOf("mon"), "monitor", "mon-pw"), QString());
    QCOMPARE(beep(bearer), 200);
    QTRY_COMPARE_WITH_TIMEOUT(m_program.devComm()->state().beeper, beeper, 10000);
    QCOMPARE(users->updateUser(rowOf("adm"), "admin", "adm-pw2"), QString());
    QTRY_COMPARE(beep(bearer), 401);
    QCOMPARE(users->updateUser(rowOf("adm"), "admin", "adm-pw"), QString());

    // An admin cancels a running countdown from the page, in a real browser.
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::ShutdownMainFaultTime, 30);
    Script browser("web_browser.py", {url("/ups/rack/"), "1280"});
    QCOMPARE(browser.ask("state")["condition"].toString(), QStringLiteral("normal"));
    const QJsonObject in = browser.ask("login adm adm-pw");
    QVERIFY2(in["loggedIn"].toBool(), qPrintable(json(in)));
    QVERIFY(sim("mains fail"));
    QTRY_VERIFY_WITH_TIMEOUT(m_program.serviceShutdown()->countdown() > 0, 10000);
    const QJsonObject cancelled = browser.ask("cancel");
    QVERIFY2(cancelled["clicked"].toBool() && cancelled["gone"].toBool(),
             qPrintable(json(cancelled)));
    QCOMPARE(m_program.serviceShutdown()->countdown(), 0);
    QCOMPARE(LogRecorder::count("cancelled by"), 1);
    QCOMPARE(LogRecorder::count("from the web page (adm from 127.0.0.1)"), 1);
    // The history keeps who called it off, and from where.
    const auto cancelRow = [&] {
        const QJsonArray rows = get("/api/v1/ups/rack/alarms?from=" +
                                    QDate::currentDate().toString(Qt::ISODate))
                                    .json()["alarms"]
                                    .toArray();
        for (const QJsonValue &row : rows) {
            if (row["code"].toInt() == Alarm::ShutdownCancelled)
                return row.toObject();
        }
        return QJsonObject();
    };
    QTRY_VERIFY(!cancelRow().isEmpty());
    QVERIFY2(cancelRow()["detail"].toString().endsWith(", the web page (adm from 127.0.0.1)") &&
                 cancelRow()["text"].toString() == "Shutdown countdown cancelled",
             qPrintable(json(cancelRow())));
    const QJsonObject end = browser.ask("quit");
    QVERIFY2(end["errors"].toArray().isEmpty(), qPrintable(json(end)));

    // The allow-list: a client from another address of this machine is refused, logged once;
    // allowed, it is served.
    const QHostAddress other = otherLocalAddress();
    useHttps(false);
    if (other.isNull()) {
        qWarning("No address besides loopback here: the allow-list case is left out");
        return;
    }
    settings->setSettings(Settings::WebListen, "127.0.0.1," + other.toString());
    QTRY_VERIFY(LogRecorder::count("Web service listening on " + other.toString()) > 0);
    const auto fromOther = [&] {
        return Script("web_abuse.py",
                      {"crowd", other.toString(), QString::number(m_port), "0", other.toString()})
            .ask()["servedAfter"]
            .toInt();
    };
    QCOMPARE(fromOther(), 0);
    QCOMPARE(fromOther(), 0);
    QCOMPARE(LogRecorder::count("Refused a web connection from " + other.toString()), 1);
    settings->setSettings(Settings::WebAllow, other.toString() + "/32");
    QTRY_COMPARE(fromOther(), 200);
    settings->setSettings(Settings::WebAllow, QString());
    settings->setSettings(Settings::WebListen, QStringLiteral("127.0.0.1"));
}

void TestWebService::abuseWhileThePollGoesOn()
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
    const int webLines = LogRecorder::count("eb ");
    const qint64 memoryBefore = residentKiB();
    const QString port = QString::number(m_port);

    // A request sent a byte at a time is answered; one that stops half-way is closed once it
    // has been silent for the idle time (2 s here).
    QJsonObject r = Script("web_abuse.py", {"slow", "127.0.0.1", port}).ask();
    QCOMPARE(r["slowStatus"].toInt(), 200);
    QVERIFY2(r["halfClosedAfter"].toDouble() > 1 && r["halfClosedAfter"].toDouble() < 10,
             qPrintable(json(r)));

    // A thousand connections from one address: it holds a quarter of the places at most, and
    // everything is served again once they are gone.
    qint64 memoryPeak = 0;
    {
        Script crowd("web_abuse.py", {"crowd", "127.0.0.1", port, "1000"});
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, &sampler,
                [&] { memoryPeak = std::max(memoryPeak, residentKiB()); });
        sampler.start(50);
        r = crowd.ask();
    }
    QCOMPARE(r["opened"].toInt(), 1000);
    QVERIFY2(r["kept"].toInt() <= 256, qPrintable(json(r)));
    QCOMPARE(r["servedAfter"].toInt(), 200);

    // A head dripped a byte a second outlives the idle limit but not the head's (4 s here); four
    // addresses holding every place (64 here) with half-sent heads make way for a fifth.
    // The listener starts again with the new limits: the check waits for it, not the old one.
    const int listened = LogRecorder::count("Web service listening");
    m_program.webService()->setLimits(2, 100, 15000, 64, 4);
    QTRY_VERIFY(LogRecorder::count("Web service listening") > listened);
    QTRY_COMPARE(get("/healthz").status, 200);
    r = Script("web_abuse.py", {"heads", "127.0.0.1", port, "16", "1"}).ask();
    QVERIFY2(r["dripClosedAfter"].toDouble() > 3.5 && r["dripClosedAfter"].toDouble() < 7,
             qPrintable(json(r)));
    // Whether a place was freed for it or one came free under a busy machine, it is served.
    QVERIFY2(r["servedDuring"].toInt() == 200, qPrintable(json(r)));
    const int relistened = LogRecorder::count("Web service listening");
    m_program.webService()->setLimits(2, 100, 15000, 1024, 4);
    QTRY_VERIFY(LogRecorder::count("Web service listening") > relistened);
    QTRY_COMPARE(get("/healthz").status, 200);

    // Huge headers and bodies, ".." and NUL in paths, unknown methods, garbage.
    r = Script("web_abuse.py", {"odd", "127.0.0.1", port}).ask();
    QCOMPARE(r["hugeHeader"].toInt(), 431);
    QCOMPARE(r["hugeBody"].toInt(), 413);
    QVERIFY(r["chunkedBodyClosed"].toBool());
    for (const char *key : {"dots", "encodedDots", "upsDots"})
        QCOMPARE(r[key].toInt(), 404);
    QCOMPARE(r["nulPath"].toInt(), 400);
    for (const char *key : {"BREW", "DELETE", "OPTIONS"})
        QCOMPARE(r[key].toInt(), 405);
    QVERIFY(r["garbage"].toInt() == 400 || r["garbage"].toInt() == 0); // refused or closed

    // Wrong passwords: each verdict waits twice as long as the one before (100 ms here at
    // first); the right password afterwards is let in.
    QElapsedTimer guessing;
    guessing.start();
    const int wrongTold = LogRecorder::count("Wrong web login for adm");
    useHttps(true);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CAFILE", m_certs.filePath("cert.pem"));
    env.insert("RIGHT", "adm-pw");
    r = Script("web_abuse.py", {"guess", "127.0.0.1", port, "adm", "3"}, env).ask();
    const QJsonArray wrong = r["wrong"].toArray();
    QCOMPARE(wrong.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(wrong.at(i)[1].toInt(), 401);
        QVERIFY2(wrong.at(i)[0].toInt() >= 95 << i, qPrintable(json(r)));
    }
    QCOMPARE(r.value("right")[1].toInt(), 200);
    // Eight guesses from the admin's own address, each given up: the right password from there
    // is still answered at once.
    env.insert("ABANDON", "0.3");
    r = Script("web_abuse.py", {"guess", "127.0.0.1", port, "adm", "8"}, env).ask();
    QCOMPARE(r["wrong"].toArray().size(), 8);
    QCOMPARE(r.value("right")[1].toInt(), 200);
    QVERIFY2(r.value("right")[0].toInt() < 2000, qPrintable(json(r)));
    useHttps(false);

    // Nothing of it logged line by line: each kind of misdeed once a minute at most.
    QVERIFY2(LogRecorder::count("eb ") - webLines < 12,
             qPrintable(QString::number(LogRecorder::count("eb ") - webLines)));
    // Eleven wrong logins: at most the first of each minute told, and the rest of it summed up
    // once (a slow run may cross a minute).
    const int minutes = int(guessing.elapsed() / 60000) + 1;
    const int told = LogRecorder::count("Wrong web login for adm");
    QVERIFY2(told >= 1 && told - wrongTold <= 2 * minutes, qPrintable(QString::number(told)));

    // Memory stayed bounded, and the UPS was polled at its pace through all of it.
    qDebug() << "memory:" << memoryBefore << "KiB before," << memoryPeak << "KiB at the peak;"
             << "longest gap between data sets:" << calm << "ms calm," << worst << "ms under abuse";
    QVERIFY2(memoryPeak - memoryBefore < 48 * 1024, qPrintable(QString::number(memoryPeak)));
    QVERIFY2(worst < std::max<qint64>(2 * calm, 1500), qPrintable(QString::number(worst)));
}

QTEST_GUILESS_MAIN(TestWebService)
#include "tst_webservice.moc"
