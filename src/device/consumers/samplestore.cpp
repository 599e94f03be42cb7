#include "samplestore.h"

#include "logcategories.h"
#include "recordwriter.h"
#include "settings.h"

#include <climits>

SampleStore::SampleStore(RecordWriter *writer, Settings *settings, QObject *parent)
    : QObject(parent), m_writer(writer), m_settings(settings)
{
    connect(&m_timer, &QTimer::timeout, this, &SampleStore::store);
    // A new cycle counts from now while samples are taken, and from the next start otherwise.
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key == m_settings->keyName(Settings::UpsDataSaveCycle) && m_timer.isActive())
            startTimer();
    });
}

int SampleStore::interval() const
{
    return m_timer.isActive() ? m_timer.interval() : -1;
}

void SampleStore::updateState(const UpsState &state)
{
    const bool cameOnline = state.online() && !m_state.online();
    m_state = state;
    m_fresh = state.online();
    if (cameOnline)
        startTimer();
    else if (!state.online())
        m_timer.stop();
}

void SampleStore::store()
{
    // While no reply is accepted the last values are not measured again: nothing to store.
    if (!m_state.online() || !m_fresh)
        return;
    m_fresh = false;
    RecordWriter::Sample sample;
    sample.inputVol = m_state.inputVoltage;
    sample.outputVol = m_state.outputVoltage;
    sample.load = m_state.load;
    sample.inputFreq = m_state.inputFrequency;
    sample.battVol = m_state.batteryVoltage;
    sample.temperature = m_state.temperature;
    m_writer->insertSample(sample, m_ups);
}

// A hand-edited 0 would store a synced row at every turn of the event loop, and a cycle past
// 24 days does not fit the timer; both are held to what the timer can do sensibly.
void SampleStore::startTimer()
{
    const unsigned int cycle = m_settings->getSettings(Settings::UpsDataSaveCycle).toUInt();
    const unsigned int longest = INT_MAX / 1000;
    const unsigned int seconds = qBound(1u, cycle, longest);
    if (seconds != cycle)
        qCWarning(lcDevice) << "A sample every" << cycle << "seconds cannot be kept; every"
                            << seconds << "seconds instead";
    m_timer.start(int(seconds * 1000));
}
