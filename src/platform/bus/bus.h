#pragma once

#include "platform.h"

// The D-Bus calls behind platform::powerOff and the desktop notices, as the module has them.
namespace bus {

void powerOff(std::function<void(platform::PowerOffResult result)> done);
void showNotification(const platform::Notice &notice,
                      std::function<void(platform::NotificationResult result, unsigned int id)> done);
void closeNotification(unsigned int id);
void setNotificationActionHandler(
    std::function<void(unsigned int id, const std::wstring &key)> handler);

} // namespace bus
