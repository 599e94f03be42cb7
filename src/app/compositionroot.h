#pragma once

#include "upsstate.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

class Alarm;
class AlarmRules;
class BatteryAge;
class Database;
class DevComm;
class HistoryNotice;
class LocalUps;
class NutUpsPublisher;
class RecordWriter;
class SampleStore;
class SelfTestRecorder;
class ServiceEMail;
class ServiceNetwork;
class ServiceNotification;
class ServiceScheduleTask;
class ServiceShutdown;
class Settings;
class StatusFile;
class SummaryFill;
class RuntimeLearner;
class SupplyCount;
class WatchService;
class WatchedEntries;
class Translator;
class UpsDirectory;
class WebService;
class SnmpService;

// The one owner of every long-lived object of the program, window or not. It makes them in
// this order and they go in the reverse order (the members below, top to bottom):
//
//   settings, history notice, database, record writer, alarms, device link, the consumers of
//   the UPS state
//   (alarm rules, self-test recorder, status file, sample store), e-mail, shutdown,
//   scheduled tasks, desktop notices, battery age, the network server and its view of the UPS,
//   the directory of UPSes with this computer's entry, the web service, translator, the
//   network link's settings for the screens, the watched UPSes, the supplies
//
// Each object is handed its collaborators in its constructor or joined to them with a
// connection made here; none looks another one up. Constructing touches no file or device:
// openStores() reads the settings and opens the database, start() sets everything going. The
// window, where there is one, is made from these objects by the desktop program (ui/).
class CompositionRoot
{
public:
    CompositionRoot();
    ~CompositionRoot();

    // The settings file (completed with its defaults), the database with its schema, and the
    // rows of self-test recordings the last run left without one.
    void openStores();
    // The services that run without a window and the link to the UPS.
    void start();

    // The state of every UPS watched, for `status` (StatusReport's document).
    QByteArray statusDocument() const;

    // Every UPS this program watches, this computer's first (the watched ones are also in the
    // UPS directory, by their shown names): its shown name (the network
    // server's name for this computer's), its typed state, and the `ups` value of its rows in
    // the record tables (empty for this computer's). The list changes with
    // WatchService::unitsChanged, a state with DevComm::stateChanged and
    // WatchService::unitStateChanged.
    struct UpsSource
    {
        QString name;
        UpsState state;
        QString recordUps;
    };
    QVector<UpsSource> upsSources() const;

    Settings *settings() const { return m_settings.get(); }
    HistoryNotice *historyNotice() const { return m_historyNotice.get(); }
    Database *database() const { return m_database.get(); }
    RecordWriter *recordWriter() const { return m_recordWriter.get(); }
    Alarm *alarm() const { return m_alarm.get(); }
    DevComm *devComm() const { return m_devComm.get(); }
    AlarmRules *alarmRules() const { return m_alarmRules.get(); }
    SelfTestRecorder *selfTestRecorder() const { return m_selfTestRecorder.get(); }
    StatusFile *statusFile() const { return m_statusFile.get(); }
    SampleStore *sampleStore() const { return m_sampleStore.get(); }
    ServiceEMail *serviceEMail() const { return m_serviceEMail.get(); }
    ServiceShutdown *serviceShutdown() const { return m_serviceShutdown.get(); }
    ServiceScheduleTask *serviceScheduleTask() const { return m_serviceScheduleTask.get(); }
    ServiceNotification *serviceNotification() const { return m_serviceNotification.get(); }
    BatteryAge *batteryAge() const { return m_batteryAge.get(); }
    NutUpsPublisher *nutUpsPublisher() const { return m_nutUpsPublisher.get(); }
    ServiceNetwork *serviceNetwork() const { return m_serviceNetwork.get(); }
    UpsDirectory *upsDirectory() const { return m_upsDirectory.get(); }
    LocalUps *localUps() const { return m_localUps.get(); }
    WebService *webService() const { return m_webService.get(); }
    SnmpService *snmpService() const { return m_snmpService.get(); }
    Translator *translator() const { return m_translator.get(); }
    WatchService *watchService() const { return m_watchService.get(); }
    SupplyCount *supplyCount() const { return m_supplyCount.get(); }
    RuntimeLearner *runtimeLearner() const { return m_runtimeLearner.get(); }

private:
    void connectObjects();

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<HistoryNotice> m_historyNotice;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<RecordWriter> m_recordWriter;
    std::unique_ptr<Alarm> m_alarm;
    std::unique_ptr<DevComm> m_devComm;
    std::unique_ptr<AlarmRules> m_alarmRules;
    std::unique_ptr<SelfTestRecorder> m_selfTestRecorder;
    std::unique_ptr<StatusFile> m_statusFile;
    std::unique_ptr<SampleStore> m_sampleStore;
    std::unique_ptr<ServiceEMail> m_serviceEMail;
    std::unique_ptr<ServiceShutdown> m_serviceShutdown;
    std::unique_ptr<ServiceScheduleTask> m_serviceScheduleTask;
    std::unique_ptr<ServiceNotification> m_serviceNotification;
    std::unique_ptr<BatteryAge> m_batteryAge;
    std::unique_ptr<NutUpsPublisher> m_nutUpsPublisher;
    std::unique_ptr<ServiceNetwork> m_serviceNetwork;
    std::unique_ptr<UpsDirectory> m_upsDirectory;
    std::unique_ptr<LocalUps> m_localUps;
    std::unique_ptr<WebService> m_webService;
    std::unique_ptr<SnmpService> m_snmpService;
    std::unique_ptr<Translator> m_translator;
    std::unique_ptr<WatchService> m_watchService;
    std::unique_ptr<SupplyCount> m_supplyCount;
    std::unique_ptr<SummaryFill> m_summaryFill;
    std::unique_ptr<WatchedEntries> m_watchedEntries;
    std::unique_ptr<RuntimeLearner> m_runtimeLearner; // reads the directory: goes first
};
