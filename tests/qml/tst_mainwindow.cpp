// The window as the user meets it, loaded from the program's resources and driven through the
// real backends: footer, pages made when first shown, power-flow diagram, header buttons, texts
// in French, the battery notice and the start-with-desktop switch; then watching a simulated UPS
// through the real serial link: the alarm badge and the current-alarm pop-up, the shutdown
// countdown with its warning dialog, the tray icon and its tool tip, the language switched while
// the UPS is watched, the control page's orders; last, the tray's "Quit".
#include "alarm.h"
#include "batteryage.h"
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "devstatusview.h"
#include "listmodelemailuser.h"
#include "login1service.h"
#include "logrecorder.h"
#include "outputoffwatch.h"
#include "platform.h"
#include "privatebus.h"
#include "qmlpagehost.h"
#include "recordprobe.h"
#include "seriallink.h"
#include "serviceemail.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "smtptestserver.h"
#include "testroot.h"
#include "translator.h"
#include "trayicon.h"
#include "uienums.h"
#include "upssimprocess.h"
#include "upsstate.h"

#include <QIcon>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QSystemTrayIcon>
#include <QtTest>

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace RecordProbe;

namespace {
// Ends the test process when the GUI thread is held longer than the limit inside the calls a
// watch spans: a frozen window would otherwise keep the suite waiting for minutes.
class FreezeWatch
{
public:
    FreezeWatch(int limitMs, const char *what)
        : m_thread([this, limitMs, what] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_over.wait_for(lock, std::chrono::milliseconds(limitMs),
                                   [this] { return m_stopped; }))
                  qFatal("The window froze for more than %d ms: %s", limitMs, what);
          })
    {
    }
    ~FreezeWatch()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_over.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_over;
    bool m_stopped = false;
    std::thread m_thread;
};

// The link's next request sent at once instead of when its timer says (after a control request,
// which gets no answer, that would be seconds), until `done`; bounded.
template<typename Done> bool pollUntil(UpsSimProcess &sim, SerialLink *serial, Done done)
{
    for (int i = 0; i < 20 && !done(); ++i) {
        const int before = sim.receivedFrames().size();
        serial->poll();
        (void)QTest::qWaitFor([&] { return sim.receivedFrames().size() > before; }, 5000);
        QCoreApplication::processEvents(); // the answer, when there is one
    }
    return done();
}

// The control requests the UPS received since the last call, once two more status queries
// have gone out after the call (a request jumps the polling queue, so it would be among them).
QList<QByteArray> controlFramesSoFar(UpsSimProcess &sim, SerialLink *serial)
{
    const auto polls = [&sim] {
        return int(sim.receivedFrames().count("Q1\r"));
    };
    const int before = polls();
    if (!pollUntil(sim, serial, [&] { return polls() >= before + 2; }))
        return {"no polls"};
    return sim.takeControlFrames();
}

QQuickItem *itemWithText(QQuickItem *item, const QString &text)
{
    if (!item)
        return nullptr;
    if (item->isVisible() && item->property("text").toString() == text)
        return item;
    for (QQuickItem *child : item->childItems())
        if (QQuickItem *found = itemWithText(child, text))
            return found;
    return nullptr;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};
    // A session bus without a notification server: notices go to the tray.
    PrivateBus m_bus;
    QScopedPointer<UpsSimProcess> m_sim;
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
    QString text(const char *name) const
    {
        QQuickItem *item = find(QLatin1String(name));
        return item ? item->property("text").toString() : QStringLiteral("<missing>");
    }
    QString tooltip() const
    {
        return m_window->property("trayIcon").value<QObject *>()->property("tooltip").toString();
    }
    // The image the tray icon is given.
    QUrl trayIconSource() const
    {
        return m_window->property("trayIcon").value<QObject *>()->property("iconSource").toUrl();
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
    // Opens a choice box with a click and clicks `entry` in its list, as a user does.
    bool pick(QQuickItem *box, const QString &entry)
    {
        if (box->property("editable").toBool()) {
            // A box one may type in opens its list from the arrow at its right end.
            if (!m_host->click(box))
                return false;
            const QPointF arrow = box->mapToScene(QPointF(box->width() - 8, box->height() / 2));
            QTest::mouseClick(box->window(), Qt::LeftButton, Qt::NoModifier, arrow.toPoint());
        } else if (!m_host->click(box)) {
            return false;
        }
        QQuickWindow *list = nullptr;
        QElapsedTimer wait;
        wait.start();
        while (!list && wait.elapsed() < 5000) {
            for (QWindow *window : QGuiApplication::topLevelWindows())
                if (window != m_host->view() && window->isVisible())
                    list = qobject_cast<QQuickWindow *>(window);
            if (!list)
                QTest::qWait(20);
        }
        QQuickItem *item = list ? itemWithText(list->contentItem(), entry) : nullptr;
        if (!item)
            return false;
        const QPoint centre =
            item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
        QTest::mouseMove(list, centre);
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, centre);
        return true;
    }
    // One second of the shutdown service, without waiting for it.
    void tick() { m_host->root().serviceShutdown()->onTimerTimeout(); }

    void showState(const QStringList &commands, int state, const QString &words,
                   const QString &colour, const QString &icon, QMap<int, QString> *shown)
    {
        if (!online()) {
            QVERIFY(m_sim->run({"silent off"}));
            QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        }
        for (const QString &command : qAsConst(commands))
            QVERIFY2(m_sim->command(command).startsWith("ok"), qPrintable(command));
        if (commands.contains("silent on"))
            QVERIFY(silenceLink());
        m_window->setProperty("currentTab", int(UiEnums::MainTabDevice));
        find("devDataTabs")->setProperty("currentIndex", 0);
        QObject *look = m_window->findChild<QObject *>(QStringLiteral("trayLook"));
        QVERIFY(look);
        QTRY_COMPARE_WITH_TIMEOUT(look->property("upsState").toInt(), state, 5000);

        QCOMPARE(tooltip(), "QUELTA - " + words);
        QCOMPARE(trayIconSource(), QUrl("qrc:/res/image/tray_" + icon + ".ico"));
        QVERIFY(!QIcon(":/res/image/tray_" + icon + ".ico").isNull());

        QTRY_COMPARE_WITH_TIMEOUT(statusText("linkText"), words, 1000);
        QCOMPARE(find("stateBadgeDot")->property("color").value<QColor>().name(), colour);
        QCOMPARE(find("stateBadgeMark")->property("color").value<QColor>().name(), colour);
        // Where all is well the pill says where the power comes from.
        QCOMPARE(find("mimicModeText")->property("text").toString(),
                 state == DevStatusView::UpsNormal ? QStringLiteral("On Mains") : words);
        QCOMPARE(find("mimicModeText")->property("color").value<QColor>().name(), colour);
        // A pale tint of its own behind the pill's text.
        const QColor pill = find("mimicMode")->property("color").value<QColor>();
        QVERIFY2(pill.lightness() > 200, qPrintable(pill.name()));

        const QString colours = colour + "/" + pill.name();
        QVERIFY2(shown->value(state, colours) == colours && (shown->key(colours, state) == state),
                 qPrintable(colours));
        shown->insert(state, colours);

        if (commands.contains("silent on")) {
            QVERIFY(m_sim->run({"silent off", "fault off"}));
            QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        }
    }

private slots:
    void initTestCase()
    {
        Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(8, 30, 0)));
        QVERIFY(m_bus.isRunning());
        qputenv("QUELTA_NOTIFY_BUS", m_bus.address().toUtf8());
        // The start logs nothing about the tray: its entry goes in with its image, not before.
        LogRecorder::install();
        m_host.reset(new QmlPageHost);
        // The service must never power this machine off nor tell the UPS to switch off.
        Settings *settings = m_host->root().settings();
        settings->setSettings(Settings::ShutdownOsOff, false);
        settings->setSettings(Settings::ShutdownUPSOff, false);
        settings->setSettings(Settings::ShutdownExec, false);
        settings->setSettings(Settings::ShutdownMainFaultTime, 2);
        settings->setSettings(Settings::ShutdownBattLowTime, 1);
        settings->setSettings(Settings::ShutdownMainFaultCap, 30);
        // Off until the countdown's own test: its warning would cover the footer.
        settings->setSettings(Settings::ShutdownEnable, false);

        m_sim.reset(new UpsSimProcess({QStringLiteral("--instant")}));
        QVERIFY(m_sim->isReady());
        QVERIFY(m_sim->run({"battery 90"}));
        m_window = m_host->load(QStringLiteral("main.qml"), QSize(1024, 680));
        QVERIFY2(m_window, qPrintable(m_host->errors()));
        QCOMPARE(LogRecorder::count(QStringLiteral("QSystemTrayIcon")), 0);
        QObject *tray = m_window->property("trayIcon").value<QObject *>();
        QVERIFY(tray && tray->property("visible").toBool());
        QVERIFY(tray->property("iconSource").toUrl().toString().startsWith("qrc:/res/image/tray_"));
    }
    void cleanupTestCase()
    {
        m_host->root().settings()->setSettings(Settings::ShutdownEnable, false);
        m_host.reset();
        m_sim.reset();
    }

    // The window's first frame waits for the device page and its first tab alone; the other
    // pages and tabs are made when first shown. The services take their settings without them:
    // a setting changed before its page exists reaches the service, and the page shows it.
    void pagesAreMadeWhenFirstShown()
    {
        QVERIFY(page(UiEnums::MainTabDevice));
        for (int tab : {UiEnums::MainTabLogWork, UiEnums::MainTabControl, UiEnums::MainTabSetting,
                        UiEnums::MainTabLogData})
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
        show(UiEnums::MainTabSetting);
        QVERIFY(page(UiEnums::MainTabSetting));
        QCOMPARE(find("spinBoxMainFaultTime")->property("value").toInt(), 42);
        program.settings()->setSettings(Settings::ShutdownMainFaultTime, 2);
        show(UiEnums::MainTabDevice);

        // The tray's entry goes in once its window has drawn, or at once when a message is to
        // be shown before that.
        const QUrl image(QStringLiteral("qrc:/res/image/tray_normal.ico"));
        QQuickWindow window;
        window.resize(64, 64);
        TrayIcon drawnFirst(window.contentItem());
        drawnFirst.setIconSource(image);
        drawnFirst.setVisible(true);
        QCoreApplication::processEvents();
        QVERIFY(!drawnFirst.findChild<QSystemTrayIcon *>());
        QSignalSpy drawn(&window, &QQuickWindow::frameSwapped);
        window.show();
        QVERIFY(drawn.wait(2000));
        QTRY_VERIFY_WITH_TIMEOUT(drawnFirst.findChild<QSystemTrayIcon *>(), 1000);
        QQuickItem loose;
        TrayIcon toldFirst(&loose);
        toldFirst.setIconSource(image);
        toldFirst.setVisible(true);
        QVERIFY(!toldFirst.findChild<QSystemTrayIcon *>());
        toldFirst.showMessage(QStringLiteral("Quelta"), QStringLiteral("On battery"), false);
        QVERIFY(toldFirst.findChild<QSystemTrayIcon *>());
        QCOMPARE(toldFirst.lastMessage(), QStringLiteral("Quelta: On battery"));
    }

    void footerSwitchesTheFivePages()
    {
        const QList<QPair<QString, int>> buttons = {{"footerScheduleTask", UiEnums::MainTabLogWork},
                                                    {"footerControl", UiEnums::MainTabControl},
                                                    {"footerSettings", UiEnums::MainTabSetting},
                                                    {"footerLogData", UiEnums::MainTabLogData},
                                                    {"footerDevice", UiEnums::MainTabDevice}};
        // The device page exists from the start, not only once it is first shown.
        QVERIFY(page(UiEnums::MainTabDevice));
        QCOMPARE(m_window->property("currentTab").toInt(), int(UiEnums::MainTabDevice));

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

        // The overview's button (shown once other UPSes are watched) shows the overview, not
        // the UPS opened there last.
        QVERIFY(QMetaObject::invokeMethod(find("mainFooter"), "tabSelected",
                                          Q_ARG(int, UiEnums::MainTabOverview)));
        QTRY_VERIFY_WITH_TIMEOUT(find("cardLocal") && find("cardLocal")->isVisible(), 2000);
        QVERIFY(m_host->click(find("cardLocal")));
        QTRY_VERIFY_WITH_TIMEOUT(!find("overviewCards")->isVisible(), 2000);
        QVERIFY(QMetaObject::invokeMethod(find("mainFooter"), "tabSelected",
                                          Q_ARG(int, UiEnums::MainTabOverview)));
        QTRY_VERIFY_WITH_TIMEOUT(find("overviewCards")->isVisible(), 2000);
        QVERIFY(m_host->click(find("footerDevice")));
    }

    void mimicAnimatesOnlyWhileShown()
    {
        auto *status = m_window->findChild<DevStatusView *>(QStringLiteral("devStatusView"));
        QVERIFY(status);
        QmlPageHost::call(m_window, "showAndRaise");
        m_window->setProperty("currentTab", int(UiEnums::MainTabDevice));
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
        m_window->setProperty("currentTab", int(UiEnums::MainTabControl));
        QTRY_VERIFY_WITH_TIMEOUT(!load->property("animating").toBool(), 1000);
        m_window->setProperty("currentTab", int(UiEnums::MainTabDevice));
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
        status->setState(UpsState()); // as before: no UPS watched yet
    }

    // With no tray to bring it back (as here), the close button minimises the window rather
    // than hiding it, and the log says so.
    void headerCloseKeepsTheWindowReachable()
    {
        QQuickView *view = m_host->view();
        QVERIFY(view->isVisible());
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("no system tray.*minimised"));
        QVERIFY(m_host->click(find("buttonClose")));
        QTRY_VERIFY_WITH_TIMEOUT(view->windowState() & Qt::WindowMinimized, 1000);
        QVERIFY(view->isVisible());
        QmlPageHost::call(m_window, "showAndRaise");
        view->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(!(view->windowState() & Qt::WindowMinimized), 1000);
    }

    // In French the texts held in lists (side lists, choice boxes) follow too, not only the
    // captions, and the longer texts stay inside their buttons and boxes and push nothing
    // under another item.
    void frenchTextsFollowAndFit()
    {
        m_host->root().settings()->setSettings(Settings::EMailEncrypt, 2);
        Translator *translator = m_host->root().translator();
        translator->setLanguage(Translator::FR_FR);
        const QString history =
            QCoreApplication::translate("MainFooterMenuForm.ui", "Historical Data");
        QVERIFY2(history != QLatin1String("Historical Data"), "no French catalogue");
        QCOMPARE(find("footerLogData")->property("text").toString(), history);

        const QVector<std::array<const char *, 3>> lists = {
            {"logDataSubPages", "MainPanelLogDataForm.ui",
             "Data|Chart|Alarm|Closed Records|Self-test|Battery health"},
            {"settingsSubPages", "MainPanelSettings",
             "Common Parameters|E-Mail|Shutdown|Network Sharing|Watched UPSes"},
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
        QCOMPARE(m_host->root().settings()->number(Settings::EMailEncrypt), 2);

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

        show(UiEnums::MainTabControl);
        for (const auto &pair :
             QVector<QPair<QString, QString>> {{"radioSelfTestCustom", "spinBoxTestMinutes"},
                                               {"radioCloseOutput", "spinBoxCloseDelay"}}) {
            QQuickItem *choice = find(pair.first);
            QVERIFY2(choice->width() >= choice->implicitWidth(), qPrintable(pair.first));
            QVERIFY2(sceneRect(choice).right() <= sceneRect(find(pair.second)).left(),
                     qPrintable(pair.first));
        }

        show(UiEnums::MainTabSetting);
        const QVector<QPair<int, QStringList>> settingsPages = {
            {0,
             {"checkBoxAutoLanguage", "checkBoxStartWithDesktop", "comboBoxCommType",
              "comboBoxComPort", "checkBoxNotify", "spinBoxReplaceMonths"}},
            {1, {"textFieldSenderName", "comboBoxEncrypt", "buttonTestMail"}}};
        for (const auto &settingsPage : settingsPages) {
            find("settingsSubPages")->setProperty("currentIndex", settingsPage.first);
            show(UiEnums::MainTabSetting);
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
        show(UiEnums::MainTabDevice);
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
        QVERIFY(
            dialog->property("text").toString().contains("due for replacement since 2023-01-15"));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->property("trayMessage").toString(),
                                  "Battery replacement due: " + dialog->property("text").toString(),
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
        show(UiEnums::MainTabSetting);
        QQuickItem *box = find("checkBoxStartWithDesktop");
        QVERIFY(box && box->isVisible());
        QVERIFY(!box->property("checked").toBool());

        QVERIFY(m_host->click(box));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(entry), 2000);
        QVERIFY(box->property("checked").toBool());
        QVERIFY(TestRoot::readFile(entry).contains(
            "\nExec=" + QCoreApplication::applicationFilePath().toUtf8()));
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
        show(UiEnums::MainTabDevice);
    }

    // Before the first data the window says so; the tool tip and the status column follow the
    // link when it comes, goes and comes back.
    void trayAndStatusFollowTheLink()
    {
        QCOMPARE(tooltip(), QStringLiteral("QUELTA - UPS not connected"));
        QCOMPARE(statusText("linkText"), QStringLiteral("UPS not connected"));

        QVERIFY(m_host->root().devComm()->openDevice(DevComm::COM, m_sim->portPath()));
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("QUELTA - UPS Normal"), 1000);
        QCOMPARE(statusText("linkText"), QStringLiteral("UPS Normal"));
        QTRY_COMPARE_WITH_TIMEOUT(statusText("tileCommunication"), QStringLiteral("Connected"),
                                  1000);
        QVERIFY(!currentAlarmTexts(m_host->root().alarm())
                     .contains(QStringLiteral("Communication lost")));

        QVERIFY(silenceLink());
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("QUELTA - Communication Lost"), 1000);
        QCOMPARE(statusText("linkText"), QStringLiteral("Communication Lost"));
        QCOMPARE(statusText("tileCommunication"), QStringLiteral("Disconnected"));
        // What the UPS said last is not shown as if it were still true.
        QCOMPARE(statusText("tileInput"), QStringLiteral("--"));
        QTRY_COMPARE_WITH_TIMEOUT(badgeText(), QString::number(m_host->root().alarm()->alarmNum()),
                                  1000);
        QCOMPARE(currentAlarmTexts(m_host->root().alarm()), QStringList {"Communication lost"});

        QVERIFY(m_sim->run({"silent off"}));
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("QUELTA - UPS Normal"), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("tileInput"), QStringLiteral("Normal"), 1000);
        QVERIFY(!currentAlarmTexts(m_host->root().alarm())
                     .contains(QStringLiteral("Communication lost")));
    }

    // The worst state of the UPS on the line, shown alike by the header badge, the diagram's
    // pill and the tray: words, a colour of its own, and the tray's icon.
    void stateShownAlike()
    {
        const struct
        {
            const char *commands; // after those that make the UPS normal
            int state;
            const char *words, *colour, *icon;
        } cases[] = {
            {"", DevStatusView::UpsNormal, "UPS Normal", "#16a34a", "normal"},
            {"mains fail", DevStatusView::UpsOnBattery, "On Battery", "#e08a00", "onbattery"},
            {"mains fail;lowbatt on", DevStatusView::UpsBatteryLow, "Battery Low", "#dc3545",
             "batterylow"},
            {"output off 0", DevStatusView::UpsOutputOff, "Output Off", "#2f7de1", "outputoff"},
            {"mains fail;fault on", DevStatusView::UpsFault, "UPS Fault", "#9b2fc9", "fault"},
            {"fault on;silent on", DevStatusView::UpsCommLost, "Communication Lost", "#c2255c",
             "commlost"},
        };
        QMap<int, QString> shown; // each state its own colours
        for (const auto &c : cases) {
            const QStringList commands = QStringList {"mains return", "lowbatt auto", "fault off",
                                                      "output on", "battery 90"} +
                QString::fromLatin1(c.commands).split(';', Qt::SkipEmptyParts);
            showState(commands, c.state, QString::fromUtf8(c.words), QLatin1String(c.colour),
                      QLatin1String(c.icon), &shown);
            if (QTest::currentTestFailed())
                return;
        }
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

        QVERIFY(m_sim->run({"mains fail"}));
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
        QCOMPARE(m_window->property("currentTab").toInt(), int(UiEnums::MainTabDevice));

        // Open, it follows the line.
        QVERIFY(m_sim->run({"fault on"}));
        QTRY_VERIFY_WITH_TIMEOUT(listedAlarmTexts().contains("UPS fault"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(badgeText(), QString::number(m_host->root().alarm()->alarmNum()),
                                  1000);

        QVERIFY(m_sim->run({"fault off", "mains return"}));
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
        QVERIFY(m_sim->run({"fault on"}));
        QTRY_VERIFY_WITH_TIMEOUT(currentAlarmTexts(m_host->root().alarm()).contains("UPS fault"),
                                 5000);
        QVERIFY(m_host->click(find("footerAlarm")));
        QTRY_VERIFY_WITH_TIMEOUT(popup->isVisible(), 1000);
        QCOMPARE(listedAlarmTexts(), currentAlarmTexts(m_host->root().alarm()));
        QVERIFY(m_sim->run({"fault off"}));
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
        Settings *settings = m_host->root().settings();
        settings->setSettings(Settings::ShutdownEnable, true);
        QSignalSpy started(shutdown, &ServiceShutdown::shutdownStarted);
        QSignalSpy seconds(shutdown, &ServiceShutdown::shutdownTimeChanged);
        auto *dialog = m_window->property("shutdownDialog").value<QQuickItem *>();
        QVERIFY(dialog);
        // The countdown is shown on the device page even while another page is up.
        m_window->setProperty("currentTab", int(UiEnums::MainTabControl));
        QCOMPARE(statusText("countdownText"), QStringLiteral("--:--:--"));
        m_host->view()->hide();

        QVERIFY(m_sim->run({"mains fail"}));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 5000);
        QCOMPARE(started.at(0).at(0).toInt(), 120);
        QTRY_VERIFY_WITH_TIMEOUT(m_host->view()->isVisible(), 1000);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->property("text").toString(),
                 QStringLiteral("The shutdown countdown has started."));
        QVERIFY(m_host->click(m_host->find(dialog, "msgDialogSure")));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);

        for (int i = 0; i < 3; ++i)
            tick();
        QVERIFY(seconds.count() >= 3);
        const int left = seconds.last().at(0).toInt();
        QVERIFY(left <= 117 && left > 100);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"), DevStatusView::clockText(left),
                                  1000);

        // Below the set capacity in two replies in a row only a short countdown is left.
        QVERIFY(m_sim->run({"battery 10"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_host->root().devComm()->state().batteryCharge.value_or(100) < 30,
                                 5000);
        QSignalSpy replies(m_host->root().devComm(), &DevComm::stateChanged);
        QVERIFY(replies.wait(5000));
        tick();
        QVERIFY(seconds.last().at(0).toInt() < 10);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"),
                                  DevStatusView::clockText(seconds.last().at(0).toInt()), 1000);
        // It opens no second warning over the first.
        QCOMPARE(started.count(), 1);
        QVERIFY(!dialog->isVisible());

        // Cancelled: no clock left, no warning.
        QVERIFY(m_sim->run({"battery 90", "mains return"}));
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
        settings->setSettings(Settings::ShutdownEnable, false);
        QTRY_COMPARE_WITH_TIMEOUT(statusText("countdownText"), QStringLiteral("--:--:--"), 1000);
        QmlPageHost::call(dialog, "close");
    }

    // "Cancel shutdown" in the warning, on the countdown card and in the tray menu stops that
    // countdown, logged with where; the protection stays on. The warning closes by itself when
    // the mains returns or the countdown ends.
    void countdownCancelledFromEachPlace()
    {
        ServiceShutdown *shutdown = m_host->root().serviceShutdown();
        Settings *settings = m_host->root().settings();
        settings->setSettings(Settings::ShutdownEnable, true);
        QSignalSpy started(shutdown, &ServiceShutdown::shutdownStarted);
        auto *dialog = m_window->property("shutdownDialog").value<QQuickItem *>();
        QObject *tray = m_window->property("trayIcon").value<QObject *>();
        show(int(UiEnums::MainTabDevice));

        // The warning, on a mains failure; the mains then fails again, and returns.
        QVERIFY(m_sim->run({"mains fail"}));
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible() && started.count() == 1, 5000);
        QQuickItem *button = m_host->find(dialog, "msgDialogCancel");
        QVERIFY(button && button->isVisible());
        QCOMPARE(button->property("text").toString(), QStringLiteral("Cancel shutdown"));
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("cancelled by .* from pop-up"));
        QVERIFY(m_host->click(button));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);
        QCOMPARE(started.last().at(0).toInt(), 0);
        QVERIFY(settings->flag(Settings::ShutdownEnable));
        QVERIFY(m_sim->run({"mains return"}));
        QTRY_VERIFY_WITH_TIMEOUT(!online() || m_host->root().devComm()->state().onBattery == false,
                                 5000);
        QVERIFY(m_sim->run({"mains fail"}));
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible() && started.count() == 3, 5000);
        QVERIFY(m_sim->run({"mains return"}));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 5000);
        QCOMPARE(started.last().at(0).toInt(), 0);

        // The countdown card.
        shutdown->startShutdown(2);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 1000);
        QVERIFY(m_host->click(m_host->find(dialog, "msgDialogSure")));
        QTRY_COMPARE_WITH_TIMEOUT(find("countdownCancel")->property("text").toString(),
                                  QStringLiteral("Cancel shutdown"), 1000);
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("cancelled by .* from countdown card"));
        QVERIFY(m_host->click(find("countdownCancel")));
        QCOMPARE(started.last().at(0).toInt(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!find("countdownCancel")->isVisible(), 1000);

        // The tray menu.
        shutdown->startShutdown(2);
        QTRY_COMPARE_WITH_TIMEOUT(tray->property("cancelText").toString(),
                                  QStringLiteral("Cancel shutdown"), 1000);
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("cancelled by .* from tray menu"));
        QVERIFY(QMetaObject::invokeMethod(tray, "cancelRequested"));
        QCOMPARE(started.last().at(0).toInt(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(tray->property("cancelText").toString(), QString(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);

        // A countdown that runs out takes its warning with it.
        shutdown->startShutdown(0);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 1000);
        for (int i = 0; i < 10; ++i)
            tick();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);
        settings->setSettings(Settings::ShutdownEnable, false);
    }

    // An output-off asked of the UPS shows while it is pending, counting: the state badge, the
    // countdown card and the tray; the card's and the tray's cancel send the UPS its "C".
    void outputOffPendingShown()
    {
        QVERIFY(online());
        show(int(UiEnums::MainTabDevice));
        DevComm *dev = m_host->root().devComm();
        SerialLink *serial = dev->findChild<SerialLink *>();
        QObject *tray = m_window->property("trayIcon").value<QObject *>();
        m_sim->takeControlFrames();
        dev->switchOutputOff(1);
        QCOMPARE(controlFramesSoFar(*m_sim, serial), QList<QByteArray> {"S01R9999\r"});
        QTRY_COMPARE_WITH_TIMEOUT(statusText("linkText"), QStringLiteral("Output off in 01:00"),
                                  1000);
        QCOMPARE(tooltip(), QStringLiteral("QUELTA - Output off in 01:00"));
        // Not the calm blue of an output that is off: the load is about to lose its power.
        QCOMPARE(find("stateBadgeDot")->property("color").value<QColor>().name(),
                 QStringLiteral("#e8590c"));
        QCOMPARE(trayIconSource(), QUrl("qrc:/res/image/tray_outputoff.ico"));
        QCOMPARE(statusText("countdownTitle"), QStringLiteral("UPS Output Off In"));
        QCOMPARE(statusText("countdownText"), QStringLiteral("00:01:00"));
        QCOMPARE(find("countdownCancel")->property("text").toString(),
                 QStringLiteral("Cancel output off"));
        QCOMPARE(tray->property("cancelText").toString(), QStringLiteral("Cancel output off"));

        Clock::advance(6);
        dev->outputOffWatch()->tick();
        QTRY_COMPARE_WITH_TIMEOUT(statusText("linkText"), QStringLiteral("Output off in 00:54"),
                                  1000);
        QCOMPARE(tooltip(), QStringLiteral("QUELTA - Output off in 00:54"));
        QCOMPARE(statusText("countdownText"), QStringLiteral("00:00:54"));

        QTest::ignoreMessage(QtInfoMsg,
                             QRegularExpression("output-off cancelled by .* countdown card"));
        QVERIFY(m_host->click(find("countdownCancel")));
        QCOMPARE(controlFramesSoFar(*m_sim, serial), QList<QByteArray> {"C\r"});
        QTRY_COMPARE_WITH_TIMEOUT(statusText("linkText"), QStringLiteral("UPS Normal"), 1000);
        QCOMPARE(statusText("countdownText"), QStringLiteral("--:--:--"));
        QCOMPARE(statusText("countdownTitle"), QStringLiteral("System Shutdown Countdown"));
        QCOMPARE(tray->property("cancelText").toString(), QString());

        dev->switchOutputOff(2);
        QCOMPARE(controlFramesSoFar(*m_sim, serial), QList<QByteArray> {"S02R9999\r"});
        QTRY_COMPARE_WITH_TIMEOUT(tray->property("cancelText").toString(),
                                  QStringLiteral("Cancel output off"), 1000);
        QVERIFY(QMetaObject::invokeMethod(tray, "cancelRequested"));
        QCOMPARE(controlFramesSoFar(*m_sim, serial), QList<QByteArray> {"C\r"});
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("QUELTA - UPS Normal"), 1000);

        // A switch-off the UPS announces by itself is pending too, its time unknown here; what
        // we did not ask for is not ours to cancel.
        QVERIFY(m_sim->run({"output off 10 1"}));
        QTRY_COMPARE_WITH_TIMEOUT(statusText("linkText"), QStringLiteral("Output off pending"),
                                  5000);
        QCOMPARE(tooltip(), QStringLiteral("QUELTA - Output off pending"));
        QCOMPARE(trayIconSource(), QUrl("qrc:/res/image/tray_outputoff.ico"));
        QCOMPARE(tray->property("cancelText").toString(), QString());
        QVERIFY(m_sim->run({"output cancel"}));
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("QUELTA - UPS Normal"), 5000);
    }

    // A countdown ends and the system will not power off: the window comes back saying so, the
    // tray says it too, and so does the alarm mail.
    void refusedPowerOffReachesTheUser()
    {
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        Login1Service login1(bus.address(), Login1Service::Refuse);
        QVERIFY(login1.isReady());
        qputenv("QUELTA_LOGIN1_BUS", bus.address().toUtf8());
        SmtpTestServer smtp(SmtpTestServer::Plain);
        QVERIFY(smtp.isRunning());
        ServiceEMail *mail = m_host->root().serviceEMail();
        Settings *settings = m_host->root().settings();
        settings->setSettings(Settings::EMailServerAddress, QStringLiteral("127.0.0.1"));
        settings->setSettings(Settings::EMailServerPort, smtp.port());
        settings->setSettings(Settings::EMailEncrypt, 0);
        settings->setSettings(Settings::EMailSenderAddress, QStringLiteral("ups@example.org"));
        settings->setSettings(Settings::EMailAuthEnable, false);
        mail->listModelEMailUser()->addUser(QStringLiteral("admin@example.org"));
        settings->setSettings(Settings::EMailEnable, true);

        ServiceShutdown *shutdown = m_host->root().serviceShutdown();
        settings->setSettings(Settings::ShutdownEnable, true);
        settings->setSettings(Settings::ShutdownOsOff, true);
        auto *warning = m_window->property("shutdownDialog").value<QQuickItem *>();
        auto *failure = m_window->property("failureDialog").value<QQuickItem *>();
        QVERIFY(warning && failure);
        shutdown->startShutdown(0);
        QTRY_VERIFY_WITH_TIMEOUT(warning->isVisible(), 1000);
        m_host->view()->hide();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused by the system"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("was not shut down"));
        for (int i = 0; i < 10; ++i)
            tick();
        QTRY_COMPARE_WITH_TIMEOUT(login1.calls().size(), 1, 5000);

        QTRY_VERIFY_WITH_TIMEOUT(m_host->view()->isVisible() && failure->isVisible(), 1000);
        QVERIFY(!warning->isVisible());
        const QString text = failure->property("text").toString();
        QVERIFY2(text.startsWith("The computer could not be shut down: the system refused"),
                 qPrintable(text));
        QCOMPARE(m_window->property("trayMessage").toString(), text);
        QTRY_VERIFY_WITH_TIMEOUT(smtp.messageCount() >= 1, 10000);
        const QJsonObject sent = smtp.messages().last().toObject();
        QCOMPARE(sent.value("subject").toString(), QStringLiteral("UPS Alarm"));
        QVERIFY(sent.value("body").toString().contains(text));

        QmlPageHost::call(failure, "close");
        settings->setSettings(Settings::EMailEnable, false);
        mail->listModelEMailUser()->removeAll();
        settings->setSettings(Settings::ShutdownOsOff, false);
        settings->setSettings(Settings::ShutdownEnable, false);
        qunsetenv("QUELTA_LOGIN1_BUS");
    }

    // A language chosen in the box with the mouse: switched at once in either direction, the
    // UPS watched throughout, nothing unusual logged, and every page still showing the stored
    // settings, which the switch leaves as they were.
    void languageSwitchFromTheBox_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("mainsMessage");
        QTest::newRow("to French") << int(Translator::FR_FR) << "Français"
                                   << "mains fail";
        QTest::newRow("to Chinese") << int(Translator::ZH_CN) << "中文简体 "
                                    << "mains return";
        QTest::newRow("to Traditional Chinese") << int(Translator::ZH_TW) << "繁體中文"
                                                << "mains fail";
        QTest::newRow("back to English") << int(Translator::EN_GB) << "English"
                                         << "mains return";
    }
    void languageSwitchFromTheBox()
    {
        QFETCH(int, language);
        QFETCH(QString, entry);
        QFETCH(QString, mainsMessage);
        Translator *translator = m_host->root().translator();
        if (translator->autoLanguage()) { // first row: the window as a user finds it
            if (!online())
                QVERIFY(m_host->root().devComm()->openDevice(DevComm::COM, m_sim->portPath()));
            QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
            m_host->root().devComm()->setBaud(9600);
            m_host->root().settings()->setSettings(Settings::EMailEncrypt, 2);
            translator->init();
            QmlPageHost::call(m_window, "showAndRaise");
            m_window->setProperty("currentTab", int(UiEnums::MainTabSetting));
            QVERIFY(m_host->click(find("checkBoxAutoLanguage")));
            QTRY_VERIFY_WITH_TIMEOUT(!translator->autoLanguage(), 1000);
            // The link and port in use picked again, as a user may: a box then holds the
            // pick, which a switch must not take for a new choice.
            QSignalSpy lost(m_host->root().devComm(), &DevComm::linkLost);
            QVERIFY(pick(find("comboBoxCommType"),
                         QCoreApplication::translate("SettingsCommonForm.ui", "COM")));
            QVERIFY(pick(find("comboBoxComPort"), m_sim->portPath()));
            // A link dropped by the picks would be lost at once; none is, which takes time to see.
            QTest::qWait(50);
            QCOMPARE(lost.count(), 0);
        }
        QQuickItem *box = find("comboBoxLanguage");
        QVERIFY(box->isEnabled());
        const bool mainsFailing = mainsMessage == QLatin1String("mains fail");

        LogRecorder::take();
        QSignalSpy polled(m_host->root().devComm(), &DevComm::devDataChanged);
        QSignalSpy lost(m_host->root().devComm(), &DevComm::linkLost);
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<FreezeWatch> watch(new FreezeWatch(20000, "switching the language"));
        // The mains changes as the user clicks: the poll must see it at once, not after a freeze.
        QCOMPARE(m_sim->command(mainsMessage), QStringLiteral("ok"));
        const bool picked = pick(box, entry);
        QTRY_VERIFY_WITH_TIMEOUT(translator->language() == language &&
                                     box->property("currentText").toString() == entry,
                                 5000);
        const qint64 switched = clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(m_host->root().devComm()->state().onBattery == mainsFailing, 5000);
        const qint64 seen = clock.elapsed();
        watch.reset();
        // A frame drawn after the switch, so whatever it logs is in.
        QSignalSpy drawn(m_host->view(), &QQuickWindow::frameSwapped);
        m_host->view()->update();
        drawn.wait(2000);
        // The offscreen platform's remarks on what it cannot do are no fault of the program's.
        const QStringList warnings = LogRecorder::takeWarnings().filter(
            QRegularExpression("^(?!This plugin does not support)"));

        QVERIFY(picked);
        QVERIFY2(switched < 5000, qPrintable(QString("the switch took %1 ms").arg(switched)));
        QVERIFY2(seen < 5000,
                 qPrintable(QString("the mains change was seen after %1 ms").arg(seen)));
        QVERIFY(polled.count() > 0);
        QCOMPARE(lost.count(), 0); // the link was never closed
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.mid(0, 5).join('\n')));

        // Stored as chosen, the rest untouched, and shown so on every page.
        Settings *settings = m_host->root().settings();
        QCOMPARE(settings->getSettings(Settings::LanguageType).toInt(), language);
        QCOMPARE(settings->getSettings(Settings::LanguageAuto).toBool(), false);
        QCOMPARE(m_host->root().devComm()->commType(), int(DevComm::COM));
        QCOMPARE(m_host->root().settings()->number(Settings::EMailEncrypt), 2);
        QCOMPARE(box->property("currentIndex").toInt(), language);
        QVERIFY(!find("checkBoxAutoLanguage")->property("checked").toBool());
        QCOMPARE(find("comboBoxCommType")->property("currentIndex").toInt(), 1);
        QCOMPARE(find("comboBoxCommType")->property("currentText").toString(),
                 QCoreApplication::translate("SettingsCommonForm.ui", "COM"));
        QCOMPARE(find("comboBoxBaud")->property("currentText").toString(), QStringLiteral("9600"));
        QCOMPARE(find("comboBoxComPort")->property("currentText").toString(), m_sim->portPath());
        QCOMPARE(find("comboBoxEncrypt")->property("currentIndex").toInt(), 2);
        QCOMPARE(find("footerSettings")->property("text").toString(),
                 QCoreApplication::translate("MainFooterMenuForm.ui", "Settings"));
    }

    // While another program (the Quelta service) holds the port, the window says so in its
    // status, the tray and beside the port choice; once it is free the UPS is read again.
    void portHeldByAnotherProgram()
    {
        DevComm *dev = m_host->root().devComm();
        QVERIFY(dev->openDevice(DevComm::COM, QString())); // this program lets go
        bool busy = false;
        const int other = platform::claimDevice(m_sim->portPath().toStdWString(), &busy);
        QVERIFY(other >= 0);
        m_window->setProperty("currentTab", int(UiEnums::MainTabSetting));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("in use by another program"));
        QVERIFY(!dev->openDevice(DevComm::COM, m_sim->portPath()));
        QTRY_COMPARE_WITH_TIMEOUT(tooltip(), QStringLiteral("QUELTA - Port busy"), 1000);
        QCOMPARE(statusText("linkText"), QStringLiteral("Port busy"));
        QTRY_VERIFY_WITH_TIMEOUT(find("labelPortBusy")->isVisible(), 1000);

        platform::releaseDevice(other);
        for (int i = 0; i < 25 && !dev->findChild<SerialLink *>()->isOpen(); ++i)
            dev->scanPorts();
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!tooltip().contains("Port busy"), 1000);
        QVERIFY(!find("labelPortBusy")->isVisible());
    }

    // The port list shows the port in use, whoever chose it (a path set from the command line
    // too); a pick in it, "None" included, is written and taken; a typed path is opened; a port
    // that cannot be opened is explained beside the list and in the status column.
    void portListShowsAndTakesTheChosenPort()
    {
        DevComm *dev = m_host->root().devComm();
        Settings *settings = m_host->root().settings();
        auto *serial = dev->findChild<SerialLink *>();
        QTemporaryDir folder;
        const QString link = folder.filePath(QStringLiteral("ups"));
        QVERIFY(QFile::link(m_sim->portPath(), link));
        QVERIFY(online());
        m_window->setProperty("currentTab", int(UiEnums::MainTabSetting));
        QQuickItem *box = find("comboBoxComPort");
        const auto shown = [box] {
            return box->property("currentText").toString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(shown(), m_sim->portPath(), 1000);

        // Set elsewhere while the window is open: shown once it is taken.
        settings->setSettings(Settings::UpsComPort, link);
        QTRY_VERIFY_WITH_TIMEOUT(serial->portName() == link && online(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), link, 1000);

        QVERIFY(pick(box, QStringLiteral("None")));
        QTRY_VERIFY_WITH_TIMEOUT(!serial->isOpen(), 1000);
        QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(), QString());
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QCOMPARE(shown(), QStringLiteral("None"));
        // That no port is opened again is shown only by time: a retry would come within this.
        QTest::qWait(100);
        QVERIFY(!serial->isOpen());

        const auto typePort = [&](const QString &path) {
            box->forceActiveFocus();
            box->setProperty("editText", path);
            QTest::keyClick(m_host->view(), Qt::Key_Return);
        };
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open serial port"));
        typePort(QStringLiteral("/dev/ttyUSB9"));
        QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(),
                 QStringLiteral("/dev/ttyUSB9"));
        QTRY_COMPARE_WITH_TIMEOUT(text("labelPortProblem"),
                                  QStringLiteral("Port /dev/ttyUSB9 not found"), 1000);
        QCOMPARE(shown(), QStringLiteral("/dev/ttyUSB9"));
        show(int(UiEnums::MainTabDevice));
        QCOMPARE(text("headerModel"), QStringLiteral("Port /dev/ttyUSB9 not found"));
        // A node this user may not open: a file without permissions, or as root a node of the
        // kernel's that refuses writing to everyone (where there is one).
        QString closed = folder.filePath(QStringLiteral("locked"));
        if (::geteuid() == 0) {
            closed = QStringLiteral("/sys/kernel/notes");
            const int fd = ::open(closed.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
            if (fd >= 0 || errno != EACCES)
                closed.clear();
            if (fd >= 0)
                ::close(fd);
        } else {
            QFile file(closed);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.setPermissions(QFileDevice::Permissions());
        }
        if (!closed.isEmpty()) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open serial port"));
            QVERIFY(!dev->openDevice(DevComm::COM, closed));
            QTRY_COMPARE_WITH_TIMEOUT(
                text("headerModel"),
                QStringLiteral("Permission denied: add yourself to ") +
                    (::geteuid() == 0 ? QStringLiteral("dialout") : QFileInfo(closed).group()),
                1000);
        }

        m_window->setProperty("currentTab", int(UiEnums::MainTabSetting));
        typePort(link);
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(), link);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), link, 1000);
        QCOMPARE(text("labelPortProblem"), QString());
        QVERIFY(!find("labelPortProblem")->isVisible());
        QVERIFY(dev->openDevice(DevComm::COM, m_sim->portPath()));
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
    }

    // The control page: each order chosen and confirmed with "Sure" reaches the serial line as
    // its request; the orders that cut the power or drain the battery ask first, and nothing
    // reaches the UPS when the answer is no.
    void controlPageSendsTheChosenOrder()
    {
        QVERIFY(online());
        DevComm *link = m_host->root().devComm();
        SerialLink *serial = link->findChild<SerialLink *>();
        m_window->setProperty("currentTab", int(UiEnums::MainTabControl));
        QQuickItem *page = find("pageControl");
        QVERIFY(page);
        UpsSimProcess &sim = *m_sim;
        // Each number says what it counts.
        for (const char *unit : {"labelTestMinutesUnit", "labelCloseDelayUnit"}) {
            QQuickItem *label = m_host->find(page, QLatin1String(unit));
            QVERIFY2(label, unit);
            QVERIFY(label->property("text").toString().startsWith(QStringLiteral("minute(s)")));
        }

        enum Answer { NoQuestion, Yes, No, Escape };
        const struct
        {
            const char *radio, *field; // the field, when there is one, is set to `value` first
            int value;
            Answer answer;
            const char *question; // how the question starts
            QByteArray frame; // empty: nothing may reach the UPS
            int selfTestAfter; // -1: not looked at
        } orders[] = {
            {"radioBuzzer", nullptr, 0, NoQuestion, nullptr, "Q\r", -1},
            // The default delay: the power goes 12 s later, so never without a yes.
            {"radioCloseOutput", "spinBoxCloseDelay", 0, No,
             "The UPS output switches off in about 12 seconds: this computer", "", -1},
            {"radioCloseOutput", "spinBoxCloseDelay", 3, Yes,
             "The UPS output switches off in 3 minute(s): this computer", "S03R9999\r", -1},
            {"radioCancelCloseOutput", nullptr, 0, NoQuestion, nullptr, "C\r", -1},
            {"radioSelfTestCustom", "spinBoxTestMinutes", 5, Yes,
             "The UPS runs on its battery for 5 minute(s).", "T05\r", 1},
            {"radioSelfTestCancel", nullptr, 0, NoQuestion, nullptr, "CT\r", 0},
            // A 10-second test is harmless: no question.
            {"radioSelfTest10S", nullptr, 0, NoQuestion, nullptr, "T\r", 1},
            {"radioSelfTestCancel", nullptr, 0, NoQuestion, nullptr, "CT\r", 0},
            {"radioSelfTestEOD", nullptr, 0, Escape,
             "The UPS runs on its battery until the battery is low.", "", -1},
            {"radioSelfTestEOD", nullptr, 0, Yes,
             "The UPS runs on its battery until the battery is low.", "TL\r", -1},
        };
        QQuickItem *dialog = m_host->find(page, QStringLiteral("msgDialog"));
        for (const auto &order : orders) {
            const QByteArray row = QByteArray(order.radio) + " " + QByteArray::number(order.value);
            if (order.field)
                m_host->find(page, QLatin1String(order.field))->setProperty("value", order.value);
            QQuickItem *choice = m_host->find(page, QLatin1String(order.radio));
            QVERIFY(m_host->click(choice));
            QVERIFY(choice->property("checked").toBool());

            sim.clearReceived();
            QVERIFY(m_host->click(m_host->find(page, QStringLiteral("buttonSure"))));
            QVERIFY2(dialog->isVisible(), row.constData());
            if (order.answer != NoQuestion) {
                QVERIFY2(
                    dialog->property("text").toString().startsWith(QLatin1String(order.question)),
                    qPrintable(dialog->property("text").toString()));
                QCOMPARE(dialog->property("dialogType").toInt(), int(UiEnums::MsgDialogWarning));
                if (order.answer == Escape)
                    QTest::keyClick(m_host->view(), Qt::Key_Escape);
                else
                    QVERIFY(m_host->click(m_host->find(
                        dialog,
                        QLatin1String(order.answer == Yes ? "msgDialogSure" : "msgDialogCancel"))));
            }
            if (order.frame.isEmpty()) {
                QVERIFY2(!dialog->isVisible(), row.constData());
                QCOMPARE(controlFramesSoFar(sim, serial), QList<QByteArray>());
                continue;
            }
            QVERIFY2(dialog->isVisible(), row.constData());
            QCOMPARE(dialog->property("text").toString(),
                     QStringLiteral("The order was sent to the UPS."));
            QVERIFY(m_host->click(m_host->find(dialog, QStringLiteral("msgDialogSure"))));
            QVERIFY2(
                pollUntil(sim, serial, [&] { return sim.receivedFrames().contains(order.frame); }),
                order.frame.constData());
            if (order.selfTestAfter >= 0)
                QVERIFY(pollUntil(sim, serial, [&] {
                    return int(link->state().selfTest) == order.selfTestAfter;
                }));
        }
        QVERIFY(m_sim->run({"selftest cancel"}));
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
        Settings *settings = m_host->root().settings();
        settings->setSettings(Settings::ShutdownOsOff, false);

        settings->setSettings(Settings::ShutdownEnable, true);
        view->hide();
        QVERIFY(QMetaObject::invokeMethod(quit, "quitRequested"));
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible() && dialog->isVisible(), 1000);
        QVERIFY(dialog->property("text").toString().contains("stops the protection"));
        QVERIFY(m_host->click(m_host->find(dialog, "msgDialogCancel")));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1000);
        QCOMPARE(quitAsked.count(), 0);
        QVERIFY(settings->flag(Settings::ShutdownEnable));

        // Protection off: no question; a loop standing for the program's ends.
        settings->setSettings(Settings::ShutdownEnable, false);
        view->hide();
        QEventLoop loop;
        QTimer::singleShot(0, quit, [quit] { QMetaObject::invokeMethod(quit, "quitRequested"); });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(quitAsked.count(), 1);
        QVERIFY(!view->isVisible());

        // Protection on, answered "Sure": quits too.
        settings->setSettings(Settings::ShutdownEnable, true);
        QVERIFY(QMetaObject::invokeMethod(quit, "quitRequested"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(quitAsked.count(), 1);
        QmlPageHost::call(dialog, "accept");
        QCOMPARE(quitAsked.count(), 2);
        settings->setSettings(Settings::ShutdownEnable, false);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
