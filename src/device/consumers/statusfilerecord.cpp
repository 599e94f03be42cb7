#include "statusfilerecord.h"

#include "upsstate.h"

#include <QDateTime>
#include <QLocale>

namespace {

struct FaultBits
{
    StatusFileRecord::Position position;
    int word;
    quint16 mask;
};

const FaultBits kindOneFaults[] = {
    {StatusFileRecord::FanFault, 8, 0x0030},      {StatusFileRecord::OverTemperature, 8, 0x0381},
    {StatusFileRecord::BatteryFault, 5, 0x03FF},  {StatusFileRecord::ChargerFault, 5, 0x0C00},
    {StatusFileRecord::InverterFault, 3, 0x0008},
};

const FaultBits kindTwoFaults[] = {
    {StatusFileRecord::FanFault, 0, 0x0080},        {StatusFileRecord::OverTemperature, 0, 0x0201},
    {StatusFileRecord::OverTemperature, 2, 0x2000}, {StatusFileRecord::OverTemperature, 7, 0x0024},
    {StatusFileRecord::BatteryFault, 4, 0x00F4},    {StatusFileRecord::ChargerFault, 0, 0x0800},
    {StatusFileRecord::InverterFault, 2, 0x0001},
};

quint8 batteryLevel(float capacity)
{
    if (capacity < 25.0f)
        return 3;
    if (capacity < 50.0f)
        return 2;
    if (capacity < 75.0f)
        return 1;
    return 0;
}

quint8 loadLevel(int load)
{
    if (load < 25)
        return 3;
    if (load < 50)
        return 2;
    if (load < 75)
        return 1;
    if (load <= 100)
        return 0;
    return 4;
}

template<std::size_t N>
void applyFaults(StatusFileRecord &record, const FaultBits (&table)[N],
                 const std::array<quint16, 13> &words)
{
    for (const FaultBits &entry : table) {
        if (words[entry.word] & entry.mask)
            record.values[entry.position] = 1;
    }
}

} // namespace

StatusFileRecord StatusFileRecord::fromState(const UpsState &state)
{
    StatusFileRecord record;
    if (!state.online()) {
        record.values[CommLost] = 1;
        return record;
    }
    record.values[OperatingMode] = quint8(state.mode());
    record.values[BatteryLevel] = batteryLevel(state.batteryCharge.value_or(0.0f));
    record.values[LoadLevel] = loadLevel(state.load.value_or(0));
    if (state.faultKind == 1)
        applyFaults(record, kindOneFaults, state.faultWords);
    else if (state.faultKind == 2)
        applyFaults(record, kindTwoFaults, state.faultWords);
    return record;
}

QByteArray StatusFileRecord::line(const QDateTime &time) const
{
    QByteArray text =
        QLocale(QLocale::English).toString(time, QStringLiteral("yyyy/MM/dd hh:mm:ss")).toLatin1();
    for (quint8 value : values) {
        text += ',';
        text += QByteArray::number(value);
    }
    text += "\r\n";
    return text;
}
