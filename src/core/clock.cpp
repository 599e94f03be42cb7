#include "clock.h"

#include <mutex>

namespace {
std::mutex clockMutex;
bool frozen = false;
QDateTime frozenAt;
} // namespace

namespace Clock {

QDateTime now()
{
    std::lock_guard<std::mutex> lock(clockMutex);
    return frozen ? frozenAt : QDateTime::currentDateTime();
}

// Without the local time: converting to it looks at the time zone file each time.
qint64 secsSinceEpoch()
{
    return msecsSinceEpoch() / 1000;
}

qint64 msecsSinceEpoch()
{
    std::lock_guard<std::mutex> lock(clockMutex);
    return frozen ? frozenAt.toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
}

void setNow(const QDateTime &moment)
{
    std::lock_guard<std::mutex> lock(clockMutex);
    frozen = true;
    frozenAt = moment.toLocalTime();
}

void advance(qint64 seconds, qint64 milliseconds)
{
    std::lock_guard<std::mutex> lock(clockMutex);
    if (frozen)
        frozenAt = frozenAt.addSecs(seconds).addMSecs(milliseconds);
}

void useSystemClock()
{
    std::lock_guard<std::mutex> lock(clockMutex);
    frozen = false;
}

bool isFrozen()
{
    std::lock_guard<std::mutex> lock(clockMutex);
    return frozen;
}

} // namespace Clock
