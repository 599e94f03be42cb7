#pragma once

#include <QLoggingCategory>

// One category per subsystem, so the daily log says where a line came from.
Q_DECLARE_LOGGING_CATEGORY(lcShell)
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
Q_DECLARE_LOGGING_CATEGORY(lcRecords)
Q_DECLARE_LOGGING_CATEGORY(lcServices)
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcInterface)
Q_DECLARE_LOGGING_CATEGORY(lcNetwork)
