#include "dischargetracker.h"

#include <algorithm>
#include <cmath>

DischargeTracker::Event DischargeTracker::update(qint64 ms, bool discharging, bool batteryLow,
                                                 std::optional<double> load,
                                                 std::optional<double> charge,
                                                 std::optional<double> volts)
{
    const double v = volts && *volts > 0 && *volts < 1000 ? *volts : 0.0;
    // A charge outside 0..100 is nonsense and left out.
    if (charge && !(*charge >= 0 && *charge <= 100))
        charge.reset();
    if (!discharging) {
        const bool was = m_active;
        m_active = false;
        m_lastCharge = charge;
        if (was) {
            m_lastEnd = ms;
            return m_low ? Event::None : Event::CutShort;
        }
        return Event::None;
    }
    if (!m_active) {
        m_active = true;
        m_low = false;
        m_discharge = {};
        m_cacheExponent = -1;
        m_paceMs = -1;
        // Charged when the UPS says so, else when the mains has been back long enough.
        const std::optional<double> before = m_lastCharge ? m_lastCharge : charge;
        if (before)
            m_discharge.fullStart = *before >= 95;
        else
            m_discharge.fullStart = m_lastEnd < 0 || ms - m_lastEnd >= ChargedAfterMs;
        m_startUsed = m_discharge.fullStart || !before ? 0.0 : 1.0 - *before / 100.0;
        if (load)
            m_discharge.points.append({ms, *load, v});
        m_lastLoad = load.value_or(-1);
        return Event::Began;
    }
    if (m_low)
        return Event::None;
    // A charge read in the first seconds may be fresher than the one from before the failure
    // (the charge is asked less often than the status): a higher one stands.
    if (charge && !m_discharge.points.isEmpty() && ms - m_discharge.points.first().ms < 15000 &&
        1.0 - *charge / 100.0 < m_startUsed) {
        m_startUsed = 1.0 - *charge / 100.0;
        m_discharge.fullStart = m_discharge.fullStart || *charge >= 95;
        if (m_discharge.fullStart)
            m_startUsed = 0;
    }
    // A new point when the load or the voltage changes, and every half minute so that a gap
    // shows.
    if (load &&
        (m_discharge.points.isEmpty() || *load != m_discharge.points.last().load ||
         v != m_discharge.points.last().volts || ms - m_discharge.points.last().ms >= 30 * 1000)) {
        m_discharge.points.append({ms, *load, v});
        m_lastLoad = *load;
    }
    if (batteryLow) {
        m_low = true;
        m_discharge.lowMs = ms;
        return Event::ReachedLow;
    }
    return Event::None;
}

double DischargeTracker::used(const DischargeModel &model, qint64 ms) const
{
    if (model.scale() <= 0 || m_discharge.points.isEmpty())
        return m_startUsed;
    const QVector<DischargeModel::Point> &p = m_discharge.points;
    // The finished intervals are summed once per exponent; only the last one grows.
    if (m_cacheExponent != model.exponent() || m_cachePoints > p.size()) {
        m_cacheExponent = model.exponent();
        m_cachePoints = 1;
        m_cacheSeconds = 0;
    }
    while (m_cachePoints < p.size()) {
        const DischargeModel::Point &a = p[m_cachePoints - 1];
        const qint64 span = std::max<qint64>(0, p[m_cachePoints].ms - a.ms);
        m_cacheSeconds += std::pow(std::max(a.load, DischargeModel::LowestLoad) / 100.0,
                                   model.exponent()) * double(span) / 1000.0;
        ++m_cachePoints;
    }
    const DischargeModel::Point &last = p.last();
    const double open = std::pow(std::max(last.load, DischargeModel::LowestLoad) / 100.0,
                                 model.exponent()) *
        double(std::max<qint64>(0, ms - last.ms)) / 1000.0;
    return m_startUsed + (m_cacheSeconds + open) / model.scale();
}

DischargeModel::Pace DischargeTracker::pace(const DischargeModel &model, qint64 ms) const
{
    if (!m_active || m_low) {
        DischargeModel::Pace none;
        none.startUsed = m_startUsed;
        return none;
    }
    // Its readings come a second or so apart and it moves over minutes: every five seconds is
    // enough, and keeps a prediction to a few microseconds.
    if (m_paceMs < 0 || ms - m_paceMs >= 5000 || ms < m_paceMs ||
        m_paceExponent != model.exponent() || m_paceScale != model.scale() ||
        m_paceCurves != model.curves()) {
        m_pace = model.pace(m_discharge.points, m_startUsed, ms);
        m_paceMs = ms;
        m_paceExponent = model.exponent();
        m_paceScale = model.scale();
        m_paceCurves = model.curves();
    }
    return m_pace;
}

DischargeModel::Prediction DischargeTracker::predict(const DischargeModel &model, double load,
                                                     qint64 ms) const
{
    return model.predict(load, used(model, ms), pace(model, ms));
}
