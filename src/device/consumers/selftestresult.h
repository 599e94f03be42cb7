#pragma once

#include <optional>

// How a self-test of the UPS ended, as the recorder saw it.
struct SelfTestResult
{
    int seconds = 0;
    // Battery voltage before the test less the lowest one during it; none when the UPS
    // reported no battery voltage.
    std::optional<float> voltageDrop;
    // Raised by the UPS while the test ran: the battery did not carry the load.
    bool batteryLow = false;
    bool upsFailed = false;

    bool passed() const { return !batteryLow && !upsFailed; }
};
