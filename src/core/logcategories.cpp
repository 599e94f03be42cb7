#include "logcategories.h"

Q_LOGGING_CATEGORY(lcShell, "quelta.shell")
Q_LOGGING_CATEGORY(lcDevice, "quelta.device")
Q_LOGGING_CATEGORY(lcRecords, "quelta.records")
Q_LOGGING_CATEGORY(lcServices, "quelta.services")
Q_LOGGING_CATEGORY(lcPlatform, "quelta.platform")
Q_LOGGING_CATEGORY(lcInterface, "quelta.interface")
Q_LOGGING_CATEGORY(lcNetwork, "quelta.network")
