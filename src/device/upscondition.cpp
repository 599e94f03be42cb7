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
    if (state.upsFailed)
        return Fault;
    if (state.outputOff())
        return OutputOff;
    if (outputOffSeconds >= 0)
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

} // namespace UpsCondition
