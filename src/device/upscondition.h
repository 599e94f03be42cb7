#pragma once

struct UpsState;

// The one state shown for a UPS wherever it is shown (the window's header and diagram, the tray,
// the web page), in rising order of severity: where several hold at once, the worst is shown.
namespace UpsCondition {

enum Condition {
    Waiting = 0, // no answer from the UPS yet
    Normal = 1,
    OnBattery = 2,
    BatteryLow = 3,
    OutputOffPending = 4, // the load still has power, for the output-off's seconds
    OutputOff = 5,
    Fault = 6,
    CommLost = 7
};

// `outputOffSeconds`: the seconds until an output-off asked of the UPS is carried out, -1 while
// none is pending.
Condition of(const UpsState &state, int outputOffSeconds);

// A short name of the condition for machines and style sheets: "waiting", "normal",
// "onbattery", "batterylow", "outputoffpending", "outputoff", "fault", "commlost".
const char *key(Condition condition);

} // namespace UpsCondition
