#include "smtptestserver.h"

#include "pythonscript.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>

#include <mutex>

namespace {

QTemporaryDir *certificateDir()
{
    static QTemporaryDir *dir = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        dir = new QTemporaryDir;
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      QStringLiteral("req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                                     "-nodes -days 2 -subj /CN=localhost -addext "
                                     "subjectAltName=DNS:localhost,IP:127.0.0.1")
                              .split(QLatin1Char(' '))
                          << QStringLiteral("-keyout") << dir->filePath(QStringLiteral("key.pem"))
                          << QStringLiteral("-out") << dir->filePath(QStringLiteral("cert.pem")));
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            qWarning() << "openssl could not make a certificate:" << openssl.readAllStandardError();
    });
    return dir;
}

} // namespace

QString SmtpTestServer::certificateFile()
{
    return certificateDir()->filePath(QStringLiteral("cert.pem"));
}

SmtpTestServer::SmtpTestServer(Mode mode, const QString &auth, double delayFirstData,
                               const QStringList &refuseRecipients, bool muteQuit)
{
    static const char *const modes[] = {"plain", "starttls", "tls", "silent"};
    QStringList args {QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/smtp_server.py"),
                      QStringLiteral("--dir"), m_dir.path(), QStringLiteral("--mode"),
                      QString::fromLatin1(modes[mode])};
    if (mode == StartTls || mode == Tls)
        args << QStringLiteral("--cert") << certificateFile() << QStringLiteral("--key")
             << certificateDir()->filePath(QStringLiteral("key.pem"));
    if (!auth.isEmpty())
        args << QStringLiteral("--auth") << auth;
    if (delayFirstData > 0)
        args << QStringLiteral("--delay-first-data") << QString::number(delayFirstData);
    if (muteQuit)
        args << QStringLiteral("--mute-quit");
    for (const QString &refused : refuseRecipients)
        args << QStringLiteral("--refuse-rcpt") << refused;

    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral(QUELTA_PYTHON), args);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000 && m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(200);
        m_output += m_process.readAllStandardOutput();
        const int at = m_output.indexOf("PORT ");
        const int end = m_output.indexOf('\n', at);
        if (at >= 0 && end > at) {
            m_port = quint16(m_output.mid(at + 5, end - at - 5).trimmed().toUInt());
            break;
        }
    }
    if (!m_port)
        qWarning() << "SMTP test server did not start:" << m_process.state() << m_process.error()
                   << m_process.exitStatus() << m_process.exitCode() << m_output
                   << m_process.readAllStandardError();
}

SmtpTestServer::~SmtpTestServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString SmtpTestServer::output()
{
    m_output += m_process.readAllStandardOutput();
    return QString::fromUtf8(m_output);
}

QJsonArray SmtpTestServer::messages() const
{
    return PythonScript::runJson(QStringLiteral("mail_dump.py"), {m_dir.path()}).array();
}

int SmtpTestServer::messageCount() const
{
    return QDir(m_dir.path()).entryList({QStringLiteral("*.eml")}, QDir::Files).size();
}
