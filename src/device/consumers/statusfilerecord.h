#pragma once

#include <QByteArray>

#include <array>

struct UpsState;
class QDateTime;

// The one-line status summary that other programs read from "/log/output/upsstatus.txt":
// operating mode, communication lost, battery level, fan fault, over-temperature, load level,
// battery fault, charger fault, inverter fault.
struct StatusFileRecord
{
    enum Position {
        OperatingMode = 0,
        CommLost = 1,
        BatteryLevel = 2,
        FanFault = 3,
        OverTemperature = 4,
        LoadLevel = 5,
        BatteryFault = 6,
        ChargerFault = 7,
        InverterFault = 8,
        Count = 9
    };

    std::array<quint8, Count> values {};

    // The summary of a state; the fault positions read the words of kinds 1 and 2.
    static StatusFileRecord fromState(const UpsState &state);

    // "yyyy/MM/dd hh:mm:ss" followed by ",value" nine times and CR LF.
    QByteArray line(const QDateTime &time) const;

    bool operator==(const StatusFileRecord &other) const { return values == other.values; }
    bool operator!=(const StatusFileRecord &other) const { return values != other.values; }
};
