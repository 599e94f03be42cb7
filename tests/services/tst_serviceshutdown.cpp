// The shutdown countdown, driven by data sets and ticks the test hands in, and its end: the
// command file, the shutdown log and the power-off request, seen by a login manager on a private
// bus and by a virtual X display; and the parts on their own: the command file run on its own
// thread, and the tree of the shutdown log over the files a shutdown, a user or a damaged disk
// may leave.
#include "clock.h"
#include "commandfilerun.h"
#include "devcomm.h"
#include "login1service.h"
#include "logrecorder.h"
#include "privatebus.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "shutdownlogreader.h"
#include "testroot.h"
#include "testwindows.h"
#include "treemodelshutdown.h"
#include "upsstate.h"
#include "xvfbdisplay.h"

#include <QtTest>

#include <memory>

namespace {

constexpr quint8 mainsFault = 0x01;
constexpr quint8 battLow = 0x02;

QList<int> take(QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : qAsConst(spy))
        values << arguments.at(0).toInt();
    spy.clear();
    return values;
}

// The log tree is read on a thread of its own; its warnings are told apart from silence.
QString takeLog(int onlyType = -1)
{
    return LogRecorder::take(onlyType).join('\n');
}

// The login manager's answer to the last power-off call has come back: the call is
// asynchronous, and a tick before the answer asks nothing new.
bool powerOffAnswered()
{
    const bool answered = LogRecorder::waitFor(QStringLiteral("Power-off "));
    LogRecorder::take();
    return answered;
}

// The model once it has read the log.
bool waitForLoad(TreeModelShutdown &model)
{
    QSignalSpy loaded(&model, &TreeModelShutdown::loaded);
    return model.isLoaded() || loaded.wait(10000);
}

QList<int> countingDown(int from, int to)
{
    QList<int> values;
    for (int i = from; i >= to; --i)
        values << i;
    return values;
}

} // namespace

class TestServiceShutdown : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void mainsFailure();
    void batteryLow();
    void capacityCut();
    void endIsFinal();
    void cancelledByTheUser();
    void switchedOff();
    void linkLost();
    void scheduledShutdown();
    void finalStep();
    void settings();
    void powerOffWhenDue();
    void commandFile();
    void powerOffRefused();
    void shutdownLog();
    void programEndsWhileCommandRuns();
    void quotedPathWaitedFor();
    void commandThatCannotStart();
    void logTreeTopLevel();
    void logTreeEntries();
    void largeLog();

private:
    void set(int type, const QVariant &value) { m_root.settings()->setSettings(type, value); }
    void feed(quint8 status)
    {
        m_state.setStatusByte(status);
        m_service->updateState(m_state);
    }
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            m_service->onTimerTimeout();
    }
    int calls() { return m_login1->calls().size(); }
    void writeLog(const QByteArray &text)
    {
        QVERIFY(TestRoot::writeFile(m_root.file("/data/shutdown.log"), text));
    }
    CommandFileRun *command() const { return m_service->findChild<CommandFileRun *>(); }
    // Lets the command end and waits until it has, and until the service has heard of it.
    bool letEnd(CommandFileRun *run)
    {
        if (!run)
            return false;
        QSignalSpy ended(run, &CommandFileRun::ended);
        QFile(m_go).open(QIODevice::WriteOnly);
        const bool done = !run->isRunning() || ended.wait(5000);
        QCoreApplication::processEvents();
        return done;
    }

    TestRoot m_root;
    QTemporaryDir m_scripts;
    QString m_go;
    QString m_waitCommand;
    PrivateBus m_bus;
    std::unique_ptr<Login1Service> m_login1;
    std::unique_ptr<XvfbDisplay> m_display;
    std::unique_ptr<TestWindows> m_windows;
    DevComm m_dev {m_root.settings()};
    ServiceShutdown m_shutdown {m_root.settings(), &m_dev};
    ServiceShutdown *m_service = &m_shutdown;
    UpsState m_state;
    QScopedPointer<QSignalSpy> m_started;
    QScopedPointer<QSignalSpy> m_ticked;
    QScopedPointer<QSignalSpy> m_shortened;
};

void TestServiceShutdown::initTestCase()
{
    LogRecorder::install();
    QVERIFY(m_bus.isRunning());
    m_login1.reset(new Login1Service(m_bus.address(), Login1Service::Accept));
    QVERIFY(m_login1->isReady());
    qputenv("QUELTA_LOGIN1_BUS", m_bus.address().toUtf8());

    m_display.reset(new XvfbDisplay);
    QVERIFY(m_display->isRunning());
    qputenv("DISPLAY", m_display->name().toLatin1());
    m_windows.reset(new TestWindows(m_display->name()));
    QVERIFY(m_windows->isConnected());
    m_windows->create(TestWindows::wmClass("ed", "Editor"), "report.odt", {});
    m_windows->create(TestWindows::wmClass("term", "Terminal"), "backup running", {});
    m_windows->create(TestWindows::wmClass("ed", "Editor"), "notes.txt", {});
    m_windows->create(TestWindows::wmClass("x", "Hidden"), "hidden", {}, false);

    // A path with blanks, quoted: it must stay one program.
    QVERIFY(QDir(m_scripts.path()).mkdir("user scripts"));
    const QString script = m_scripts.filePath("user scripts/wait for go.sh");
    QVERIFY(
        TestRoot::writeFile(script, "#!/bin/sh\nwhile [ ! -e \"$1\" ]; do sleep 0.02; done\n"));
    QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));
    m_go = m_scripts.filePath("go");
    m_waitCommand = '"' + script + "\" " + m_go;

    m_service->start();
    m_state.link = UpsState::Link::Online;
    m_started.reset(new QSignalSpy(m_service, &ServiceShutdown::shutdownStarted));
    m_ticked.reset(new QSignalSpy(m_service, &ServiceShutdown::shutdownTimeChanged));
    m_shortened.reset(new QSignalSpy(m_service, &ServiceShutdown::shutdownShortened));
}

void TestServiceShutdown::init()
{
    // Switching off cancels whatever the last case left running.
    set(Settings::ShutdownEnable, false);
    set(Settings::ShutdownMainFaultTime, 3);
    set(Settings::ShutdownBattLowTime, 0);
    set(Settings::ShutdownMainFaultCap, 1);
    set(Settings::ShutdownUPSOff, false);
    set(Settings::ShutdownExec, false);
    set(Settings::ShutdownExecTime, 1);
    set(Settings::ShutdownExecFile, m_waitCommand);
    set(Settings::ShutdownOsOff, false);
    m_state.setStatusByte(0);
    m_state.batteryCharge = 100;
    m_state.outputVoltage = 230;
    m_state.shutdownActive = false;
    m_state.forcedShutdown = false;
    m_state.link = UpsState::Link::Online;
    m_dev.cancelOutputOff();
    feed(0);
    feed(0);
    set(Settings::ShutdownEnable, true);
    QFile::remove(m_go);
    QFile::remove(m_root.file("/data/shutdown.log"));
    m_login1->calls();
    m_started->clear();
    m_ticked->clear();
    m_shortened->clear();
}

void TestServiceShutdown::cleanupTestCase()
{
    // A command still waiting for its go ends now.
    QFile(m_go).open(QIODevice::WriteOnly);
    set(Settings::ShutdownEnable, false);
}

void TestServiceShutdown::mainsFailure()
{
    // The second's step runs only while counting.
    const auto *timer = m_service->findChild<QTimer *>(QStringLiteral("countdownTimer"));
    QVERIFY(timer && !timer->isActive());
    feed(mainsFault);
    QVERIFY(timer->isActive());
    QCOMPARE(take(*m_started), QList<int> {180});
    QVERIFY(m_service->alerting() && m_service->cancellable());
    tick(3);
    QCOMPARE(take(*m_ticked), (QList<int> {179, 178, 177}));
    QCOMPARE(m_service->countdown(), 177);

    // The same failure reported again changes nothing.
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_ticked), QList<int> {176});

    // The mains returns before the end: cancelled, and the ticks fall silent.
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
    QVERIFY(!m_service->alerting() && !timer->isActive());
    tick(5);
    QCOMPARE(take(*m_ticked), QList<int>());

    // Without minutes for it, a mains failure is not acted on...
    set(Settings::ShutdownMainFaultTime, 0);
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_ticked), QList<int>());
    // ...until it has some: the next data set of the same failure starts the
    // countdown.
    set(Settings::ShutdownMainFaultTime, 1);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {60});

    // A countdown that ran out leaves the service idle; the later return still
    // cancels.
    tick(60);
    QCOMPARE(take(*m_ticked), countingDown(59, 0));
    QVERIFY(!timer->isActive());
    tick(3);
    QCOMPARE(take(*m_ticked), QList<int>());
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
}

void TestServiceShutdown::batteryLow()
{
    // Both in one data set: the mains acts at once; the battery counts once a second status
    // reply says so too, and the log says why.
    set(Settings::ShutdownMainFaultTime, 5);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int> {300});
    QTest::ignoreMessage(QtInfoMsg, "Shutdown countdown shortened to 10 seconds (battery low)");
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_shortened), QList<int> {10});
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});

    // A failure after that one starts afresh: the old battery-low flag does not carry over,
    // and one garbled reply between good ones brings nothing nearer.
    feed(mainsFault);
    feed(mainsFault | battLow);
    feed(mainsFault);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int> {300});
    QCOMPARE(take(*m_shortened), QList<int>());
    feed(0);
    take(*m_started);

    // A battery running low later in a failure brings the end nearer, never
    // further.
    set(Settings::ShutdownMainFaultTime, 3);
    set(Settings::ShutdownBattLowTime, 5);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});
    feed(mainsFault | battLow);
    feed(mainsFault | battLow);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {179});
    feed(mainsFault); // recovers
    set(Settings::ShutdownBattLowTime, 1);
    feed(mainsFault | battLow);
    QTest::ignoreMessage(QtInfoMsg, "Shutdown countdown shortened to 60 seconds (battery low)");
    feed(mainsFault | battLow);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {59});

    // The mains returns while the battery is still low: no cancellation.
    feed(battLow);
    tick(2);
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_ticked), (QList<int> {58, 57}));
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});

    // Without minutes for a mains failure, the failure alone starts nothing, but the battery
    // running low on it always ends in the low-battery countdown.
    set(Settings::ShutdownMainFaultTime, 0);
    set(Settings::ShutdownBattLowTime, 0);
    feed(mainsFault);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int>());
    feed(mainsFault | battLow);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int> {10});
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
}

void TestServiceShutdown::capacityCut()
{
    set(Settings::ShutdownMainFaultCap, 60);
    m_state.batteryCharge = 60;
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {179});

    // One reading below (a garbled battery voltage reads as an empty battery) cuts nothing; two
    // in a row do.
    m_state.batteryCharge = 0;
    feed(mainsFault);
    m_state.batteryCharge = 60;
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {178});
    m_state.batteryCharge = 59.5f;
    feed(mainsFault);
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});
    QCOMPARE(take(*m_shortened), QList<int> {10});
    m_state.batteryCharge = 100; // never lengthened again
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {8});

    // A scheduled countdown is cut only once a failure has been taken over.
    feed(0);
    take(*m_started);
    m_service->startShutdown(10);
    QCOMPARE(take(*m_started), QList<int> {600});
    m_state.batteryCharge = 5;
    feed(0);
    feed(0);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {599}); // no failure taken over: no cut
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int>()); // shortened, not restarted
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});
}

// Once the network clients were told (FSD) or the UPS was asked to switch off, nothing but
// switching the protection off turns back: the mains returning cancels nothing, the UPS gets no
// cancel, and the UPS's power cycle ends it. Before that the return still cancels, and the UPS
// is told to cancel only what this service asked for.
void TestServiceShutdown::endIsFinal()
{
    QSignalSpy committed(m_service, &ServiceShutdown::committedChanged);
    QSignalSpy refused(m_service, &ServiceShutdown::cancelRefused);
    int steps = 0;
    m_service->setFinalStep(
        [&](std::function<void()> done) {
            ++steps;
            done();
            return true;
        },
        30);

    // An output-off someone else asked for (the control page, a network client) is theirs.
    m_dev.switchOutputOff(5);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
    QCOMPARE(m_dev.outputOffSeconds(), 300);
    m_dev.cancelOutputOff();

    // Without the UPS output-off or the power-off there is nothing to tell anyone.
    set(Settings::ShutdownMainFaultTime, 1);
    feed(mainsFault);
    tick(60);
    QCOMPARE(steps, 0);
    QVERIFY(!m_service->committed());
    feed(0);
    QCOMPARE(take(*m_started), (QList<int> {60, 0}));
    take(*m_ticked);

    // With it: at ten seconds left the clients are told and the UPS asked for its power cycle.
    set(Settings::ShutdownUPSOff, true);
    feed(mainsFault);
    tick(50);
    QVERIFY(m_service->cancellable());
    QCOMPARE(m_dev.outputOffSeconds(), -1);
    tick();
    QCOMPARE(steps, 1);
    QVERIFY(m_service->committed() && !m_service->cancellable());
    QCOMPARE(committed.count(), 1);
    QCOMPARE(m_dev.outputOffSeconds(), 60);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("from tray menu by .* refused"));
    QVERIFY(!m_service->cancelCountdown("tray menu"));
    QCOMPARE(refused.count(), 1);

    // The mains returns: the warning goes, the countdown and the output-off go on.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Mains restored; the shutdown goes on"));
    feed(0);
    QVERIFY(!m_service->alerting());
    tick(9);
    QCOMPARE(take(*m_started), QList<int> {60});
    QCOMPARE(take(*m_ticked), countingDown(59, 0));
    QCOMPARE(m_dev.outputOffSeconds(), 60); // asked again at two seconds left
    QCOMPARE(committed.count(), 1);

    // The UPS takes it, switches off, and comes back on the mains: the end is over, and the
    // next failure is a new event.
    m_state.shutdownActive = true;
    feed(0);
    m_state.outputVoltage = 0;
    feed(0);
    QVERIFY(m_service->committed());
    m_state.shutdownActive = false;
    m_state.outputVoltage = 230;
    feed(0);
    QVERIFY(!m_service->committed());
    QCOMPARE(committed.count(), 2);
    QCOMPARE(committed.last().at(0).toBool(), false);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {60});

    // Switching the protection off undoes all, the UPS's power cycle included.
    m_dev.cancelOutputOff();
    tick(51);
    QCOMPARE(m_dev.outputOffSeconds(), 60);
    set(Settings::ShutdownEnable, false);
    QCOMPARE(take(*m_started), QList<int> {0});
    QCOMPARE(m_dev.outputOffSeconds(), -1);
    QVERIFY(!m_service->committed());

    // A UPS server's FSD (this computer a secondary) ends the countdown at once; the UPS is the
    // primary's to switch off, so it is sent nothing.
    m_service->setFinalStep(ServiceShutdown::FinalStep(), 0);
    set(Settings::ShutdownEnable, true); // the failure still standing is taken over at once
    feed(0);
    QCOMPARE(take(*m_started), (QList<int> {60, 0}));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("forced shutdown \\(FSD\\)"));
    m_state.forcedShutdown = true;
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {1});
    QVERIFY(m_service->committed());
    tick(3);
    QCOMPARE(m_dev.outputOffSeconds(), -1);
    m_state.forcedShutdown = false;
    feed(mainsFault);
    QVERIFY(!m_service->committed());
}

// The user calls the countdown off: this one only, logged with who and where; the same failure
// does not start it again, a battery then running low does.
void TestServiceShutdown::cancelledByTheUser()
{
    QVERIFY(!m_service->cancelCountdown("countdown card")); // nothing runs
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});
    tick(5);
    QTest::ignoreMessage(QtInfoMsg,
                         QRegularExpression("Shutdown countdown cancelled by \\S+ from "
                                            "countdown card with 175 seconds left"));
    QVERIFY(m_service->cancelCountdown("countdown card"));
    QCOMPARE(take(*m_started), QList<int> {0});
    QVERIFY(m_root.settings()->flag(Settings::ShutdownEnable) && !m_service->alerting());
    feed(mainsFault);
    tick();
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(m_service->countdown(), 0);
    feed(mainsFault | battLow);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int> {10});

    // A scheduled one is called off the same way.
    QVERIFY(m_service->cancelCountdown("pop-up"));
    feed(0);
    take(*m_started);
    m_service->startShutdown(3);
    QVERIFY(m_service->cancelCountdown("tray menu"));
    QCOMPARE(take(*m_started), (QList<int> {180, 0}));
}

void TestServiceShutdown::switchedOff()
{
    feed(mainsFault);
    tick(2);
    take(*m_ticked);
    QCOMPARE(take(*m_started), QList<int> {180});

    set(Settings::ShutdownEnable, false);
    QCOMPARE(take(*m_started), QList<int> {0});
    tick(3);
    QCOMPARE(take(*m_ticked), QList<int>());
    // Data sets are not looked at while off.
    feed(0);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int>());

    // Switched on during a failure: taken over at once, and the low battery with the next
    // reading that confirms it.
    set(Settings::ShutdownEnable, true);
    QCOMPARE(take(*m_started), QList<int> {180});
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_shortened), QList<int> {10});

    // A settings import or restore that turns the protection off stops the countdown too.
    m_root.settings()->setSettings(Settings::ShutdownEnable, false);
    QCOMPARE(take(*m_started), QList<int> {0});
    tick();
    QCOMPARE(take(*m_ticked), QList<int>());
}

void TestServiceShutdown::linkLost()
{
    set(Settings::ShutdownMainFaultCap, 20);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {180});

    // A lost link empties the data set: neither a return of the mains nor an empty battery;
    // but the battery of a UPS last seen on battery may give out unseen, so the countdown is
    // the low battery's.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no longer answers"));
    UpsState lost;
    lost.link = UpsState::Link::Offline;
    lost.batteryCharge = 0;
    m_service->updateState(lost);
    tick();
    QCOMPARE(take(*m_started), QList<int>());
    QCOMPARE(take(*m_shortened), QList<int> {10});
    QCOMPARE(take(*m_ticked), QList<int> {9});

    // Back, with the mains: now it is cancelled.
    m_state.batteryCharge = 80;
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});

    // Lost while on battery with no minutes for the mains: the UPS may be gone at any moment,
    // and the low-battery countdown starts; back on battery within it, it is called off.
    set(Settings::ShutdownMainFaultTime, 0);
    feed(mainsFault);
    feed(mainsFault);
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("last seen on battery"));
    m_service->updateState(lost);
    QCOMPARE(take(*m_started), QList<int> {10});
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {0});
    m_service->updateState(lost);
    QCOMPARE(take(*m_started), QList<int> {10});
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
}

void TestServiceShutdown::scheduledShutdown()
{
    m_service->startShutdown(0);
    QCOMPARE(take(*m_started), QList<int> {10});
    m_service->startShutdown(5); // one is running
    QCOMPARE(take(*m_started), QList<int>());
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});

    // The mains coming and going does not cancel a scheduled countdown.
    feed(mainsFault);
    feed(0);
    QCOMPARE(take(*m_started), QList<int>());
    tick(9);
    QCOMPARE(take(*m_ticked), countingDown(8, 0));

    m_service->startShutdown(2);
    QCOMPARE(take(*m_started), QList<int> {120});
    // It does not depend on the master switch either; only switching it off stops
    // it.
    set(Settings::ShutdownEnable, false);
    QCOMPARE(take(*m_started), QList<int> {0});
    m_service->startShutdown(-4);
    QCOMPARE(take(*m_started), QList<int> {10});
    set(Settings::ShutdownEnable, true);
    set(Settings::ShutdownEnable, false);
}

void TestServiceShutdown::finalStep()
{
    // The step runs once, when the first UPS command is due, and holds the countdown until it
    // is done; a cancelled countdown's step no longer counts.
    int begun = 0;
    std::function<void()> finish;
    m_service->setFinalStep(
        [&](std::function<void()> done) {
            ++begun;
            finish = done;
            return false;
        },
        30);
    set(Settings::ShutdownUPSOff, true);
    m_service->startShutdown(0);
    take(*m_started);
    tick(3);
    QCOMPARE(begun, 1);
    QCOMPARE(take(*m_ticked), QList<int>());
    finish();
    tick(9);
    QCOMPARE(take(*m_ticked), countingDown(9, 1));
    QCOMPARE(begun, 1);
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {0});

    // A step that never reports holds the countdown for its time limit only.
    m_service->setFinalStep(
        [&](std::function<void()>) {
            ++begun;
            return false;
        },
        5);
    m_service->startShutdown(0);
    tick(5);
    QCOMPARE(take(*m_ticked), QList<int>());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("final step has not ended"));
    tick();
    QCOMPARE(take(*m_ticked), QList<int> {9});
    set(Settings::ShutdownEnable, false);
    m_service->setFinalStep(ServiceShutdown::FinalStep(), 0);
}

void TestServiceShutdown::settings()
{
    // Read as written by someone else (an import), when needed, hand-edited nonsense as the
    // default.
    Settings *settings = m_root.settings();
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("mainFaultCapacity=lots .*not a whole number"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("osOff=maybe .*not true or false"));
    settings->setSettings(Settings::ShutdownMainFaultTime, 9);
    settings->setSettings(Settings::ShutdownMainFaultCap, "lots");
    settings->setSettings(Settings::ShutdownOsOff, "maybe");
    m_state.batteryCharge = 1; // the default capacity cuts below 1 %
    const int before = calls();
    feed(mainsFault);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {540});
    QCOMPARE(take(*m_shortened), QList<int>());
    tick(540);
    QCOMPARE(calls(), before); // no power-off
    feed(0);
    take(*m_started);
    take(*m_ticked);

    // Protection on with nothing set for the end (the defaults): said, not hidden.
    QSignalSpy end(m_service, &ServiceShutdown::endDoesNothingChanged);
    QVERIFY(m_service->endDoesNothing());
    set(Settings::ShutdownUPSOff, true);
    QVERIFY(!m_service->endDoesNothing());
    set(Settings::ShutdownUPSOff, false);
    set(Settings::ShutdownEnable, false);
    QVERIFY(!m_service->endDoesNothing());
    set(Settings::ShutdownEnable, true);
    QCOMPARE(end.count(), 4);
    take(*m_started);

    // A minute count beyond reason does not overflow into a negative countdown.
    set(Settings::ShutdownMainFaultTime, INT_MAX);
    feed(mainsFault);
    QVERIFY(take(*m_started).value(0) > 0);
}

void TestServiceShutdown::powerOffWhenDue()
{
    set(Settings::ShutdownOsOff, true);
    const int before = calls();
    m_service->startShutdown(0);
    tick(9);
    QCOMPARE(calls(), before);
    QVERIFY(!QFile::exists(m_root.file("/data/shutdown.log")));

    // Without a command file: at the tick that ends the countdown, once.
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 1, 2000);
    QVERIFY(powerOffAnswered());
    QCOMPARE(m_login1->calls().constLast(), QString("PowerOff false"));
    const QJsonObject log = QJsonDocument::fromJson(m_root.read("/data/shutdown.log")).object();
    QCOMPARE(log.keys(), (QStringList {"Editor", "Terminal"}));
    tick(3);
    QCOMPARE(calls(), before + 1);

    // Everything but the last step when the system is not to be shut down.
    set(Settings::ShutdownOsOff, false);
    QFile::remove(m_root.file("/data/shutdown.log"));
    m_service->startShutdown(0);
    tick(15);
    QCOMPARE(calls(), before + 1);
    QVERIFY(!QFile::exists(m_root.file("/data/shutdown.log")));
}

// The command file runs when the countdown ends; the power-off waits for it, for a minute at
// most (at once when the wait is 0 minutes).
void TestServiceShutdown::commandFile()
{
    set(Settings::ShutdownOsOff, true);
    set(Settings::ShutdownExec, true);
    int before = calls();
    m_service->startShutdown(0);
    tick(15); // the countdown is over, the command still running
    QCOMPARE(calls(), before);
    QVERIFY(letEnd(command()));
    QCOMPARE(calls(), before);
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 1, 2000);
    QVERIFY(powerOffAnswered());
    // Until the system takes the process down, each tick asks again.
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 2, 2000);
    QVERIFY(powerOffAnswered());
    before += 2;

    // A command that ends while the power-off is switched off ends the sequence: switching it
    // on later does not power off.
    set(Settings::ShutdownOsOff, false);
    m_service->startShutdown(0);
    tick(12);
    QVERIFY(letEnd(command()));
    tick();
    set(Settings::ShutdownOsOff, true);
    tick(70); // past the rest of the minute of waiting
    QCOMPARE(calls(), before);

    // Nor does one that outlived its wait and ends after the switch went on.
    QFile::remove(m_go);
    set(Settings::ShutdownOsOff, false);
    m_service->startShutdown(0);
    tick(10);
    CommandFileRun *run = command();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("has not ended in time \\(60 s\\)"));
    tick(60);
    QVERIFY(run && run->isRunning());
    set(Settings::ShutdownOsOff, true);
    QVERIFY(letEnd(run));
    tick(3);
    QCOMPARE(calls(), before);

    // A command that never ends: the power-off goes on after the minute.
    QFile::remove(m_go);
    m_service->startShutdown(0);
    tick(10); // the countdown ends, the command starts, the minute of waiting begins
    tick(58);
    QCOMPARE(calls(), before);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("has not ended in time"));
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 1, 2000);
    QVERIFY(powerOffAnswered());
    tick(3);
    QCOMPARE(calls(), before + 1);

    // A wait of 0 minutes goes on at once rather than never; the new countdown's command
    // replaces the old one, which is left to end on its own.
    set(Settings::ShutdownExecTime, 0);
    m_service->startShutdown(0);
    tick(9);
    QCOMPARE(calls(), before + 1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("has not ended in time"));
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 2, 2000);
    QVERIFY(powerOffAnswered());
    before += 2;
    QVERIFY(letEnd(command()));
    set(Settings::ShutdownExecTime, 1);

    // The mains returns while the command of a battery-low countdown runs: a command ending
    // after that powers nothing off.
    QFile::remove(m_go);
    set(Settings::ShutdownEnable, false);
    set(Settings::ShutdownEnable, true);
    m_started->clear();
    feed(mainsFault | battLow);
    feed(mainsFault | battLow);
    QCOMPARE(take(*m_started), QList<int> {180});
    QCOMPARE(m_service->countdown(), 10);
    tick(12);
    run = command();
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
    QVERIFY(letEnd(run));
    tick(70);
    QCOMPARE(calls(), before);
}

// Refused, nobody to ask, or no answer at all: the user hears of it once per countdown, and a
// login manager that never answers holds up neither the countdown nor the poll.
void TestServiceShutdown::powerOffRefused()
{
    PrivateBus bus;
    Login1Service refusing(bus.address(), Login1Service::Refuse);
    QVERIFY(refusing.isReady());
    qputenv("QUELTA_LOGIN1_BUS", bus.address().toUtf8());

    QSignalSpy failed(m_service, &ServiceShutdown::shutdownFailed);
    set(Settings::ShutdownOsOff, true);
    set(Settings::ShutdownExec, true);
    m_service->startShutdown(0);
    tick(10);
    QVERIFY(letEnd(command()));
    for (int attempt = 1; attempt <= 2; ++attempt) {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("refused by the system \\(polkit\\)"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("was not shut down"));
        tick();
        QTRY_COMPARE_WITH_TIMEOUT(refusing.calls().size(), attempt, 2000);
        QVERIFY(powerOffAnswered());
    }
    // The user hears of it once, not at every new attempt.
    QCOMPARE(failed.count(), 1);
    QVERIFY(failed.takeFirst().at(0).toString().contains("the system refused to power it off"));

    // Switching off stops the attempts.
    set(Settings::ShutdownEnable, false);
    tick(2);
    QCOMPARE(refusing.calls().size(), 2);

    // A failure's countdown whose power-off was refused commits nothing: the mains returning
    // ends it, and the next outage is an ordinary one that the user may call off and the mains
    // calls off.
    set(Settings::ShutdownExec, false);
    set(Settings::ShutdownMainFaultTime, 1);
    take(*m_started);
    set(Settings::ShutdownEnable, true);
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {60});
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused by the system \\(polkit\\)"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("was not shut down"));
    tick(60);
    QTRY_COMPARE_WITH_TIMEOUT(refusing.calls().size(), 3, 2000);
    QVERIFY(powerOffAnswered());
    QCOMPARE(failed.count(), 1);
    failed.clear();
    QVERIFY(!m_service->committed());
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
    feed(mainsFault);
    QCOMPARE(take(*m_started), QList<int> {60});
    QVERIFY(m_service->cancellable());
    tick(4);
    feed(0);
    QCOMPARE(take(*m_started), QList<int> {0});
    set(Settings::ShutdownEnable, false);
    set(Settings::ShutdownExec, true);

    // A login manager that never answers: the ticks go on while the call stands (here as fast
    // as a timer can drive them), none asks again, and the failure is told once the call ends
    // unanswered (the manager leaves the bus).
    PrivateBus silentBus;
    auto silent = std::make_unique<Login1Service>(silentBus.address(), Login1Service::Hang);
    QVERIFY(silent->isReady());
    qputenv("QUELTA_LOGIN1_BUS", silentBus.address().toUtf8());
    set(Settings::ShutdownEnable, true);
    m_service->startShutdown(0);
    tick(10);
    QVERIFY(letEnd(command()));
    tick();
    QCOMPARE(failed.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(silent->calls().size(), 1, 2000);
    int ticks = 0;
    QTimer driver;
    connect(&driver, &QTimer::timeout, this, [&] {
        ++ticks;
        tick();
    });
    driver.start(2);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 50, 5000);
    driver.stop();
    QCOMPARE(silent->calls().size(), 1);
    QCOMPARE(failed.count(), 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Power-off failed.*NoReply"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("was not shut down"));
    silent.reset();
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
    QVERIFY(failed.takeFirst().at(0).toString().contains("the power-off request failed"));
    set(Settings::ShutdownEnable, false);
    set(Settings::ShutdownExec, false);

    // Nobody owns the login manager's name: logged, the log is still written.
    PrivateBus empty;
    qputenv("QUELTA_LOGIN1_BUS", empty.address().toUtf8());
    set(Settings::ShutdownEnable, true);
    m_service->startShutdown(0);
    tick(9);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no login manager"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("was not shut down"));
    tick();
    QVERIFY(QFile::exists(m_root.file("/data/shutdown.log")));
    // A new countdown, a new failure to tell.
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
    QVERIFY(failed.takeFirst().at(0).toString().contains("offers no way to power it off"));

    qputenv("QUELTA_LOGIN1_BUS", m_bus.address().toUtf8());
}

void TestServiceShutdown::shutdownLog()
{
    m_service->writeShutdownLog();
    const QByteArray text = m_root.read("/data/shutdown.log");
    QVERIFY(text.contains("\n    \"Editor\": [\n        \"report.odt\",\n")); // indented
    const QJsonDocument document = QJsonDocument::fromJson(text);
    QCOMPARE(document.toVariant(),
             QVariant(QVariantMap {{"Editor", QStringList {"report.odt", "notes.txt"}},
                                   {"Terminal", QStringList {"backup running"}}}));

    // The next start shows it.
    TreeModelShutdown model;
    QSignalSpy loaded(&model, &TreeModelShutdown::loaded);
    QVERIFY(model.isLoaded() || loaded.wait(10000));
    QCOMPARE(model.index(1, 0, model.index(0, 0)).data(258).toString(), QString("notes.txt"));

    // A log that cannot be replaced is skipped with a warning; the old one is left alone.
    QFile::remove(m_root.file("/data/shutdown.log"));
    QVERIFY(QDir().mkpath(m_root.file("/data/shutdown.log")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot write the shutdown log"));
    m_service->writeShutdownLog();
    QVERIFY(QFileInfo(m_root.file("/data/shutdown.log")).isDir());
    QVERIFY(QDir(m_root.file("/data/shutdown.log")).removeRecursively());
}

void TestServiceShutdown::programEndsWhileCommandRuns()
{
    set(Settings::ShutdownExec, true);
    QPointer<CommandFileRun> run;
    {
        ServiceShutdown ending(m_root.settings(), &m_dev);
        ending.start();
        ending.startShutdown(0);
        for (int i = 0; i < 10; ++i)
            ending.onTimerTimeout();
        run = ending.findChild<CommandFileRun *>();
        QVERIFY(run && run->isRunning());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("left to end on its own"));
    }
    QVERIFY(run && run->isRunning());
    QVERIFY(letEnd(run));
    QTRY_VERIFY_WITH_TIMEOUT(!run, 2000);
}

void TestServiceShutdown::quotedPathWaitedFor()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("my scripts"));
    const QString script = dir.filePath("my scripts/save all.sh");
    const QString out = dir.filePath("args.txt");
    const QString go = dir.filePath("go");
    QVERIFY(TestRoot::writeFile(script, "#!/bin/sh\nprintf '%s|' \"$@\" > \"" + out.toUtf8() +
                                    "\"\necho lots of output\nwhile [ ! -e \"" + go.toUtf8() +
                                    "\" ]; do sleep 0.02; done\nexit 3\n"));
    QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));

    const QString command = '"' + script + "\" \"first arg\" second \"\" 'x";
    CommandFileRun run(command);
    QSignalSpy ended(&run, &CommandFileRun::ended);
    run.start();
    // Started with its arguments, and followed: the run lasts as long as the script does.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 5000);
    QVERIFY(run.isRunning());
    QFile(go).open(QIODevice::WriteOnly);
    QVERIFY(ended.wait(5000));
    QVERIFY(!run.isRunning());

    QCOMPARE(TestRoot::readFile(out), QByteArray("first arg|second|'x|"));
    const QString log = takeLog();
    QVERIFY(log.contains("Execute command file: " + command));
    QVERIFY2(log.contains("has ended, exit code 3"), qPrintable(log));
}

void TestServiceShutdown::commandThatCannotStart()
{
    const QList<QPair<QString, QString>> cases = {
        {"/no/such/dir/shutdown.sh --now", "cannot be started"},
        {QUELTA_SOURCE_DIR "/CMakeLists.txt", "cannot be started"}, // not executable
        {QString(), "empty"},
        {"   ", "empty"}};
    for (const auto &c : cases) {
        takeLog();
        // The run ends at once, so the shutdown is not held up, and is told after start().
        CommandFileRun run(c.first);
        QSignalSpy ended(&run, &CommandFileRun::ended);
        run.start();
        QCOMPARE(ended.count(), 0);
        QVERIFY(ended.wait(5000));
        QCOMPARE(ended.count(), 1);
        const QString log = takeLog();
        QVERIFY2(log.contains(c.second), qPrintable(log));
    }
}

void TestServiceShutdown::logTreeTopLevel()
{
    struct Case
    {
        bool present;
        QByteArray text;
        QStringList apps;
        QString warning;
    };
    const QString unreadable = QStringLiteral("Cannot read the shutdown log");
    const QList<Case> cases = {
        {false, QByteArray(), {}, QString()},
        {true, QByteArray(), {}, unreadable},
        {true, "{\"Editor\": [\"a\"", {}, unreadable},
        {true, QByteArray("\x00\xff\xfe{", 4), {}, unreadable},
        {true, "[\"Editor\", [\"a\"]]", {}, "holds no object"},
        {true, "{}", {}, QString()},
        {true, R"({"b": ["1"], "a": ["2"], "C": []})", {"C", "a", "b"}, QString()},
        {true, R"({"n": [1, null, "x", {"a": 1}], "o": "t"})", {"n", "o"}, "not text"},
    };
    for (const Case &c : cases) {
        QFile::remove(m_root.file("/data/shutdown.log"));
        takeLog();
        if (c.present)
            writeLog(c.text);
        TreeModelShutdown model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(waitForLoad(model));
        QStringList seen;
        for (int row = 0; row < model.rowCount(); ++row)
            seen << model.index(row, 0).data(TreeModelShutdown::AppRole).toString();
        QCOMPARE(seen, c.apps);
        QCOMPARE(model.columnCount(), 2);
        const QString logged = takeLog(QtWarningMsg);
        QVERIFY2(c.warning.isEmpty() ? logged.isEmpty() : logged.contains(c.warning),
                 qPrintable(logged));
    }
}

void TestServiceShutdown::logTreeEntries()
{
    writeLog(R"({
    "Zeta": ["z1"],
    "Alpha": ["first", "second", "third"],
    "Empty": [],
    "Beta": [42, "kept"]
})");
    TreeModelShutdown model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(waitForLoad(model));
    QCOMPARE(model.rowCount(), 4);
    const QModelIndex alpha = model.index(0, 0);
    QCOMPARE(alpha.data(257).toString(), QString("Alpha"));
    QCOMPARE(alpha.data(258).toString(), QString());
    QCOMPARE(model.rowCount(alpha), 3);
    QCOMPARE(model.index(2, 0, alpha).data(258).toString(), QString("third"));
    QCOMPARE(model.rowCount(model.index(0, 1)), 0); // only column 0 has children
    QCOMPARE(model.rowCount(model.index(2, 0)), 0); // "Empty"

    // The parent row is the application's, whatever the window's own row; a number shows as
    // no text.
    const QModelIndex beta = model.index(1, 0);
    const QModelIndex kept = model.index(1, 1, beta);
    QCOMPARE(kept.data(257).toString(), QString());
    QCOMPARE(kept.data(258).toString(), QString("kept"));
    QCOMPARE(model.index(0, 1, beta).data(258).toString(), QString());
    QCOMPARE(model.parent(kept), beta);
    QCOMPARE(model.parent(kept).row(), 1);
}

void TestServiceShutdown::largeLog()
{
    // Four megabytes of titles, indented as the service writes them: the log is read off the
    // thread that made the model, only its first megabyte, and the log says what was skipped.
    QJsonObject classes;
    for (int i = 0; i < 34000; ++i)
        classes.insert(QString("Class%1").arg(i, 6, 10, QChar('0')),
                       QJsonArray {QString("Window %1 of a long working day").arg(i),
                                   QString("Another window \"quoted\" of %1").arg(i)});
    const QByteArray text = QJsonDocument(classes).toJson(QJsonDocument::Indented);
    QVERIFY(text.size() > 4000000);
    writeLog(text);
    takeLog();
    TreeModelShutdown model;
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(waitForLoad(model));
    const int rows = model.rowCount();
    QVERIFY2(rows > 5000 && rows < 10000, qPrintable(QString::number(rows)));
    for (int row = 0; row < rows; ++row) {
        const QModelIndex app = model.index(row, 0);
        QCOMPARE(app.data(TreeModelShutdown::AppRole).toString(),
                 QString("Class%1").arg(row, 6, 10, QChar('0')));
        // The last class may have been cut after its first title.
        QCOMPARE(model.rowCount(app), row + 1 < rows ? 2 : model.rowCount(app));
    }
    const QString logged = takeLog(QtWarningMsg);
    QVERIFY2(logged.contains(
                 QString("holds %1 bytes; only the first 1048576 are read").arg(text.size())),
             qPrintable(logged));
    QVERIFY(logged.contains(QString("the other %1 bytes are skipped").arg(text.size() - 1048576)));

    // Where the first megabyte may end, and what is kept of it.
    const QList<QPair<QByteArray, QByteArray>> cuts = {
        {R"({"a": ["x", "y)", R"({"a": ["x"]})"},
        {R"({"a": ["x"], "b": ["y", "z\")", R"({"a": ["x"], "b": ["y"]})"},
        {R"({"a": ["x"], "b": ["y", "z\"")", R"({"a": ["x"], "b": ["y", "z\""]})"},
        {R"({"a": ["x"], "b)", R"({"a": ["x"]})"},
        {R"({"a": ["x"], "b": [)", R"({"a": ["x"]})"},
        {R"({"a": [], "b": "not a list")", R"({"a": []})"},
        {R"({"a)", ""},
    };
    for (const auto &cut : cuts)
        QCOMPARE(ShutdownLogReader::closeCut(cut.first), cut.second);
}

QTEST_GUILESS_MAIN(TestServiceShutdown)
#include "tst_serviceshutdown.moc"
