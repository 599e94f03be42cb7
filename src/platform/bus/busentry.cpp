#include "bus.h"
#include "busfunctions.h"

bool bus::nobodyAnswers(const QString &errorName)
{
    for (const char *name :
         {"org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner",
          "org.freedesktop.DBus.Error.UnknownObject", "org.freedesktop.DBus.Error.UnknownMethod",
          "org.freedesktop.DBus.Error.Disconnected"}) {
        if (errorName == QLatin1String(name))
            return true;
    }
    return false;
}

extern "C" Q_DECL_EXPORT const BusFunctions *quelta_bus_functions()
{
    static const BusFunctions functions {bus::powerOff, bus::showNotification,
                                         bus::closeNotification,
                                         bus::setNotificationActionHandler};
    return &functions;
}
