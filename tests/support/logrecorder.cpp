#include "logrecorder.h"

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>

namespace {

QMutex logMutex;
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

// Servers log from threads of their own.
void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        QMutexLocker lock(&logMutex);
        logLines << text;
    }
    previousHandler(type, context, text);
}

} // namespace

namespace LogRecorder {

void install()
{
    previousHandler = qInstallMessageHandler(recordLog);
}

int count(const QString &part)
{
    QMutexLocker lock(&logMutex);
    return int(std::count_if(logLines.cbegin(), logLines.cend(),
                             [&](const QString &line) { return line.contains(part); }));
}

} // namespace LogRecorder
