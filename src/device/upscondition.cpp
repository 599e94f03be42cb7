#include "upscondition.h"

#include "upsstate.h"

namespace UpsCondition {

Condition of(const UpsState &state, int outputOffSeconds)
{
    switch (state.link) {
    case UpsState::Link::Unknown:
        return Waiting;
    case UpsState::Link::Offline:
        return CommLost; // what the UPS said last is not known to hold any more
    case UpsState::Link::Online:
        break;
    }
    if (state.faulted())
        return Fault;
    if (state.outputOff())
        return OutputOff;
    // Asked by us, or announced by the UPS itself (its panel, another program on its port):
    // either way the load loses its power soon.
    if (outputOffSeconds >= 0 || state.shutdownActive)
        return OutputOffPending;
    // Low on mains too: a battery still recharging after an outage would not carry the load.
    if (state.batteryLow)
        return BatteryLow;
    if (state.onBattery)
        return OnBattery;
    return Normal;
}

const char *key(Condition condition)
{
    switch (condition) {
    case Waiting:
        break;
    case Normal:
        return "normal";
    case OnBattery:
        return "onbattery";
    case BatteryLow:
        return "batterylow";
    case OutputOffPending:
        return "outputoffpending";
    case OutputOff:
        return "outputoff";
    case Fault:
        return "fault";
    case CommLost:
        return "commlost";
    }
    return "waiting";
}

Words words(Condition condition, bool portBusy, int outputOffSeconds)
{
    // Busy only matters while nothing is read: with a UPS answering, its state is what counts.
    if (portBusy && (condition == Waiting || condition == CommLost))
        return {"portbusy", QString()};
    if (condition != OutputOffPending)
        return {key(condition), QString()};
    // Announced by the UPS itself: when is not known.
    if (outputOffSeconds < 0)
        return {"outputoffsoon", QString()};
    return {key(condition),
            QStringLiteral("%1:%2")
                .arg(outputOffSeconds / 60, 2, 10, QLatin1Char('0'))
                .arg(outputOffSeconds % 60, 2, 10, QLatin1Char('0'))};
}

} // namespace UpsCondition
