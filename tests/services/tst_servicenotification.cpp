// Desktop notifications: what each change of the UPS says (about this computer only for its
// supplies), good news told at once in the place of the bad notice it ends, a repeat within 30 s
// held back (each UPS its own) with the changes counted and dated in the next one, delivered to a
// notification server of our own on a private bus (or to the tray when there is none), the
// countdown's one notice kept true and withdrawn, and the switch; and the battery's age:
// counted from the first answering UPS or the day the user set, due after the interval, told
// once to the window and once to the daily report, across restarts.
#include "batteryage.h"
#include "clock.h"
#include "notificationserver.h"
#include "privatebus.h"
#include "selftestresult.h"
#include "servicenotification.h"
#include "settings.h"
#include "testroot.h"
#include "upsstate.h"
#include "upsstates.h"

#include <QtTest>

#include <memory>

namespace {

using UpsStates::offline;

UpsState online(int status, float charge = 80.0f)
{
    return UpsStates::online(status, charge);
}

struct Notice
{
    int kind;
    QString title;
    QString body;
    bool urgent;
};

UpsState answering()
{
    UpsState state;
    state.link = UpsState::Link::Online;
    return state;
}

void at(int year, int month, int day, int hour = 12)
{
    Clock::setNow(QDateTime(QDate(year, month, day), QTime(hour, 0)));
}

} // namespace

class TestServiceNotification : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void everyKindSays();
    void flappingStormGivesOneNoticePerKind();
    void countdownIsOneTrueNotice();
    void switchedOff();
    void dueOnceAcrossRestarts();
    void userChoicesAndBadValues();

private:
    void collect(ServiceNotification *service)
    {
        connect(service, &ServiceNotification::notify, this,
                [this](int kind, const QString &title, const QString &body, bool urgent) {
                    m_notices.append({kind, title, body, urgent});
                });
    }
    int count(int kind) const
    {
        return int(std::count_if(m_notices.begin(), m_notices.end(),
                                 [kind](const Notice &n) { return n.kind == kind; }));
    }

    Settings *settings() const { return m_root->settings(); }

    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    QVector<Notice> m_notices;
};

void TestServiceNotification::initTestCase()
{
    // The bus is chosen once per process, before any notice.
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY(m_bus->isRunning());
    qputenv("QUELTA_NOTIFY_BUS", m_bus->address().toUtf8());
    m_root = std::make_unique<TestRoot>(TestRoot::WithSettings);
}

void TestServiceNotification::init()
{
    m_notices.clear();
    m_root->settings()->setSettings(Settings::NotifyEnable, true);
    Clock::setNow(QDateTime(QDate(2025, 3, 4), QTime(10, 0)));
}

using Step = std::function<void(ServiceNotification &)>;

// What each change says; a UPS at rest and a link found for the first time say nothing.
void TestServiceNotification::everyKindSays()
{
    // A minute between two data sets, so none is held back.
    auto states = [](std::initializer_list<UpsState> list) {
        const QVector<UpsState> all(list);
        return Step([all](ServiceNotification &s) {
            for (const UpsState &state : all) {
                s.updateState(state);
                Clock::advance(60);
            }
        });
    };
    const auto selfTest = [](int seconds, bool batteryLow, std::optional<float> drop) {
        return Step([=](ServiceNotification &s) {
            SelfTestResult result;
            result.seconds = seconds;
            result.batteryLow = batteryLow;
            result.voltageDrop = drop;
            s.selfTestFinished(result);
        });
    };
    using S = ServiceNotification;
    const struct
    {
        Step step;
        int kind;
        const char *title, *body;
        bool urgent;
        int notices;
    } cases[] = {
        {states({online(0), online(0x01, 93.4f)}), S::Mains, "Mains failure",
         "The UPS is running on its battery. Battery charge: 93 %.", true, 1},
        {states({online(0x01)}), S::Mains, "Mains failure", // at the first answer
         "The UPS is running on its battery. Battery charge: 80 %.", true, 1},
        {states({online(0x01), online(0)}), S::Mains, "Mains returned",
         "The UPS is running on the mains again.", false, 2},
        {states({online(0x03)}), S::BatteryLow, "Battery low",
         "The UPS battery is low: the computer may lose power soon.", true, 2},
        {states({online(0x08)}), S::UpsFault, "UPS fault",
         "The UPS reports a fault; the alarm list tells more.", true, 1},
        {states({online(0), offline()}), S::Link, "Communication lost",
         "Quelta cannot reach the UPS: it no longer sees a mains failure.", true, 1},
        // Flags of a lost UPS are stale; the first answer after it is compared with the last.
        {states({online(0), offline(), online(0)}), S::Link, "Communication restored",
         "Quelta is talking to the UPS again.", false, 2},
        {Step([](S &s) { s.countdownChanged(300); }), S::Countdown, "Shutdown countdown started",
         "The computer shuts down in 5 minutes, at 10:05:00.", true, 1},
        // Nothing set for the end: the notice does not claim a shutdown.
        {Step([](S &s) {
             s.setEndDoesNothing(true);
             s.countdownChanged(300);
         }),
         S::Countdown, "Shutdown countdown started",
         "The countdown ends in 5 minutes, at 10:05:00. Nothing is set to happen then: the "
         "computer stays on.",
         true, 1},
        {Step([](S &s) {
             s.countdownChanged(45);
             Clock::advance(60);
             s.countdownChanged(0);
         }),
         S::Countdown, "Shutdown countdown cancelled", "The computer stays on.", false, 2},
        {selfTest(10, false, 1.234f), S::SelfTest, "Self-test finished",
         "Passed. The battery voltage fell by 1.23 V in 10 seconds.", false, 1},
        {selfTest(600, true, std::nullopt), S::SelfTest, "Self-test finished",
         "Failed: the battery ran low.", true, 1},
        // Each UPS holds its own 30 s: a watched UPS's mains failure right after this
        // computer's is told, and so is its return; a second failure within 30 s is held back.
        {Step([](S &s) {
             s.updateState(online(0x01));
             s.updateNamedState(QStringLiteral("Upstairs"), online(0x01));
             s.updateNamedState(QStringLiteral("Upstairs"), online(0));
             s.updateNamedState(QStringLiteral("Upstairs"), online(0x01));
         }),
         S::Mains, "Upstairs: Mains returned", "The UPS is running on the mains again.", false, 3},
        // Good news that ends a bad notice is told at once, not when the bad one's 30 s are over.
        {Step([](S &s) {
             s.updateState(online(0x01));
             Clock::advance(19);
             s.updateState(online(0));
         }),
         S::Mains, "Mains returned", "The UPS is running on the mains again.", false, 2},
        {Step([](S &s) {
             s.updateState(online(0));
             s.updateState(offline());
             Clock::advance(18);
             s.updateState(online(0));
         }),
         S::Link, "Communication restored", "Quelta is talking to the UPS again.", false, 2},
        // A failure 34 s after the last one, 4 s after the return, is no repeat: told at once.
        {Step([](S &s) {
             s.updateState(online(0x01));
             Clock::advance(30);
             s.updateState(online(0));
             Clock::advance(4);
             s.updateState(online(0x01, 70.0f));
         }),
         S::Mains, "Mains failure", "The UPS is running on its battery. Battery charge: 70 %.",
         true, 3},
        // A failure 5 s after the last one is a repeat: told when the first one's 30 s are
        // over, saying what the change held back was and when.
        {Step([](S &s) {
             s.updateState(online(0x01));
             Clock::advance(1);
             s.updateState(online(0));
             Clock::advance(4);
             s.updateState(online(0x01));
             Clock::advance(24);
             s.checkHeldBack();
             Clock::advance(1);
             s.checkHeldBack();
         }),
         S::Mains, "Mains failure",
         "The UPS is running on its battery. Battery charge: 80 %.\n(1 change since the last "
         "notice: Mains failure at 10:00:05)",
         true, 3},
        // A watched UPS that does not feed this computer says nothing of the computer; a
        // chosen supply does, and this computer's own UPS when it is not chosen does not.
        {Step([](S &s) { s.updateNamedState(QStringLiteral("nas/upstairs"), online(0x03)); }),
         S::BatteryLow, "nas/upstairs: Battery low",
         "The UPS battery is low: the UPS may switch off soon.", true, 2},
        {Step([](S &s) {
             s.setSupplies({QStringLiteral("local"), QStringLiteral("nas/upstairs")});
             s.updateNamedState(QStringLiteral("nas/upstairs"), online(0x03));
         }),
         S::BatteryLow, "nas/upstairs: Battery low",
         "The UPS battery is low: the computer may lose power soon.", true, 2},
        {Step([](S &s) {
             s.setSupplies({QStringLiteral("nas/upstairs")});
             s.updateState(online(0x03));
         }),
         S::BatteryLow, "Battery low", "The UPS battery is low: the UPS may switch off soon.",
         true, 2},
        {Step([](S &s) {
             SelfTestResult result;
             result.upsFailed = true;
             s.selfTestFinished(result);
             s.namedSelfTestFinished(QStringLiteral("lab/u1"), result);
         }),
         S::SelfTest, "lab/u1: Self-test finished", "Failed: the UPS reported a fault.", true, 2},
    };
    for (const auto &c : cases) {
        init();
        ServiceNotification service(m_root->settings());
        service.start();
        collect(&service);
        c.step(service);
        QVERIFY2(!m_notices.isEmpty(), c.title);
        const Notice &last = m_notices.last();
        QVERIFY2(last.kind == c.kind && last.title == QLatin1String(c.title), c.title);
        QCOMPARE(last.body, QString::fromUtf8(c.body));
        QCOMPARE(last.urgent, c.urgent);
        QVERIFY2(m_notices.size() == c.notices, c.title);
    }
}

void TestServiceNotification::flappingStormGivesOneNoticePerKind()
{
    auto owned = std::make_unique<NotificationServer>(m_bus->address());
    NotificationServer &server = *owned;
    QVERIFY(server.isReady());
    ServiceNotification service(m_root->settings());
    service.start();
    service.setDeliver(true);
    collect(&service);
    QSignalSpy undelivered(&service, &ServiceNotification::undelivered);

    service.updateState(online(0));
    service.updateState(online(0x01));
    QTRY_COMPARE_WITH_TIMEOUT(server.notices().size(), 1, 10000);
    QCOMPARE(server.notices().first().summary, QStringLiteral("Mains failure"));
    QCOMPARE(server.notices().first().appName, QStringLiteral("Quelta"));
    QCOMPARE(server.notices().first().urgency, 2);
    QCOMPARE(server.notices().first().body,
             QStringLiteral("The UPS is running on its battery. Battery charge: 80 %."));

    QTRY_VERIFY_WITH_TIMEOUT(service.standingNotice(QString(), ServiceNotification::Mains) != 0,
                             10000);
    const uint failureId = server.notices().first().id;
    QCOMPARE(service.standingNotice(QString(), ServiceNotification::Mains), failureId);

    // 29 seconds of mains, battery and link flapping every second.
    for (int second = 1; second < 30; ++second) {
        Clock::advance(1);
        service.checkHeldBack();
        const bool odd = second % 2 == 1;
        service.updateState(odd ? online(0x00) : online(0x01));
        service.updateState(odd ? online(0x02) : online(0x01));
        if (second % 3 == 0)
            service.updateState(offline());
    }
    // Mains failure and its return, battery low, link lost and back; the rest held back,
    // looked at once a second.
    const auto titles = [this] {
        QStringList all;
        for (const Notice &notice : qAsConst(m_notices))
            all << notice.title;
        return all;
    };
    QCOMPARE(titles(),
             (QStringList {QStringLiteral("Mains failure"), QStringLiteral("Mains returned"),
                           QStringLiteral("Battery low"), QStringLiteral("Communication lost"),
                           QStringLiteral("Communication restored")}));
    const auto *heldBack = service.findChild<QTimer *>(QStringLiteral("heldBackTimer"));
    QVERIFY(heldBack && heldBack->isActive());
    // Everything the service decided reached the server, and nothing went to the tray. The
    // return took the failure's place; the link came back before the desktop numbered its loss,
    // so the loss was taken off.
    QTRY_COMPARE_WITH_TIMEOUT(server.notices().size(), 5, 10000);
    QCOMPARE(server.notices().at(1).replacesId, failureId);
    QCOMPARE(server.notices().at(1).id, failureId);
    QCOMPARE(server.notices().at(4).replacesId, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(server.closed(), QVector<uint> {server.notices().at(3).id}, 10000);

    // Thirty seconds after the first failure, the mains' newest state with the changes held.
    Clock::advance(1);
    service.checkHeldBack();
    QCOMPARE(count(ServiceNotification::Mains), 3);
    const Notice folded = m_notices.at(5);
    QCOMPARE(folded.kind, int(ServiceNotification::Mains));
    QCOMPARE(folded.title, QStringLiteral("Mains returned"));
    QVERIFY2(folded.body.endsWith(
                 "\n(28 changes since the last notice, between 10:00:02 and 10:00:29)"),
             qPrintable(folded.body));
    QCOMPARE(m_notices.size(), 6);
    // The other kinds' 30 s end later; then all is quiet.
    Clock::advance(60);
    service.checkHeldBack();
    QCOMPARE(m_notices.size(), 8);
    QCOMPARE(count(ServiceNotification::BatteryLow), 2);
    QCOMPARE(count(ServiceNotification::Link), 3);
    // A failure and its return are told at once after a quiet spell; the failure repeated
    // within 30 s is held back.
    service.updateState(online(0x01));
    service.updateState(online(0x00));
    service.updateState(online(0x01));
    QCOMPARE(m_notices.size(), 10);
    Clock::advance(31);
    // One line in the log, whatever the desktop shows.
    QTest::ignoreMessage(QtInfoMsg,
                         "Notice: Mains failure - The UPS is running on its battery. Battery "
                         "charge: 80 %. (1 change since the last notice: Mains failure at "
                         "10:01:30)");
    service.checkHeldBack();
    QVERIFY2(m_notices.last().body.endsWith(
                 "\n(1 change since the last notice: Mains failure at 10:01:30)"),
             qPrintable(m_notices.last().body));
    const int settled = m_notices.size();
    QCOMPARE(settled, 11);
    Clock::advance(60);
    service.checkHeldBack();
    QCOMPARE(m_notices.size(), settled);
    QVERIFY(!heldBack->isActive()); // nothing held back: nothing to look at
    QTRY_COMPARE_WITH_TIMEOUT(server.notices().size(), settled, 10000);
    QCOMPARE(undelivered.count(), 0);

    // No server on the bus any more: the tray is asked instead.
    owned.reset();
    service.updateState(online(0x09));
    QTRY_COMPARE_WITH_TIMEOUT(undelivered.count(), 1, 10000);
    QCOMPARE(undelivered.first().at(0).toString(), QStringLiteral("UPS fault"));
    QCOMPARE(undelivered.first().at(2).toBool(), true);
}

// A countdown is one notice, told at once whatever the other kinds did, replaced in place with
// the true time whenever its end moves, offering "Cancel shutdown", and taken off the desktop
// when it ends or is called off; without a server the tray keeps it over lesser notices.
void TestServiceNotification::countdownIsOneTrueNotice()
{
    auto owned = std::make_unique<NotificationServer>(m_bus->address());
    NotificationServer &server = *owned;
    QVERIFY(server.isReady());
    ServiceNotification service(m_root->settings());
    service.start();
    service.setDeliver(true);
    QSignalSpy cancel(&service, &ServiceNotification::cancelRequested);
    QSignalSpy undelivered(&service, &ServiceNotification::undelivered);
    const auto last = [&server] {
        return server.notices().last();
    };

    // Shortened before the desktop answered the first: one notice, replaced, with the true time.
    service.updateState(online(0));
    service.countdownChanged(600);
    Clock::advance(5);
    service.countdownShortened(10);
    QTRY_COMPARE_WITH_TIMEOUT(server.notices().size(), 2, 10000);
    const uint id = server.notices().first().id;
    QCOMPARE(server.notices().first().body,
             QStringLiteral("The computer shuts down in 10 minutes, at 10:10:00."));
    QCOMPARE(server.notices().first().actions,
             (QStringList {QStringLiteral("cancel"), QStringLiteral("Cancel shutdown")}));
    QCOMPARE(last().replacesId, id);
    QCOMPARE(last().summary, QStringLiteral("Shutdown countdown shortened"));
    QCOMPARE(last().body, QStringLiteral("The computer shuts down in 10 seconds, at 10:00:15."));

    // The user's choice on it reaches the shutdown service; on an older notice it does nothing.
    server.invoke(id + 7, QStringLiteral("cancel"));
    server.invoke(id, QStringLiteral("cancel"));
    QVERIFY(cancel.wait(10000));
    QCOMPARE(cancel.count(), 1);

    // Called off: withdrawn, and said once.
    service.countdownChanged(0);
    QTRY_COMPARE_WITH_TIMEOUT(server.closed(), QVector<uint> {id}, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(last().summary, QStringLiteral("Shutdown countdown cancelled"),
                              10000);

    // A second countdown 6 s later is told at once with its true time, as a notice of its own,
    // and withdrawn when it ends; a mains notice held back meanwhile is no business of it.
    service.updateState(online(0x01));
    QTRY_COMPARE_WITH_TIMEOUT(last().summary, QStringLiteral("Mains failure"), 10000);
    Clock::advance(6);
    const int before = server.notices().size();
    service.countdownChanged(60);
    QTRY_COMPARE_WITH_TIMEOUT(server.notices().size(), before + 1, 10000);
    QCOMPARE(last().summary, QStringLiteral("Shutdown countdown started"));
    QCOMPARE(last().body, QStringLiteral("The computer shuts down in 60 seconds, at 10:01:11."));
    QCOMPARE(last().replacesId, 0u);
    const uint second = last().id;
    QVERIFY(second != id);
    service.countdownTick(59);
    service.countdownTick(0);
    QTRY_COMPARE_WITH_TIMEOUT(server.closed().size(), 2, 10000);
    QCOMPARE(server.closed().last(), second);
    QCOMPARE(server.notices().size(), before + 1);

    // No server: the tray shows the countdown, and the mains notice that comes a moment later
    // does not cover it; its shortening does.
    service.updateState(online(0x00));
    QTRY_COMPARE_WITH_TIMEOUT(last().summary, QStringLiteral("Mains returned"), 10000);
    owned.reset();
    Clock::advance(31);
    service.countdownChanged(120);
    service.updateState(online(0x01));
    // The shortening is told after the mains notice would have been: the tray gets the two
    // countdown notices and nothing between them.
    service.countdownShortened(10);
    QTRY_COMPARE_WITH_TIMEOUT(undelivered.count(), 2, 10000);
    QCOMPARE(undelivered.at(0).at(0).toString(), QStringLiteral("Shutdown countdown started"));
    QCOMPARE(undelivered.at(1).at(0).toString(), QStringLiteral("Shutdown countdown shortened"));
    // Once it is over, lesser notices reach the tray again.
    service.countdownTick(0);
    service.updateState(online(0x09));
    QTRY_COMPARE_WITH_TIMEOUT(undelivered.count(), 3, 10000);
    QCOMPARE(undelivered.last().at(0).toString(), QStringLiteral("UPS fault"));
}

void TestServiceNotification::switchedOff()
{
    ServiceNotification service(m_root->settings());
    service.start();
    collect(&service);
    QVERIFY(service.enable());
    // Switched off in the settings (the page, an import): nothing is told.
    m_root->settings()->setSettings(Settings::NotifyEnable, false);
    QVERIFY(!service.enable());
    service.updateState(online(0x01));
    service.countdownChanged(60);
    QVERIFY(m_notices.isEmpty());
    // Switched on again: the next change is told.
    m_root->settings()->setSettings(Settings::NotifyEnable, true);
    service.updateState(online(0x00));
    QCOMPARE(m_notices.size(), 1);
    QCOMPARE(m_notices.first().title, QStringLiteral("Mains returned"));
    // A notice held back when the switch goes off is dropped.
    service.updateState(online(0x01));
    service.updateState(online(0x00));
    service.updateState(online(0x01));
    QCOMPARE(m_notices.size(), 3);
    m_root->settings()->setSettings(Settings::NotifyEnable, false);
    m_root->settings()->setSettings(Settings::NotifyEnable, true);
    Clock::advance(31);
    service.checkHeldBack();
    QCOMPARE(m_notices.size(), 3);
}

void TestServiceNotification::dueOnceAcrossRestarts()
{
    at(2025, 1, 10);
    {
        BatteryAge age(settings());
        QSignalSpy due(&age, &BatteryAge::replacementDue);
        QSignalSpy note(&age, &BatteryAge::mailNote);
        // Nothing is known before a UPS answers.
        age.check();
        QCOMPARE(age.installedDate(), QString());
        QCOMPARE(age.dueDate(), QString());
        QVERIFY(!age.due());
        UpsState lost;
        lost.link = UpsState::Link::Offline;
        age.updateState(lost);
        QVERIFY(!settings()->getSettings(Settings::BatteryFirstSeen).isValid());

        // The first answer dates the battery; a later one changes nothing.
        age.updateState(answering());
        QCOMPARE(settings()->getSettings(Settings::BatteryFirstSeen).toString(),
                 QStringLiteral("2025-01-10"));
        at(2025, 2, 1);
        age.updateState(answering());
        QCOMPARE(age.installedDate(), QStringLiteral("2025-01-10"));
        QCOMPARE(age.dueDate(), QStringLiteral("2028-01-10"));

        at(2028, 1, 9, 23);
        age.check();
        QVERIFY(!age.due());
        QCOMPARE(due.count(), 0);
        at(2028, 1, 10, 0);
        QSignalSpy changed(&age, &BatteryAge::changed);
        age.check();
        QVERIFY(age.due());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(due.count(), 1);
        QCOMPARE(due.first().at(0).toString(), QStringLiteral("Battery replacement due"));
        QCOMPARE(due.first().at(1).toString(),
                 QStringLiteral("The UPS battery was installed on 2025-01-10 and is due for "
                                "replacement since 2028-01-10. An old battery may not carry the "
                                "computer through the next mains failure."));
        QCOMPARE(note.count(), 1);
        QCOMPARE(note.first().at(0).toString(), QStringLiteral("battery"));
        QCOMPARE(note.first().at(1).toString(), due.first().at(1).toString());
        // Each minute's check after it says nothing.
        at(2028, 1, 11);
        age.check();
        QCOMPARE(due.count(), 1);
        QCOMPARE(note.count(), 1);
    }
    {
        // A restart before the daily report: the window is not told again, the report still
        // gets its note; a report with other notes only does not count.
        BatteryAge age(settings());
        QSignalSpy due(&age, &BatteryAge::replacementDue);
        QSignalSpy note(&age, &BatteryAge::mailNote);
        age.check();
        QCOMPARE(due.count(), 0);
        QCOMPARE(note.count(), 1);
        age.reportSent({QStringLiteral("other")});
        QVERIFY(!settings()->getSettings(Settings::BatteryNoticeMailed).isValid());
        age.reportSent({QStringLiteral("battery")});
        QCOMPARE(settings()->getSettings(Settings::BatteryNoticeMailed).toString(),
                 QStringLiteral("2028-01-10"));
    }
    {
        // Told and mailed: a restart repeats neither.
        BatteryAge age(settings());
        QSignalSpy due(&age, &BatteryAge::replacementDue);
        QSignalSpy note(&age, &BatteryAge::mailNote);
        age.start();
        QTRY_VERIFY(age.due());
        QCoreApplication::processEvents();
        age.check();
        QCOMPARE(due.count(), 0);
        QCOMPARE(note.count(), 0);

        // A new battery: the notice is armed for its own due day.
        age.setInstalledDate(QStringLiteral("2028-01-20"));
        settings()->setSettings(Settings::BatteryReplaceMonths, 24);
        QCOMPARE(age.dueDate(), QStringLiteral("2030-01-20"));
        QVERIFY(!age.due());
        at(2030, 1, 20);
        age.check();
        QCOMPARE(due.count(), 1);
        QCOMPARE(note.count(), 1);
    }
}

void TestServiceNotification::userChoicesAndBadValues()
{
    at(2025, 6, 1);
    BatteryAge age(settings());
    QSignalSpy changed(&age, &BatteryAge::changed);
    const QString installed = age.installedDate();
    for (const char *bad : {"2025-13-01", "", "01.06.2025"}) {
        age.setInstalledDate(QString::fromLatin1(bad));
        QCOMPARE(age.installedDate(), installed);
    }
    QCOMPARE(changed.count(), 0);
    // A hand-edited file: an interval that is no number or out of range counts as the default.
    for (const QVariant &bad : {QVariant(QStringLiteral("soon")), QVariant(1000)}) {
        settings()->setSettings(Settings::BatteryReplaceMonths, bad);
        QCOMPARE(age.dueDate(), QStringLiteral("2031-01-20"));
    }
    QCOMPARE(changed.count(), 2);
    // A restore keeps the installation day (it is a fact, not a choice) and resets the interval.
    settings()->setSettings(Settings::BatteryReplaceMonths, 12);
    QCOMPARE(age.dueDate(), QStringLiteral("2029-01-20"));
    settings()->restore();
    QCOMPARE(age.installedDate(), QStringLiteral("2028-01-20"));
    QCOMPARE(age.dueDate(), QStringLiteral("2031-01-20"));
}

QTEST_GUILESS_MAIN(TestServiceNotification)
#include "tst_servicenotification.moc"
