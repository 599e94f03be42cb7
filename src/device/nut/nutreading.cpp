#include "nutreading.h"

#include "nutstatusflags.h"
#include "upsstate.h"

#include <cmath>

namespace {

struct Range
{
    double low;
    double high;
};

// Bounds far outside any UPS, only to keep nonsense out of the tables and the countdown.
const Range anyVoltage {0, 100000};
const Range percent {0, 100};
const Range anyLoad {0, 1000};
const Range anyFrequency {0, 1000};
const Range anyTemperature {-100, 300};
const Range anyRuntime {0, 1e9};
const Range anyCurrent {0, 100000};

class Reader
{
public:
    explicit Reader(const QHash<QString, QString> &variables, QStringList *refused)
        : m_variables(variables), m_refused(refused)
    {
    }

    std::optional<double> number(const QString &name, Range range) const
    {
        const auto it = m_variables.constFind(name);
        if (it == m_variables.constEnd())
            return std::nullopt;
        const std::optional<double> value = NutReading::parseNumber(*it);
        if (!value || *value < range.low || *value > range.high) {
            m_refused->append(name);
            return std::nullopt;
        }
        return value;
    }

    std::optional<double> number(const QString &name, const QString &fallback, Range range) const
    {
        const std::optional<double> value = number(name, range);
        return value ? value : number(fallback, range);
    }

    QString text(const QString &name, const QString &fallback = QString()) const
    {
        const QString value = m_variables.value(name).trimmed();
        return value.isEmpty() && !fallback.isEmpty() ? m_variables.value(fallback).trimmed()
                                                      : value;
    }

    bool has(const QString &name) const { return m_variables.contains(name); }

private:
    const QHash<QString, QString> &m_variables;
    QStringList *m_refused;
};

std::optional<float> toFloat(const std::optional<double> &value)
{
    return value ? std::optional<float>(float(*value)) : std::nullopt;
}

std::optional<int> toInt(const std::optional<double> &value)
{
    return value ? std::optional<int>(int(std::lround(*value))) : std::nullopt;
}

} // namespace

std::optional<double> NutReading::parseNumber(const QString &text)
{
    int digits = 0;
    int points = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 0x80)
            ++digits;
        else if (c == QLatin1Char('.'))
            ++points;
        else if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && i == 0)
            continue;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

NutReading NutReading::fromVariables(const QHash<QString, QString> &variables)
{
    NutReading r;
    const Reader read(variables, &r.refused);

    using F = NutStatusFlags;
    const F::Flags status = F::parse(variables.value(QStringLiteral("ups.status")));
    const std::pair<F::Flag, bool NutReading::*> fields[] = {
        {F::Online, &NutReading::online},
        {F::OnBattery, &NutReading::onBattery},
        {F::BatteryLow, &NutReading::batteryLow},
        {F::Bypass, &NutReading::bypass},
        {F::Calibrating, &NutReading::calibrating},
        {F::ForcedShutdown, &NutReading::forcedShutdown},
        {F::Trim, &NutReading::trim},
        {F::Boost, &NutReading::boost},
        {F::OutputOff, &NutReading::outputOff},
        {F::Overload, &NutReading::overload},
        {F::ReplaceBattery, &NutReading::replaceBattery},
        {F::Charging, &NutReading::charging},
        {F::Discharging, &NutReading::discharging},
        {F::Alarm, &NutReading::alarm},
    };
    for (const auto &field : fields) {
        if (status.testFlag(field.first)) {
            r.*field.second = true;
            r.statusKnown = true;
        }
    }

    const QString test = read.text(QStringLiteral("ups.test.result")).toLower();
    if (test.contains(QLatin1String("progress")))
        r.testInProgress = true;
    else if (test.contains(QLatin1String("passed")) || test == QLatin1String("ok"))
        r.testVerdict = UpsState::TestVerdict::Passed;
    else if (test.contains(QLatin1String("warning")))
        r.testVerdict = UpsState::TestVerdict::Warning;
    else if (test.contains(QLatin1String("error")) || test.contains(QLatin1String("fail")))
        r.testVerdict = UpsState::TestVerdict::Failed;

    r.inputVoltage = read.number(QStringLiteral("input.voltage"), anyVoltage);
    r.outputVoltage = read.number(QStringLiteral("output.voltage"), anyVoltage);
    r.load = read.number(QStringLiteral("ups.load"), anyLoad);
    r.inputFrequency = read.number(QStringLiteral("input.frequency"), anyFrequency);
    r.batteryVoltage = read.number(QStringLiteral("battery.voltage"), anyVoltage);
    r.temperature = read.number(QStringLiteral("ups.temperature"),
                                QStringLiteral("battery.temperature"), anyTemperature);
    r.batteryCharge = read.number(QStringLiteral("battery.charge"), percent);
    r.batteryRuntime = read.number(QStringLiteral("battery.runtime"), anyRuntime);
    // A serial UPS's rating reply is published under the input's names by NUT's driver.
    r.ratingOutputVoltage = read.number(QStringLiteral("output.voltage.nominal"),
                                        QStringLiteral("input.voltage.nominal"), anyVoltage);
    r.ratingFrequency = read.number(QStringLiteral("output.frequency.nominal"),
                                    QStringLiteral("input.frequency.nominal"), anyFrequency);
    r.ratingBatteryVoltage = read.number(QStringLiteral("battery.voltage.nominal"), anyVoltage);
    r.ratingCurrent = read.number(QStringLiteral("output.current.nominal"),
                                  QStringLiteral("input.current.nominal"), anyCurrent);

    if (read.has(QStringLiteral("ups.beeper.status"))) {
        const QString beeper = read.text(QStringLiteral("ups.beeper.status")).toLower();
        if (beeper == QLatin1String("enabled"))
            r.beeperOn = true;
        else if (beeper == QLatin1String("disabled") || beeper == QLatin1String("muted"))
            r.beeperOn = false;
        else
            r.refused.append(QStringLiteral("ups.beeper.status"));
    }
    if (read.has(QStringLiteral("ups.type"))) {
        const QString type = read.text(QStringLiteral("ups.type")).toLower();
        r.standbyType = type.startsWith(QLatin1String("offline")) ||
            type.contains(QLatin1String("line interactive")) ||
            type.contains(QLatin1String("line-interactive"));
    }

    r.manufacturer = read.text(QStringLiteral("device.mfr"), QStringLiteral("ups.mfr"));
    r.model = read.text(QStringLiteral("device.model"), QStringLiteral("ups.model"));
    r.firmware = read.text(QStringLiteral("ups.firmware"));
    r.serial = read.text(QStringLiteral("device.serial"), QStringLiteral("ups.serial"));
    return r;
}

UpsState NutReading::toState() const
{
    const NutReading &r = *this;
    UpsState s;
    s.link = UpsState::Link::Online;
    s.onBattery = r.onBattery;
    s.batteryLow = r.batteryLow;
    // Trimming and boosting are what a line-interactive unit does; the alarm then says "Boost or
    // buck activated" rather than "Bypass supply".
    s.bypass = r.bypass || r.trim || r.boost;
    s.standbyType = (r.trim || r.boost) ? true : (r.bypass ? false : r.standbyType.value_or(false));
    s.upsFailed = r.alarm || r.overload || r.replaceBattery;
    s.selfTest = r.calibrating || r.testInProgress;
    s.testVerdict = r.testVerdict;
    s.shutdownActive = r.outputOff || r.forcedShutdown;
    s.forcedShutdown = r.forcedShutdown;
    s.beeper = r.beeperOn.value_or(false);
    s.inputVoltage = toFloat(r.inputVoltage);
    s.outputVoltage = toFloat(r.outputVoltage);
    s.load = toInt(r.load);
    s.inputFrequency = toFloat(r.inputFrequency);
    s.batteryVoltage = toFloat(r.batteryVoltage);
    s.temperature = toFloat(r.temperature);
    s.batteryCharge = toFloat(r.batteryCharge);
    if (r.batteryRuntime)
        s.runtime = int(*r.batteryRuntime / 60);
    s.ratedOutputVoltage = toFloat(r.ratingOutputVoltage);
    s.ratedBatteryVoltage = toFloat(r.ratingBatteryVoltage);
    s.ratedCurrent = toInt(r.ratingCurrent);
    s.ratedFrequency = toFloat(r.ratingFrequency);
    s.manufacturer = r.manufacturer;
    s.model = r.model;
    s.firmware = r.firmware;
    s.serialNumber = r.serial;
    return s;
}
