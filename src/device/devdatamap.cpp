#include "devdatamap.h"

#include "upsstate.h"

namespace {

constexpr int historyLength = 60;

const char *const statusKeys[8] = {"mainsFault", "battLowVol", "bypassStart", "UPSFault",
                                   "workState",  "selfTest",   "powerOff",    "buzzer"};

template<typename T> QVariant valueOf(const std::optional<T> &value)
{
    return QVariant::fromValue(value.value_or(T()));
}

// A voltage the UPS did not report stays empty in the history, so the chart draws no 0 V for it.
QVariant historyValue(const std::optional<float> &value)
{
    return value ? QVariant(*value) : QVariant();
}

} // namespace

DevDataMap::DevDataMap() : m_inputHistory({0.0f}), m_outputHistory({0.0f}) { }

void DevDataMap::record(const UpsState &state)
{
    if (m_inputHistory.size() >= historyLength) {
        m_inputHistory.removeFirst();
        m_outputHistory.removeFirst();
    }
    m_inputHistory.append(historyValue(state.inputVoltage));
    m_outputHistory.append(historyValue(state.outputVoltage));
}

QVariantMap DevDataMap::map(const UpsState &state, bool linkKnown) const
{
    QVariantMap map;
    map.insert(QStringLiteral("inputVol"), valueOf(state.inputVoltage));
    map.insert(QStringLiteral("outputVol"), valueOf(state.outputVoltage));
    map.insert(QStringLiteral("load"), valueOf(state.load));
    map.insert(QStringLiteral("inputFreq"), valueOf(state.inputFrequency));
    map.insert(QStringLiteral("battVol"), valueOf(state.batteryVoltage));
    map.insert(QStringLiteral("battCapacity"), valueOf(state.batteryCharge));
    map.insert(QStringLiteral("battRemainTime"), valueOf(state.runtime));
    map.insert(QStringLiteral("temperature"), valueOf(state.temperature));
    map.insert(QStringLiteral("inputVolList"), m_inputHistory);
    map.insert(QStringLiteral("outputVolList"), m_outputHistory);

    const quint8 status = state.statusByte();
    for (int bit = 0; bit < 8; ++bit)
        map.insert(QLatin1String(statusKeys[bit]), (status >> bit) & 1);

    map.insert(QStringLiteral("ratingOutputVol"), valueOf(state.ratedOutputVoltage));
    map.insert(QStringLiteral("ratingFreq"), valueOf(state.ratedFrequency));
    map.insert(QStringLiteral("ratingBattVol"), valueOf(state.ratedBatteryVoltage));
    map.insert(QStringLiteral("ratingCurrent"), valueOf(state.ratedCurrent));
    map.insert(QStringLiteral("compName"), state.manufacturer);
    map.insert(QStringLiteral("UPSModel"), state.model);
    map.insert(QStringLiteral("version"), state.firmware);
    map.insert(QStringLiteral("sn"), state.serialNumber);
    if (linkKnown)
        map.insert(QStringLiteral("devOnline"), state.online());
    return map;
}
