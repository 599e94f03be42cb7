#include "nutpeer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include <signal.h>

NutPeer::Result NutPeer::run(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(5000))
        return result;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString NutPeer::certificateFolder()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                       "/CN=localhost", "-keyout", dir.filePath(QStringLiteral("key.pem")), "-out",
                       dir.filePath(QStringLiteral("cert.pem"))});
        made = openssl.waitForFinished(60000) && openssl.exitCode() == 0;
        if (!made)
            qWarning() << "openssl could not make a certificate:" << openssl.readAllStandardError();
    }
    return made ? dir.path() : QString();
}

UpsmonProcess::UpsmonProcess(const Options &options)
{
    const QString dir = m_dir.path();
    QFile script(dir + QStringLiteral("/shutdown.sh"));
    if (!script.open(QIODevice::WriteOnly))
        return;
    script.write("#!/bin/sh\ndate +%s >> '" + dir.toUtf8() + "/shutdown-ran'\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner | QFile::ExeGroup |
                          QFile::ExeOther);

    QByteArray config;
    config += "MONITOR " + options.monitor.toUtf8() + " 1 " + options.user + " \"" +
        options.password + "\" secondary\n";
    config += "MINSUPPLIES 1\nSHUTDOWNCMD \"" + dir.toUtf8() + "/shutdown.sh\"\n";
    config += "POLLFREQ 1\nPOLLFREQALERT 1\nFINALDELAY 0\nRBWARNTIME 3600\nNOCOMMWARNTIME 3600\n";
    config += "HOSTSYNC " + QByteArray::number(options.hostSync) + '\n';
    config += "DEADTIME " + QByteArray::number(options.deadTime) + '\n';
    config += "POWERDOWNFLAG " + dir.toUtf8() + "/killpower\n";
    if (options.forceTls)
        config += "FORCESSL 1\nCERTVERIFY 0\n";
    QFile file(dir + QStringLiteral("/upsmon.conf"));
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(config);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NUT_CONFPATH"), dir);
    env.insert(QStringLiteral("NUT_STATEPATH"), dir);
    env.insert(QStringLiteral("NUT_ALTPIDPATH"), dir);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // -p: one process, no privileged parent; -DD: log every poll to the output, stay in the
    // foreground. In a process group of its own: what it forks on its way down (left behind,
    // spinning on the closed output) goes with it.
    m_process.start(QStringLiteral("setsid"),
                    {QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/nut_private_run.sh"), dir,
                     QStringLiteral("/lib/nut/upsmon"), QStringLiteral("-DD"),
                     QStringLiteral("-p")});
    if (m_process.waitForStarted(5000))
        m_group = m_process.processId();
}

UpsmonProcess::~UpsmonProcess()
{
    stop();
}

bool UpsmonProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

void UpsmonProcess::readLog()
{
    m_log += QString::fromUtf8(m_process.readAll());
}

bool UpsmonProcess::waitForLog(const QRegularExpression &pattern, int timeoutMs, int count)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        readLog();
        int found = 0;
        for (auto it = pattern.globalMatch(m_log); it.hasNext(); it.next())
            ++found;
        if (found >= count)
            return true;
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
}

QString UpsmonProcess::log() const
{
    const_cast<UpsmonProcess *>(this)->readLog();
    return m_log;
}

bool UpsmonProcess::shutdownRan() const
{
    return QFile::exists(m_dir.path() + QStringLiteral("/shutdown-ran"));
}

bool UpsmonProcess::waitForShutdown(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!shutdownRan()) {
        if (deadline.hasExpired())
            return false;
        readLog();
        QTest::qWait(20);
    }
    return true;
}

void UpsmonProcess::stop()
{
    const pid_t group = pid_t(m_group);
    if (m_process.state() != QProcess::NotRunning) {
        ::kill(-group, SIGTERM);
        if (!m_process.waitForFinished(3000)) {
            ::kill(-group, SIGKILL);
            m_process.waitForFinished(2000);
        }
    }
    if (group > 0)
        ::kill(-group, SIGKILL); // whatever it left behind
    m_group = 0;
    readLog();
}
