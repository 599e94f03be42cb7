#include "platform.h"

namespace platform {

// Windows shows notices as balloons of the tray icon, which the window's tray does.
void showNotification(const Notice &, std::function<void(NotificationResult, unsigned int)> done)
{
    if (done)
        done(NotificationResult::Unavailable, 0);
}

void closeNotification(unsigned int) { }

void setNotificationActionHandler(std::function<void(unsigned int, const std::wstring &)>) { }

} // namespace platform
