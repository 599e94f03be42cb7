#include "upsstate.h"

#include "upscondition.h"

#include <algorithm>
#include <cmath>

namespace {

bool UpsState::*const statusFlags[8] = {
    &UpsState::onBattery,   &UpsState::batteryLow, &UpsState::bypass,         &UpsState::upsFailed,
    &UpsState::standbyType, &UpsState::selfTest,   &UpsState::shutdownActive, &UpsState::beeper};

} // namespace

UpsState::Mode UpsState::mode() const
{
    if (upsFailed)
        return Mode::Failed;
    if (onBattery)
        return Mode::OnBattery;
    if (bypass)
        return Mode::BypassOrBoost;
    if (standbyType)
        return Mode::Standby;
    return Mode::Normal;
}

bool UpsState::outputOff() const
{
    return online() && outputVoltage && std::isfinite(*outputVoltage) &&
        *outputVoltage < outputOffVolts;
}

bool UpsState::faulted() const
{
    return upsFailed ||
        ((faultKind == 1 || faultKind == 2) &&
         std::any_of(faultWords.cbegin(), faultWords.cend(), [](quint16 word) { return word; }));
}

int UpsState::runtimeFromCharge(float percent)
{
    return int(qBound(0.0f, percent, 100.0f) * 1.2f);
}

bool UpsState::operator==(const UpsState &other) const
{
    return link == other.link && statusByte() == other.statusByte() &&
        forcedShutdown == other.forcedShutdown && testVerdict == other.testVerdict &&
        faultKind == other.faultKind && faultWords == other.faultWords &&
        inputVoltage == other.inputVoltage && inputFaultVoltage == other.inputFaultVoltage &&
        outputVoltage == other.outputVoltage && load == other.load &&
        inputFrequency == other.inputFrequency && batteryVoltage == other.batteryVoltage &&
        temperature == other.temperature && batteryCharge == other.batteryCharge &&
        chargeEstimated == other.chargeEstimated && runtime == other.runtime &&
        runtimeEstimated == other.runtimeEstimated &&
        ratedOutputVoltage == other.ratedOutputVoltage &&
        ratedBatteryVoltage == other.ratedBatteryVoltage && ratedCurrent == other.ratedCurrent &&
        ratedFrequency == other.ratedFrequency && manufacturer == other.manufacturer &&
        model == other.model && firmware == other.firmware && serialNumber == other.serialNumber;
}

quint8 UpsState::statusByte() const
{
    quint8 status = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (this->*statusFlags[bit])
            status |= quint8(1u << bit);
    }
    return status;
}

void UpsState::setStatusByte(quint8 status)
{
    for (int bit = 0; bit < 8; ++bit)
        this->*statusFlags[bit] = (status >> bit) & 1;
}

UpsState::Health UpsState::health() const
{
    // From the condition every face shows, so a status query never disagrees with the window.
    switch (UpsCondition::of(*this, -1)) {
    case UpsCondition::Waiting:
    case UpsCondition::CommLost:
        return Health::NoUps;
    case UpsCondition::Fault:
    case UpsCondition::OutputOff:
    case UpsCondition::BatteryLow:
        return Health::Critical;
    case UpsCondition::OnBattery:
        return forcedShutdown ? Health::Critical : Health::OnBattery;
    case UpsCondition::Normal:
    case UpsCondition::OutputOffPending:
        break;
    }
    return forcedShutdown ? Health::Critical : Health::OnMains;
}
