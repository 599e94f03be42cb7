#pragma once

#include <QString>

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
// none is pending. A switch-off the UPS announces by itself is pending too, its time unknown.
Condition of(const UpsState &state, int outputOffSeconds);

// A short name of the condition for machines and style sheets: "waiting", "normal",
// "onbattery", "batterylow", "outputoffpending", "outputoff", "fault", "commlost".
const char *key(Condition condition);

// What a face says of a UPS, chosen here once so the window, the tray and the web page only
// translate it: the key of the words, and for an output-off counted down the time left to put in
// them ("Output off in 00:54").
struct Words
{
    // key() of the condition, or "portbusy" while another program holds the port the UPS is
    // read through, or "outputoffsoon" for an output-off whose time is not known.
    const char *key;
    QString time; // "mm:ss" with "outputoffpending", else empty
};
Words words(Condition condition, bool portBusy, int outputOffSeconds);

} // namespace UpsCondition
