#pragma once

#include <QDateTime>
#include <QObject>
#include <QVector>

class RecordWriter;
struct UpsState;

// Records each self-test the UPS runs: load and battery capacity once a second while it reports
// a test in progress, written at the end to "/data/self_test/yyyyMMddhhmmss.txt" (one
// "elapsed,load,capacity" line per sample) with a summary row in log_self_test. When the file
// cannot be written nothing is stored and the recording goes on, so the next end tries again
// with everything.
class SelfTestRecorder : public QObject
{
    Q_OBJECT
public:
    explicit SelfTestRecorder(RecordWriter *writer, QObject *parent = nullptr);

    bool isRecording() const;
    // The file of the recording that started at `start`.
    static QString fileName(const QDateTime &start);

public slots:
    void updateState(const UpsState &state);

signals:
    // A recording was written and its row stored.
    void recorded(const QDateTime &start, int seconds, int samples);

private:
    struct Sample
    {
        qint64 elapsed;
        quint16 load;
        quint16 capacity;
    };

    void start();
    void sample(int load, float capacity);
    void stop();

    RecordWriter *m_writer;
    bool m_testing = false; // the UPS reported a test in the last data set
    bool m_running = false;
    qint64 m_startTime = 0; // seconds since 1970-01-01 UTC
    qint64 m_lastSampleSecond = 0;
    QVector<Sample> m_samples;
};
