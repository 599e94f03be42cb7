#include "xvfbdisplay.h"

XvfbDisplay::XvfbDisplay()
{
    // -displayfd picks a free display and writes its number to our end of stdout.
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!m_server.waitForStarted(5000))
        return;
    while (!m_server.canReadLine() && m_server.waitForReadyRead(10000)) { }
    const QByteArray number = m_server.readLine().trimmed();
    if (!number.isEmpty())
        m_name = QStringLiteral(":") + QString::fromLatin1(number);
}

XvfbDisplay::~XvfbDisplay()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(3000)) {
        m_server.kill();
        m_server.waitForFinished(3000);
    }
}
