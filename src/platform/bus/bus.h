#pragma once

#include "platform.h"

#include <QString>

// The D-Bus calls behind platform::powerOff and the desktop notices, as the module has them.
namespace bus {

void powerOff(std::function<void(platform::PowerOffResult result)> done);
void showNotification(const platform::Notice &notice,
                      std::function<void(platform::NotificationResult result, unsigned int id)> done);
void closeNotification(unsigned int id);
void setNotificationActionHandler(
    std::function<void(unsigned int id, const std::wstring &key)> handler);

// A D-Bus error that says nobody is there to answer (no such name, object or method, or the bus
// went), as against a refusal or a failure of the one who answered.
bool nobodyAnswers(const QString &errorName);

} // namespace bus
