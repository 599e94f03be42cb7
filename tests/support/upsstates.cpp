#include "upsstates.h"

namespace UpsStates {

UpsState online(int status, float capacity, int load, float inputVoltage)
{
    UpsState state;
    state.link = UpsState::Link::Online;
    state.setStatusByte(quint8(status));
    state.batteryCharge = capacity;
    state.load = load;
    state.inputVoltage = inputVoltage;
    // Far from the input, so a list that mixes the two up shows it.
    state.outputVoltage = inputVoltage + 1000.0f;
    return state;
}

UpsState offline()
{
    UpsState state;
    state.link = UpsState::Link::Offline;
    return state;
}

UpsState faults(int kind, int word, quint16 value)
{
    UpsState state = online(0);
    state.faultKind = kind;
    state.faultWords[std::size_t(word)] = value;
    return state;
}

} // namespace UpsStates
