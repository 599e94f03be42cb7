// ctest-needs: program
#include "login1service.h"
#include "privatebus.h"
#include "upssimprocess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

// The built program, started as a user would, each in a temporary root.
namespace {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QByteArray logText(const QString &root)
{
    QByteArray all;
    for (const QFileInfo &info : QDir(root + "/log").entryInfoList({"*.txt"}, QDir::Files)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
    return all;
}

class Program
{
public:
    explicit Program(const QString &root)
        : Program(QStringLiteral(QUELTA_BIN_DIR "/quelta"), {{"QUELTA_HOME", root}},
                  QDir(root).exists() ? root : QDir::tempPath())
    {
    }
    // Without QUELTA_HOME unless the environment names it. An unprivileged start runs in a user
    // namespace of its own, where folder permissions hold even for the owner of the test.
    Program(const QString &program, const QMap<QString, QString> &extra, const QString &cwd,
            bool unprivileged = false)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QUELTA_HOME");
        for (auto it = extra.begin(); it != extra.end(); ++it)
            env.insert(it.key(), it.value());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_QUICK_BACKEND", "software");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(cwd);
        if (unprivileged)
            process.start("unshare", {"--user", program});
        else
            process.start(program, QStringList());
    }
    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

bool isReady(const QString &root)
{
    return logText(root).contains("Window shown; monitoring");
}

// The program as a service manager or a remote shell starts it: no display of any kind and no
// Qt platform chosen.
void startBare(QProcess &process, const QStringList &arguments,
               const QMap<QString, QString> &extra = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QUELTA_HOME", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    for (auto it = extra.begin(); it != extra.end(); ++it)
        env.insert(it.key(), it.value());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUELTA_BIN_DIR "/quelta"), arguments);
}

// Rows of a table of the database under `root`, read through a connection of the test's own.
QVariant queryValue(const QString &root, const QString &statement)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "probe");
        db.setDatabaseName(root + "/data/quelta.db");
        db.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000");
        QSqlQuery query(db);
        if (db.open() && query.exec(statement) && query.next())
            value = query.value(0);
    }
    QSqlDatabase::removeDatabase("probe");
    return value;
}

// The status file's fields: time, operating mode, communication lost, ...
QList<QByteArray> statusFields(const QString &root)
{
    QFile file(root + "/log/output/upsstatus.txt");
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().split(',')
                                          : QList<QByteArray>();
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void secondStartShowsTheFirst();
    void staleGuardDoesNotStopAStart();
    void damagedDataIsSurvived();
    void rootFollowsTheProgramFolder();
    void commandLine_data();
    void commandLine();
    void headless();
    void nutUserFromTheCommandLine();
    void signalsEndInOrder_data();
    void signalsEndInOrder();
};

void TestProgram::secondStartShowsTheFirst()
{
    QTemporaryDir root, otherRoot;
    Program first(root.path());
    QTRY_VERIFY_WITH_TIMEOUT(isReady(root.path()), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(root.path() + "/data/quelta.db"), 5000);
    for (const char *folder : {"/log", "/cfg", "/data", "/data/self_test", "/log/output"})
        QVERIFY2(QFileInfo(root.path() + folder).isDir(), folder);
    QVERIFY(QFile::exists(root.path() + "/cfg/config.cfg"));
    QVERIFY(QFile::exists(root.path() + "/cfg/usb.cfg")); // seeded from the shipped default

    const QByteArray config = fileHash(root.path() + "/cfg/config.cfg");
    const QByteArray database = fileHash(root.path() + "/data/quelta.db");
    const QDateTime configTime = QFileInfo(root.path() + "/cfg/config.cfg").lastModified();

    Program second(root.path());
    QVERIFY(second.process.waitForFinished(10000));
    QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        logText(root.path()).contains("Window shown at the request of a second start"), 5000);
    QCOMPARE(fileHash(root.path() + "/cfg/config.cfg"), config);
    QCOMPARE(QFileInfo(root.path() + "/cfg/config.cfg").lastModified(), configTime);
    QCOMPARE(fileHash(root.path() + "/data/quelta.db"), database);
    QCOMPARE(logText(root.path()).count("starting in"), 1);

    // Another root is another program: both run side by side. A root that does not exist yet
    // is made, so settings and history live there from the first start.
    const QString fresh = otherRoot.path() + "/portable/quelta";
    Program other(fresh);
    QTRY_VERIFY_WITH_TIMEOUT(isReady(fresh), 15000);
    QVERIFY(QFile::exists(fresh + "/cfg/config.cfg"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fresh + "/data/quelta.db"), 5000);
    QVERIFY(!other.process.waitForFinished(500));
    QCOMPARE(first.process.state(), QProcess::Running);
}

void TestProgram::staleGuardDoesNotStopAStart()
{
    QTemporaryDir root;
    {
        Program crashed(root.path());
        QTRY_VERIFY_WITH_TIMEOUT(isReady(root.path()), 15000);
        ::kill(static_cast<pid_t>(crashed.process.processId()), SIGKILL); // leaves its guard
        QVERIFY(crashed.process.waitForFinished(5000));
    }
    Program next(root.path());
    QTRY_VERIFY_WITH_TIMEOUT(logText(root.path()).count("Window shown; monitoring") == 2, 15000);
    QVERIFY(!next.process.waitForFinished(500));
}

void TestProgram::damagedDataIsSurvived()
{
    // A database file that is not one, and a "/data" that is a plain file (nothing can be
    // opened or made under it): the program logs it, runs on, and leaves the bytes as they were.
    const struct
    {
        const char *damaged;
        const char *logged;
    } cases[] = {{"/data/quelta.db", "History cannot be stored: the database file is damaged"},
                 {"/data", "History cannot be stored: the database file cannot be opened"}};
    for (const auto &c : cases) {
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.path() + "/data"));
        const QString path = root.path() + c.damaged;
        if (QFileInfo(path).isDir())
            QVERIFY(QDir(path).removeRecursively());
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(8192, '\x5a'));
        damaged.close();
        const QByteArray before = fileHash(path);

        Program program(root.path());
        QTRY_VERIFY_WITH_TIMEOUT(isReady(root.path()), 15000);
        QVERIFY2(logText(root.path()).contains(c.logged), c.damaged);
        QVERIFY(!program.process.waitForFinished(500));
        QCOMPARE(fileHash(path), before);
    }
}

void TestProgram::rootFollowsTheProgramFolder()
{
    // Without QUELTA_HOME: the program's own folder when it may write there (a portable copy),
    // else the per-user data folder (an installed copy).
    QTemporaryDir base;
    const QString userData = base.path() + "/share";
    const QMap<QString, QString> env = {{"XDG_DATA_HOME", userData}};
    const QString portable = base.path() + "/portable";
    const QString installed = base.path() + "/installed";
    for (const QString &folder : {portable, installed}) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(QUELTA_BIN_DIR "/quelta", folder + "/quelta"));
    }
    {
        Program program(portable + "/quelta", env, base.path());
        QTRY_VERIFY_WITH_TIMEOUT(isReady(portable), 15000);
        QVERIFY(QFile::exists(portable + "/cfg/config.cfg"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(portable + "/data/quelta.db"), 5000);
    }
    QVERIFY(!QDir(userData).exists());

    const bool privileged = ::getuid() == 0;
    if (privileged && QProcess::execute("unshare", {"--user", "true"}) != 0)
        QSKIP("No user namespace to start the program unprivileged in");
    QVERIFY(QFile::setPermissions(installed, QFile::ReadOwner | QFile::ExeOwner));
    Program program(installed + "/quelta", env, base.path(), privileged);
    const QString perUser = userData + "/ORVAK/QUELTA";
    QTRY_VERIFY_WITH_TIMEOUT(isReady(perUser), 15000);
    QVERIFY(QFile::exists(perUser + "/cfg/config.cfg"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(perUser + "/data/quelta.db"), 5000);
    QCOMPARE(QDir(installed).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"quelta"}));
    QFile::setPermissions(installed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestProgram::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("help") << QStringList {"--help"} << 0 << "--headless.*--home <DIR>"
                          << "";
    QTest::newRow("help, short") << QStringList {"-h"} << 0 << "QUELTA_HOME"
                                 << "";
    QTest::newRow("version") << QStringList {"--version"} << 0 << "^quelta v1\\.0\\.12\n$"
                             << "";
    // Restarted by a session manager: its option is Qt's and no mistake.
    QTest::newRow("session restart")
        << QStringList {"-session", "10a1b2", "--version"} << 0 << "1\\.0\\.12"
        << "";
    QTest::newRow("unknown option")
        << QStringList {"--headles"} << 2 << ""
        << "^quelta: Unknown option 'headles'\\.\nTry 'quelta --help' for the options\\.\n$";
    QTest::newRow("argument") << QStringList {"now"} << 2 << ""
                              << "Unexpected argument 'now'";
    QTest::newRow("role alone") << QStringList {"--role", "admin"} << 2 << ""
                                << "--role goes with --nut-user add";
    QTest::newRow("home without folder") << QStringList {"--headless", "--home"} << 2 << ""
                                         << "Missing value after '--home'";
}

// None of these needs a display, and none touches a program folder.
void TestProgram::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QTemporaryDir cwd;
    QProcess process;
    process.setWorkingDirectory(cwd.path());
    startBare(process, arguments, {{"QUELTA_HOME", cwd.path() + "/home"}});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty()
                           : QRegularExpression(out, QRegularExpression::DotMatchesEverythingOption)
                                 .match(stdOut)
                                 .hasMatch(),
             qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : QRegularExpression(err).match(stdErr).hasMatch(),
             qPrintable(stdErr));
    QVERIFY(!QFileInfo::exists(cwd.path() + "/home"));
}

// Everything but the window, with no display at all: a mains failure reaches the alarm table
// and the status file, a spent battery powers the machine off through the login manager, and
// a SIGTERM ends it all in order.
void TestProgram::headless()
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/home"; // made by --home, like QUELTA_HOME
    const QString tmp = dir.path() + "/tmp"; // where the single-instance guard goes
    QVERIFY(QDir().mkpath(root + "/cfg") && QDir().mkpath(tmp));
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    Login1Service login1(bus.address(), Login1Service::Accept);
    QVERIFY(login1.isReady());
    QFile config(root + "/cfg/config.cfg");
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QString("[ups]\ncommType=1\ncomPort=%1\n"
                         "[shutdown]\nenable=true\nmainFaultTime=1\nbattLowTime=0\nosOff=true\n")
                     .arg(sim.portPath())
                     .toUtf8());
    config.close();

    QProcess program;
    startBare(program, {"--headless", "--home", root},
              {{"TMPDIR", tmp}, {"QUELTA_LOGIN1_BUS", bus.address()}});
    QTRY_VERIFY_WITH_TIMEOUT(statusFields(root).value(2) == "0", 15000); // the UPS answers
    QVERIFY(logText(root).contains("Running without a window; monitoring"));
    QVERIFY(QFile::exists(root + "/cfg/usb.cfg"));

    QCOMPARE(sim.command("mains fail"), QString("ok"));
    QTRY_VERIFY_WITH_TIMEOUT(
        queryValue(root, "select count(*) from alarm where alarm = 2").toInt() == 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(statusFields(root).value(1), QByteArray("2"), 10000);
    // The battery is spent: the countdown shortens to its last ten seconds.
    QCOMPARE(sim.command("lowbatt on"), QString("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(login1.calls(), QStringList {"PowerOff false"}, 30000);
    QVERIFY(QFile::exists(root + "/data/shutdown.log")); // no display: no windows listed

    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(15000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList());
    QCOMPARE(queryValue(root, "pragma integrity_check").toString(), QString("ok"));
    QCOMPARE(queryValue(root, "select count(*) from alarm where alarm = 2").toInt(), 1);
    const QByteArray err = program.readAllStandardError();
    QVERIFY2(err.contains("Information: Running without a window; monitoring\n") &&
                 err.contains("Quelta ends with exit code 0"),
             err.constData());
}

// Accounts managed without a display, the password from standard input and only its hash on
// disk, while nothing else of the program starts.
void TestProgram::nutUserFromTheCommandLine()
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/home";
    const auto run = [&](const QStringList &arguments, const QByteArray &input, QString *out,
                         QString *err) {
        QProcess process;
        startBare(process, QStringList {"--home", root} + arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(15000))
            return -1;
        *out = QString::fromLocal8Bit(process.readAllStandardOutput());
        *err = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitCode();
    };
    QString out, err;
    QCOMPARE(run({"--nut-user", "add", "monuser", "--role", "admin"}, "s3cret!\n", &out, &err), 0);
    QCOMPARE(out, QString("Account monuser added (admin).\n"));
    QCOMPARE(run({"--nut-user", "list"}, {}, &out, &err), 0);
    QCOMPARE(out, QString("monuser admin\n"));
    QCOMPARE(run({"--nut-user", "add", "x"}, "pw\n", &out, &err), 2);
    QFile config(root + "/cfg/config.cfg");
    QVERIFY(config.open(QIODevice::ReadOnly));
    const QByteArray text = config.readAll();
    QVERIFY2(text.contains("monuser") && !text.contains("s3cret"), text.constData());
    QCOMPARE(run({"--nut-user", "remove", "monuser"}, {}, &out, &err), 0);
    QCOMPARE(run({"--nut-user", "list"}, {}, &out, &err), 0);
    QCOMPARE(out, QString());
    QVERIFY(QDir(root + "/log").entryList(QDir::Files).isEmpty());
    QVERIFY(!QFile::exists(root + "/data/quelta.db"));
}

void TestProgram::signalsEndInOrder_data()
{
    QTest::addColumn<bool>("window");
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("window, SIGTERM") << true << int(SIGTERM);
    QTest::newRow("window, SIGHUP") << true << int(SIGHUP);
    QTest::newRow("headless, SIGINT") << false << int(SIGINT);
}

// Stopped by the service manager, Ctrl+C or the end of the session: the link closed, the
// guard gone, exit code 0, window or not.
void TestProgram::signalsEndInOrder()
{
    QFETCH(bool, window);
    QFETCH(int, signalNumber);

    QTemporaryDir root, tmp;
    QProcess program;
    QMap<QString, QString> env = {{"QUELTA_HOME", root.path()}, {"TMPDIR", tmp.path()}};
    if (window) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_QUICK_BACKEND", "software");
    }
    startBare(program, window ? QStringList() : QStringList {"--headless"}, env);
    QTRY_VERIFY_WITH_TIMEOUT(logText(root.path()).contains("; monitoring"), 15000);
    const QStringList guard = {"quelta-*"}; // the lock file and the socket
    QCOMPARE(QDir(tmp.path()).entryList(guard, QDir::AllEntries | QDir::System).size(), 2);
    ::kill(static_cast<pid_t>(program.processId()), signalNumber);
    QVERIFY(program.waitForFinished(15000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QDir(tmp.path()).entryList(guard, QDir::AllEntries | QDir::System), QStringList());
    QVERIFY(logText(root.path()).contains("Quelta ends with exit code 0"));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
