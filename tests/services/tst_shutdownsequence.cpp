// The end of a countdown: the command file, the shutdown log and the power-off
// request, seen by a login manager on a private bus and by a virtual X display.
#include "devcomm.h"
#include "login1service.h"
#include "privatebus.h"
#include "serviceshutdown.h"
#include "shutdowntask.h"
#include "testroot.h"
#include "testwindows.h"
#include "treemodelshutdown.h"
#include "upsstate.h"
#include "xvfbdisplay.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <memory>

class TestShutdownSequence : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void powerOffWhenDue();
    void commandEndsEarly();
    void commandNeverEnds();
    void cancelledCommandEndsLater();
    void powerOffRefused();
    void shutdownLog();
    void programEndsWhileCommandRuns();

private:
    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            m_service->onTimerTimeout();
    }
    int calls() { return m_login1->calls().size(); }
    // The command the running countdown started, told to end.
    void letCommandEnd()
    {
        ShutDownTask *task = m_service->findChild<ShutDownTask *>();
        QVERIFY(task);
        QSignalSpy finished(task, &QThread::finished);
        QFile(m_go).open(QIODevice::WriteOnly);
        QVERIFY(task->isFinished() || finished.wait(5000));
        QCoreApplication::processEvents(); // the service hears of it on its own
                                           // thread
    }

    TestRoot m_root;
    QTemporaryDir m_scripts;
    QString m_go;
    QString m_waitCommand;
    PrivateBus m_bus;
    std::unique_ptr<Login1Service> m_login1;
    std::unique_ptr<XvfbDisplay> m_display;
    std::unique_ptr<TestWindows> m_windows;
    std::unique_ptr<DevComm> m_dev;
    std::unique_ptr<ServiceShutdown> m_shutdown;
    ServiceShutdown *m_service = nullptr;
};

void TestShutdownSequence::initTestCase()
{
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
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nwhile [ ! -e \"$1\" ]; do sleep 0.02; done\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
    m_go = m_scripts.filePath("go");
    m_waitCommand = '"' + script + "\" " + m_go;

    m_dev = std::make_unique<DevComm>(m_root.settings());
    m_shutdown = std::make_unique<ServiceShutdown>(m_root.settings(), m_dev.get());
    m_service = m_shutdown.get();
    m_service->start();
}

void TestShutdownSequence::init()
{
    m_service->setQueltaOffEnable(false); // cancels what the last case left
    m_service->setQueltaOffEnable(true);
    m_service->setMainFaultOffTime(1);
    m_service->setBattLowOffTime(0);
    m_service->setUpsOffEnable(false);
    m_service->setExecEnable(0);
    m_service->setExecTime(1);
    m_service->setExecFile(m_waitCommand);
    m_service->setOsOffEnable(true);
    QFile::remove(m_go);
    QFile::remove(m_root.file("/data/shutdown.log"));
    m_login1->calls();
}

void TestShutdownSequence::cleanupTestCase()
{
    // A command still waiting for its go ends now.
    QFile(m_go).open(QIODevice::WriteOnly);
    m_service->setQueltaOffEnable(false);
}

void TestShutdownSequence::powerOffWhenDue()
{
    const int before = calls();
    m_service->startShutdown(0);
    tick(9);
    QCOMPARE(calls(), before);
    QVERIFY(!QFile::exists(m_root.file("/data/shutdown.log")));

    // Without a command file: at the tick that ends the countdown, once.
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 1, 2000);
    QCOMPARE(m_login1->calls().constLast(), QString("PowerOff false"));
    const QJsonObject log = QJsonDocument::fromJson(m_root.read("/data/shutdown.log")).object();
    QCOMPARE(log.keys(), (QStringList {"Editor", "Terminal"}));
    tick(3);
    QCOMPARE(calls(), before + 1);

    // Everything but the last step when the system is not to be shut down.
    m_service->setOsOffEnable(false);
    QFile::remove(m_root.file("/data/shutdown.log"));
    m_service->startShutdown(0);
    tick(15);
    QCOMPARE(calls(), before + 1);
    QVERIFY(!QFile::exists(m_root.file("/data/shutdown.log")));
}

void TestShutdownSequence::commandEndsEarly()
{
    const int before = calls();
    m_service->setExecEnable(1);
    m_service->startShutdown(0);
    tick(15); // the countdown is over, the command still running
    QCOMPARE(calls(), before);
    letCommandEnd();
    QCOMPARE(calls(), before);
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 1, 2000);
    // Until the system takes the process down, each tick asks again.
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 2, 2000);

    // A command that ends while the power-off is switched off ends the sequence: switching it
    // on later does not power off.
    m_service->setOsOffEnable(false);
    m_service->startShutdown(0);
    tick(12);
    letCommandEnd();
    tick();
    m_service->setOsOffEnable(true);
    tick(70); // past the rest of the minute of waiting
    QCOMPARE(calls(), before + 2);

    // Nor does one that outlived its wait and ends after the switch went on.
    QFile::remove(m_go);
    m_service->setOsOffEnable(false);
    m_service->startShutdown(0);
    tick(10);
    ShutDownTask *task = m_service->findChild<ShutDownTask *>();
    QVERIFY(task);
    QSignalSpy finished(task, &QThread::finished);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("has not ended in time"));
    tick(60);
    QVERIFY(!task->isFinished());
    m_service->setOsOffEnable(true);
    QFile(m_go).open(QIODevice::WriteOnly);
    QVERIFY(finished.wait(5000));
    QCoreApplication::processEvents();
    tick(3);
    QCOMPARE(calls(), before + 2);
}

void TestShutdownSequence::commandNeverEnds()
{
    const int before = calls();
    m_service->setExecEnable(1);
    m_service->startShutdown(0);
    tick(10); // the countdown ends, the command starts, the minute of waiting begins
    tick(58);
    QCOMPARE(calls(), before);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("has not ended in time"));
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 1, 2000);
    tick(3);
    QCOMPARE(calls(), before + 1);

    // A wait of 0 minutes goes on at once rather than never; the new countdown's command
    // replaces the old one, which is left to end on its own.
    m_service->setExecTime(0);
    m_service->startShutdown(0);
    tick(9);
    QCOMPARE(calls(), before + 1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("has not ended in time"));
    tick();
    QTRY_COMPARE_WITH_TIMEOUT(calls(), before + 2, 2000);
}

void TestShutdownSequence::cancelledCommandEndsLater()
{
    const int before = calls();
    QSignalSpy started(m_service, &ServiceShutdown::shutdownStarted);
    m_service->setExecEnable(1);
    UpsState state;
    state.link = UpsState::Link::Online;
    state.batteryCharge = 100;
    state.setStatusByte(0x03); // mains failed, battery low
    m_service->updateState(state);
    QCOMPARE(started.takeFirst().at(0).toInt(), 10);
    tick(12);

    // The mains returns while the command runs.
    ShutDownTask *task = m_service->findChild<ShutDownTask *>();
    QVERIFY(task);
    QSignalSpy finished(task, &QThread::finished);
    state.setStatusByte(0);
    m_service->updateState(state);
    QCOMPARE(started.takeFirst().at(0).toInt(), 0);

    QFile(m_go).open(QIODevice::WriteOnly);
    QVERIFY(finished.wait(5000));
    QCoreApplication::processEvents();
    tick(70);
    QCOMPARE(calls(), before);
}

void TestShutdownSequence::powerOffRefused()
{
    PrivateBus bus;
    Login1Service refusing(bus.address(), Login1Service::Refuse);
    QVERIFY(refusing.isReady());
    qputenv("QUELTA_LOGIN1_BUS", bus.address().toUtf8());

    QSignalSpy failed(m_service, &ServiceShutdown::shutdownFailed);
    m_service->setExecEnable(1);
    m_service->startShutdown(0);
    tick(10);
    letCommandEnd();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("refused by the system \\(polkit\\)"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("was not shut down"));
        tick();
        QTRY_COMPARE_WITH_TIMEOUT(refusing.calls().size(), attempt, 2000);
    }
    // The user hears of it once, not at every new attempt.
    QCOMPARE(failed.count(), 1);
    QVERIFY(failed.takeFirst().at(0).toString().contains("the system refused to power it off"));

    // Switching off stops the attempts.
    m_service->setQueltaOffEnable(false);
    tick(2);
    QCOMPARE(refusing.calls().size(), 2);
    m_service->setExecEnable(0);

    // Nobody owns the login manager's name: logged, the log is still written.
    PrivateBus empty;
    qputenv("QUELTA_LOGIN1_BUS", empty.address().toUtf8());
    m_service->setQueltaOffEnable(true);
    m_service->startShutdown(0);
    tick(9);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no login manager"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("was not shut down"));
    tick();
    QVERIFY(QFile::exists(m_root.file("/data/shutdown.log")));
    // A new countdown, a new failure to tell.
    QCOMPARE(failed.count(), 1);
    QVERIFY(failed.takeFirst().at(0).toString().contains("offers no way to power it off"));

    qputenv("QUELTA_LOGIN1_BUS", m_bus.address().toUtf8());
}

void TestShutdownSequence::shutdownLog()
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

    // A log that cannot be replaced is skipped with a warning; the old one is
    // left alone.
    QFile::remove(m_root.file("/data/shutdown.log"));
    QVERIFY(QDir().mkpath(m_root.file("/data/shutdown.log")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot write the shutdown log"));
    m_service->writeShutdownLog();
    QVERIFY(QFileInfo(m_root.file("/data/shutdown.log")).isDir());
    QVERIFY(QDir(m_root.file("/data/shutdown.log")).removeRecursively());
}

void TestShutdownSequence::programEndsWhileCommandRuns()
{
    m_service->setExecEnable(1);
    QPointer<ShutDownTask> task;
    {
        ServiceShutdown ending(m_root.settings(), m_dev.get());
        ending.start();
        ending.startShutdown(0);
        for (int i = 0; i < 10; ++i)
            ending.onTimerTimeout();
        task = ending.findChild<ShutDownTask *>();
        QVERIFY(task && task->isRunning());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("left to end on its own"));
    }
    QVERIFY(task && task->isRunning());
    QSignalSpy finished(task.data(), &QThread::finished);
    QFile(m_go).open(QIODevice::WriteOnly);
    QVERIFY(task->isFinished() || finished.wait(5000));
    QTRY_VERIFY_WITH_TIMEOUT(!task, 2000);
}

QTEST_GUILESS_MAIN(TestShutdownSequence)
#include "tst_shutdownsequence.moc"
