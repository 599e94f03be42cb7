#include "platform.h"

namespace platform {

// Windows shows notices as balloons of the tray icon, which the window's tray does.
void showNotification(const std::wstring &, const std::wstring &, bool,
                      std::function<void(NotificationResult)> done)
{
    if (done)
        done(NotificationResult::Unavailable);
}

} // namespace platform
