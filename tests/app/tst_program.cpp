// ctest-needs: program
#include "configcommand.h"
#include "recordprobe.h"
#include "settingkeys.h"
#include "settings.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QtTest>

#include <csignal>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

// The built program, started as a user would, each in a temporary root.
namespace {

QByteArray fileHash(const QString &path)
{
    return QCryptographicHash::hash(TestRoot::readFile(path), QCryptographicHash::Sha256);
}

QByteArray logText(const QString &root)
{
    QByteArray all;
    for (const QFileInfo &info : QDir(root + "/log").entryInfoList({"*.txt"}, QDir::Files))
        all += TestRoot::readFile(info.filePath());
    return all;
}

// The built program as a user, a service manager or a remote shell starts it: no
// QUELTA_HOME, no display of any kind and no Qt platform unless `env` names them; `window`
// shows its window offscreen. An unprivileged start runs in a user namespace of its own, where
// folder permissions hold even for the owner of the test.
class Program : public QProcess
{
public:
    Program(const QStringList &arguments, const QMap<QString, QString> &env, bool window = true,
            const QString &program = QStringLiteral(QUELTA_BIN_DIR "/quelta"),
            const QString &cwd = QDir::tempPath(), bool unprivileged = false,
            const QString &errorFile = QString())
    {
        QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QUELTA_HOME", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            all.remove(name);
        if (window) {
            all.insert("QT_QPA_PLATFORM", "offscreen");
            all.insert("QT_QUICK_BACKEND", "software");
        }
        for (auto it = env.begin(); it != env.end(); ++it)
            all.insert(it.key(), it.value());
        setProcessEnvironment(all);
        setWorkingDirectory(cwd);
        if (!errorFile.isEmpty())
            setStandardErrorFile(errorFile, QIODevice::Append);
        if (unprivileged)
            start("unshare", QStringList {"--user", program} + arguments);
        else
            start(program, arguments);
    }
    // The guard's socket goes to `tmp`, its lock file into the root.
    Program(const QString &root, const QString &tmp)
        : Program({}, {{"QUELTA_HOME", root}, {"TMPDIR", tmp}})
    {
    }
    ~Program() override
    {
        if (state() != QProcess::NotRunning) {
            QProcess::kill();
            waitForFinished(5000);
        }
    }
    void signal(int number) { ::kill(static_cast<pid_t>(processId()), number); }
};

bool isReady(const QString &root)
{
    return logText(root).contains("Window shown; monitoring");
}

// A value from the database under `root`.
QVariant queryValue(const QString &root, const QString &statement)
{
    return RecordProbe::sqlValueIn(root + "/data/quelta.db", statement);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void oneProgramPerRoot();
    void unusableDataFolderIsSurvived();
    void rootFollowsTheProgramFolder();
    void commandLine_data();
    void commandLine();
    void headless_data();
    void headless();
    void configAndStatus();
    void rootOnAnotherUsersFolder();
    void refusalsWordedByTheKeyTable();
};

// A second start in a root shows the first and changes nothing, and one that cannot reach it
// (another temporary folder, as a service has) ends; another root is another program; the
// guard of one that crashed does not stop the next start, and its crash record lands beside
// its logs. Stopped by the service manager or the end of the session (SIGTERM, SIGHUP): the
// guard gone, exit code 0. With no USB UPS (the default link) the log says once what was tried.
void TestProgram::oneProgramPerRoot()
{
    QTemporaryDir root, otherRoot, tmp, otherTmp;
    const auto guards = [](const QString &folder) {
        return int(QFileInfo::exists(folder + "/quelta.sock")) +
            int(QFileInfo::exists(folder + "/quelta.lock"));
    };
    auto first = std::make_unique<Program>(root.path(), tmp.path());
    QTRY_VERIFY_WITH_TIMEOUT(isReady(root.path()), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(root.path() + "/data/quelta.db"), 5000);
    for (const char *folder : {"/log", "/cfg", "/data", "/data/self_test", "/log/output"})
        QVERIFY2(QFileInfo(root.path() + folder).isDir(), folder);
    QVERIFY(QFile::exists(root.path() + "/cfg/config.cfg"));
    QVERIFY(QFile::exists(root.path() + "/cfg/usb.cfg")); // seeded from the shipped default

    const QByteArray config = fileHash(root.path() + "/cfg/config.cfg");
    const QByteArray database = fileHash(root.path() + "/data/quelta.db");
    const QDateTime configTime = QFileInfo(root.path() + "/cfg/config.cfg").lastModified();

    // The socket is in the root: a start under another temporary folder (a service has a
    // private one) reaches the first too.
    Program second(root.path(), otherTmp.path());
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        logText(root.path()).contains("Window shown at the request of a second start"), 5000);
    QVERIFY(QFile::remove(root.path() + "/quelta.sock"));
    Program unreachable(root.path(), tmp.path());
    QVERIFY(unreachable.waitForFinished(10000));
    QCOMPARE(unreachable.exitCode(), 1);
    QVERIFY(logText(root.path()).contains(
        QString("Quelta already runs on the program folder %1 (process %2) and cannot be reached")
            .arg(root.path())
            .arg(first->processId())
            .toUtf8()));
    QCOMPARE(fileHash(root.path() + "/cfg/config.cfg"), config);
    QCOMPARE(QFileInfo(root.path() + "/cfg/config.cfg").lastModified(), configTime);
    QCOMPARE(fileHash(root.path() + "/data/quelta.db"), database);
    QCOMPARE(logText(root.path()).count("starting in"), 1);
    QCOMPARE(logText(root.path()).count("No USB UPS found: tried the ids 0665:5161, "), 1);

    // Another root is another program: both run side by side. A root that does not exist yet
    // is made, so settings and history live there from the first start.
    const QString fresh = otherRoot.path() + "/portable/quelta";
    Program other(fresh, tmp.path());
    QTRY_VERIFY_WITH_TIMEOUT(isReady(fresh), 15000);
    QVERIFY(QFile::exists(fresh + "/cfg/config.cfg"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fresh + "/data/quelta.db"), 5000);
    QCOMPARE(first->state(), QProcess::Running);

    first->signal(SIGSEGV); // leaves its guard
    QVERIFY(first->waitForFinished(5000));
    QCOMPARE(first->exitStatus(), QProcess::CrashExit);
    const QStringList dumps = QDir(root.path() + "/log").entryList({"*.dmp"}, QDir::Files);
    QCOMPARE(dumps.size(), 1);
    QVERIFY(QFile(root.path() + "/log/" + dumps.first()).size() > 0);
    Program next(root.path(), tmp.path());
    QTRY_VERIFY_WITH_TIMEOUT(logText(root.path()).count("Window shown; monitoring") == 2, 15000);
    QVERIFY(!next.waitForFinished(500));
    QCOMPARE(other.state(), QProcess::Running);

    QCOMPARE(guards(root.path()) + guards(fresh), 4);
    next.signal(SIGTERM);
    other.signal(SIGHUP);
    for (Program *program : {&next, &other}) {
        QVERIFY(program->waitForFinished(15000));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 0);
    }
    QCOMPARE(guards(root.path()) + guards(fresh), 0);
    QVERIFY(QDir(tmp.path()).entryList({"quelta-*"}, QDir::AllEntries | QDir::System).isEmpty());
    QVERIFY(logText(root.path()).contains("Quelta ends with exit code 0"));
    QVERIFY(logText(fresh).contains("Quelta ends with exit code 0"));
}

// A "/data" that is a plain file (nothing can be opened or made under it): the program logs it,
// runs on, and leaves the bytes as they were. (A damaged database file is the history notice's
// suite.)
void TestProgram::unusableDataFolderIsSurvived()
{
    QTemporaryDir root;
    const QString damaged = root.path() + "/data";
    QVERIFY(TestRoot::writeFile(damaged, QByteArray(8192, '\x5a')));
    const QByteArray before = fileHash(damaged);

    Program program({}, {{"QUELTA_HOME", root.path()}});
    QTRY_VERIFY_WITH_TIMEOUT(isReady(root.path()), 15000);
    const QByteArray log = logText(root.path());
    QVERIFY(log.contains("History cannot be stored: the database file cannot be opened"));
    // What cannot read the database says why, not that a table is missing.
    QVERIFY(log.contains("Cannot read the recipient list: the database " + root.path().toUtf8() +
                         "/data/quelta.db cannot be opened"));
    QVERIFY(!log.contains("Unable to find table"));
    QVERIFY(!program.waitForFinished(500));
    QCOMPARE(fileHash(damaged), before);
}

void TestProgram::rootFollowsTheProgramFolder()
{
    // Without QUELTA_HOME: the program's own folder when it may write there (a portable copy),
    // else the per-user data folder: for a copy in a read-only folder, and for an installed one
    // (share/quelta beside its bin folder) even where it could write, as root can in /usr.
    QTemporaryDir base;
    const QString userData = base.path() + "/share";
    const QString perUser = userData + "/ORVAK/QUELTA";
    const QMap<QString, QString> env = {{"XDG_DATA_HOME", userData}};
    const QString portable = base.path() + "/portable";
    const QString prefix = base.path() + "/usr-like";
    const QString readOnly = base.path() + "/read-only";
    for (const QString &folder : {portable, prefix + "/bin", readOnly}) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(QUELTA_BIN_DIR "/quelta", folder + "/quelta"));
    }
    QVERIFY(QDir().mkpath(prefix + "/share/quelta"));
    QVERIFY(QFile::copy(QUELTA_BIN_DIR "/usb.cfg", prefix + "/share/quelta/usb.cfg"));
    {
        Program program({}, env, true, portable + "/quelta", base.path());
        QTRY_VERIFY_WITH_TIMEOUT(isReady(portable), 15000);
        QVERIFY(QFile::exists(portable + "/cfg/config.cfg"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(portable + "/data/quelta.db"), 5000);
    }
    QVERIFY(!QDir(userData).exists());
    {
        Program program({}, env, true, prefix + "/bin/quelta", base.path());
        QTRY_VERIFY_WITH_TIMEOUT(isReady(perUser), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(perUser + "/data/quelta.db"), 5000);
        QCOMPARE(QDir(prefix + "/bin").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"quelta"}));
    }
    QVERIFY(QDir(userData).removeRecursively());

    const bool privileged = ::getuid() == 0;
    if (privileged && QProcess::execute("unshare", {"--user", "true"}) != 0)
        QSKIP("No user namespace to start the program unprivileged in");
    QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
    Program program({}, env, true, readOnly + "/quelta", base.path(), privileged);
    QTRY_VERIFY_WITH_TIMEOUT(isReady(perUser), 15000);
    QVERIFY(QFile::exists(perUser + "/cfg/config.cfg"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(perUser + "/data/quelta.db"), 5000);
    QCOMPARE(QDir(readOnly).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"quelta"}));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestProgram::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("program");

    QTest::newRow("help") << QStringList {"--help"} << 0 << "--headless.*--home <DIR>"
                          << "" << "quelta";
    QTest::newRow("help, short") << QStringList {"-h"} << 0 << "QUELTA_HOME"
                                 << "" << "quelta";
    QTest::newRow("version") << QStringList {"--version"} << 0 << "^quelta v1\\.0\\.12\n$"
                             << "" << "quelta";
    // Restarted by a session manager: its option is Qt's and no mistake.
    QTest::newRow("session restart")
        << QStringList {"-session", "10a1b2", "--version"} << 0 << "1\\.0\\.12"
        << "" << "quelta";
    QTest::newRow("unknown option")
        << QStringList {"--headles"} << 2 << ""
        << "^quelta: Unknown option 'headles'\\.\nTry 'quelta --help' for the options\\.\n$" << "quelta";
    QTest::newRow("argument") << QStringList {"now"} << 2 << ""
                              << "Unexpected argument 'now'" << "quelta";
    QTest::newRow("role alone") << QStringList {"--role", "admin"} << 2 << ""
                                << "--role goes with --nut-user add" << "quelta";
    QTest::newRow("home without folder") << QStringList {"--headless", "--home"} << 2 << ""
                                         << "Missing value after '--home'" << "quelta";
    QTest::newRow("json alone") << QStringList {"--json"} << 2 << ""
                                << "--json goes with status" << "quelta";
    QTest::newRow("status and more") << QStringList {"status", "ups"} << 2 << ""
                                     << "Unexpected argument 'ups'" << "quelta";
    // The words of a command are checked before anything is read or made.
    QTest::newRow("config without action") << QStringList {"config"} << 2 << ""
                                           << "^Use config list, config get KEY" << "quelta";
    QTest::newRow("service: version") << QStringList {"--version"} << 0
                                      << "^queltad v1\\.0\\.12\n$"
                                      << "" << "queltad";
    QTest::newRow("service: the same options")
        << QStringList {"--help"} << 0 << "--headless.*--home <DIR>.*--nut-user.*--json.*status"
        << "" << "queltad";
    QTest::newRow("service: mistake")
        << QStringList {"--window"} << 2 << ""
        << "^queltad: Unknown option 'window'\\.\nTry 'queltad --help' for the options\\.\n$"
        << "queltad";
}

// None of these needs a display, and none touches a program folder.
void TestProgram::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, program);

    QTemporaryDir cwd;
    Program process(arguments, {{"QUELTA_HOME", cwd.path() + "/home"}}, false,
                    QUELTA_BIN_DIR "/" + program);
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

void TestProgram::headless_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("the service program") << "queltad" << QStringList {};
    QTest::newRow("the desktop program without its window") << "quelta"
                                                            << QStringList {"--headless"};
}

// Everything but the window, with no display at all: a mains failure reaches the alarm table
// and the status file, and a SIGINT (Ctrl+C) ends it all in order. (The power-off through the
// login manager is the network link's suite, with the same service graph in process; the
// shutdown log without a display is the full-disk suite's.)
void TestProgram::headless()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    const QString root = dir.path() + "/home"; // made by --home, like QUELTA_HOME
    const QString tmp = dir.path() + "/tmp";
    QVERIFY(QDir().mkpath(root + "/cfg") && QDir().mkpath(tmp));
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    QVERIFY(TestRoot::writeFile(
        root + "/cfg/config.cfg",
        QString("[ups]\ncommType=1\ncomPort=%1\n").arg(sim.portPath()).toUtf8()));

    // Started by the service manager: standard error is the journal, which keeps its own time.
    const QString journal = dir.path() + "/journal";
    QFile stream(journal);
    QVERIFY(stream.open(QIODevice::WriteOnly));
    stream.close();
    struct stat node;
    QCOMPARE(::stat(QFile::encodeName(journal).constData(), &node), 0);
    const QString journalStream = QString("%1:%2").arg(node.st_dev).arg(node.st_ino);
    Program process(arguments + QStringList {"--home", root},
                    {{"TMPDIR", tmp}, {"JOURNAL_STREAM", journalStream}}, false,
                    QUELTA_BIN_DIR "/" + program, QDir::tempPath(), false, journal);
    // The UPS answers.
    QTRY_VERIFY_WITH_TIMEOUT(TestRoot::statusFields(root).value(2) == "0", 15000);
    QVERIFY(logText(root).contains("Running without a window; monitoring"));
    QVERIFY(QFile::exists(root + "/cfg/usb.cfg"));
    // The polling thread goes ahead of the machine's work where it may; what it starts does not.
    const auto pid = pid_t(process.processId());
    if (::geteuid() == 0) {
        QVERIFY(logText(root).contains("The poll runs at real-time priority"));
        QCOMPARE(::sched_getscheduler(pid), SCHED_FIFO | SCHED_RESET_ON_FORK);
        const QStringList tasks = QDir(QString("/proc/%1/task").arg(pid))
                                      .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY(tasks.size() > 1);
        for (const QString &task : tasks) {
            if (task.toInt() != pid)
                QCOMPARE(::sched_getscheduler(task.toInt()), SCHED_OTHER);
        }
    } else {
        QVERIFY(logText(root).contains("The poll runs at normal priority: "));
    }
    // Watching maps no library of a face it does not show: libcurl comes with the first mail,
    // libmicrohttpd with the web page, OpenSSL (as Qt loads it) with the network server, the SNMP
    // agent library with the UPS MIB, D-Bus with the first desktop notice or power-off.
    const QByteArray mapped = TestRoot::readFile(QString("/proc/%1/maps").arg(process.processId()));
    QVERIFY(!mapped.isEmpty());
    for (const char *library :
         {"libcurl", "libmicrohttpd", "libgnutls", "libssl", "libnetsnmp", "libdbus-1"})
        QVERIFY2(!mapped.contains(library), library);

    QVERIFY(sim.run({"mains fail"}));
    QTRY_VERIFY_WITH_TIMEOUT(
        queryValue(root, "select count(*) from alarm where alarm = 2").toInt() == 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(TestRoot::statusFields(root).value(1), QByteArray("2"), 10000);

    QVERIFY(QFileInfo::exists(root + "/quelta.sock"));
    // A second start on the running folder says so and fails.
    Program second(arguments + QStringList {"--home", root}, {{"TMPDIR", tmp}}, false,
                   QUELTA_BIN_DIR "/" + program, QDir::tempPath(), false, dir.path() + "/second");
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 1);
    QVERIFY2(TestRoot::readFile(dir.path() + "/second")
                 .contains(QString("Quelta already runs on the program folder %1 "
                                   "(process %2); this start ends")
                               .arg(root)
                               .arg(process.processId())
                               .toUtf8()),
             "no word of the running program");
    process.signal(SIGINT);
    QVERIFY(process.waitForFinished(15000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(root + "/quelta.sock") && !QFile::exists(root + "/quelta.lock"));
    QVERIFY(QDir(tmp).isEmpty());
    QCOMPARE(queryValue(root, "pragma integrity_check").toString(), QString("ok"));
    QCOMPARE(queryValue(root, "select count(*) from alarm where alarm = 2").toInt(), 1);
    QVERIFY(stream.open(QIODevice::ReadOnly));
    const QByteArray err = stream.readAll();
    QVERIFY2(err.contains("\n<6>Information: Running without a window; monitoring\n") &&
                 err.contains("<6>Information: Quelta ends with exit code 0\n") &&
                 !err.contains("[20"),
             err.constData());
    // The daily log keeps its time stamps, one line per entry.
    QVERIFY(QRegularExpression("^\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] "
                               "Information: Quelta [^\\n]* starting in [^\\n]*\\n\\[")
                .match(logText(root))
                .hasMatch());
}

// The settings and the state of the UPS from a shell, while the service runs and while it does
// not. A running service takes a change at once (the UPS's name in the next status, the line it
// reads); a key that does not exist, a value the key cannot hold and a password on the command
// line are refused with exit status 2; a password from standard input is stored obscured; status
// answers in words and as upsc lists the variables, with the exit codes monitoring plugins read.
void TestProgram::configAndStatus()
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/home";
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    QString out, err;
    const auto run = [&](const QStringList &arguments, const QByteArray &input = {}) {
        Program process(QStringList {"--home", root} + arguments, {}, false,
                        QUELTA_BIN_DIR "/queltad");
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(15000))
            return -1;
        out = QString::fromLocal8Bit(process.readAllStandardOutput());
        err = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitCode();
    };
    const auto firstLine = [&] { return out.section('\n', 0, 0); };

    QCOMPARE(run({"status"}), 3);
    QVERIFY2(err.startsWith("Quelta does not run on the program folder " + root), qPrintable(err));
    QVERIFY(out.isEmpty() && !QFileInfo::exists(root));
    // Accounts, the password from standard input and only its hash on disk, while nothing else
    // of the program starts.
    QCOMPARE(run({"--nut-user", "add", "monuser", "--role", "admin"}, "s3cret!\n"), 0);
    QCOMPARE(out, QString("Account monuser added (admin).\n"));
    QCOMPARE(run({"--nut-user", "list"}), 0);
    QCOMPARE(out, QString("monuser admin\n"));
    QCOMPARE(run({"--nut-user", "add", "x"}, "pw\n"), 2);
    const QString config = root + "/cfg/config.cfg";
    QVERIFY2(!TestRoot::readFile(config).contains("s3cret"), "the password in the file");
    QCOMPARE(run({"--nut-user", "remove", "monuser"}), 0);
    QCOMPARE(run({"--nut-user", "list"}), 0);
    QCOMPARE(out, QString());
    QVERIFY(QDir(root + "/log").entryList(QDir::Files).isEmpty());
    QVERIFY(!QFile::exists(root + "/data/quelta.db"));
    QCOMPARE(run({"config", "set", "ups/commType", "1"}), 0);
    QCOMPARE(run({"config", "set", "ups/comPort", sim.portPath()}), 0);
    const QList<QPair<QStringList, QString>> refused = {
        {{"config", "set", "shutdown/mainFaultCapacity", "150"},
         "shutdown/mainFaultCapacity takes a whole number from 0 to 100, not '150'."},
        {{"config", "set", "shutdown/enable", "maybe"},
         "shutdown/enable takes true or false, not 'maybe'."},
        {{"config", "set", "email/encrypt", "3"}, "email/encrypt takes one of 0, 1, 2, not '3'."},
        {{"config", "get", "shutdown/enabled"}, "There is no setting shutdown/enabled;"},
        {{"config", "set", "email/authPasswd", "s3cret"}, "email/authPasswd is a password:"},
        {{"config", "set-password", "email/userName"}, "email/userName is no password;"},
        {{"config", "set", "email/serverPort"}, "Use config list, config get KEY"},
        {{"config", "set", "web/listen", "not an address"},
         "web/listen takes IP addresses separated by commas"},
        {{"config", "set", "network/allow", "10.0.0.0/33"},
         "network/allow takes IP addresses or networks separated by commas"},
        {{"config", "set", "ups/nutHost", "nas example"},
         "ups/nutHost takes a host name or an IP address"},
        // A value that starts with a dash is read as the value.
        {{"config", "set", "email/serverPort", "-1"}, "email/serverPort takes "},
        {{"config", "set", "email/serverPort", "--", "-1"}, "email/serverPort takes "}};
    for (const auto &row : refused) {
        QCOMPARE(run(row.first), 2);
        QVERIFY2(err.startsWith(row.second), qPrintable(err));
    }
    // A password is a line of text of a sensible length; an empty one clears it.
    for (const QByteArray &bad : {QByteArray(300, 'x'), QByteArray("a\0b", 3), QByteArray("a\xff")}) {
        QCOMPARE(run({"config", "set-password", "email/authPasswd"}, bad + '\n'), 2);
        QVERIFY2(err.startsWith("A password is "), qPrintable(err));
    }
    QCOMPARE(run({"config", "set-password", "email/authPasswd"}, "\n"), 0);
    QCOMPARE(out, QString("Password email/authPasswd cleared.\n"));
    QCOMPARE(run({"config", "set-password", "email/authPasswd"}, "s3cret\n"), 0);
    QCOMPARE(out, QString("Password email/authPasswd set.\n"));
    QCOMPARE(run({"config", "get", "email/authPasswd"}), 0);
    QCOMPARE(out, QString("(set)\n"));
    QVERIFY(!TestRoot::readFile(config).contains("s3cret"));
    QCOMPARE(QFile::permissions(config) & (QFile::ReadGroup | QFile::ReadOther), 0);

    const QString tmp = dir.path() + "/tmp"; // a private temporary folder, as a service has
    QVERIFY(QDir().mkpath(tmp));
    Program service({"--home", root}, {{"TMPDIR", tmp}}, false, QUELTA_BIN_DIR "/queltad");
    QTRY_COMPARE_WITH_TIMEOUT(run({"status"}), 0, 15000);
    QCOMPARE(firstLine(), QString("ups: on mains"));
    QVERIFY2(out.contains("\nups.status: OL\n") && out.contains("\ninput.voltage: ") &&
                 out.contains("\nbattery.charge: 100\n"),
             qPrintable(out));
    QCOMPARE(run({"status", "--json"}), 0);
    const QJsonObject ups =
        QJsonDocument::fromJson(out.toUtf8()).object().value("ups").toArray().at(0).toObject();
    QCOMPARE(ups.value("name").toString(), QString("ups"));
    QCOMPARE(ups.value("health").toString(), QString("on-mains"));
    QCOMPARE(ups.value("variables").toObject().value("ups.status").toString(), QString("OL"));

    QVERIFY(sim.run({"mains fail"}));
    QTRY_COMPARE_WITH_TIMEOUT(run({"status"}), 1, 10000);
    QCOMPARE(firstLine(), QString("ups: on battery"));
    QVERIFY(sim.run({"lowbatt on"}));
    QTRY_COMPARE_WITH_TIMEOUT(run({"status"}), 2, 10000);
    QCOMPARE(firstLine(), QString("ups: on battery, battery low"));

    // Taken at once: the name, and the line the link reads.
    QCOMPARE(run({"config", "set", "network/upsName", "house"}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(run({"status"}) == 2 && firstLine().startsWith("house: "), 5000);
    QCOMPARE(run({"config", "set", "ups/comPort", dir.path() + "/no-such-port"}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(run({"status"}), 3, 10000);
    QVERIFY2(firstLine() == QString("house: no UPS answers"), qPrintable(err));
    QCOMPARE(run({"config", "set", "ups/comPort", sim.portPath()}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(run({"status"}), 2, 10000);
    QVERIFY(logText(root).contains("was changed by another program: ups/comPort"));

    // Protection and the network server on; then the file is overwritten with junk. Nothing
    // writes over it: the commands refuse (exit 2) and say how to repair it, the running program
    // keeps the settings in force and says so in status; config check lists the lines.
    QCOMPARE(run({"config", "set", "shutdown/enable", "true"}), 0);
    QCOMPARE(run({"config", "set", "network/port", "0"}), 0);
    QCOMPARE(run({"config", "set", "network/enable", "true"}), 0);
    QCOMPARE(run({"config", "check"}), 0);
    QVERIFY2(out.endsWith("reads whole; every value is one its setting takes.\n"), qPrintable(out));
    const QByteArray good = TestRoot::readFile(root + "/cfg/config.cfg");
    QByteArray junk = good;
    junk.replace("[shutdown]\n", "[shutdown]\nexecFile=\"/opt/notify.sh\n");
    junk += QByteArray("\x01\x02\xfe=\n", 6);
    QVERIFY(TestRoot::writeFile(root + "/cfg/config.cfg", junk));
    const QByteArray damaged = fileHash(root + "/cfg/config.cfg");
    QCOMPARE(run({"config", "set", "email/userName", "x"}), 2);
    QVERIFY2(err.contains("does not read whole; nothing is written to it. Repair it: 'config "
                          "check'"),
             qPrintable(err));
    QCOMPARE(run({"config", "set-password", "email/authPasswd"}, "pw\n"), 2);
    QCOMPARE(run({"--nut-user", "add", "mon", "--role", "monitor"}, "pw\n"), 2);
    QCOMPARE(run({"--nut-user", "list"}), 2);
    QCOMPARE(run({"config", "list"}), 0);
    QVERIFY2(err.contains("does not read whole: a line that does not read shows its default") &&
                 out.contains("\nshutdown/enable=true\n") && out.contains("\nshutdown/execFile=\n"),
             qPrintable(err + out));
    QCOMPARE(fileHash(root + "/cfg/config.cfg"), damaged);
    QCOMPARE(run({"config", "check"}), 2);
    QVERIFY2(out.contains(QRegularExpression("config.cfg: line \\d+ \\(shutdown/execFile\\) does not "
                                             "read: a quote is opened and not closed\n")) &&
                 out.contains("holds bytes that are not text"),
             qPrintable(out));
    QTRY_VERIFY_WITH_TIMEOUT(run({"status"}) >= 0 && out.contains("\nsettings: The settings file "),
                             5000);
    QVERIFY2(logText(root).contains("is not taken whole"), logText(root).constData());
    QTRY_VERIFY_WITH_TIMEOUT(run({"status", "--json"}) >= 0 &&
                                 QJsonDocument::fromJson(out.toUtf8())
                                     .object()
                                     .value("settings")
                                     .toString()
                                     .contains("does not read whole"),
                             5000);
    QVERIFY(TestRoot::writeFile(root + "/cfg/config.cfg", good));
    QCOMPARE(run({"config", "check"}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(run({"status"}) >= 0 && !out.contains("\nsettings: "), 5000);
    QCOMPARE(run({"config", "get", "shutdown/enable"}), 0);
    QCOMPARE(out, QString("true\n"));

    service.signal(SIGTERM);
    QVERIFY(service.waitForFinished(15000));
    QCOMPARE(service.exitCode(), 0);
    // Without the program, a JSON document all the same, for a script's JSON reader.
    QCOMPARE(run({"status", "--json"}), 3);
    const QJsonObject none = QJsonDocument::fromJson(out.toUtf8()).object();
    QCOMPARE(none.value("health").toString(), QString("no-program"));
    QVERIFY2(none.value("ups").isArray() && none.value("ups").toArray().isEmpty(), qPrintable(out));
    // The watched list: keys of an array, its password obscured as the others.
    QCOMPARE(run({"config", "set", "watch/1/port", "0"}), 2);
    QVERIFY2(err.startsWith("watch/1/port takes a whole number from 1 to 65535"), qPrintable(err));
    QCOMPARE(run({"config", "get", "watch/0/host"}), 2);
    QCOMPARE(run({"config", "set", "watch/size", "1"}), 0);
    QCOMPARE(run({"config", "set", "watch/1/host", "nas.local"}), 0);
    QCOMPARE(run({"config", "set-password", "watch/1/password"}, "w4tch\n"), 0);
    QCOMPARE(run({"config", "get", "watch/1/ups"}), 0);
    QCOMPARE(out, QString("*\n"));
    QVERIFY(!TestRoot::readFile(config).contains("w4tch"));
    QCOMPARE(run({"config", "list"}), 0);
    QVERIFY2(out.contains("\nshutdown/supplies=local\nshutdown/minSupplies=1\n") &&
                 out.contains("\nwatch/size=1\nwatch/1/name=\nwatch/1/host=nas.local\n"
                              "watch/1/port=3493\nwatch/1/ups=*\nwatch/1/user=\n"
                              "watch/1/password=(set)\n"),
             qPrintable(out));
    QCOMPARE(run({"config", "list"}), 0);
    QVERIFY2(out.contains("\nnetwork/upsName=house\n") && out.contains("\nemail/authPasswd=(set)\n") &&
                 out.contains("\nemail/serverPort=25\n") && out.startsWith("language/auto=true\n"),
             qPrintable(out));

    // A file an editor writes in steps is read once it has been still: a set while it is written
    // keeps every line of it.
    QByteArray many = "[watch]\nsize=100\n";
    for (int i = 1; i <= 100; ++i)
        many += QString("%1\\host=10.0.0.%1\n%1\\name=ups%1\n").arg(i).toLatin1();
    {
        QFile edited(root + "/cfg/config.cfg");
        QVERIFY(edited.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered));
        const int step = many.size() / 20;
        edited.write(many.left(step));
        Program set(QStringList {"--home", root, "config", "set", "email/userName", "x"}, {},
                    false, QUELTA_BIN_DIR "/queltad");
        // A slow writer is the case: the command runs while the file is half written.
        for (int at = step; at < many.size(); at += step) {
            QTest::qWait(20);
            edited.write(many.mid(at, step));
        }
        edited.close();
        QVERIFY(set.state() == QProcess::NotRunning || set.waitForFinished(15000));
        QCOMPARE(set.exitCode(), 0);
    }
    QCOMPARE(run({"config", "get", "watch/100/host"}), 0);
    QCOMPARE(out, QString("10.0.0.100\n"));
    QCOMPARE(run({"config", "get", "email/userName"}), 0);
    QCOMPARE(out, QString("x\n"));

}

// Started by root on the folder of another user (the service's): the program runs as that user
// (its commands too), and once it stops every file in the folder is theirs, what an earlier run
// as root left there and what a command wrote included, so the service can go on storing its
// history and logging. Where root cannot become that user (an id a user namespace does not map), the start
// is refused with the command that works, and nothing is written.
void TestProgram::rootOnAnotherUsersFolder()
{
    if (::getuid() != 0)
        QSKIP("Only root starts the program on another user's folder");
    const uid_t nobody = 65534;
    const gid_t nogroup = 65534;
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                      QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const QString root = dir.path() + "/home";
    const QString tmp = dir.path() + "/tmp"; // a private temporary folder, as a service has
    QVERIFY(QDir().mkpath(root + "/cfg") && QDir().mkpath(tmp));
    QCOMPARE(::chmod(QFile::encodeName(tmp).constData(), 01777), 0);
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    QCOMPARE(::chmod(QFile::encodeName(sim.portPath()).constData(), 0666), 0);
    QVERIFY(TestRoot::writeFile(
        root + "/cfg/config.cfg",
        QString("[ups]\ncommType=1\ncomPort=%1\n").arg(sim.portPath()).toUtf8()));
    const auto start = [&] {
        return std::make_unique<Program>(QStringList {"--home", root},
                                         QMap<QString, QString> {{"TMPDIR", tmp}}, false,
                                         QUELTA_BIN_DIR "/queltad");
    };
    const auto stop = [](Program &program) {
        program.signal(SIGTERM);
        return program.waitForFinished(15000) && program.exitCode() == 0;
    };

    // Root's own run on its own folder leaves root's files.
    auto first = start();
    QTRY_VERIFY_WITH_TIMEOUT(TestRoot::statusFields(root).value(2) == "0", 15000);
    QVERIFY(stop(*first));
    QCOMPARE(::chown(QFile::encodeName(root).constData(), nobody, nogroup), 0);
    QVERIFY(QFile::remove(root + "/log/output/upsstatus.txt"));
    // What the folder's owner could have put there: a second name of a file of root's, a link
    // to a folder of root's. Neither is given away.
    const QString outside = dir.path() + "/outside";
    QVERIFY(QDir().mkpath(outside));
    const QString secret = outside + "/secret";
    QVERIFY(TestRoot::writeFile(secret, {}));
    QCOMPARE(::link(QFile::encodeName(secret).constData(),
                    QFile::encodeName(root + "/data/second-name").constData()),
             0);
    QVERIFY(QFile::link(outside, root + "/data/elsewhere"));

    auto service = start();
    QTRY_VERIFY_WITH_TIMEOUT(TestRoot::statusFields(root).value(2) == "0", 15000);
    const QByteArray ids = TestRoot::readFile(QString("/proc/%1/status").arg(service->processId()));
    QVERIFY2(ids.contains("\nUid:\t65534\t65534\t65534\t65534\n") &&
                 ids.contains("\nGid:\t65534\t65534\t65534\t65534\n"),
             ids.constData());
    QVERIFY(logText(root).contains("Started by root on the program folder of the user nobody: "
                                   "runs as that user"));
    QVERIFY(sim.run({"mains fail"}));
    QTRY_VERIFY_WITH_TIMEOUT(
        queryValue(root, "select count(*) from alarm where alarm = 2").toInt() == 1, 10000);
    Program asked({"--home", root, "status"}, {}, false, QUELTA_BIN_DIR "/queltad");
    QVERIFY(asked.waitForFinished(15000));
    QCOMPARE(asked.exitCode(), 1);
    QVERIFY(asked.readAllStandardOutput().startsWith("ups: on battery\n"));
    QVERIFY(stop(*service));
    for (const QString &path : {outside, secret})
        QCOMPARE(QFileInfo(path).ownerId(), 0u);
    QVERIFY(QFile::remove(root + "/data/second-name") && QFile::remove(root + "/data/elsewhere"));
    Program set({"--home", root, "config", "set", "network/port", "3494"}, {}, false,
                QUELTA_BIN_DIR "/queltad");
    QVERIFY(set.waitForFinished(15000));
    QCOMPARE(set.exitCode(), 0);

    QStringList foreign;
    QDirIterator walk(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    QStringList paths = {root};
    while (walk.hasNext())
        paths << walk.next();
    for (const QString &path : paths) {
        struct stat info;
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &info), 0);
        if (info.st_uid != nobody || info.st_gid != nogroup)
            foreign << path;
    }
    QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join('\n')));
    QVERIFY(paths.contains(root + "/data/quelta.db") && paths.contains(root + "/cfg/usb.cfg") &&
            paths.contains(root + "/log/output/upsstatus.txt"));

    if (QProcess::execute("unshare", {"--user", "--map-root-user", "true"}) != 0)
        QSKIP("No user namespace to be a root that cannot become the folder's owner in");
    const QByteArray log = logText(root);
    QProcess refused;
    refused.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    refused.start("unshare", {"--user", "--map-root-user", QUELTA_BIN_DIR "/queltad", "--home",
                              root, "--headless"});
    QVERIFY(refused.waitForFinished(15000));
    QCOMPARE(refused.exitCode(), 2);
    const QString err = QString::fromLocal8Bit(refused.readAllStandardError());
    QVERIFY2(err == QString("queltad: The program folder %1 belongs to the user nobody, and this "
                            "run as root cannot become that user (Operation not permitted); "
                            "nothing was written. Run it as that user: sudo -u nobody queltad "
                            "--home %1 --headless\n")
                        .arg(root),
             qPrintable(err));
    QCOMPARE(logText(root), log);
    QVERIFY(!QFileInfo::exists(root + "/quelta.lock"));
}

// Every key that refuses a value says what it takes in the same words everywhere: `config set`,
// `config check` and the log of a running program, all from the key table.
void TestProgram::refusalsWordedByTheKeyTable()
{
    const QByteArray home = qgetenv("QUELTA_HOME");
    {
        TestRoot root(TestRoot::FoldersOnly);
        const QString bad = QStringLiteral("no such value!");
        QMap<QString, QStringList> groups; // a file that gives every key the value
        QMap<QString, QString> takes; // what each key that refuses it takes
        for (const SettingKeys::Key &key : SettingKeys::all()) {
            const QString name = QString::fromLatin1(key.name);
            if (key.kind == SettingKeys::Kind::Secret || SettingKeys::check(key, bad).ok)
                continue;
            takes.insert(name, SettingKeys::takes(key));
            QVERIFY2(!takes[name].isEmpty() && takes[name] == SettingKeys::takes(key, true),
                     key.name);
            groups[name.section('/', 0, 0)] << name.section('/', 1) + '=' + bad;
            QString in, out, err;
            QTextStream inStream(&in), outStream(&out), errStream(&err);
            QCOMPARE(ConfigCommand::run({"set", name, bad}, inStream, outStream, errStream),
                     int(ConfigCommand::Usage));
            errStream.flush();
            QCOMPARE(err, QStringLiteral("%1 takes %2, not '%3'.\n").arg(name, takes[name], bad));
        }
        QVERIFY(takes.size() >= 20);
        QByteArray file;
        for (auto it = groups.constBegin(); it != groups.constEnd(); ++it)
            file += '[' + it.key().toUtf8() + "]\n" + it.value().join('\n').toUtf8() + '\n';

        const QList<Settings::Problem> problems = Settings::check(file);
        QCOMPARE(problems.size(), takes.size());
        for (const Settings::Problem &problem : problems) {
            const QString name = problem.text.section(' ', 2).section('=', 0, 0);
            QVERIFY2(problem.text.endsWith(" is not " + takes.value(name)),
                     qPrintable(problem.text));
        }
        for (auto it = takes.constBegin(); it != takes.constEnd(); ++it)
            QTest::ignoreMessage(
                QtWarningMsg,
                QRegularExpression(QRegularExpression::escape(it.key() + "=" + bad + " in ") +
                                   ".* is not " + QRegularExpression::escape(it.value()) + "; "));
        const QString path = root.file("/cfg/config.cfg");
        QVERIFY(TestRoot::writeFile(path, file));
        Settings settings;
        settings.load(path);
    }
    if (home.isNull())
        qunsetenv("QUELTA_HOME");
    else
        qputenv("QUELTA_HOME", home);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
