#include "pythonscript.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace PythonScript {

QByteArray run(const QString &script, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(QStringLiteral(QUELTA_PYTHON),
                  QStringList {QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/") + script} +
                      arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning() << script << "failed:" << process.errorString()
                   << process.readAllStandardError();
        process.kill();
        process.waitForFinished(1000);
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

QJsonDocument runJson(const QString &script, const QStringList &arguments, int timeoutMs)
{
    QJsonParseError error;
    const QByteArray out = run(script, arguments, timeoutMs);
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    if (doc.isNull())
        qWarning() << script << "printed no JSON:" << error.errorString() << out.left(200);
    return doc;
}

QJsonObject dumpWorkbook(const QString &path)
{
    return runJson(QStringLiteral("xlsx_dump.py"), {path}, 180000).object();
}

Session::Session(const QString &script, const QStringList &arguments,
                 const QProcessEnvironment &env)
    : m_script(script)
{
    m_process.setProcessEnvironment(env);
    m_process.start(QStringLiteral(QUELTA_PYTHON),
                    QStringList {QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/") + script} +
                        arguments);
}

Session::~Session()
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(20000))
        m_process.kill();
}

QJsonObject Session::ask(const QByteArray &line, int timeoutMs)
{
    if (!line.isEmpty())
        m_process.write(line + '\n');
    QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine() && !deadline.hasExpired() &&
           m_process.state() != QProcess::NotRunning)
        QTest::qWait(10);
    const QByteArray out = m_process.readLine();
    if (out.isEmpty())
        qWarning() << m_script << "printed nothing:" << m_process.readAllStandardError();
    return QJsonDocument::fromJson(out).object();
}

} // namespace PythonScript
