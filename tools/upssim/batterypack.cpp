#include "batterypack.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {
// Open-circuit voltage of one cell against its charge: flat in the middle, falling fast at the end.
constexpr double CurveCharge[] = {0.0, 0.05, 0.1, 0.2, 0.4, 0.6, 0.8, 0.9, 1.0};
constexpr double CurveVolts[] = {1.88, 1.93, 1.96, 1.99, 2.03, 2.07, 2.10, 2.12, 2.14};
} // namespace

bool BatteryPack::configure(const QStringList &words, QString *why)
{
    BatteryPack next = *this;
    struct Field {
        const char *name;
        double *value;
        double low, high;
    };
    const Field fields[] = {
        {"ah", &next.ampHours, 0.1, 10000},        {"peukert", &next.peukert, 1.0, 1.6},
        {"ohms", &next.ohms, 0.0, 5.0},            {"fadecycle", &next.fadePerCycle, 0.0, 10.0},
        {"fadeyear", &next.fadePerYear, 0.0, 50.0}, {"cycles", &next.cycles, 0.0, 100000},
        {"years", &next.years, 0.0, 50.0},          {"factor", &next.reportFactor, 0.05, 20.0},
    };
    for (const QString &word : words) {
        const int equals = word.indexOf(QLatin1Char('='));
        const QString key = word.left(equals).toLower();
        bool ok = false;
        const double value = word.mid(equals + 1).toDouble(&ok);
        const Field *field = nullptr;
        for (const Field &f : fields)
            if (key == QLatin1String(f.name))
                field = &f;
        if (equals < 0 || !field) {
            *why = QStringLiteral("unknown pack setting %1").arg(word);
            return false;
        }
        if (!ok || value < field->low || value > field->high) {
            *why = QStringLiteral("%1 must be from %2 to %3").arg(key).arg(field->low).arg(field->high);
            return false;
        }
        *field->value = value;
    }
    *this = next;
    return true;
}

QString BatteryPack::describe() const
{
    return QStringLiteral("ah=%1 peukert=%2 ohms=%3 fadecycle=%4 fadeyear=%5 cycles=%6 years=%7 "
                          "factor=%8 health=%9")
        .arg(ampHours)
        .arg(peukert)
        .arg(ohms)
        .arg(fadePerCycle)
        .arg(fadePerYear)
        .arg(cycles, 0, 'f', 2)
        .arg(years)
        .arg(reportFactor)
        .arg(health(), 0, 'f', 3);
}

double BatteryPack::health() const
{
    return std::max(0.05, 1.0 - fadePerCycle / 100.0 * cycles - fadePerYear / 100.0 * years);
}

double BatteryPack::usableAmpHours(double celsius) const
{
    // Lead-acid gives about 0.6 % less per degree below 25 °C, a little more above.
    const double warmth = std::clamp(1.0 + 0.006 * (celsius - 25.0), 0.5, 1.1);
    return ampHours * health() * warmth;
}

double BatteryPack::openVoltage(double charge) const
{
    const double c = std::clamp(charge, 0.0, 1.0);
    int i = 1;
    while (i < 8 && CurveCharge[i] < c)
        ++i;
    const double t = (c - CurveCharge[i - 1]) / (CurveCharge[i] - CurveCharge[i - 1]);
    return cells * (CurveVolts[i - 1] + t * (CurveVolts[i] - CurveVolts[i - 1]));
}

double BatteryPack::current(double watts, double charge) const
{
    if (watts <= 0)
        return 0;
    const double e = openVoltage(charge);
    if (ohms <= 0)
        return watts / e;
    // P = V·I with V = E − I·R: the smaller root is the working point.
    const double disc = e * e - 4.0 * ohms * watts;
    if (disc < 0)
        return -1;
    return (e - std::sqrt(disc)) / (2.0 * ohms);
}

double BatteryPack::terminalVoltage(double watts, double charge) const
{
    const double amps = current(watts, charge);
    return amps < 0 ? 0.0 : openVoltage(charge) - amps * ohms;
}

double BatteryPack::drainPerSecond(double watts, double charge, double celsius) const
{
    const double amps = current(watts, charge);
    const double capacity = usableAmpHours(celsius);
    if (amps < 0)
        return 1.0; // the string collapses at once
    // Peukert: at the 20-hour current the capacity is as rated, above it the charge goes faster.
    const double rated = ampHours / 20.0;
    const double effective = amps * std::pow(std::max(amps, 1e-9) / rated, peukert - 1.0);
    return effective / (capacity * 3600.0);
}

double BatteryPack::secondsTo(double lowShare, double watts, double charge, double celsius) const
{
    if (watts <= 0)
        return 1e9;
    // Steps of 1 % of the charge: the current rises as the voltage falls.
    double seconds = 0;
    double c = charge;
    const double step = 0.01;
    while (c > lowShare) {
        if (terminalVoltage(watts, c) < CutoffPerCell * cells)
            break;
        const double slice = std::min(step, c - lowShare);
        seconds += slice / drainPerSecond(watts, c - slice / 2, celsius);
        c -= slice;
    }
    return seconds;
}
