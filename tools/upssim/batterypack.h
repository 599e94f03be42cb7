#pragma once

#include <QString>

// A lead-acid string under load: capacity in ampere-hours at the 20-hour rate, a Peukert exponent
// (high currents use the charge faster), internal resistance (the terminal voltage sags with the
// current and recovers when it falls), an open-circuit voltage that follows the charge, capacity
// that fades with cycles and years and shrinks in the cold. It keeps the charge as a share; the
// UPS model asks it how fast that share falls at a power and what the terminals show.
class BatteryPack
{
public:
    double ampHours = 9.0;
    double peukert = 1.2;
    double ohms = 0.06; // the whole string
    double fadePerCycle = 0.0; // percent of the new capacity lost per full cycle
    double fadePerYear = 0.0; // percent lost per year of age
    double cycles = 0.0; // full-cycle equivalents so far
    double years = 0.0;
    double reportFactor = 1.0; // the UPS's own runtime figure is the true one times this
    int cells = 12;

    // Reads "key=value" words (ah, peukert, ohms, fadecycle, fadeyear, cycles, years, factor);
    // false with the reason on the first bad one, leaving the pack unchanged.
    bool configure(const QStringList &words, QString *why);
    QString describe() const;

    // Share of the new capacity still there after ageing, and at this temperature.
    double health() const;
    double usableAmpHours(double celsius) const;

    // Open-circuit voltage of the string at a charge share (0..1).
    double openVoltage(double charge) const;
    // Current drawn for this power at this charge, and the terminal voltage then; current < 0
    // when the string cannot deliver the power at all.
    double current(double watts, double charge) const;
    double terminalVoltage(double watts, double charge) const;
    // Charge share used per second at this power.
    double drainPerSecond(double watts, double charge, double celsius) const;
    // Seconds until the charge falls to `lowShare` (or the voltage to its cut-off) at this power.
    double secondsTo(double lowShare, double watts, double charge, double celsius) const;
    // Lowest loaded voltage per cell the UPS accepts before it reports battery low.
    static constexpr double CutoffPerCell = 1.70;

    // A discharge of `share` of the charge adds to the wear.
    void wear(double share) { cycles += share; }
};
