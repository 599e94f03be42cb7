#pragma once

class Alarm;
class BatteryAge;
class DevComm;
class HistoryNotice;
class ListModelEMailUser;
class ListModelScheduleTask;
class ServiceEMail;
class ServiceNetwork;
class ServiceNotification;
class ServiceShutdown;
class Settings;
class UpsDirectory;
class SupplyCount;
class Translator;
class WatchService;

// The module "Quelta" 1.0, made from the objects the composition root owns: the screens reach C++
// through its types and singletons only.
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
    WatchService *watchService;
    SupplyCount *supplyCount;
    UpsDirectory *upsDirectory;
};

// Creatable types first, then the singletons (the objects themselves, which stay with C++; a
// SettingsFileExchange of its own for each engine; "App" with the program's name and version),
// then the screens' own view helpers. Once per process.
void registerTypes(const Objects &objects);

} // namespace QmlRegistration
