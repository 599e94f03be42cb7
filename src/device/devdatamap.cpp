#include "devdatamap.h"

#include "upsstate.h"

namespace {

constexpr int historyLength = 60;

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
    map.insert(QStringLiteral("inputVolList"), m_inputHistory);
    map.insert(QStringLiteral("outputVolList"), m_outputHistory);
    if (linkKnown)
        map.insert(QStringLiteral("devOnline"), state.online());
    return map;
}
