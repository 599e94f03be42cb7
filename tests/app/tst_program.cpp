// ctest-needs: program
#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
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

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void secondStartShowsTheFirst();
    void staleGuardDoesNotStopAStart();
    void damagedDataIsSurvived();
    void rootFollowsTheProgramFolder();
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

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
