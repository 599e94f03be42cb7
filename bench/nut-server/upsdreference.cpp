#include "upsdreference.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

#include <unistd.h>

namespace {

const QString driverPath = QStringLiteral("/lib/nut/dummy-ups");
const QString upsdPath = QStringLiteral("/lib/nut/upsd");

bool write(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

UpsdReference::UpsdReference() = default;

UpsdReference::~UpsdReference()
{
    for (QProcess *p : {&m_upsd, &m_driver}) {
        if (p->state() == QProcess::NotRunning)
            continue;
        p->terminate();
        if (!p->waitForFinished(3000)) {
            p->kill();
            p->waitForFinished(2000);
        }
    }
}

bool UpsdReference::available()
{
    return QFile::exists(driverPath) && QFile::exists(upsdPath);
}

bool UpsdReference::start(const QByteArray &variables, quint16 port)
{
    const QString dir = m_dir.path();
    QFile::setPermissions(dir, QFile::permissions(dir) | QFile::ExeOther | QFile::ReadOther);
    const QByteArray d = dir.toUtf8();
    if (!write(dir + "/ups.dev", variables) ||
        !write(dir + "/ups.conf", "[ups]\n  driver = dummy-ups\n  port = " + d + "/ups.dev\n") ||
        !write(dir + "/upsd.conf",
               "LISTEN 127.0.0.1 " + QByteArray::number(port) + "\nMAXCONN 1024\n") ||
        !write(dir + "/upsd.users", "") || !write(dir + "/nut.conf", "MODE=netserver\n"))
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NUT_CONFPATH"), dir);
    env.insert(QStringLiteral("NUT_STATEPATH"), dir);
    env.insert(QStringLiteral("NUT_ALTPIDPATH"), dir);
    m_driver.setProcessEnvironment(env);
    m_upsd.setProcessEnvironment(env);
    // As root both would change to the "nut" user, who cannot read a private folder.
    const QStringList asUser = geteuid() == 0 ? QStringList {"-u", "root"} : QStringList();
    if (!startProcess(m_driver, driverPath, QStringList {"-a", "ups", "-F"} + asUser))
        return false;
    QThread::msleep(1500); // the driver's socket
    if (!startProcess(m_upsd, upsdPath, QStringList {"-F"} + asUser))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(500)) {
            probe.write("GET VAR ups ups.status\n");
            if (probe.waitForReadyRead(1000) && probe.readAll().startsWith("VAR "))
                return true;
        }
        QThread::msleep(200);
    }
    return false;
}

bool UpsdReference::startProcess(QProcess &process, const QString &program,
                                 const QStringList &arguments)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForStarted(5000);
}

double UpsdReference::cpuSeconds() const
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(m_upsd.processId()));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // Fields 14 and 15 (user and system time in clock ticks) follow the name in parentheses.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) /
        double(sysconf(_SC_CLK_TCK));
}

qint64 UpsdReference::rssKb() const
{
    QFile status(QStringLiteral("/proc/%1/status").arg(m_upsd.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}
