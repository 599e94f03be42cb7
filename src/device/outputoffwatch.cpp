#include "outputoffwatch.h"

#include "clock.h"
#include "upsstate.h"

namespace {
// The output goes off at the due time; the next status reply or two say so.
constexpr qint64 graceMs = 5000;

qint64 nowMs()
{
    return Clock::now().toMSecsSinceEpoch();
}
} // namespace

OutputOffWatch::OutputOffWatch(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &OutputOffWatch::tick);
}

void OutputOffWatch::asked(int seconds)
{
    m_due = nowMs() + qint64(qMax(0, seconds)) * 1000;
    if (m_due == 0)
        m_due = 1;
    m_seenActive = false;
    m_timer.start();
    emit changed();
}

void OutputOffWatch::cancelled()
{
    if (pending())
        end();
}

void OutputOffWatch::updateState(const UpsState &state)
{
    if (!pending() || !state.online())
        return;
    const bool outputOff = state.outputOff();
    // The UPS raises its shutdown flag once it has taken the request; the flag going again
    // with the output still on means the request was dropped.
    if (outputOff || (m_seenActive && !state.shutdownActive))
        end();
    else if (state.shutdownActive)
        m_seenActive = true;
}

int OutputOffWatch::secondsLeft() const
{
    if (!pending())
        return -1;
    return int(qMax<qint64>(0, (m_due - nowMs() + 999) / 1000));
}

void OutputOffWatch::tick()
{
    if (!pending())
        return;
    if (nowMs() >= m_due + graceMs)
        end();
    else
        emit changed();
}

void OutputOffWatch::end()
{
    m_due = 0;
    m_seenActive = false;
    m_timer.stop();
    emit changed();
}
