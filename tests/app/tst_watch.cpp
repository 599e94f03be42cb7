// ctest-needs: program
// UPSes watched beside this computer's own, the whole program against Debian's upsd with
// dummy-ups: three servers (the third serving two UPSes and listed whole), this computer's UPS
// on the simulator. Each watched UPS's alarms, samples and self-tests under its name, served by
// the web API under its name and never mixed with this computer's, a server's list followed as it
// changes, edits of the list that keep what they leave alone, and the protection by supply.
#include "alarm.h"
#include "compositionroot.h"
#include "desktopwindow.h"
#include "devcomm.h"
#include "devstatusview.h"
#include "logrecorder.h"
#include "nutclient.h"
#include "nutlink.h"
#include "nutserverprocess.h"
#include "pythonscript.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "selftestrows.h"
#include "servicenotification.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "supplycount.h"
#include "testroot.h"
#include "upsdirectory.h"
#include "upsoverview.h"
#include "upssimprocess.h"
#include "watchedups.h"
#include "watchlist.h"
#include "watchservice.h"
#include "webservice.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QQuickItem>
#include <QQuickView>
#include <QTcpServer>
#include <QtTest>

using namespace RecordProbe;

namespace {

QString device(const char *status, int charge = 100)
{
    return QStringLiteral("ups.status: %1\nbattery.charge: %2\ninput.voltage: 230\n"
                          "output.voltage: 230\nups.load: 20\nbattery.runtime: 1800\n")
        .arg(QLatin1String(status))
        .arg(charge);
}

} // namespace

class TestWatch : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};
    UpsSimProcess m_sim {{QStringLiteral("--instant")}};
    NutServerProcess m_up;
    NutServerProcess m_down;
    NutServerProcess m_lab;
    CompositionRoot m_program;
    QNetworkAccessManager m_net;
    int m_status = 0; // of the last api() request
    QByteArray m_body; // of the last api() request

    // A document of the web API, from its path ("/api/v1/...", names percent-encoded).
    QJsonObject api(const QString &path)
    {
        QNetworkReply *reply =
            m_net.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1%2")
                                               .arg(m_program.webService()->listeningPort())
                                               .arg(path))));
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000))
            qWarning() << "no reply to" << path;
        reply->deleteLater();
        m_status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        m_body = reply->readAll();
        return QJsonDocument::fromJson(m_body).object();
    }

    // A page in Debian's chromium (tests/support/web_browser.py): the answers to `commands`,
    // one JSON object each. Empty when the browser is not installed.
    QList<QJsonObject> browse(const QString &path, const QByteArrayList &commands)
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/chromedriver")))
            return {};
        PythonScript::Session browser(QStringLiteral("web_browser.py"),
                                      {QStringLiteral("http://127.0.0.1:%1%2")
                                           .arg(m_program.webService()->listeningPort())
                                           .arg(path),
                                       QStringLiteral("1280")});
        QList<QJsonObject> answers;
        for (const QByteArray &command : commands + QByteArrayList {"quit"})
            answers << browser.ask(command, 60000);
        return answers;
    }

    WatchService *watch() const { return m_program.watchService(); }
    QStringList names() const
    {
        QStringList list;
        for (WatchedUps *unit : watch()->units())
            list << unit->name();
        return list;
    }
    bool online(const QString &name) const
    {
        WatchedUps *unit = watch()->find(name);
        return unit && unit->state().online();
    }
    bool onBattery(const QString &name) const
    {
        WatchedUps *unit = watch()->find(name);
        return unit && unit->state().online() && unit->state().onBattery;
    }
    int rows(const QString &sql, const QVariant &bound = QVariant()) const
    {
        m_program.recordWriter()->flush();
        return sqlCount(sql, bound);
    }

private slots:
    void initTestCase()
    {
        if (!NutServerProcess::available())
            QSKIP("Debian's nut-server is not installed");
        QVERIFY(m_sim.isReady());
        m_up.addDummyUps(QStringLiteral("ups"), device("OL"));
        m_down.addDummyUps(QStringLiteral("ups"), device("OL"));
        m_lab.addDummyUps(QStringLiteral("u1"), device("OL"));
        m_lab.addDummyUps(QStringLiteral("u2"), device("OL"));
        QVERIFY2(m_up.start() && m_down.start() && m_lab.start(),
                 qPrintable(m_up.output() + m_down.output() + m_lab.output()));
        LogRecorder::install();
        // A test of Downstairs the last run could not finish recording.
        QDir().mkpath(m_root.file("/data/self_test/Downstairs"));
        QVERIFY(TestRoot::writeFile(m_root.file("/data/self_test/Downstairs/20240101120000.txt"),
                                    "0,20,100\n1,20,99\n2,2"));

        m_program.openStores();
        Settings *settings = m_program.settings();
        settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
        settings->setSettings(Settings::UpsComPort, m_sim.portPath());
        settings->setSettings(Settings::UpsBaudRate, 115200);
        settings->setSettings(Settings::UpsDataSaveCycle, 1);
        settings->setSettings(Settings::ShutdownEnable, true);
        // A countdown that would not end within the test, whatever starts it.
        settings->setSettings(Settings::ShutdownBattLowTime, 30);
        settings->setSettings(Settings::ShutdownSupplies, QStringLiteral("Upstairs, Downstairs"));
        settings->setSettings(Settings::ShutdownMinSupplies, 1);
        settings->setSettings(Settings::WebEnable, true);
        settings->setSettings(Settings::WebPort, 0); // any free port
        WatchEntry up;
        up.name = QStringLiteral("Upstairs");
        up.host = QStringLiteral("127.0.0.1");
        up.port = m_up.port();
        up.ups = QStringLiteral("ups");
        up.allowPlain = true; // these servers offer no STARTTLS
        WatchEntry down = up;
        down.name = QStringLiteral("Downstairs");
        down.port = m_down.port();
        WatchEntry lab = up;
        lab.name = QStringLiteral("lab");
        lab.port = m_lab.port();
        lab.ups = QStringLiteral("*");
        lab.user = QStringLiteral("nobody");
        lab.password = QStringLiteral("secret");
        QVERIFY(WatchList::write(settings, {up, down, lab}));
        // Stored obscured, read back as it was given.
        QVERIFY(settings->getSettings(QStringLiteral("watch/3/password"), true).toString() !=
                QLatin1String("secret"));
        QCOMPARE(WatchList::read(settings).at(2).password, QStringLiteral("secret"));

        NutClient::Timing timing;
        timing.pollMs = timing.batteryPollMs = 200;
        timing.retryFirstMs = timing.retryMaxMs = 200;
        watch()->setTiming(timing);
        m_program.start();
        QCOMPARE(watch()->serverCount(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(
            names(), QStringList({"Upstairs", "Downstairs", "lab/u1", "lab/u2"}), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(online("Upstairs") && online("Downstairs") && online("lab/u1") &&
                                     online("lab/u2") && m_program.devComm()->state().online(),
                                 10000);
    }

    // A mains failure of one watched UPS: its alarm and notice carry its name, its samples and
    // those of the others land under theirs, and this computer's rows keep an empty name.
    void eachUnderItsName()
    {
        QSignalSpy notices(m_program.serviceNotification(), &ServiceNotification::notify);
        QSignalSpy mailed(watch(), &WatchService::alarmRaised);
        m_up.writeDeviceFile(QStringLiteral("ups"), device("OB DISCHRG", 80));
        QTRY_VERIFY_WITH_TIMEOUT(onBattery("Upstairs"), 10000);
        // The alarm follows the state it was raised from, and the writer's thread records it.
        QTRY_COMPARE_WITH_TIMEOUT(rows(QStringLiteral("select count(*) from alarm where ups = "
                                                      "'Upstairs' and alarm = ?"),
                                       int(Alarm::MainsFault)),
                                  1, 5000);
        QVERIFY(mailed.contains({QStringLiteral("Upstairs: Input voltage fault")}));
        bool told = false;
        for (const QList<QVariant> &notice : qAsConst(notices))
            told = told || notice.at(1).toString() == QLatin1String("Upstairs: Mains failure");
        QVERIFY(told);
        QVERIFY(currentAlarmTexts(watch()->find(QStringLiteral("Upstairs"))->alarm())
                    .contains(QStringLiteral("Input voltage fault")));
        QVERIFY(
            !currentAlarmTexts(m_program.alarm()).contains(QStringLiteral("Input voltage fault")));

        // One sample a second for each; none of theirs is this computer's.
        QTRY_VERIFY_WITH_TIMEOUT(
            rows(QStringLiteral("select count(*) from device_data where ups = 'lab/u2'")) > 0 &&
                rows(QStringLiteral("select count(*) from device_data where ups = "
                                    "'Downstairs'")) > 0,
            10000);
        QCOMPARE(rows(QStringLiteral("select count(*) from alarm where ups = '' and alarm = ?"),
                      int(Alarm::MainsFault)),
                 0);
        QCOMPARE(rows(QStringLiteral("select count(*) from alarm where ups = '' and alarm = ?"),
                      int(Alarm::CommNormal)),
                 1);
        QCOMPARE(rows(QStringLiteral("select count(*) from alarm where ups = 'lab/u1' and "
                                     "alarm = ?"),
                      int(Alarm::CommNormal)),
                 1);

        // The overview: a card for each, the worst state of all on top; `status` lists all.
        DevStatusView local;
        local.setSource(m_program.devComm());
        UpsOverview overview;
        overview.setLocal(&local);
        overview.setWatch(watch());
        QCOMPARE(overview.cards().size(), 4);
        QCOMPARE(overview.cards().at(2).value<QObject *>()->property("name").toString(),
                 QStringLiteral("lab/u1"));
        QCOMPARE(overview.worst(), int(DevStatusView::UpsOnBattery));
        // The header and the tray name the UPS whose state they show.
        QCOMPARE(overview.worstName(), QStringLiteral("Upstairs"));
        // The list told again as it was (a server's first answer) keeps every card as it is.
        const QVariantList before = overview.cards();
        QSignalSpy recarded(&overview, &UpsOverview::cardsChanged);
        emit watch()->unitsChanged();
        QCOMPARE(overview.cards(), before);
        QCOMPARE(recarded.size(), 0);
        {
            // The window's overview page: a card for this computer and one for each.
            QQuickView view;
            DesktopWindow::registerTypes(m_program);
            view.setSource(QUrl(QStringLiteral("qrc:/qml/MainPanelOverview.qml")));
            QVERIFY(view.rootObject());
            view.resize(1024, 560);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QStringList cards;
            QString upstairs;
            QQuickItem *flow = view.rootObject()->findChild<QQuickItem *>("overviewCards");
            QVERIFY(flow);
            for (QQuickItem *card : flow->childItems()) {
                QQuickItem *name = card->findChild<QQuickItem *>("cardName");
                if (!name)
                    continue; // the repeater
                cards << name->property("text").toString();
                if (cards.last() == QLatin1String("Upstairs"))
                    upstairs =
                        card->findChild<QQuickItem *>("cardState")->property("text").toString();
            }
            QCOMPARE(cards,
                     QStringList({"This computer", "Upstairs", "Downstairs", "lab/u1", "lab/u2"}));
            QCOMPARE(upstairs, QStringLiteral("On Battery"));
            // A watched UPS's page has no countdown: that is this computer's.
            QObject *shown = view.rootObject()->property("overview").value<QObject *>();
            QVERIFY(shown);
            QQuickItem *countdown = view.rootObject()->findChild<QQuickItem *>("countdownCard");
            QVERIFY(countdown);
            view.rootObject()->setProperty("opened", shown->property("cards").toList().at(0));
            QTRY_VERIFY(view.rootObject()->findChild<QQuickItem *>("overviewDevice")->isVisible());
            QVERIFY(!countdown->isVisible());
        }
        const QJsonArray listed =
            QJsonDocument::fromJson(m_program.statusDocument()).object().value("ups").toArray();
        QStringList shown;
        for (const QJsonValue &ups : listed)
            shown << ups.toObject().value("name").toString() + '=' +
                    ups.toObject().value("health").toString();
        QCOMPARE(shown,
                 QStringList({"ups=on-mains", "Upstairs=on-battery", "Downstairs=on-mains",
                              "lab/u1=on-mains", "lab/u2=on-mains"}));
        QCOMPARE(m_program.upsSources().at(1).recordUps, QStringLiteral("Upstairs"));
        QCOMPARE(m_program.upsSources().at(0).recordUps, QString());
        // The web page's directory has each by its shown name.
        UpsEntry entry;
        QVERIFY(m_program.upsDirectory()->find(QStringLiteral("Upstairs"), &entry));
        QVERIFY(entry.state.onBattery);
        QVERIFY(m_program.upsDirectory()->find(QStringLiteral("lab/u2"), &entry));

        // The API serves each one's history from the one database, filtered by its name: the
        // mains failure is Upstairs's alone, each gets its own samples (and self-tests, below).
        // A whole server's UPS is reached by its name with the "/" encoded.
        QTRY_VERIFY_WITH_TIMEOUT(m_program.webService()->listeningPort() != 0, 10000);
        const QString days = "?from=" + QDate::currentDate().toString(Qt::ISODate) +
            "&to=" + QDate::currentDate().addDays(1).toString(Qt::ISODate);
        const auto codes = [&](const QString &ups) {
            QList<int> list;
            for (const QJsonValue &alarm :
                 api("/api/v1/ups/" + ups + "/alarms" + days)["alarms"].toArray())
                list << alarm["code"].toInt();
            return list;
        };
        QVERIFY(codes("Upstairs").contains(int(Alarm::MainsFault)));
        QVERIFY(!codes("ups").contains(int(Alarm::MainsFault)));
        QCOMPARE(codes("Upstairs").size(),
                 rows(QStringLiteral("select count(*) from alarm where ups = 'Upstairs'")));
        QCOMPARE(codes("ups").size(),
                 rows(QStringLiteral("select count(*) from alarm where ups = ''")));
        // Only its own alarms (a slow machine may have lost and found it again meanwhile).
        QVERIFY(codes("lab%2Fu1").contains(int(Alarm::CommNormal)));
        QVERIFY(!codes("lab%2Fu1").contains(int(Alarm::MainsFault)));
        QCOMPARE(codes("lab%2Fu1").size(),
                 rows(QStringLiteral("select count(*) from alarm where ups = 'lab/u1'")));
        const QString count = QStringLiteral("select count(*) from device_data where ups = ?");
        QTRY_VERIFY_WITH_TIMEOUT(rows(count, QStringLiteral("")) > 0 &&
                                     rows(count, QStringLiteral("Upstairs")) > 0,
                                 10000);
        for (const QString ups : {"Upstairs", "", "lab/u2"}) {
            const int before = rows(count, ups);
            const QString name = ups.isEmpty() ? QStringLiteral("ups")
                                               : QString::fromLatin1(QUrl::toPercentEncoding(ups));
            const int served = api("/api/v1/ups/" + name + "/samples" + days)["samples"].toInt();
            QVERIFY2(served > 0 && served >= before - 2 && served <= rows(count, ups),
                     qPrintable(name + ": " + QString::number(served) + " of " +
                                QString::number(before)));
        }
        const QJsonObject u1 = api(QStringLiteral("/api/v1/ups/lab%2Fu1"));
        QCOMPARE(u1["name"].toString(), QStringLiteral("lab/u1"));
        QVERIFY(u1["history"].toBool());
        api(QStringLiteral("/ups/lab%2Fu1/"));
        QCOMPARE(m_status, 200);
        QVERIFY(api(QStringLiteral("/api/v1/ups/lab%2Fu9/alarms")).contains("error"));
        QCOMPARE(m_status, 404);

        m_up.writeDeviceFile(QStringLiteral("ups"), device("OL"));
        QTRY_VERIFY_WITH_TIMEOUT(online("Upstairs") && !onBattery("Upstairs"), 10000);
    }

    // Two supplies, at least one must feed: a server gone while its UPS ran on battery counts as
    // lost, one gone on mains does not; one UPS low starts nothing, both low start the
    // countdown, whose notice names them; one back calls it off.
    void supplies()
    {
        SupplyCount *supplies = m_program.supplyCount();
        ServiceShutdown *shutdown = m_program.serviceShutdown();
        Settings *settings = m_program.settings();
        QCOMPARE(supplies->chosen(), QStringList({"Upstairs", "Downstairs"}));

        m_up.writeDeviceFile(QStringLiteral("ups"), device("OB DISCHRG", 60));
        QTRY_VERIFY_WITH_TIMEOUT(onBattery("Upstairs"), 10000);
        QVERIFY(supplies->lost().isEmpty());
        m_up.stopServer();
        QTRY_VERIFY_WITH_TIMEOUT(!online("Upstairs"), 10000);
        QCOMPARE(supplies->lost(), QStringList({"Upstairs"}));
        m_down.stopServer();
        QTRY_VERIFY_WITH_TIMEOUT(!online("Downstairs"), 10000);
        QCOMPARE(supplies->lost(), QStringList({"Upstairs"}));
        QCOMPARE(shutdown->countdown(), 0);
        QVERIFY(m_up.startServer() && m_down.startServer());
        QTRY_VERIFY_WITH_TIMEOUT(online("Upstairs") && online("Downstairs"), 10000);

        QSignalSpy notices(m_program.serviceNotification(), &ServiceNotification::notify);
        m_up.writeDeviceFile(QStringLiteral("ups"), device("OB DISCHRG LB", 10));
        QTRY_COMPARE_WITH_TIMEOUT(supplies->lost(), QStringList({"Upstairs"}), 10000);
        QCOMPARE(shutdown->countdown(), 0);
        m_down.writeDeviceFile(QStringLiteral("ups"), device("OB DISCHRG LB", 8));
        QTRY_VERIFY_WITH_TIMEOUT(shutdown->countdown() > 0, 10000);
        QCOMPARE(supplies->lost(), QStringList({"Upstairs", "Downstairs"}));
        // The computer's countdown beside every UPS: in the API, the metrics (no ups label) and
        // the header of every page, a watched UPS's too; the overview puts the worst first.
        const QJsonObject computer = api(QStringLiteral("/api/v1/computer"));
        QVERIFY2(computer["countdown"].toInt() > 0 && computer["suppliesAble"].toInt() == 0 &&
                     computer["suppliesNeeded"].toInt() == 1 &&
                     computer["suppliesLost"].toArray() == QJsonArray({"Upstairs", "Downstairs"}),
                 QJsonDocument(computer).toJson().constData());
        api(QStringLiteral("/metrics"));
        QVERIFY(QRegularExpression(QStringLiteral("\nquelta_shutdown_countdown_seconds [1-9]"))
                    .match(QString::fromUtf8(m_body))
                    .hasMatch());
        QVERIFY(m_body.contains("\nquelta_shutdown_supplies_able 0\n") &&
                m_body.contains("\nquelta_shutdown_supplies_needed 1\n"));
        const QList<QJsonObject> page = browse(QStringLiteral("/ups/Downstairs/"), {"computer"});
        const QList<QJsonObject> all = browse(QStringLiteral("/"), {"cards", "computer"});
        if (page.isEmpty() || all.isEmpty()) {
            qWarning("chromium-driver is missing: the pages are left out");
        } else {
            for (const QJsonObject &header : {page.at(0), all.at(1)}) {
                QVERIFY2(header["shown"].toBool() && header["clock"].toString() != "--:--:--" &&
                             header["supplies"].toString().contains("Upstairs, Downstairs"),
                         QJsonDocument(header).toJson().constData());
            }
            const QJsonArray cards = all.at(0)["cards"].toArray();
            const QStringList rank = {"waiting",          "normal",    "onbattery", "batterylow",
                                      "outputoffpending", "outputoff", "fault",     "commlost"};
            QStringList order;
            for (int i = 0; i < cards.size(); ++i) {
                const QJsonArray card = cards.at(i).toArray();
                order << card.at(0).toString();
                QVERIFY(card.at(2).toString().endsWith(
                    "/ups/" + QUrl::toPercentEncoding(card.at(0).toString()) + '/'));
                if (i > 0)
                    QVERIFY2(rank.indexOf(card.at(1).toString()) <=
                                 rank.indexOf(cards.at(i - 1)[1].toString()),
                             QJsonDocument(cards).toJson().constData());
            }
            QCOMPARE(order.size(), 5);
            QCOMPARE(QSet<QString>(order.begin(), order.begin() + 2),
                     QSet<QString>({"Upstairs", "Downstairs"}));
        }
        QString body;
        for (const QList<QVariant> &notice : qAsConst(notices)) {
            if (notice.at(0).toInt() == ServiceNotification::Countdown)
                body = notice.at(2).toString();
        }
        QVERIFY2(body.endsWith(QLatin1String("Supplies lost: Upstairs, Downstairs.")),
                 qPrintable(body));
        // A supply's low battery speaks of this computer.
        QString low;
        for (const QList<QVariant> &notice : qAsConst(notices)) {
            if (notice.at(1).toString() == QLatin1String("Upstairs: Battery low"))
                low = notice.at(2).toString();
        }
        QCOMPARE(low, QStringLiteral("The UPS battery is low: the computer may lose power soon."));

        // Protection switched off calls it off; back on, too few supplies start it again.
        settings->setSettings(Settings::ShutdownEnable, false);
        QCOMPARE(shutdown->countdown(), 0);
        settings->setSettings(Settings::ShutdownEnable, true);
        QVERIFY(shutdown->countdown() > 0);

        m_down.writeDeviceFile(QStringLiteral("ups"), device("OL"));
        QTRY_COMPARE_WITH_TIMEOUT(shutdown->countdown(), 0, 10000);
        m_up.writeDeviceFile(QStringLiteral("ups"), device("OL"));
        QTRY_VERIFY_WITH_TIMEOUT(supplies->lost().isEmpty(), 10000);
    }

    // A self-test of a watched UPS, whoever started it on its server: told by the server's test
    // result or by CAL alone, its row and recording under its name, the server's verdict taken
    // only when it is this test's, its notice named; this computer's rows untouched, and the
    // recording the last run left without its row completed under its UPS's name.
    void selfTests()
    {
        QCOMPARE(rows(QStringLiteral("select count(*) from log_self_test where ups = "
                                     "'Downstairs' and dateTime = '2024-01-01 12:00:00' and "
                                     "count = 2 and duration = 1")),
                 1);
        QSignalSpy notices(m_program.serviceNotification(), &ServiceNotification::notify);
        const QString testing = QStringLiteral("ups.test.result: In progress\n");
        m_up.writeDeviceFile(QStringLiteral("ups"), device("OL") + testing);
        QTRY_VERIFY_WITH_TIMEOUT(watch()->find(QStringLiteral("Upstairs"))->state().selfTest,
                                 10000);
        m_up.writeDeviceFile(QStringLiteral("ups"),
                             device("OL") + QStringLiteral("ups.test.result: Done and warning\n"));
        QTRY_COMPARE_WITH_TIMEOUT(rows(QStringLiteral("select count(*) from log_self_test where "
                                                      "ups = 'Upstairs'")),
                                  1, 10000);
        QCOMPARE(rows(QStringLiteral("select result from log_self_test where ups = 'Upstairs'")),
                 int(RecordWriter::SelfTestBatteryLow));
        const QStringList recorded =
            QDir(SelfTestRows::recordingFolder(QStringLiteral("Upstairs"))).entryList(QDir::Files);
        QCOMPARE(recorded.size(), 1);
        bool told = false;
        for (const QList<QVariant> &notice : qAsConst(notices))
            told = told ||
                (notice.at(1).toString() == QLatin1String("Upstairs: Self-test finished") &&
                 notice.at(2).toString().startsWith(QLatin1String("Failed: the battery ran low.")));
        QVERIFY(told);

        // CAL alone, with the verdict of an older test standing all along: passed.
        const QString old = QStringLiteral("ups.test.result: Done and error\n");
        m_lab.writeDeviceFile(QStringLiteral("u1"), device("OL") + old);
        QTRY_VERIFY_WITH_TIMEOUT(watch()->find(QStringLiteral("lab/u1"))->state().testVerdict ==
                                     UpsState::TestVerdict::Failed,
                                 10000);
        m_lab.writeDeviceFile(QStringLiteral("u1"), device("OL CAL") + old);
        QTRY_VERIFY_WITH_TIMEOUT(watch()->find(QStringLiteral("lab/u1"))->state().selfTest, 10000);
        m_lab.writeDeviceFile(QStringLiteral("u1"), device("OL") + old);
        QTRY_COMPARE_WITH_TIMEOUT(rows(QStringLiteral("select count(*) from log_self_test where "
                                                      "ups = 'lab/u1' and result = ?"),
                                       int(RecordWriter::SelfTestPassed)),
                                  1, 10000);
        QCOMPARE(m_root.file("/data/self_test/lab%2Fu1"),
                 SelfTestRows::recordingFolder(QStringLiteral("lab/u1")));
        QCOMPARE(QDir(m_root.file("/data/self_test/lab%2Fu1")).entryList(QDir::Files).size(), 1);
        QCOMPARE(rows(QStringLiteral("select count(*) from log_self_test where ups = ''")), 0);
        QCOMPARE(QDir(m_root.file("/data/self_test")).entryList(QDir::Files).size(), 0);

        // The web API tells each one's own, with the verdict recorded.
        const QJsonArray upstairs = api("/api/v1/ups/Upstairs/selftests")["selfTests"].toArray();
        QCOMPARE(upstairs.size(), 1);
        QCOMPARE(upstairs.first()["result"].toString(), QStringLiteral("batteryLow"));
        QCOMPARE(api("/api/v1/ups/lab%2Fu1/selftests")["selfTests"].toArray().first()["result"],
                 QJsonValue("passed"));
        QCOMPARE(api("/api/v1/ups/ups/selftests")["selfTests"].toArray().size(), 0);
    }

    // A UPS added to the whole server joins; one taken away leaves, with its card.
    void discovery()
    {
        QSignalSpy changed(watch(), &WatchService::unitsChanged);
        m_lab.addDummyUps(QStringLiteral("u3"), device("OL"));
        QVERIFY2(m_lab.reconfigure(), qPrintable(m_lab.output()));
        QTRY_VERIFY_WITH_TIMEOUT(online("lab/u3"), 10000);
        // Both supplies on battery and low: a countdown, which the server dropping one of them
        // from its list does not call off, as the other is still low.
        Settings *settings = m_program.settings();
        ServiceShutdown *shutdown = m_program.serviceShutdown();
        settings->setSettings(Settings::ShutdownSupplies, QStringLiteral("lab/u1, lab/u2"));
        m_lab.writeDeviceFile(QStringLiteral("u1"), device("OB DISCHRG LB", 10));
        m_lab.writeDeviceFile(QStringLiteral("u2"), device("OB DISCHRG LB", 10));
        QTRY_VERIFY_WITH_TIMEOUT(shutdown->countdown() > 0, 10000);
        m_lab.removeUps(QStringLiteral("u2"));
        QVERIFY2(m_lab.reconfigure(), qPrintable(m_lab.output()));
        QTRY_COMPARE_WITH_TIMEOUT(
            names(), QStringList({"Upstairs", "Downstairs", "lab/u1", "lab/u3"}), 10000);
        QVERIFY(changed.count() >= 2);
        QVERIFY(shutdown->countdown() > 0);
        QCOMPARE(m_program.supplyCount()->lost(), QStringList({"lab/u1", "lab/u2"}));
        m_lab.writeDeviceFile(QStringLiteral("u1"), device("OL"));
        QTRY_COMPARE_WITH_TIMEOUT(shutdown->countdown(), 0, 10000);
        settings->setSettings(Settings::ShutdownSupplies, QStringLiteral("Upstairs, Downstairs"));
    }

    // An edit reconnects only the servers whose connection changed: a renamed UPS and one named
    // on a whole server join on the connections there were, the others keep their state and
    // alarms; a supply left without its UPS by the edit is told once; another account is
    // another connection.
    void edits()
    {
        Settings *settings = m_program.settings();
        QPointer<WatchedUps> upstairs = watch()->find(QStringLiteral("Upstairs"));
        QPointer<WatchedUps> u3 = watch()->find(QStringLiteral("lab/u3"));
        QVERIFY(upstairs && u3);
        QPointer<NutClient> upServer = upstairs->link()->client();
        QPointer<NutClient> downServer =
            watch()->find(QStringLiteral("Downstairs"))->link()->client();
        QPointer<NutClient> labServer = u3->link()->client();
        m_up.writeDeviceFile(QStringLiteral("ups"), device("OB DISCHRG", 70));
        QTRY_VERIFY_WITH_TIMEOUT(onBattery("Upstairs"), 10000);
        const QString unknown = QStringLiteral("No watched UPS is named Downstairs");
        QCOMPARE(LogRecorder::count(unknown), 0);

        QList<WatchEntry> entries = WatchList::read(settings);
        entries[1].name = QStringLiteral("Cellar");
        WatchEntry bench = entries.at(2);
        bench.name = QStringLiteral("Bench");
        bench.ups = QStringLiteral("u1");
        entries.append(bench);
        QVERIFY(WatchList::write(settings, entries));
        QTRY_COMPARE_WITH_TIMEOUT(names(), QStringList({"Upstairs", "Cellar", "lab/u3", "Bench"}),
                                  10000);
        QTRY_VERIFY_WITH_TIMEOUT(online("Cellar") && online("Bench"), 10000);
        QVERIFY(upServer && downServer && labServer);
        QCOMPARE(watch()->find(QStringLiteral("Upstairs")), upstairs.data());
        QCOMPARE(watch()->find(QStringLiteral("lab/u3")), u3.data());
        QCOMPARE(upstairs->link()->client(), upServer.data());
        QCOMPARE(watch()->find(QStringLiteral("Cellar"))->link()->client(), downServer.data());
        QCOMPARE(watch()->find(QStringLiteral("Bench"))->link()->client(), labServer.data());
        QVERIFY(onBattery("Upstairs") && online("lab/u3"));
        QVERIFY(
            currentAlarmTexts(upstairs->alarm()).contains(QStringLiteral("Input voltage fault")));
        QCOMPARE(watch()->serverCount(), 3);
        // Downstairs, a supply, is watched no more: told in the log once, counted as able.
        QCOMPARE(m_program.supplyCount()->unknown(), QStringList({"Downstairs"}));
        QCOMPARE(LogRecorder::count(unknown), 1);

        entries[0].user = QStringLiteral("nobody");
        QVERIFY(WatchList::write(settings, entries));
        QTRY_VERIFY_WITH_TIMEOUT(!upServer, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(onBattery("Upstairs"), 10000);
        QVERIFY(downServer && labServer);
        QCOMPARE(watch()->find(QStringLiteral("lab/u3")), u3.data());
        QCOMPARE(LogRecorder::count(unknown), 1);
        settings->setSettings(Settings::ShutdownSupplies, QStringLiteral("Upstairs, Cellar"));
        QTRY_VERIFY(m_program.supplyCount()->unknown().isEmpty());

        // A whole server that refuses connections: in the log and in `status`, not left out.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        WatchEntry dead = entries[0];
        dead.name = QStringLiteral("attic");
        dead.port = port;
        dead.ups = QStringLiteral("*");
        QVERIFY(WatchList::write(settings, entries + QList<WatchEntry>({dead})));
        const auto attic = [this] {
            for (const QJsonValue &ups : QJsonDocument::fromJson(m_program.statusDocument())
                                             .object()
                                             .value("ups")
                                             .toArray()) {
                if (ups["name"].toString() == QLatin1String("attic"))
                    return ups.toObject();
            }
            return QJsonObject();
        };
        QTRY_VERIFY_WITH_TIMEOUT(attic()["problem"].toString().contains("refused"), 10000);
        QCOMPARE(attic()["health"].toString(), QStringLiteral("no-ups"));
        QVERIFY(LogRecorder::count(QStringLiteral("Network link to 127.0.0.1:%1").arg(port)) >= 1);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestWatch test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_watch.moc"
