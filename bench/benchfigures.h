#pragma once

#include <QEventLoop>
#include <QTimer>
#include <QVector>

#include <sys/resource.h>

#include <algorithm>

// What every bench needs to tell its figures: a percentile, this process's CPU time, a wait
// with the event loop running.
namespace BenchFigures {

// The value at or below which a share `p` (0 to 1) of the values lie; 0 for none.
inline double percentile(QVector<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int index = qBound(0, int(p * values.size() + 0.999999) - 1, values.size() - 1);
    return values.at(index);
}

// User and system CPU seconds of this process so far.
inline double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1.0e6;
}

inline void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace BenchFigures
