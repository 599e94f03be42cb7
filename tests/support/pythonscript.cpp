#include "pythonscript.h"

#include <QDebug>
#include <QJsonObject>
#include <QProcess>

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

} // namespace PythonScript
