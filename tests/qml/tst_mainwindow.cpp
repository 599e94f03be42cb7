// The window as the user meets it: footer, page area, power-flow diagram, header buttons, texts,
// loaded from the program's resources and driven through the real backends.
#include "batteryage.h"
#include "clock.h"
#include "compositionroot.h"
#include "devstatusview.h"
#include "globaldatadef.h"
#include "privatebus.h"
#include "qmlpagehost.h"
#include "serviceemail.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "translator.h"
#include "upsstate.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <array>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};
    // A session bus without a notification server: notices go to the tray.
    PrivateBus m_bus;
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_window = nullptr;

    QQuickItem *find(const QString &name) const { return m_host->find(name); }
    QQuickItem *page(int tab) const
    {
        const QVariant loader = QmlPageHost::call(find("mainPanel"), "getTab", tab);
        auto *item = loader.value<QQuickItem *>();
        return item ? item->property("item").value<QQuickItem *>() : nullptr;
    }
    // The item's box in window coordinates.
    static QRectF sceneRect(QQuickItem *item)
    {
        return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    }
    // Shows a page and waits for a frame, so its layouts have placed their items.
    void show(int tab)
    {
        m_window->setProperty("currentTab", tab);
        QSignalSpy drawn(m_host->view(), &QQuickWindow::frameSwapped);
        m_host->view()->update();
        drawn.wait(2000);
    }

    static QStringList &startLog()
    {
        static QStringList lines;
        return lines;
    }

private slots:
    void initTestCase()
    {
        Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(8, 30, 0)));
        QVERIFY(m_bus.isRunning());
        qputenv("QUELTA_NOTIFY_BUS", m_bus.address().toUtf8());
        // The start logs nothing about the tray: its entry goes in with its image, not before.
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
                startLog().append(text);
            });
        m_host.reset(new QmlPageHost);
        m_window = m_host->load(QStringLiteral("main.qml"), QSize(1024, 680));
        qInstallMessageHandler(previous);
        QVERIFY2(m_window, qPrintable(m_host->errors()));
        QVERIFY2(!startLog().join('\n').contains(QLatin1String("QSystemTrayIcon")),
                 qPrintable(startLog().join('\n')));
        QObject *tray = m_window->property("trayIcon").value<QObject *>();
        QVERIFY(tray && tray->property("visible").toBool());
        QVERIFY(tray->property("iconSource").toUrl().toString().startsWith("qrc:/res/image/tray_"));
    }
    void cleanupTestCase() { m_host.reset(); }

    // The window's first frame waits for the device page and its first tab alone; the other
    // pages and tabs are made when first shown. The services take their settings without them:
    // a setting changed before its page exists reaches the service, and the page shows it.
    void pagesAreMadeWhenFirstShown()
    {
        QVERIFY(page(GlobalDataDef::MainTabDevice));
        for (int tab : {GlobalDataDef::MainTabLogWork, GlobalDataDef::MainTabControl,
                        GlobalDataDef::MainTabSetting, GlobalDataDef::MainTabLogData})
            QVERIFY(!page(tab));
        QQuickItem *tabs = find("devDataTabs");
        QCOMPARE(tabs->property("currentIndex").toInt(), 0);
        const auto tabItem = [tabs](int index) {
            const QVariant tab = QmlPageHost::call(tabs, "getTab", index);
            return tab.value<QQuickItem *>()->property("item").value<QQuickItem *>();
        };
        QVERIFY(tabItem(0));
        QVERIFY(!tabItem(1));
        tabs->setProperty("currentIndex", 1);
        QVERIFY(tabItem(1));
        tabs->setProperty("currentIndex", 0);

        CompositionRoot &program = m_host->root();
        program.settings()->setSettings(Settings::ShutdownMainFaultTime, 42);
        QCOMPARE(program.serviceShutdown()->mainFaultOffTime(), 42);
        show(GlobalDataDef::MainTabSetting);
        QVERIFY(page(GlobalDataDef::MainTabSetting));
        QCOMPARE(find("spinBoxMainFaultTime")->property("value").toInt(), 42);
        show(GlobalDataDef::MainTabDevice);
    }

    void footerSwitchesTheFivePages()
    {
        const QList<QPair<QString, int>> buttons = {
            {"footerScheduleTask", GlobalDataDef::MainTabLogWork},
            {"footerControl", GlobalDataDef::MainTabControl},
            {"footerSettings", GlobalDataDef::MainTabSetting},
            {"footerLogData", GlobalDataDef::MainTabLogData},
            {"footerDevice", GlobalDataDef::MainTabDevice}};
        // The device page exists from the start, not only once it is first shown.
        QVERIFY(page(GlobalDataDef::MainTabDevice));
        QCOMPARE(m_window->property("currentTab").toInt(), int(GlobalDataDef::MainTabDevice));

        for (const auto &button : buttons) {
            QQuickItem *item = find(button.first);
            QVERIFY(m_host->click(item));
            QTRY_COMPARE_WITH_TIMEOUT(m_window->property("currentTab").toInt(), button.second,
                                      2000);
            for (int tab = 0; tab < 5; ++tab)
                if (page(tab))
                    QCOMPARE(page(tab)->isVisible(), tab == button.second);
            QVERIFY(item->property("checked").toBool());
        }
    }

    void mimicAnimatesOnlyWhileShown()
    {
        auto *status = m_window->findChild<DevStatusView *>(QStringLiteral("devStatusView"));
        QVERIFY(status);
        QmlPageHost::call(m_window, "showAndRaise");
        m_window->setProperty("currentTab", int(GlobalDataDef::MainTabDevice));
        QQuickItem *tabs = find("devDataTabs");
        tabs->setProperty("currentIndex", 0);

        UpsState state;
        state.link = UpsState::Link::Online;
        state.inputVoltage = 230.0f;
        state.outputVoltage = 229.0f;
        state.batteryCharge = 80.0f;
        state.load = 20;
        state.onBattery = true;
        status->setState(state);
        QQuickItem *mains = find("lineMains");
        QQuickItem *battery = find("lineBattery");
        QQuickItem *load = find("lineLoad");
        QTRY_VERIFY_WITH_TIMEOUT(load->property("animating").toBool(), 1000);
        QVERIFY(!mains->property("live").toBool());
        QVERIFY(battery->property("animating").toBool());
        QVERIFY(battery->property("reverse").toBool()); // discharging: towards the DC bus
        QCOMPARE(find("mimicModeText")->property("text").toString(), QStringLiteral("On Battery"));

        // Another tab, another page, a hidden window: nothing runs.
        tabs->setProperty("currentIndex", 1);
        QTRY_VERIFY_WITH_TIMEOUT(!load->property("animating").toBool(), 1000);
        tabs->setProperty("currentIndex", 0);
        QTRY_VERIFY_WITH_TIMEOUT(load->property("animating").toBool(), 1000);
        m_window->setProperty("currentTab", int(GlobalDataDef::MainTabControl));
        QTRY_VERIFY_WITH_TIMEOUT(!load->property("animating").toBool(), 1000);
        m_window->setProperty("currentTab", int(GlobalDataDef::MainTabDevice));
        QTRY_VERIFY_WITH_TIMEOUT(load->property("animating").toBool(), 1000);
        m_host->view()->hide();
        QTRY_VERIFY_WITH_TIMEOUT(!load->property("animating").toBool(), 1000);
        QmlPageHost::call(m_window, "showAndRaise");
        QTRY_VERIFY_WITH_TIMEOUT(load->property("animating").toBool(), 1000);

        // Mains back: the battery charges, the flow turns round.
        state.onBattery = false;
        status->setState(state);
        QTRY_VERIFY_WITH_TIMEOUT(mains->property("animating").toBool(), 1000);
        QVERIFY(!battery->property("reverse").toBool());
        QCOMPARE(find("mimicModeText")->property("text").toString(), QStringLiteral("On Mains"));
    }

    void headerCloseOnlyHidesTheWindow()
    {
        QQuickView *view = m_host->view();
        QVERIFY(view->isVisible());
        QVERIFY(m_host->click(find("buttonClose")));
        QTRY_VERIFY_WITH_TIMEOUT(!view->isVisible(), 1000);
        // The tray's "Show" brings it back.
        QmlPageHost::call(m_window, "showAndRaise");
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), 1000);
    }

    // In French the texts held in lists (side lists, choice boxes) follow too, not only the
    // captions, and the longer texts stay inside their buttons and boxes and push nothing
    // under another item.
    void frenchTextsFollowAndFit()
    {
        m_host->root().serviceEMail()->setEncrypt(2);
        Translator *translator = m_host->root().translator();
        translator->setEngine(m_host->view()->engine());
        translator->setLanguage(Translator::FR_FR);
        const QString history =
            QCoreApplication::translate("MainFooterMenuForm.ui", "Historical Data");
        QVERIFY2(history != QLatin1String("Historical Data"), "no French catalogue");
        QCOMPARE(find("footerLogData")->property("text").toString(), history);

        const QVector<std::array<const char *, 3>> lists = {
            {"logDataSubPages", "MainPanelLogDataForm.ui", "Data|Chart|Alarm|Closed Records|Self-test"},
            {"settingsSubPages", "MainPanelSettings",
             "Common Parameters|E-Mail|Shutdown|Network Sharing"},
            {"comboBoxTaskType", "PopupAddScheduleTaskForm.ui",
             "Self-test for 10S|Self-test to EOD|UPS Power on|Shutdown system and close UPS"},
            {"comboBoxCycle", "PopupAddScheduleTaskForm.ui",
             "One Shoot|Every day|Every Week|Every Month"},
            {"comboBoxEncrypt", "SettingsEMailForm.ui", "None|STARTTLS|SSL/TLS"},
        };
        for (const auto &list : lists) {
            QStringList expected;
            for (const QString &text : QString(list[2]).split('|'))
                expected << QCoreApplication::translate(list[1], text.toUtf8().constData());
            QCOMPARE(find(QLatin1String(list[0]))->property("model").toStringList(), expected);
        }
        // New texts in a choice box do not lose the stored choice.
        QTRY_COMPARE_WITH_TIMEOUT(find("comboBoxEncrypt")->property("currentIndex").toInt(), 2,
                                  1000);
        QCOMPARE(m_host->root().serviceEMail()->encrypt(), 2);

        QQuickItem *previous = nullptr;
        for (const char *name : {"footerDevice", "footerScheduleTask", "footerControl",
                                 "footerSettings", "footerLogData"}) {
            QQuickItem *button = find(QLatin1String(name));
            QVERIFY2(button->width() >= button->implicitWidth(), name);
            if (previous)
                QVERIFY2(sceneRect(previous).right() <= sceneRect(button).left(), name);
            previous = button;
        }
        QVERIFY(sceneRect(previous).right() <= sceneRect(find("footerAlarm")).left());

        show(GlobalDataDef::MainTabControl);
        for (const auto &pair :
             QVector<QPair<QString, QString>> {{"radioSelfTestCustom", "spinBoxTestMinutes"},
                                               {"radioCloseOutput", "spinBoxCloseDelay"}}) {
            QQuickItem *choice = find(pair.first);
            QVERIFY2(choice->width() >= choice->implicitWidth(), qPrintable(pair.first));
            QVERIFY2(sceneRect(choice).right() <= sceneRect(find(pair.second)).left(),
                     qPrintable(pair.first));
        }

        show(GlobalDataDef::MainTabSetting);
        const QVector<QPair<int, QStringList>> settingsPages = {
            {0,
             {"checkBoxAutoLanguage", "checkBoxStartWithDesktop", "comboBoxCommType",
              "comboBoxComPort", "checkBoxNotify", "spinBoxReplaceMonths"}},
            {1, {"textFieldSenderName", "comboBoxEncrypt", "buttonTestMail"}}};
        for (const auto &settingsPage : settingsPages) {
            find("settingsSubPages")->setProperty("currentIndex", settingsPage.first);
            show(GlobalDataDef::MainTabSetting);
            for (const QString &name : settingsPage.second) {
                QQuickItem *item = find(name);
                QQuickItem *card = item->parentItem();
                while (card && card->property("title").isNull())
                    card = card->parentItem();
                QVERIFY2(card, qPrintable(name));
                QVERIFY2(sceneRect(card).contains(sceneRect(item)), qPrintable(name));
            }
        }
        find("settingsSubPages")->setProperty("currentIndex", 0);
        show(GlobalDataDef::MainTabDevice);
        translator->setLanguage(Translator::EN_GB);
        QCOMPARE(find("logDataSubPages")->property("model").toStringList().value(3),
                 QStringLiteral("Closed Records"));
    }

    // A battery due for replacement: told in the window, without taking the keyboard from
    // whatever the user does, and at the tray where the desktop shows no notifications.
    void batteryNoticeInTheWindowAndTheTray()
    {
        auto *dialog = m_window->property("batteryDialog").value<QQuickItem *>();
        QVERIFY(dialog && !dialog->isVisible());
        BatteryAge *age = m_host->root().batteryAge();
        age->setInstalledDate(QStringLiteral("2020-01-15"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->property("title").toString(), QStringLiteral("Battery replacement due"));
        QVERIFY(dialog->property("text").toString().contains("due for replacement since 2023-01-15"));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->property("trayMessage").toString(),
                                  "Battery replacement due: " +
                                      dialog->property("text").toString(),
                                  5000);
        QmlPageHost::call(dialog, "accept");
        // Once: the next check says nothing more.
        age->check();
        QVERIFY(!dialog->isVisible());
        m_host->root().settings()->setSettings(Settings::BatteryInstalled, QVariant());
    }

    // The switch on the common settings page writes and removes the entry the desktop session
    // starts programs from; an entry that cannot be written is told, and the box stays off.
    void startWithDesktopSwitch()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const QString entry = config.path() + "/autostart/quelta.desktop";
        show(GlobalDataDef::MainTabSetting);
        QQuickItem *box = find("checkBoxStartWithDesktop");
        QVERIFY(box && box->isVisible());
        QVERIFY(!box->property("checked").toBool());

        QVERIFY(m_host->click(box));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(entry), 2000);
        QVERIFY(box->property("checked").toBool());
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(
            file.readAll().contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8()));
        QVERIFY(m_host->click(box));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(entry), 2000);
        QVERIFY(!box->property("checked").toBool());

        QFile blocker(config.path() + "/not-a-folder");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());
        QQuickItem *form = box;
        while (form && !form->property("msgDialog").isValid())
            form = form->parentItem();
        QVERIFY(form);
        auto *dialog = form->property("msgDialog").value<QQuickItem *>();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot write the autostart entry"));
        QVERIFY(m_host->click(box));
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 2000);
        QCOMPARE(dialog->property("text").toString(), QString("Operation failed!"));
        QVERIFY(!box->property("checked").toBool());
        QVERIFY(m_host->click(m_host->find(dialog, "msgDialogSure")));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);
        qunsetenv("XDG_CONFIG_HOME");
        show(GlobalDataDef::MainTabDevice);
    }

    // The tray's "Quit" ends the event loop while the window is hidden, its usual state; with
    // the protection on it first asks in the window, which comes back for it. Last: once the
    // loop was told to quit, no event loop of this thread runs again.
    void trayQuitEndsTheProgram()
    {
        QQuickView *view = m_host->view();
        QObject *quit = m_window->property("trayIcon").value<QObject *>();
        QVERIFY(quit);
        auto *dialog = m_window->property("quitDialog").value<QQuickItem *>();
        QVERIFY(dialog);
        QSignalSpy quitAsked(view->engine(), &QQmlEngine::quit);
        ServiceShutdown *shutdown = m_host->root().serviceShutdown();
        shutdown->setOsOffEnable(false);

        shutdown->setQueltaOffEnable(true);
        view->hide();
        QVERIFY(QMetaObject::invokeMethod(quit, "quitRequested"));
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible() && dialog->isVisible(), 1000);
        QVERIFY(dialog->property("text").toString().contains("stops the protection"));
        QVERIFY(m_host->click(m_host->find(dialog, "msgDialogCancel")));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);
        QCOMPARE(quitAsked.count(), 0);
        QVERIFY(shutdown->queltaOffEnable());

        // Protection off: no question; a loop standing for the program's ends.
        shutdown->setQueltaOffEnable(false);
        view->hide();
        QEventLoop loop;
        QTimer::singleShot(0, quit, [quit] { QMetaObject::invokeMethod(quit, "quitRequested"); });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(quitAsked.count(), 1);
        QVERIFY(!view->isVisible());

        // Protection on, answered "Sure": quits too.
        shutdown->setQueltaOffEnable(true);
        QVERIFY(QMetaObject::invokeMethod(quit, "quitRequested"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(quitAsked.count(), 1);
        QmlPageHost::call(dialog, "accept");
        QCOMPARE(quitAsked.count(), 2);
        shutdown->setQueltaOffEnable(false);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
