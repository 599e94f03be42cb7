#pragma once

#include <QVector>

// The recording of one UPS self-test: load and battery capacity once a second while the UPS
// reports a test in progress, written at the end to "/data/self_test/yyyyMMddhhmmss.txt" (one
// "elapsed,load,capacity" line per sample) with a summary row in log_self_test.
struct SelfTestLog
{
    struct Sample
    {
        qint64 elapsed;
        quint16 load;
        quint16 capacity;
    };

    bool running = false;
    qint64 startTime = 0; // seconds since 1970-01-01 UTC
    qint64 lastSampleSecond = 0;
    QVector<Sample> samples;

    // Starts (or restarts) a recording now.
    void start();
    // Takes one sample unless one was taken in this second already.
    void sample(quint16 load, float capacity);
    // Writes the file and the row and ends the recording. When the file cannot be written
    // nothing is stored and the recording goes on, so the next end tries again with everything.
    void stop();

    // The file of the recording started at startTime.
    QString fileName() const;
};
