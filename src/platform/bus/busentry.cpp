#include "bus.h"
#include "busfunctions.h"

extern "C" Q_DECL_EXPORT const BusFunctions *quelta_bus_functions()
{
    static const BusFunctions functions {bus::powerOff, bus::showNotification,
                                         bus::closeNotification,
                                         bus::setNotificationActionHandler};
    return &functions;
}
