#include "nutdescriptions.h"

#include <QHash>

namespace {

QByteArray find(const QHash<QByteArray, QByteArray> &table, const QByteArray &name)
{
    return table.value(name.toLower());
}

} // namespace

QByteArray NutDescriptions::variable(const QByteArray &name)
{
    static const QHash<QByteArray, QByteArray> table = {
        {"battery.charge", "Battery charge (percent of full)"},
        {"battery.runtime", "Battery runtime left (seconds)"},
        {"battery.voltage", "Battery voltage (V)"},
        {"battery.voltage.nominal", "Rated battery voltage (V)"},
        {"device.mfr", "Maker of the device"},
        {"device.model", "Model of the device"},
        {"device.serial", "Serial number of the device"},
        {"device.type", "Kind of device"},
        {"driver.name", "Program serving the data"},
        {"driver.version", "Version of the program serving the data"},
        {"input.current.nominal", "Rated input current (A)"},
        {"input.frequency", "Input frequency (Hz)"},
        {"input.frequency.nominal", "Rated input frequency (Hz)"},
        {"input.voltage", "Input voltage (V)"},
        {"input.voltage.fault", "Input voltage at the last power fault (V)"},
        {"input.voltage.nominal", "Rated input voltage (V)"},
        {"output.current.nominal", "Rated output current (A)"},
        {"output.frequency.nominal", "Rated output frequency (Hz)"},
        {"output.voltage", "Output voltage (V)"},
        {"output.voltage.nominal", "Rated output voltage (V)"},
        {"ups.alarm", "Current alarms of the UPS"},
        {"ups.beeper.status", "Beeper state (enabled, disabled)"},
        {"ups.firmware", "Firmware version of the UPS"},
        {"ups.load", "Load on the UPS (percent of capacity)"},
        {"ups.mfr", "Maker of the UPS"},
        {"ups.model", "Model of the UPS"},
        {"ups.serial", "Serial number of the UPS"},
        {"ups.status", "UPS status flags"},
        {"ups.temperature", "Temperature inside the UPS (degrees C)"},
        {"ups.test.date", "Date of the last battery test"},
        {"ups.test.result", "Outcome of the last battery test"},
        {"ups.type", "Kind of UPS (online, line-interactive, offline)"},
    };
    return find(table, name);
}

QByteArray NutDescriptions::command(const QByteArray &name)
{
    static const QHash<QByteArray, QByteArray> table = {
        {"beeper.toggle", "Switch the UPS beeper on or off"},
        {"load.off", "Switch the UPS output off now"},
        {"load.on", "Switch the UPS output on again"},
        {"shutdown.return", "Switch the output off, on again when the mains is back"},
        {"shutdown.stayoff", "Switch the output off and keep it off"},
        {"shutdown.stop", "Cancel a pending output shutdown"},
        {"test.battery.start", "Battery test for the given seconds (10 minutes if none)"},
        {"test.battery.start.deep", "Battery test until the battery runs low"},
        {"test.battery.start.quick", "Ten-second battery test"},
        {"test.battery.stop", "Stop the battery test under way"},
    };
    return find(table, name);
}
