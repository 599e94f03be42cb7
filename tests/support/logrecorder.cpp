#include "logrecorder.h"

#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <mutex>

namespace {

std::mutex logMutex; // seen by the thread sanitizer, unlike the system Qt's QMutex
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

// Servers log from threads of their own.
void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        std::lock_guard<std::mutex> lock(logMutex);
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
    std::lock_guard<std::mutex> lock(logMutex);
    return int(std::count_if(logLines.cbegin(), logLines.cend(),
                             [&](const QString &line) { return line.contains(part); }));
}

} // namespace LogRecorder
