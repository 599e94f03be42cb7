#include "login1service.h"

Login1Service::Login1Service(const QString &busAddress, Mode mode)
{
    const char *const modes[] = {"ok", "refuse", "fail", "hang"};
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QUELTA_PYTHON),
                    {QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/login1service.py"),
                     busAddress, QString::fromLatin1(modes[mode])});
    if (!m_process.waitForStarted(5000))
        return;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) { }
    m_ready = m_process.readLine().trimmed() == "ready";
}

Login1Service::~Login1Service()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}

QStringList Login1Service::calls()
{
    m_process.waitForReadyRead(0);
    while (m_process.canReadLine())
        m_calls << QString::fromUtf8(m_process.readLine()).trimmed();
    return m_calls;
}
