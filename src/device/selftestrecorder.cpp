#include "selftestrecorder.h"

#include "clock.h"
#include "logcategories.h"
#include "paths.h"
#include "recordwriter.h"
#include "upsstate.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <climits>

SelfTestRecorder::SelfTestRecorder(RecordWriter *writer, QObject *parent)
    : QObject(parent), m_writer(writer)
{
}

bool SelfTestRecorder::isRecording() const
{
    return m_running;
}

QString SelfTestRecorder::fileName(const QDateTime &start)
{
    const QString stamp =
        QLocale(QLocale::English).toString(start, QStringLiteral("yyyyMMddhhmmss"));
    return Paths::file(QStringLiteral("/data/self_test/") + stamp + QStringLiteral(".txt"));
}

void SelfTestRecorder::updateState(const UpsState &state)
{
    // A test starts and ends with the flag; a lost UPS ends it after the zeros of its last data
    // set.
    const bool testing = state.online() && state.selfTest;
    if (testing && !m_testing)
        start();
    else if (!testing && m_testing && state.online())
        stop();
    m_testing = testing;
    if (m_running)
        sample(state.load.value_or(0), state.batteryCharge.value_or(0.0f));
    if (!state.online())
        stop();
}

void SelfTestRecorder::start()
{
    qCDebug(lcDevice) << "start self-test log";
    m_startTime = Clock::secsSinceEpoch();
    // A new recording takes its first sample even in the second the last one ended.
    m_lastSampleSecond = 0;
    m_samples.clear();
    m_running = true;
}

void SelfTestRecorder::sample(int load, float capacity)
{
    const qint64 now = Clock::secsSinceEpoch();
    if (now == m_lastSampleSecond)
        return;
    m_lastSampleSecond = now;
    const quint16 whole = capacity > 0.0f ? quint16(std::min(capacity, 65535.0f)) : 0;
    m_samples.append({now - m_startTime, quint16(qBound(0, load, 65535)), whole});
}

void SelfTestRecorder::stop()
{
    if (!m_running)
        return;
    qCDebug(lcDevice) << "stop self-test log";

    const QDateTime start = QDateTime::fromSecsSinceEpoch(m_startTime);
    const QString path = fileName(start);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    QByteArray text;
    for (const Sample &entry : qAsConst(m_samples)) {
        text += QByteArray::number(entry.elapsed) + ',' + QByteArray::number(entry.load) + ',' +
            QByteArray::number(entry.capacity) + '\n';
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        qCWarning(lcDevice) << "Cannot write the self-test recording" << path << ":"
                            << file.errorString();
        return;
    }
    const qint64 duration = std::max<qint64>(0, Clock::secsSinceEpoch() - m_startTime);
    const quint32 seconds = quint32(std::min<qint64>(duration, UINT_MAX));
    m_writer->insertSelfTest(start, seconds, m_samples.size());
    m_running = false;
    emit recorded(start, int(std::min<qint64>(duration, INT_MAX)), m_samples.size());
}
