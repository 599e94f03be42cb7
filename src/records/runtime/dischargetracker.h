#pragma once

#include "dischargemodel.h"

#include <optional>

// Follows one UPS's readings and cuts them into discharges: one begins when the UPS runs from
// its battery (a mains failure or a self-test), ends at battery low (it can teach the model) or
// when the mains comes back first (cut short: it cannot).
class DischargeTracker
{
public:
    enum class Event { None, Began, ReachedLow, CutShort };
    // A battery on mains this long counts as charged when its charge is not reported.
    static constexpr qint64 ChargedAfterMs = 6 * 3600 * 1000LL;

    // One reading at `ms` of a steady clock; `charge` and `volts` (the battery's) only where
    // the UPS reports them.
    Event update(qint64 ms, bool discharging, bool batteryLow, std::optional<double> load,
                 std::optional<double> charge, std::optional<double> volts = std::nullopt);

    bool discharging() const { return m_active; }
    bool lowReached() const { return m_low; }
    // The discharge so far, or the one that just reached low.
    const DischargeModel::Discharge &discharge() const { return m_discharge; }
    // The share of a full battery gone since it was full, by the model's law.
    double used(const DischargeModel &model, qint64 ms) const;
    // What the voltage of this discharge says of its pace against the model's law (none while
    // not discharging); worked out again every few seconds of readings, else kept.
    DischargeModel::Pace pace(const DischargeModel &model, qint64 ms) const;
    // The model's figure for now at `load`: the share used so far and the pace.
    DischargeModel::Prediction predict(const DischargeModel &model, double load, qint64 ms) const;
    double lastLoad() const { return m_lastLoad; }

private:
    bool m_active = false;
    bool m_low = false;
    DischargeModel::Discharge m_discharge;
    double m_startUsed = 0; // the share already gone when the discharge began
    double m_lastLoad = -1;
    std::optional<double> m_lastCharge;
    qint64 m_lastEnd = -1; // when the last discharge ended; -1: none seen
    // Caches the load-seconds of the points for one exponent.
    mutable double m_cacheExponent = -1;
    mutable int m_cachePoints = 0;
    mutable double m_cacheSeconds = 0;
    // The pace last worked out, when and for which law.
    mutable DischargeModel::Pace m_pace;
    mutable qint64 m_paceMs = -1;
    mutable double m_paceExponent = -1, m_paceScale = -1;
    mutable int m_paceCurves = -1;};
