#include "webmetrics.h"

#include "nutstatusflags.h"
#include "upsentry.h"
#include "webapi.h"
#include "webtexts.h"

#include <cmath>
#include <functional>
#include <optional>

namespace {

using Reading = std::function<std::optional<double>(const UpsState &)>;

template<typename T> std::optional<double> value(const std::optional<T> &v, double scale = 1)
{
    if (!v || !std::isfinite(double(*v)))
        return std::nullopt;
    return double(*v) * scale;
}

struct Gauge
{
    const char *name;
    const char *help;
    Reading read;
};

// Each reading under a name of Prometheus' conventions (base units; ratios from 0 to 1); the
// help says the NUT variable it stands for.
const QVector<Gauge> &gauges()
{
    static const QVector<Gauge> list = {
        {"quelta_ups_input_voltage_volts", "Input voltage (NUT input.voltage).",
         [](const UpsState &s) {
             return value(s.inputVoltage);
         }},
        {"quelta_ups_input_fault_voltage_volts", "Input fault voltage (NUT input.voltage.fault).",
         [](const UpsState &s) {
             return value(s.inputFaultVoltage);
         }},
        {"quelta_ups_input_frequency_hertz", "Input frequency (NUT input.frequency).",
         [](const UpsState &s) {
             return value(s.inputFrequency);
         }},
        {"quelta_ups_output_voltage_volts", "Output voltage (NUT output.voltage).",
         [](const UpsState &s) {
             return value(s.outputVoltage);
         }},
        {"quelta_ups_load_ratio", "Load of the UPS, 1 for full load (NUT ups.load / 100).",
         [](const UpsState &s) {
             return value(s.load, 0.01);
         }},
        {"quelta_ups_battery_voltage_volts", "Battery voltage (NUT battery.voltage).",
         [](const UpsState &s) {
             return value(s.batteryVoltage);
         }},
        {"quelta_ups_battery_charge_ratio",
         "Battery charge, 1 for full (NUT battery.charge / 100).",
         [](const UpsState &s) {
             return value(s.batteryCharge, 0.01);
         }},
        {"quelta_ups_temperature_celsius", "Temperature of the UPS (NUT ups.temperature).",
         [](const UpsState &s) {
             return value(s.temperature);
         }},
        {"quelta_ups_output_voltage_nominal_volts",
         "Rated output voltage (NUT output.voltage.nominal).",
         [](const UpsState &s) {
             return value(s.ratedOutputVoltage);
         }},
        {"quelta_ups_battery_voltage_nominal_volts",
         "Rated battery voltage (NUT battery.voltage.nominal).",
         [](const UpsState &s) {
             return value(s.ratedBatteryVoltage);
         }},
        {"quelta_ups_output_current_nominal_amperes",
         "Rated output current (NUT output.current.nominal).",
         [](const UpsState &s) {
             return value(s.ratedCurrent);
         }},
        {"quelta_ups_input_frequency_nominal_hertz",
         "Rated frequency (NUT input.frequency.nominal).",
         [](const UpsState &s) {
             return value(s.ratedFrequency);
         }},
    };
    return list;
}

// NUT's status flags, each a series of its own, so a rule can ask for one.
const NutStatusFlags::Flag flags[] = {NutStatusFlags::Online,      NutStatusFlags::OnBattery,
                                      NutStatusFlags::BatteryLow,  NutStatusFlags::Bypass,
                                      NutStatusFlags::Boost,       NutStatusFlags::Trim,
                                      NutStatusFlags::Calibrating, NutStatusFlags::OutputOff,
                                      NutStatusFlags::Alarm,       NutStatusFlags::ForcedShutdown};

QByteArray number(double v)
{
    return QByteArray::number(WebApi::decimal(v), 'g', 10);
}

void family(QByteArray &out, const char *name, const char *type, const char *help)
{
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += type;
    out += '\n';
}

QByteArray upsLabel(const UpsEntry &e)
{
    return "ups=\"" + WebMetrics::labelValue(e.name) + '"';
}

} // namespace

QByteArray WebMetrics::labelValue(const QString &value)
{
    QByteArray out;
    for (char c : value.toUtf8()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

QByteArray WebMetrics::render(const QVector<UpsEntry> &entries, const WebTexts &texts,
                              const UpsDirectory::Computer &computer)
{
    QByteArray out;
    family(out, "quelta_build_info", "gauge", "The version of Quelta serving these metrics.");
    out += "quelta_build_info{version=\"" QUELTA_APP_VERSION "\"} 1\n";
    // This computer's own, whichever of its supplies started it.
    family(out, "quelta_shutdown_countdown_seconds", "gauge",
           "Seconds left before this computer shuts down; 0 while no countdown runs.");
    out += "quelta_shutdown_countdown_seconds " + QByteArray::number(computer.countdown) + '\n';
    family(out, "quelta_shutdown_supplies_able", "gauge",
           "The chosen supplies of this computer that can still feed it.");
    out += "quelta_shutdown_supplies_able " + QByteArray::number(computer.suppliesAble) + '\n';
    family(out, "quelta_shutdown_supplies_needed", "gauge",
           "How many supplies must be able to feed this computer.");
    out += "quelta_shutdown_supplies_needed " + QByteArray::number(computer.suppliesNeeded) + '\n';

    family(out, "quelta_ups_link_up", "gauge",
           "Whether the UPS answers (1) or not (0); no reading is given while it does not.");
    for (const UpsEntry &e : entries)
        out += "quelta_ups_link_up{" + upsLabel(e) + "} " + (e.state.online() ? "1" : "0") + '\n';

    for (const Gauge &g : gauges()) {
        QByteArray lines;
        for (const UpsEntry &e : entries) {
            if (!e.state.online())
                continue;
            if (const std::optional<double> v = g.read(e.state))
                lines += QByteArray(g.name) + '{' + upsLabel(e) + "} " + number(*v) + '\n';
        }
        if (lines.isEmpty())
            continue;
        family(out, g.name, "gauge", g.help);
        out += lines;
    }

    // What was learned from the discharges, and the one runtime every face shows.
    const struct
    {
        const char *name, *help;
        std::function<std::optional<double>(const UpsEntry &)> read;
    } learned[] = {
        {"quelta_ups_battery_runtime_seconds",
         "Backup time left (NUT battery.runtime): the UPS's own, else the one learned from its "
         "discharges.",
         [](const UpsEntry &e) { return value(e.runtimeSeconds()); }},
        {"quelta_ups_battery_runtime_predicted_seconds",
         "Seconds to battery low learned from the UPS's own discharges.",
         [](const UpsEntry &e) { return value(e.learned.predicted); }},
        {"quelta_ups_battery_health_ratio",
         "Battery capacity measured by its discharges, 1 for what the first ones showed.",
         [](const UpsEntry &e) { return value(e.learned.health); }},
    };
    for (const auto &g : learned) {
        QByteArray lines;
        for (const UpsEntry &e : entries) {
            if (!e.state.online())
                continue;
            if (const std::optional<double> v = g.read(e))
                lines += QByteArray(g.name) + '{' + upsLabel(e) + "} " + number(*v) + '\n';
        }
        if (lines.isEmpty())
            continue;
        family(out, g.name, "gauge", g.help);
        out += lines;
    }

    family(out, "quelta_ups_status", "gauge",
           "NUT's status flags (ups.status) of a UPS that answers: 1 set, 0 clear.");
    for (const UpsEntry &e : entries) {
        if (!e.state.online())
            continue;
        const QStringList set = WebApi::statusFlags(e);
        for (const NutStatusFlags::Flag flag : flags) {
            const char *word = NutStatusFlags::word(flag);
            out += "quelta_ups_status{" + upsLabel(e) + ",flag=\"" + word + "\"} " +
                (set.contains(QLatin1String(word)) ? "1" : "0") + '\n';
        }
    }

    family(out, "quelta_ups_shutdown_countdown_seconds", "gauge",
           "Seconds left before this computer shuts down; 0 while no countdown runs.");
    for (const UpsEntry &e : entries)
        out += "quelta_ups_shutdown_countdown_seconds{" + upsLabel(e) + "} " +
            QByteArray::number(e.countdown) + '\n';
    family(out, "quelta_ups_output_off_countdown_seconds", "gauge",
           "Seconds left before the UPS switches its output off; absent while none is pending.");
    for (const UpsEntry &e : entries) {
        if (e.outputOffSeconds >= 0)
            out += "quelta_ups_output_off_countdown_seconds{" + upsLabel(e) + "} " +
                QByteArray::number(e.outputOffSeconds) + '\n';
    }

    family(out, "quelta_ups_alarms_standing", "gauge", "Alarms in the current list.");
    for (const UpsEntry &e : entries)
        out += "quelta_ups_alarms_standing{" + upsLabel(e) + "} " +
            QByteArray::number(e.alarms.size()) + '\n';
    family(out, "quelta_ups_alarms_raised_total", "counter",
           "Alarms raised since the program started, by alarm code.");
    for (const UpsEntry &e : entries) {
        for (auto it = e.raised.constBegin(); it != e.raised.constEnd(); ++it) {
            out += "quelta_ups_alarms_raised_total{" + upsLabel(e) + ",code=\"" +
                QByteArray::number(it.key()) + "\",alarm=\"" +
                labelValue(texts.alarm(Languages::English, it.key())) + "\"} " +
                QByteArray::number(it.value()) + '\n';
        }
    }

    family(out, "quelta_ups_battery_replacement_due", "gauge",
           "Whether the battery is due for replacement by its age (1) or not (0).");
    for (const UpsEntry &e : entries)
        out += "quelta_ups_battery_replacement_due{" + upsLabel(e) + "} " +
            (e.batteryReplacementDue ? "1" : "0") + '\n';
    return out;
}
