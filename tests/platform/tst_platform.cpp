// The platform layer against the real thing: the crash record of a process that dies under the
// handler, an XDG autostart entry read back by GLib as the session would, the open windows of a
// virtual X server, and the power-off request to a login manager on a private bus.
#include "login1service.h"
#include "logrecorder.h"
#include "platform.h"
#include "privatebus.h"
#include "pythonscript.h"
#include "testroot.h"
#include "testwindows.h"
#include "xvfbdisplay.h"

#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

Q_DECLARE_METATYPE(platform::PowerOffResult)

namespace {

std::wstring w(const QString &text)
{
    return text.toStdWString();
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv("QUELTA_LOGIN1_BUS"); }
    void crashLeavesARecordInTheGivenFolder();
    void autostartEntry();
    void noticesWithoutASessionBus();
    void windowsOfAnXServer();
    void powerOff_data();
    void powerOff();
    void helpersDieWithAKilledTest();
};

// The test program runs itself a second time with "crash" to die under the handler, which
// writes into the folder it was given, or the working directory when that folder is gone. The
// name is the local time of the crash.
void TestPlatform::crashLeavesARecordInTheGivenFolder()
{
    for (const QString &how : {QStringLiteral("segv"), QStringLiteral("abort"),
                               QStringLiteral("no folder")}) {
        QTemporaryDir cwd, folder;
        QProcess child;
        child.setWorkingDirectory(cwd.path());
        const QString target = how == "no folder" ? folder.filePath("gone") : folder.path();
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        child.start(QCoreApplication::applicationFilePath(), {"crash", how, target});
        QVERIFY(child.waitForFinished(10000));
        // The default action still ends the process the way it would have ended.
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QString landed = how == "no folder" ? cwd.path() : folder.path();
        const QStringList dumps = QDir(landed).entryList({"*.dmp"}, QDir::Files);
        QCOMPARE(dumps.size(), 1);
        const QDateTime named =
            QDateTime::fromString(dumps.first().chopped(4), QStringLiteral("yyyyMMddhhmmss"));
        QVERIFY2(named >= before && named <= QDateTime::currentDateTime(),
                 qPrintable(dumps.first()));
        const QByteArray text = TestRoot::readFile(QDir(landed).filePath(dumps.first()));
        const int signal = how == "abort" ? SIGABRT : SIGSEGV;
        QVERIFY2(text.startsWith("signal " + QByteArray::number(signal)), text.constData());
        QVERIFY(text.contains("backtrace:"));
    }
}

// A service has no session bus: each notice is refused at once, and the log says why once.
void TestPlatform::noticesWithoutASessionBus()
{
    qputenv("QUELTA_NOTIFY_BUS", "unix:path=/nonexistent/quelta-test-bus");
    LogRecorder::install();
    int unavailable = 0;
    for (int i = 0; i < 3; ++i)
        platform::showNotification(
            {L"Mains failure", L"On battery", true, 0, {}},
            [&unavailable](platform::NotificationResult result, unsigned int) {
                unavailable += result == platform::NotificationResult::Unavailable;
            });
    qunsetenv("QUELTA_NOTIFY_BUS");
    QCOMPARE(unavailable, 3);
    QCOMPARE(LogRecorder::take().filter("No session bus for desktop notifications").size(), 1);
}

void TestPlatform::autostartEntry()
{
    QTemporaryDir dir;
    const QString config = dir.filePath("config"); // not made yet: the first write makes it
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    const QString entry = config + "/autostart/quelta.desktop";
    QVERIFY(!platform::startsWithDesktop());

    // Every character the entry format reserves, in a program path and in an argument.
    const std::vector<std::wstring> command = {L"/opt/my tools/quelta", L"--home",
                                               L"/srv/ups \"a\" $HOME `x` \\ 100% ;&|*?#()'<>~"};
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("switched on"));
    QVERIFY(platform::setStartWithDesktop(true, command));
    QVERIFY(platform::startsWithDesktop());
    const QJsonObject read = PythonScript::runJson("desktop_entry.py", {entry}).object();
    QJsonArray expected;
    for (const std::wstring &argument : command)
        expected.append(QString::fromStdWString(argument));
    QCOMPARE(read.value("argv").toArray(), expected);
    QCOMPARE(read.value("validate").toString(), QString());

    // Switched off in the desktop's own settings.
    QVERIFY(TestRoot::writeFile(entry, "Hidden=true\n", QIODevice::Append));
    QVERIFY(!platform::startsWithDesktop());

    for (int i = 0; i < 2; ++i) { // the second time nothing is left to remove
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("switched off"));
        QVERIFY(platform::setStartWithDesktop(false, command));
        QVERIFY(!QFile::exists(entry));
    }

    // A configuration folder that cannot hold the entry: told, not pretended.
    QFile blocker(dir.filePath("plain-file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot write the autostart entry"));
    QVERIFY(!platform::setStartWithDesktop(true, command));
    QVERIFY(!platform::startsWithDesktop());
}

void TestPlatform::windowsOfAnXServer()
{
    qunsetenv("DISPLAY");
    QVERIFY(platform::openWindows().empty());
    qputenv("DISPLAY", ":4093"); // nothing listens there
    QVERIFY(platform::openWindows().empty());

    XvfbDisplay display;
    QVERIFY(display.isRunning());
    TestWindows painter(display.name());
    QVERIFY(painter.isConnected());
    qputenv("DISPLAY", display.name().toLatin1());
    QVERIFY(platform::openWindows().empty()); // a bare server has none

    const auto wmClass = TestWindows::wmClass;
    const QString accented = QString::fromUtf8("Résumé.txt – Editor");
    const xcb_window_t first =
        painter.create(wmClass("editor", "Editor"), accented.toUtf8(), "ignored WM_NAME");
    // Latin-1 WM_NAME when there is no _NET_WM_NAME.
    const xcb_window_t second = painter.create(wmClass("editor", "Editor"), {}, "caf\xe9");
    painter.create(wmClass("term", "Term"), {}, {}); // no title
    painter.create({}, "no class", {}); // no class
    const xcb_window_t hidden = painter.create(wmClass("x", "Hidden"), "hidden", {}, false);
    const QByteArray longClass(300, 'C');
    const QString longTitle = QString(600, QChar(0x4e2d)); // multi-byte in UTF-8
    const xcb_window_t long1 = painter.create(wmClass("l", longClass), longTitle.toUtf8(), {});

    // No window manager: the mapped children of the root, in stacking order.
    const platform::WindowList::value_type editor = {w("Editor"),
                                                     {w(accented), w(QString::fromUtf8("café"))}};
    const platform::WindowList::value_type cut = {w(QString(255, 'C')),
                                                  {w(QString(511, QChar(0x4e2d)))}};
    QCOMPARE(platform::openWindows(), (platform::WindowList {editor, cut}));

    // With a window manager: only its client list counts, in its order; unmapped ones stay out.
    painter.publishClientList({second, hidden, first});
    QCOMPARE(platform::openWindows(),
             (platform::WindowList {{w("Editor"), {w(QString::fromUtf8("café")), w(accented)}}}));

    // A client that is gone meanwhile is skipped.
    painter.publishClientList({0x7ffffff, long1});
    QCOMPARE(platform::openWindows(), (platform::WindowList {cut}));

    // A window manager with no clients.
    painter.publishClientList({});
    QVERIFY(platform::openWindows().empty());
}

void TestPlatform::powerOff_data()
{
    QTest::addColumn<int>("mode"); // -1: nobody owns the name, -2: no bus at all
    QTest::addColumn<platform::PowerOffResult>("expected");
    QTest::addColumn<QString>("logged");

    QTest::newRow("accepted") << int(Login1Service::Accept) << platform::PowerOffResult::Requested
                              << "accepted by the login manager";
    QTest::newRow("polkit says no")
        << int(Login1Service::Refuse) << platform::PowerOffResult::Refused << "refused .*polkit";
    QTest::newRow("other error") << int(Login1Service::Fail) << platform::PowerOffResult::Failed
                                 << "failed.*OperationInProgress";
    QTest::newRow("no logind") << -1 << platform::PowerOffResult::Unavailable << "no login manager";
    QTest::newRow("no bus") << -2 << platform::PowerOffResult::Unavailable
                            << "cannot reach the system bus";
}

// Never interactive: at that moment nobody may be there to type a password. A second call
// opens a fresh connection and asks again.
void TestPlatform::powerOff()
{
    QFETCH(int, mode);
    QFETCH(platform::PowerOffResult, expected);
    QFETCH(QString, logged);

    PrivateBus bus;
    QVERIFY(bus.isRunning());
    std::unique_ptr<Login1Service> service;
    if (mode >= 0) {
        service.reset(new Login1Service(bus.address(), Login1Service::Mode(mode)));
        QVERIFY(service->isReady());
    }
    qputenv("QUELTA_LOGIN1_BUS",
            mode == -2 ? QByteArray("unix:path=/nonexistent/no-such-bus") : bus.address().toUtf8());
    for (int call = 1; call <= 2; ++call) {
        QTest::ignoreMessage(expected == platform::PowerOffResult::Requested ? QtInfoMsg
                                                                             : QtWarningMsg,
                             QRegularExpression(logged));
        std::optional<platform::PowerOffResult> result;
        platform::powerOff([&result](platform::PowerOffResult r) { result = r; });
        QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 5000);
        QCOMPARE(*result, expected);
        if (service) {
            QTRY_COMPARE_WITH_TIMEOUT(service->calls(),
                                      QVector<QString>(call, "PowerOff false").toList(), 2000);
        }
    }
}

// A test killed outright takes its helpers with it, so nothing is left holding the pipes of
// whoever ran it: the test program runs itself with "helpers", which starts a bus and a login1
// stand-in, prints their process ids and waits.
void TestPlatform::helpersDieWithAKilledTest()
{
    QProcess test;
    test.start(QCoreApplication::applicationFilePath(), {"helpers"});
    while (!test.canReadLine() && test.waitForReadyRead(20000)) { }
    const QStringList pids = QString::fromLatin1(test.readLine()).trimmed().split(' ');
    const auto alive = [](const QString &pid) {
        QFile stat("/proc/" + pid + "/stat");
        const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        return !text.isEmpty() && text.mid(text.lastIndexOf(')') + 2, 1) != "Z";
    };
    QCOMPARE(pids.size(), 2);
    for (const QString &pid : pids)
        QVERIFY2(alive(pid), qPrintable(pid));
    ::kill(pid_t(test.processId()), SIGKILL);
    QVERIFY(test.waitForFinished(10000));
    for (const QString &pid : pids)
        QTRY_VERIFY2_WITH_TIMEOUT(!alive(pid), qPrintable(pid), 10000);
}

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "helpers") == 0) {
        QCoreApplication app(argc, argv);
        PrivateBus bus;
        Login1Service service(bus.address(), Login1Service::Accept);
        std::printf("%lld %lld\n", bus.processId(), service.processId());
        std::fflush(stdout);
        return app.exec();
    }
    if (argc == 4 && qstrcmp(argv[1], "crash") == 0) {
        platform::installCrashHandler(QString::fromLocal8Bit(argv[3]).toStdWString());
        if (qstrcmp(argv[2], "abort") == 0)
            abort();
        raise(SIGSEGV);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
