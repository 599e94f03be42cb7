// The window watching a simulated UPS through the real serial link: the alarm badge and the
// current-alarm pop-up, the shutdown countdown in the status column with its warning dialog, and
// the tray icon's tool tip, each following what happens on the line.
#include "alarm.h"
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "devstatusview.h"
#include "globaldatadef.h"
#include "qmlpagehost.h"
#include "recordprobe.h"
#include "seriallink.h"
#include "serviceshutdown.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QtTest>

using namespace RecordProbe;

class TestMainWindowUps : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};
    QScopedPointer<UpsSimProcess> m_sim;
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_window = nullptr;

    QQuickItem *find(const QString &name) const { return m_host->find(name); }
    bool online() const { return m_host->root().devComm()->state().online(); }
    // A column of the current-alarm pop-up's list.
    QStringList listedAlarmTexts(const char *role = "alarm") const
    {
        QStringList out;
        QQuickItem *list = find("currentAlarmList");
        auto *model = list ? list->property("model").value<QAbstractItemModel *>() : nullptr;
        if (!model)
            return out;
        const int text = model->roleNames().key(role);
        for (int i = 0; i < model->rowCount(); ++i)
            out << model->index(i, 0).data(text).toString();
        return out;
    }
    QString badgeText() const
    {
        QQuickItem *badge = m_host->find(find("footerAlarm"), "badge");
        if (!badge || !badge->isVisible())
            return QString();
        QQuickItem *text = badge->childItems().value(0);
        return text ? text->property("text").toString() : QString();
    }
    // The text of a status column item; a tile shows its "value".
    QString statusText(const char *name) const
    {
        QQuickItem *item = find(QLatin1String(name));
        if (!item)
            return QString();
        const char *property = QByteArray(name).startsWith("tile") ? "value" : "text";
        return item->property(property).toString();
    }
    QString tooltip() const
    {
        return m_window->property("trayIcon").value<QObject *>()->property("tooltip").toString();
    }
    // The UPS stops answering; the polls that find no answer are run at once instead of waited
    // out, until the link gives the UPS up.
    bool silenceLink()
    {
        if (m_sim->command("silent on") != QLatin1String("ok"))
            return false;
        for (int i = 0; i < 20 && online(); ++i) {
            m_host->root().devComm()->findChild<SerialLink *>()->poll();
            QTest::qWait(20);
        }
        return !online();
    }
    // One second of the shutdown service, without waiting for it.
    void tick() { m_host->root().serviceShutdown()->onTimerTimeout(); }

private slots:
    void initTestCase()
    {
        Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(8, 30, 0)));
        m_host.reset(new QmlPageHost);
        // The service must never power this machine off nor tell the UPS to switch off.
        ServiceShutdown *shutdown = m_host->root().serviceShutdown();
        shutdown->setOsOffEnable(false);
        shutdown->setUpsOffEnable(false);
        shutdown->setExecEnable(0);
        shutdown->setMainFaultOffTime(2);
        shutdown->setBattLowOffTime(1);
        shutdown->setMainFaultOffCap(30);
        // Off until the countdown's own test: its warning would cover the footer.
        shutdown->setQueltaOffEnable(false);

        m_sim.reset(new UpsSimProcess({QStringLiteral("--instant")}));
        QVERIFY(m_sim->isReady());
        QCOMPARE(m_sim->command("battery 90"), QStringLiteral("ok"));
        m_window = m_host->load(QStringLiteral("main.qml"), QSize(1024, 680));
        QVERIFY2(m_window, qPrintable(m_host->errors()));
        QVERIFY(m_window->property("trayIcon").value<QObject *>());
    }
    void cleanupTestCase()
    {
        m_host->root().serviceShutdown()->setQueltaOffEnable(false);
        m_host.reset();
        m_sim.reset();
    }

    // Before the first data the window says so; the tool tip and the status column follow the
    // link when it comes, goes and comes back.
    void trayAndStatusFollowTheLink()
    {
        QCOMPARE(tooltip(), QStringLiteral("UPS Disconnect"));
        QCOMPARE(statusText("linkText"), QStringLiteral("UPS disconnect"));

        QVERIFY(m_host->root().devComm()->openDevice(DevComm::COM, m_sim->portPath()));
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("UPS Conneted"), 1000);
        QCOMPARE(statusText("linkText"), QStringLiteral("UPS Conneted"));
        QTRY_COMPARE_WITH_TIMEOUT(statusText("tileCommunication"), QStringLiteral("Conneted"),
                                  1000);
        QVERIFY(!currentAlarmTexts(m_host->root().alarm())
                     .contains(QStringLiteral("Communication lost")));

        QVERIFY(silenceLink());
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("UPS Disconnect"), 1000);
        QCOMPARE(statusText("linkText"), QStringLiteral("UPS Disconnected"));
        QCOMPARE(statusText("tileCommunication"), QStringLiteral("Disconnected"));
        // What the UPS said last is not shown as if it were still true.
        QCOMPARE(statusText("tileInput"), QStringLiteral("--"));
        QTRY_COMPARE_WITH_TIMEOUT(badgeText(), QString::number(m_host->root().alarm()->alarmNum()),
                                  1000);
        QCOMPARE(currentAlarmTexts(m_host->root().alarm()), QStringList {"Communication lost"});

        QCOMPARE(m_sim->command("silent off"), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("UPS Conneted"), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("tileInput"), QStringLiteral("Normal"), 1000);
        QVERIFY(!currentAlarmTexts(m_host->root().alarm())
                     .contains(QStringLiteral("Communication lost")));
    }

    // Faults raised on the line: the badge counts the current alarms and the open pop-up lists
    // them as they come and go.
    void alarmBadgeAndPopupFollowTheUps()
    {
        QVERIFY(online());
        // The events of the reconnection expire; then nothing is current.
        Clock::advance(3600);
        m_host->root().alarm()->onTimerEvent();
        QTRY_COMPARE_WITH_TIMEOUT(m_host->root().alarm()->alarmNum(), 0, 1000);
        QTRY_VERIFY_WITH_TIMEOUT(badgeText().isEmpty(), 1000);

        QCOMPARE(m_sim->command("mains fail"), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(
            currentAlarmTexts(m_host->root().alarm()).contains("Input voltage fault"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(badgeText(), QString::number(m_host->root().alarm()->alarmNum()),
                                  1000);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("tileInput"), QStringLiteral("Fault"), 1000);

        QQuickItem *popup = find("popupCurrentAlarm");
        QVERIFY(m_host->click(find("footerAlarm")));
        QTRY_VERIFY_WITH_TIMEOUT(popup->isVisible(), 1000);
        QCOMPARE(listedAlarmTexts(), currentAlarmTexts(m_host->root().alarm()));
        QCOMPARE(listedAlarmTexts("time").value(0),
                 Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        // Modal: the footer under it takes no click.
        m_host->click(find("footerSettings"));
        QCOMPARE(m_window->property("currentTab").toInt(), int(GlobalDataDef::MainTabDevice));

        // Open, it follows the line.
        QCOMPARE(m_sim->command("fault on"), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(listedAlarmTexts().contains("UPS fault"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(badgeText(), QString::number(m_host->root().alarm()->alarmNum()),
                                  1000);

        QCOMPARE(m_sim->command("fault off"), QStringLiteral("ok"));
        QCOMPARE(m_sim->command("mains return"), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(!listedAlarmTexts().contains("UPS fault") &&
                                     !listedAlarmTexts().contains("Input voltage fault"),
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(listedAlarmTexts().contains("Input voltage returns to normal"),
                                 5000);
        QCOMPARE(listedAlarmTexts(), currentAlarmTexts(m_host->root().alarm()));

        // The returns are events: once they expire the list is empty and the badge gone.
        Clock::advance(3600);
        m_host->root().alarm()->onTimerEvent();
        QTRY_COMPARE_WITH_TIMEOUT(listedAlarmTexts(), QStringList(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(badgeText().isEmpty(), 1000);
        QVERIFY(m_host->click(m_host->find(popup, "currentAlarmSure")));
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 1000);

        // Closed, it is filled afresh from the current alarms when it opens again.
        QCOMPARE(m_sim->command("fault on"), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(currentAlarmTexts(m_host->root().alarm()).contains("UPS fault"),
                                 5000);
        QVERIFY(m_host->click(find("footerAlarm")));
        QTRY_VERIFY_WITH_TIMEOUT(popup->isVisible(), 1000);
        QCOMPARE(listedAlarmTexts(), currentAlarmTexts(m_host->root().alarm()));
        QCOMPARE(m_sim->command("fault off"), QStringLiteral("ok"));
        QmlPageHost::call(popup, "close");
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), 1000);
    }

    // A mains failure starts the countdown: the hidden window comes back with the warning, the
    // status column counts down, a flat battery brings the end nearer, and the mains' return
    // clears it all.
    void shutdownCountdownReachesTheWindow()
    {
        QVERIFY(online());
        ServiceShutdown *shutdown = m_host->root().serviceShutdown();
        shutdown->setQueltaOffEnable(true);
        QSignalSpy started(shutdown, &ServiceShutdown::shutdownStarted);
        QSignalSpy seconds(shutdown, &ServiceShutdown::shutdownTimeChanged);
        auto *dialog = m_window->property("shutdownDialog").value<QQuickItem *>();
        QVERIFY(dialog);
        // The countdown is shown on the device page even while another page is up.
        m_window->setProperty("currentTab", int(GlobalDataDef::MainTabControl));
        QCOMPARE(statusText("countdownText"), QStringLiteral("--:--:--"));
        m_host->view()->hide();

        QCOMPARE(m_sim->command("mains fail"), QStringLiteral("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 5000);
        QCOMPARE(started.at(0).at(0).toInt(), 120);
        QTRY_VERIFY_WITH_TIMEOUT(m_host->view()->isVisible(), 1000);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->property("text").toString(), QStringLiteral("Shutdown event activated!"));
        QVERIFY(m_host->click(m_host->find(dialog, "msgDialogSure")));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);

        for (int i = 0; i < 3; ++i)
            tick();
        QVERIFY(seconds.count() >= 3);
        const int left = seconds.last().at(0).toInt();
        QVERIFY(left <= 117 && left > 100);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"), DevStatusView::clockText(left),
                                  1000);

        // Below the set capacity only a short countdown is left.
        QCOMPARE(m_sim->command("battery 10"), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_host->root().devComm()->devData().value("battCapacity").toDouble() < 30, 5000);
        tick();
        QVERIFY(seconds.last().at(0).toInt() < 10);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"),
                                  DevStatusView::clockText(seconds.last().at(0).toInt()), 1000);
        // It opens no second warning over the first.
        QCOMPARE(started.count(), 1);
        QVERIFY(!dialog->isVisible());

        // Cancelled: no clock left, no warning.
        QCOMPARE(m_sim->command("battery 90"), QStringLiteral("ok"));
        QCOMPARE(m_sim->command("mains return"), QStringLiteral("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 5000);
        QCOMPARE(started.last().at(0).toInt(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"), QStringLiteral("--:--:--"), 1000);
        QVERIFY(!dialog->isVisible());

        // The scheduled power-off shows the same way, and switching protection off ends it.
        shutdown->startShutdown(0);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 1000);
        tick();
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"),
                                  DevStatusView::clockText(seconds.last().at(0).toInt()), 1000);
        shutdown->setQueltaOffEnable(false);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"), QStringLiteral("--:--:--"), 1000);
        QmlPageHost::call(dialog, "close");
    }
};

QTEST_MAIN(TestMainWindowUps)
#include "tst_mainwindowups.moc"
