#pragma once

#include "upsstate.h"

// Data sets the consumer suites feed in: an answering UPS with a status byte and readings, a
// silent one, and an answering one with one fault word set.
namespace UpsStates {

UpsState online(int status, float capacity = 100.0f, int load = 50, float inputVoltage = 230.0f);
UpsState offline();
UpsState faults(int kind, int word, quint16 value);

} // namespace UpsStates
