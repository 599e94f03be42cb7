#pragma once

#include <QDateTime>
#include <QSet>
#include <QVariant>
#include <QVariantList>

class HistoryNotice;

// Every row the program records as it watches the UPS: the alarms, the measurement samples and
// the self-test summaries, on the default connection. One object does all such writes, so they
// can move to a thread of their own in one piece.
class RecordWriter
{
public:
    // A failure goes to the notice, once per cause; without one, each is logged.
    explicit RecordWriter(HistoryNotice *notice = nullptr);

    struct Sample
    {
        float inputVol = 0;
        float outputVol = 0;
        int load = 0;
        float inputFreq = 0;
        float battVol = 0;
        float temperature = 0;
    };

    // Each returns whether the row was stored; a failure is logged.
    bool insertAlarm(int code);
    bool insertSample(const Sample &sample);
    // `batteryDrop` in volts; an invalid value stores none.
    bool insertSelfTest(const QDateTime &start, quint32 duration, int count,
                        const QVariant &batteryDrop = QVariant());

private:
    bool run(const char *statement, int table, const QVariantList &values, const char *what);

    HistoryNotice *m_notice;
    QSet<int> m_failing; // tables whose last write failed
};
