#pragma once

#include "platform.h"

#include <QtGlobal>

// The D-Bus calls live in a module of their own, quelta-bus.so, opened by the first call that
// needs the bus: a service that never powers the computer off and has no desktop to notify maps
// neither Qt's D-Bus library nor libdbus and the system libraries that come with it.
struct BusFunctions
{
    void (*powerOff)(std::function<void(platform::PowerOffResult)> done);
    void (*showNotification)(const platform::Notice &notice,
                             std::function<void(platform::NotificationResult, unsigned int)> done);
    void (*closeNotification)(unsigned int id);
    void (*setNotificationActionHandler)(
        std::function<void(unsigned int, const std::wstring &)> handler);
};

// The module's one exported function.
using BusFunctionsEntry = const BusFunctions *(*)();
constexpr const char busFunctionsSymbol[] = "quelta_bus_functions";
constexpr const char busModuleName[] = "quelta-bus.so";
