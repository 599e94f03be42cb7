#pragma once

class Alarm;
class BatteryAge;
class DevComm;
class HistoryNotice;
class ListModelEMailUser;
class ListModelScheduleTask;
class QQuickView;
class ServiceEMail;
class ServiceNetwork;
class ServiceNotification;
class ServiceShutdown;
class Settings;
class Translator;

// The module "Quelta" 1.0 and the context properties of the window, made from the objects the
// composition root owns.
namespace QmlRegistration {

struct Objects
{
    Settings *settings;
    Translator *translator;
    HistoryNotice *historyNotice;
    Alarm *alarm;
    DevComm *devComm;
    ServiceEMail *serviceEMail;
    ServiceShutdown *serviceShutdown;
    ListModelScheduleTask *scheduleTasks;
    ServiceNotification *serviceNotification;
    BatteryAge *batteryAge;
    ServiceNetwork *serviceNetwork;
};

// Creatable types first, then the singletons (the objects themselves, which stay with C++; a
// SettingsFileExchange of its own for each engine), then the screens' own view helpers. Once per
// process.
void registerTypes(const Objects &objects);

// "appVersion", "appName", "listModelScheduleTask", "listModelEMailUser" and "window".
void publishContext(QQuickView *view, const Objects &objects);

} // namespace QmlRegistration
