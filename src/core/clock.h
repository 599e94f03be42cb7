#pragma once

#include <QDateTime>

// The one source of "now" for everything that depends on the time of day: countdowns, due times,
// the daily report second, alarm expiry, log file names. Tests set it; the program never does.
namespace Clock {

QDateTime now(); // local date and time
qint64 secsSinceEpoch(); // seconds since 1970-01-01 UTC
qint64 msecsSinceEpoch();

// Freeze the clock at a moment (tests). advance() moves a frozen clock on.
void setNow(const QDateTime &moment);
void advance(qint64 seconds, qint64 milliseconds = 0);
void useSystemClock();
bool isFrozen();

} // namespace Clock
