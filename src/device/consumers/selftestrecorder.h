#pragma once

#include "filesaver.h"
#include "selftestresult.h"
#include "upsstate.h"

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QVector>

#include <optional>

class RecordWriter;

// Records each self-test the UPS runs: load and battery capacity once a second while it reports
// a test in progress, one "elapsed,load,capacity" line per sample in
// "/data/self_test/yyyyMMddhhmmss.txt" (a watched UPS's in a folder of its own below), written
// and synced as it is taken, so a crash or a power cut keeps what was sampled. The summary row in
// log_self_test follows when the test ends, with how far the battery voltage fell and the
// outcome: what the UPS raised while the test ran, or its own verdict where it gives one; a
// recording left without its row is completed from its file at the next start.
//
// A line that cannot be written (a full disk) leaves the file with the whole lines before it;
// the end of the test then writes the whole recording again, and if that fails too nothing is
// stored and the recording goes on, so the next end tries again with everything.
class SelfTestRecorder : public QObject
{
    Q_OBJECT
public:
    explicit SelfTestRecorder(RecordWriter *writer, QObject *parent = nullptr);
    ~SelfTestRecorder() override;

    // The rows and recordings of a watched UPS, under its shown name; before the first data set.
    void setUps(const QString &ups);

    // The file of the recording that started at `start`.
    QString fileName(const QDateTime &start) const;

    // Gives every recording file without its row the row of what the file holds (the program
    // ended during the test). Run at start, once the database is open (for a watched UPS, once
    // it is watched).
    void completeInterrupted();

public slots:
    void updateState(const UpsState &state);

signals:
    // A recording was written and its row stored.
    void recorded(const QDateTime &start, int seconds, int samples);
    // A test the UPS ran has ended (stored or not).
    void finished(const SelfTestResult &result);

private:
    struct Sample
    {
        qint64 elapsed;
        quint16 load;
        quint16 capacity;
    };

    void start();
    void sample(int load, float capacity);
    void watch(const UpsState &state);
    // The UPS's own verdict on the data set that ends a test.
    void takeVerdict(const UpsState &state);
    // `cut`: the link was lost, so how the test ended is not known.
    void stop(bool cut = false);
    bool writeLine(const QByteArray &line);
    void completeFromFile(const QString &path, const QDateTime &start);

    RecordWriter *m_writer;
    QString m_ups; // empty: this computer's UPS
    bool m_testing = false; // the UPS reported a test in the last data set
    bool m_running = false;
    qint64 m_startTime = 0; // seconds since 1970-01-01 UTC
    qint64 m_lastSampleSecond = 0;
    QVector<Sample> m_samples;
    QFile m_file; // open while every line so far is in it
    qint64 m_written = 0; // bytes of whole lines in m_file
    FileSaver m_saver;
    // The battery voltage before the test, the lowest during it, and what the UPS raised.
    std::optional<float> m_idleVoltage;
    std::optional<float> m_startVoltage;
    std::optional<float> m_lowestVoltage;
    SelfTestResult m_result;
    // What the UPS said of its last test when this one began: a verdict left from before is
    // not this test's.
    UpsState::TestVerdict m_verdictBefore = UpsState::TestVerdict::None;
    bool m_told = false; // finished() was emitted for this test
};
