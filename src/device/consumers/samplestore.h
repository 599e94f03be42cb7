#pragma once

#include "upsstate.h"

#include <QObject>
#include <QTimer>

class RecordWriter;
class Settings;

// Stores a measurement sample in device_data every "ups/saveCycle" seconds while the UPS
// answers; the count starts afresh when it comes online. A sample is a data set that came since
// the last one: a UPS whose replies go unaccepted has its last values stored once, not again
// and again until it counts as lost.
class SampleStore : public QObject
{
    Q_OBJECT
public:
    SampleStore(RecordWriter *writer, Settings *settings, QObject *parent = nullptr);

    // Milliseconds between two samples while the timer runs; -1 while it is stopped.
    int interval() const;
    // The shown name of a watched UPS, stored with each sample; empty for this computer's.
    void setUps(const QString &name) { m_ups = name; }

public slots:
    void updateState(const UpsState &state);
    // Stores the last data set now, when the UPS is online and it is not stored yet (the timer's
    // work).
    void store();

private:
    void startTimer();

    RecordWriter *m_writer;
    Settings *m_settings;
    QTimer m_timer;
    UpsState m_state;
    bool m_fresh = false; // m_state came after the last sample
    QString m_ups;
};
