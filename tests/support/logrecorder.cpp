#include "logrecorder.h"

#include <QTest>

#include <algorithm>
#include <mutex>

namespace {

std::mutex logMutex; // seen by the thread sanitizer, unlike the system Qt's QMutex
QStringList logLines;
QList<int> logTypes;
int taken = 0; // lines before this one were taken
QtMessageHandler previousHandler = nullptr;

// Servers log from threads of their own.
void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        std::lock_guard<std::mutex> lock(logMutex);
        logLines << text;
        logTypes << int(type);
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

template<typename Wanted> QStringList takeLines(Wanted wanted)
{
    std::lock_guard<std::mutex> lock(logMutex);
    QStringList lines;
    for (; taken < logLines.size(); ++taken) {
        if (wanted(logTypes.at(taken)))
            lines << logLines.at(taken);
    }
    return lines;
}

QStringList take(int type)
{
    return takeLines([type](int t) { return type < 0 || t == type; });
}

QStringList takeWarnings()
{
    return takeLines([](int t) { return t == QtWarningMsg || t == QtCriticalMsg; });
}

bool waitFor(const QString &part, int timeoutMs)
{
    return QTest::qWaitFor(
        [&part] {
            std::lock_guard<std::mutex> lock(logMutex);
            return std::any_of(logLines.cbegin() + taken, logLines.cend(),
                               [&](const QString &line) { return line.contains(part); });
        },
        timeoutMs);
}

} // namespace LogRecorder
