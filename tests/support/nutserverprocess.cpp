#include "nutserverprocess.h"

#include "childprocess.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

const QString programDir = QStringLiteral("/lib/nut");

struct Ups
{
    QString name;
    QString driver;
    QString port;
    QStringList settings;
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool writeFile(const QString &path, const QByteArray &text, QFileDevice::Permissions mode)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(text);
    file.close();
    return file.setPermissions(mode);
}

} // namespace

class NutServerProcessPrivate
{
public:
    QTemporaryDir dir;
    quint16 port = 0;
    QList<Ups> upses;
    QStringList users;
    QStringList serverSettings;
    QMap<QString, QProcess *> drivers;
    QProcess *server = nullptr;
    mutable QString output;
    qint64 deviceStamp = 0;

    ~NutServerProcessPrivate()
    {
        end(server);
        for (QProcess *driver : qAsConst(drivers))
            end(driver);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NUT_CONFPATH"), dir.path());
        env.insert(QStringLiteral("NUT_STATEPATH"), dir.path());
        env.insert(QStringLiteral("NUT_ALTPIDPATH"), dir.path());
        return env;
    }

    // Run as root, the programs would switch to the user "nut", which cannot enter a folder
    // made by root for this test: they stay root instead.
    QStringList userOption() const
    {
        return geteuid() == 0 ? QStringList {QStringLiteral("-u"), QStringLiteral("root")}
                              : QStringList {};
    }

    QProcess *launch(const QString &program, const QStringList &arguments)
    {
        auto *process = new ChildProcess;
        process->setProcessEnvironment(environment());
        process->setWorkingDirectory(dir.path());
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(programDir + QLatin1Char('/') + program, arguments + userOption());
        process->waitForStarted(5000);
        return process;
    }

    void collect(QProcess *process) const
    {
        if (process)
            output += QString::fromUtf8(process->readAll());
    }

    void end(QProcess *&process)
    {
        if (!process)
            return;
        if (process->state() != QProcess::NotRunning) {
            ::kill(pid_t(process->processId()), SIGCONT);
            process->terminate();
            if (!process->waitForFinished(5000)) {
                process->kill();
                process->waitForFinished(2000);
            }
        }
        collect(process);
        delete process;
        process = nullptr;
    }

    bool writeConfiguration()
    {
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QByteArray ups;
        for (const Ups &u : qAsConst(upses)) {
            ups += QStringLiteral("[%1]\n  driver = %2\n  port = %3\n  pollinterval = 1\n")
                       .arg(u.name, u.driver, u.port)
                       .toUtf8();
            for (const QString &line : u.settings)
                ups += "  " + line.toUtf8() + '\n';
        }
        QByteArray server = QStringLiteral("LISTEN 127.0.0.1 %1\n").arg(port).toUtf8();
        for (const QString &line : qAsConst(serverSettings))
            server += line.toUtf8() + '\n';
        return writeFile(dir.filePath(QStringLiteral("nut.conf")), "MODE=netserver\n", mode) &&
            writeFile(dir.filePath(QStringLiteral("ups.conf")), ups, mode) &&
            writeFile(dir.filePath(QStringLiteral("upsd.conf")), server, mode) &&
            writeFile(dir.filePath(QStringLiteral("upsd.users")), users.join(QString()).toUtf8(),
                      mode);
    }
};

NutServerProcess::NutServerProcess() : d(new NutServerProcessPrivate)
{
    d->port = freePort();
    // A state folder that others can read is refused by the drivers.
    QFile::setPermissions(d->dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

NutServerProcess::~NutServerProcess() = default;

bool NutServerProcess::available()
{
    return QFileInfo(programDir + QStringLiteral("/upsd")).isExecutable() &&
        QFileInfo(programDir + QStringLiteral("/dummy-ups")).isExecutable();
}

void NutServerProcess::addDummyUps(const QString &name, const QString &deviceText)
{
    const QString file = name + QStringLiteral(".dev");
    writeDeviceFile(name, deviceText);
    d->upses.append(
        {name, QStringLiteral("dummy-ups"), file, {QStringLiteral("mode = dummy-once")}});
}

void NutServerProcess::addUps(const QString &name, const QString &driver, const QString &port,
                              const QStringList &settings)
{
    d->upses.append({name, driver, port, settings});
}

void NutServerProcess::addUser(const QString &name, const QString &password,
                               const QStringList &lines)
{
    QString text = QStringLiteral("[%1]\n  password = %2\n").arg(name, password);
    for (const QString &line : lines)
        text += QStringLiteral("  %1\n").arg(line);
    d->users.append(text);
}

void NutServerProcess::addServerSetting(const QString &line)
{
    d->serverSettings.append(line);
}

bool NutServerProcess::enableTls(const QString &certificateFile, const QString &keyFile)
{
    const QString db = d->dir.filePath(QStringLiteral("nss"));
    const QString bundle = d->dir.filePath(QStringLiteral("server.p12"));
    QDir().mkpath(db);
    const QList<QStringList> steps {
        {QStringLiteral("openssl"), QStringLiteral("pkcs12"), QStringLiteral("-export"),
         QStringLiteral("-in"), certificateFile, QStringLiteral("-inkey"), keyFile,
         QStringLiteral("-name"), QStringLiteral("upsd"), QStringLiteral("-out"), bundle,
         QStringLiteral("-passout"), QStringLiteral("pass:nut")},
        {QStringLiteral("certutil"), QStringLiteral("-N"), QStringLiteral("-d"),
         QStringLiteral("sql:") + db, QStringLiteral("--empty-password")},
        {QStringLiteral("pk12util"), QStringLiteral("-i"), bundle, QStringLiteral("-d"),
         QStringLiteral("sql:") + db, QStringLiteral("-W"), QStringLiteral("nut")}};
    for (const QStringList &step : steps) {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(step.first(), step.mid(1));
        if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit ||
            tool.exitCode() != 0) {
            d->output += step.first() + QStringLiteral(": ") + QString::fromUtf8(tool.readAll()) +
                tool.errorString() + QLatin1Char('\n');
            return false;
        }
    }
    d->serverSettings << QStringLiteral("CERTPATH %1").arg(db)
                      << QStringLiteral("CERTIDENT \"upsd\" \"\"");
    return true;
}

bool NutServerProcess::start(int timeoutMs)
{
    if (!d->writeConfiguration())
        return false;
    for (const Ups &ups : qAsConst(d->upses)) {
        if (!startDriver(ups.name, timeoutMs))
            return false;
    }
    return startServer(timeoutMs);
}

void NutServerProcess::removeUps(const QString &name)
{
    d->upses.erase(std::remove_if(d->upses.begin(), d->upses.end(),
                                  [&](const Ups &ups) { return ups.name == name; }),
                   d->upses.end());
    QProcess *driver = d->drivers.take(name);
    d->end(driver);
}

bool NutServerProcess::reconfigure(int timeoutMs)
{
    if (!d->writeConfiguration())
        return false;
    for (const Ups &ups : qAsConst(d->upses)) {
        QProcess *driver = d->drivers.value(ups.name);
        if ((!driver || driver->state() == QProcess::NotRunning) &&
            !startDriver(ups.name, timeoutMs))
            return false;
    }
    return startServer(timeoutMs);
}

quint16 NutServerProcess::port() const
{
    return d->port;
}

bool NutServerProcess::startServer(int timeoutMs)
{
    d->end(d->server);
    d->server = d->launch(QStringLiteral("upsd"), {QStringLiteral("-F")});
    QDeadlineTimer deadline(timeoutMs);
    for (const Ups &ups : qAsConst(d->upses)) {
        for (;;) {
            const QString status = upsc(ups.name, QStringLiteral("ups.status"));
            if (!status.isEmpty() && status != QLatin1String("WAIT"))
                break;
            if (deadline.hasExpired() || d->server->state() == QProcess::NotRunning) {
                d->collect(d->server);
                return false;
            }
            QTest::qWait(100);
        }
    }
    return true;
}

void NutServerProcess::stopServer()
{
    d->end(d->server);
}

bool NutServerProcess::startDriver(const QString &name, int timeoutMs)
{
    const auto it = std::find_if(d->upses.cbegin(), d->upses.cend(),
                                 [&](const Ups &ups) { return ups.name == name; });
    if (it == d->upses.cend())
        return false;
    QProcess *&driver = d->drivers[name];
    d->end(driver);
    driver = d->launch(it->driver, {QStringLiteral("-a"), name, QStringLiteral("-F")});
    // The driver is up once its socket is there for upsd.
    const QString socket = d->dir.filePath(it->driver + QLatin1Char('-') + name);
    QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(socket)) {
        if (deadline.hasExpired() || driver->state() == QProcess::NotRunning) {
            d->collect(driver);
            return false;
        }
        QTest::qWait(50);
    }
    return true;
}

void NutServerProcess::pauseDriver(const QString &name, bool paused)
{
    QProcess *driver = d->drivers.value(name);
    if (driver && driver->state() == QProcess::Running)
        ::kill(pid_t(driver->processId()), paused ? SIGSTOP : SIGCONT);
}

void NutServerProcess::writeDeviceFile(const QString &name, const QString &deviceText)
{
    const QString path = d->dir.filePath(name + QStringLiteral(".dev"));
    writeFile(path, deviceText.toUtf8(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // The driver looks at the modification time in whole seconds: move it on by one each time.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    d->deviceStamp = std::max(d->deviceStamp + 1, now);
    struct timeval times[2] = {{time_t(d->deviceStamp), 0}, {time_t(d->deviceStamp), 0}};
    ::utimes(QFile::encodeName(path).constData(), times);
}

QString NutServerProcess::upsc(const QString &ups, const QString &variable) const
{
    QProcess upsc;
    upsc.setProcessEnvironment(d->environment());
    upsc.start(QStringLiteral("upsc"),
               {QStringLiteral("%1@127.0.0.1:%2").arg(ups).arg(d->port), variable});
    if (!upsc.waitForFinished(5000) || upsc.exitCode() != 0) {
        upsc.kill();
        upsc.waitForFinished(1000);
        return QString();
    }
    return QString::fromUtf8(upsc.readAllStandardOutput()).trimmed();
}

QString NutServerProcess::output() const
{
    d->collect(d->server);
    for (QProcess *driver : qAsConst(d->drivers))
        d->collect(driver);
    return d->output;
}
