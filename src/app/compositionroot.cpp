#include "compositionroot.h"

#include "logcategories.h"
#include "upslink.h"

#include "alarm.h"
#include "alarmrules.h"
#include "batteryage.h"
#include "database.h"
#include "devcomm.h"
#include "historynotice.h"
#include "listmodelemailuser.h"
#include "listmodelnutuser.h"
#include "localups.h"
#include "nutlink.h"
#include "nutupspublisher.h"
#include "paths.h"
#include "recordwriter.h"
#include "samplestore.h"
#include "selftestrecorder.h"
#include "serviceemail.h"
#include "servicenetwork.h"
#include "servicenotification.h"
#include "servicescheduletask.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "statusfile.h"
#include "statusreport.h"
#include "summaryfill.h"
#include "supplycount.h"
#include "translator.h"
#include "runtimelearner.h"
#include "upsdirectory.h"
#include "webservice.h"
#include "snmpservice.h"
#include "watchedentries.h"
#include "watchedups.h"
#include "watchservice.h"

#include <QCoreApplication>

#include <memory>

CompositionRoot::CompositionRoot()
    : m_settings(std::make_unique<Settings>()),
      m_historyNotice(std::make_unique<HistoryNotice>()),
      m_database(std::make_unique<Database>(m_historyNotice.get())),
      m_recordWriter(std::make_unique<RecordWriter>(m_historyNotice.get())),
      m_alarm(std::make_unique<Alarm>(m_recordWriter.get())),
      m_devComm(std::make_unique<DevComm>(m_settings.get())),
      m_alarmRules(std::make_unique<AlarmRules>(m_alarm.get())),
      m_selfTestRecorder(std::make_unique<SelfTestRecorder>(m_recordWriter.get())),
      m_statusFile(std::make_unique<StatusFile>()),
      m_sampleStore(std::make_unique<SampleStore>(m_recordWriter.get(), m_settings.get())),
      m_serviceEMail(std::make_unique<ServiceEMail>(m_settings.get())),
      m_serviceShutdown(std::make_unique<ServiceShutdown>(m_settings.get(), m_devComm.get())),
      m_serviceScheduleTask(
          std::make_unique<ServiceScheduleTask>(m_devComm.get(), m_serviceShutdown.get())),
      m_serviceNotification(std::make_unique<ServiceNotification>(m_settings.get())),
      m_batteryAge(std::make_unique<BatteryAge>(m_settings.get())),
      m_nutUpsPublisher(std::make_unique<NutUpsPublisher>(m_devComm.get())),
      m_serviceNetwork(std::make_unique<ServiceNetwork>(m_settings.get())),
      m_upsDirectory(std::make_unique<UpsDirectory>()),
      m_localUps(std::make_unique<LocalUps>(m_upsDirectory.get(), m_devComm.get(), m_alarm.get(),
                                            m_serviceShutdown.get(), m_batteryAge.get())),
      m_webService(std::make_unique<WebService>(m_settings.get(), m_upsDirectory.get())),
      m_snmpService(std::make_unique<SnmpService>(m_settings.get(), m_upsDirectory.get())),
      m_translator(std::make_unique<Translator>(m_settings.get())),
      m_watchService(std::make_unique<WatchService>(m_settings.get(), m_recordWriter.get())),
      m_supplyCount(std::make_unique<SupplyCount>(m_settings.get())),
      m_summaryFill(std::make_unique<SummaryFill>()),
      m_watchedEntries(
          std::make_unique<WatchedEntries>(m_upsDirectory.get(), m_watchService.get())),
      m_runtimeLearner(std::make_unique<RuntimeLearner>(m_upsDirectory.get()))
{
    connectObjects();
}

CompositionRoot::~CompositionRoot() = default;

// The road of a data set: the alarm rules first (so the alarm table holds a change before
// anything acts on it), the self-test recording, the status file, the samples, the shutdown.
void CompositionRoot::connectObjects()
{
    DevComm *dev = m_devComm.get();
    dev->addLink(DevComm::NUT, new NutLink(m_settings.get()));
    QObject::connect(dev, &DevComm::stateChanged, m_alarmRules.get(), &AlarmRules::updateState);
    QObject::connect(dev, &DevComm::faultsChanged, m_alarmRules.get(), &AlarmRules::updateFaults);
    QObject::connect(dev, &DevComm::linkLost, m_alarmRules.get(), &AlarmRules::linkLost);
    QObject::connect(dev, &DevComm::upsCommFault, m_alarmRules.get(), &AlarmRules::upsCommFault);
    // A cancel stays in the history with who asked and from where.
    Alarm *alarm = m_alarm.get();
    QObject::connect(dev, &DevComm::outputOffCancelled, alarm, [alarm](const QString &who) {
        alarm->addEvent(Alarm::OutputOffCancelled, who);
    });
    QObject::connect(m_serviceShutdown.get(), &ServiceShutdown::countdownCancelled, alarm,
                     [alarm](const QString &who) { alarm->addEvent(Alarm::ShutdownCancelled, who); });
    QObject::connect(dev, &DevComm::stateChanged, m_selfTestRecorder.get(),
                     &SelfTestRecorder::updateState);
    QObject::connect(dev, &DevComm::stateChanged, m_statusFile.get(), &StatusFile::updateState);
    QObject::connect(dev, &DevComm::stateChanged, m_sampleStore.get(), &SampleStore::updateState);
    // The shutdown hands this computer's data set to its supplies before it decides.
    QObject::connect(dev, &DevComm::stateChanged, m_serviceShutdown.get(),
                     &ServiceShutdown::updateState);
    m_serviceShutdown->setSupplies(m_supplyCount.get());

    // Each watched UPS's alarm rules and samples run inside it; what it means for this
    // computer's supplies and for the desktop is joined here.
    SupplyCount *supplies = m_supplyCount.get();
    WatchService *watch = m_watchService.get();
    QObject::connect(watch, &WatchService::unitStateChanged, supplies,
                     [supplies](WatchedUps *unit, const UpsState &state) {
                         supplies->updateSupply(unit->name(), state);
                     });
    QObject::connect(watch, &WatchService::unitsChanged, supplies, [supplies, watch] {
        // A UPS no longer watched (a server that stopped listing it) counts by what it was last
        // seen as: on battery, it may be gone at any moment.
        for (const QString &name : supplies->chosen()) {
            if (name != QLatin1String(SupplyCount::localName) && !watch->find(name))
                supplies->forget(name);
        }
        supplies->checkNames();
    });
    supplies->setNameCheck([watch](const QString &name) { return watch->mayWatch(name); });
    QObject::connect(watch, &WatchService::entriesChanged, supplies, &SupplyCount::listEdited);
    // A notice speaks of this computer only for the UPSes that feed it.
    QObject::connect(supplies, &SupplyCount::changed, m_serviceNotification.get(),
                     [notices = m_serviceNotification.get(), supplies] {
                         notices->setSupplies(supplies->chosen());
                     });
    QObject::connect(watch, &WatchService::unitStateChanged, m_serviceNotification.get(),
                     [notices = m_serviceNotification.get()](WatchedUps *unit,
                                                            const UpsState &state) {
                         notices->updateNamedState(unit->name(), state);
                     });
    QObject::connect(
        watch, &WatchService::unitSelfTestFinished, m_serviceNotification.get(),
        [notices = m_serviceNotification.get()](WatchedUps *unit, const SelfTestResult &result) {
            notices->namedSelfTestFinished(unit->name(), result);
        });
    QObject::connect(watch, &WatchService::alarmRaised, m_serviceEMail.get(),
                     &ServiceEMail::sendAlarmEMail);
    QObject::connect(watch, &WatchService::unitStateChanged, m_watchedEntries.get(),
                     &WatchedEntries::unitStateChanged);
    QObject::connect(watch, &WatchService::unitsChanged, m_watchedEntries.get(),
                     &WatchedEntries::unitsChanged);
    QObject::connect(m_serviceShutdown.get(), &ServiceShutdown::countdownReason,
                     m_serviceNotification.get(), &ServiceNotification::setCountdownReason);

    // A database that could not be read at start (a full disk) and now can: what waited is
    // written and what is stored there is read again.
    QObject::connect(m_database.get(), &Database::becameReadable, m_recordWriter.get(),
                     [this] {
                         m_recordWriter->setHeld(false);
                         m_serviceScheduleTask->reload();
                         if (ListModelEMailUser *users = m_serviceEMail->listModelEMailUser())
                             users->refresh();
                     });
    QObject::connect(
        m_alarm.get(), &Alarm::alarmRaised, m_serviceEMail.get(),
        [email = m_serviceEMail.get()](int, const QString &text) { email->sendAlarmEMail(text); });
    // A power-off the system refused goes to the alarm mail's recipients too.
    QObject::connect(m_serviceShutdown.get(), &ServiceShutdown::shutdownFailed,
                     m_serviceEMail.get(), &ServiceEMail::sendAlarmEMail);

    // What the desktop is told, and the battery's age with its once-only notice.
    ServiceNotification *notices = m_serviceNotification.get();
    BatteryAge *battery = m_batteryAge.get();
    QObject::connect(dev, &DevComm::stateChanged, notices, &ServiceNotification::updateState);
    ServiceShutdown *countdown = m_serviceShutdown.get();
    QObject::connect(countdown, &ServiceShutdown::shutdownStarted, notices,
                     &ServiceNotification::countdownChanged);
    QObject::connect(countdown, &ServiceShutdown::shutdownShortened, notices,
                     &ServiceNotification::countdownShortened);
    QObject::connect(countdown, &ServiceShutdown::shutdownTimeChanged, notices,
                     &ServiceNotification::countdownTick);
    notices->setEndDoesNothing(countdown->endDoesNothing());
    QObject::connect(countdown, &ServiceShutdown::endDoesNothingChanged, notices,
                     [notices, countdown] { notices->setEndDoesNothing(countdown->endDoesNothing()); });
    // A refused power-off reaches the desktop too, not only a dialog in a window that may be
    // hidden.
    QObject::connect(countdown, &ServiceShutdown::shutdownFailed, notices,
                     [notices](const QString &message) {
                         notices->post(ServiceNotification::Countdown,
                                       ServiceShutdown::tr("The computer was not shut down"),
                                       message, true);
                     });
    QObject::connect(notices, &ServiceNotification::cancelRequested, countdown, [countdown] {
        countdown->cancelCountdown(QStringLiteral("the desktop notice"));
    });
    QObject::connect(m_selfTestRecorder.get(), &SelfTestRecorder::finished, notices,
                     &ServiceNotification::selfTestFinished);
    QObject::connect(dev, &DevComm::stateChanged, battery, &BatteryAge::updateState);
    QObject::connect(battery, &BatteryAge::replacementDue, notices,
                     [notices](const QString &title, const QString &text) {
                         notices->post(ServiceNotification::BatteryAge, title, text, true);
                     });
    QObject::connect(m_runtimeLearner.get(), &RuntimeLearner::healthLow, notices,
                     [notices](const QString &title, const QString &text) {
                         notices->post(ServiceNotification::BatteryAge, title, text, true);
                     });
    QObject::connect(m_runtimeLearner.get(), &RuntimeLearner::mailNote, m_serviceEMail.get(),
                     &ServiceEMail::setDailyNote);
    QObject::connect(m_serviceEMail.get(), &ServiceEMail::dailyReportSent,
                     m_runtimeLearner.get(), &RuntimeLearner::reportSent);
    QObject::connect(battery, &BatteryAge::mailNote, m_serviceEMail.get(),
                     &ServiceEMail::setDailyNote);
    QObject::connect(m_serviceEMail.get(), &ServiceEMail::dailyReportSent, battery,
                     &BatteryAge::reportSent);

    // The network server's view of the UPS: the data set after the alarm rules have seen it,
    // the alarms standing, the self-tests recorded; its instant commands go back to the link.
    NutUpsPublisher *source = m_nutUpsPublisher.get();
    ServiceNetwork *network = m_serviceNetwork.get();
    QObject::connect(dev, &DevComm::stateChanged, source, &NutUpsPublisher::updateState);
    QObject::connect(
        m_alarm.get(), &Alarm::alarmNumChanged, source,
        [source, alarm = m_alarm.get()] { source->setAlarms(alarm->standingAlarmTexts()); });
    QObject::connect(m_selfTestRecorder.get(), &SelfTestRecorder::finished, source,
                     &NutUpsPublisher::selfTestFinished);
    QObject::connect(m_selfTestRecorder.get(), &SelfTestRecorder::recorded, source,
                     [source](const QDateTime &start) { source->selfTestRecorded(start); });
    QObject::connect(source, &NutUpsPublisher::snapshotChanged, network,
                     &ServiceNetwork::setSnapshot);
    QObject::connect(network, &ServiceNetwork::servingChanged, source,
                     &NutUpsPublisher::setServing);
    QObject::connect(network, &ServiceNetwork::commandRequested, source,
                     &NutUpsPublisher::runCommand);

    // The UPSes shown to the outside (the web page, its API, the metrics): this computer's, by
    // the name the network server serves it under. The web page's admins are the network
    // server's.
    // Its entry is made after every consumer above has taken a data set, so that one entry
    // carries the alarms raised and the countdown started by it.
    LocalUps *local = m_localUps.get();
    QObject::connect(dev, &DevComm::stateChanged, local, &LocalUps::refresh);
    QObject::connect(dev, &DevComm::outputOffChanged, local, &LocalUps::refresh);
    QObject::connect(dev, &DevComm::linkBusyChanged, local, &LocalUps::refresh);
    QObject::connect(dev, &DevComm::controlsChanged, local, &LocalUps::refresh);
    QObject::connect(m_alarm.get(), &Alarm::alarmNumChanged, local, &LocalUps::alarmsChanged);
    QObject::connect(m_alarm.get(), &Alarm::alarmRaised, local,
                     [local](int code) { local->alarmRaised(code); });
    QObject::connect(countdown, &ServiceShutdown::progressChanged, local, &LocalUps::refresh);
    QObject::connect(countdown, &ServiceShutdown::shutdownTimeChanged, local, &LocalUps::refresh);
    QObject::connect(battery, &BatteryAge::changed, local, &LocalUps::batteryChanged);
    local->setSupplies(supplies);
    QObject::connect(supplies, &SupplyCount::changed, local, &LocalUps::refresh);
    QObject::connect(network, &ServiceNetwork::settingsChanged, local,
                     [local, network] { local->setName(network->servedUpsName()); });
    // What was learned of this computer's UPS reaches the NUT server, which serves it when the
    // UPS tells no runtime of its own.
    QObject::connect(m_upsDirectory.get(), &UpsDirectory::entryChanged, m_nutUpsPublisher.get(),
                     [local, publisher = m_nutUpsPublisher.get()](const UpsEntry &entry) {
                         if (entry.name == local->name())
                             publisher->setLearnedRuntime(entry.learned.predicted);
                     });
    QObject::connect(m_upsDirectory.get(), &UpsDirectory::entryChanged, m_supplyCount.get(),
                     [local, supplies = m_supplyCount.get()](const UpsEntry &entry) {
                         supplies->setLearnedRuntime(entry.name == local->name()
                                                         ? QString::fromLatin1(SupplyCount::localName)
                                                         : entry.name,
                                                     entry.learned.predicted.value_or(-1));
                     });
    QObject::connect(m_upsDirectory.get(), &UpsDirectory::entryChanged,
                     m_serviceNotification.get(),
                     [local, notices = m_serviceNotification.get()](const UpsEntry &entry) {
                         notices->setLearnedRuntime(
                             entry.name == local->name() ? QString() : entry.name,
                             entry.learned.predicted.value_or(-1));
                     });
    WebService *web = m_webService.get();
    QObject::connect(network->users(), &ListModelNutUser::accountsChanged, web,
                     [web, network] { web->setAccounts(network->users()->accounts()); });

    // The primary's duty: before the UPS output goes off or this computer powers off, the
    // network clients are told (FSD) and given hostSync seconds to leave. FSD then holds, as
    // upsd latches it, until the UPS has power-cycled; a countdown called off before it takes
    // FSD back, a mains return after it does not.
    ServiceShutdown *shutdown = m_serviceShutdown.get();
    const auto finalStep = [network](const std::function<void()> &done) {
        return network->shutdownWait(done);
    };
    // The server keeps its own time; this limit only guards against a server that never answers.
    const auto setStep = [shutdown, settings = m_settings.get(), finalStep] {
        shutdown->setFinalStep(finalStep, settings->number(Settings::NetworkHostSync) + 5);
    };
    setStep();
    QObject::connect(network, &ServiceNetwork::settingsChanged, shutdown, setStep);
    QObject::connect(shutdown, &ServiceShutdown::shutdownStarted, network, [network](int seconds) {
        if (seconds == 0)
            network->clearFsd();
    });
    QObject::connect(shutdown, &ServiceShutdown::committedChanged, network, [network](bool on) {
        if (!on)
            network->clearFsd();
    });
}

void CompositionRoot::openStores()
{
    m_settings->load();
    m_database->open();
    m_database->init();
    // Alarms, samples and self-tests are written from here on by a thread of their own; while
    // the database cannot be read yet (a start on a full disk) they wait in memory.
    m_recordWriter->setHeld(m_database->isRetrying());
    m_recordWriter->start();
    // Samples stored before the summaries existed are summarised beside the poll.
    if (m_database->isReady())
        m_summaryFill->start();
    // A self-test the last run could not finish recording gets its row now.
    m_selfTestRecorder->completeInterrupted();
}

void CompositionRoot::start()
{
    m_serviceEMail->start();
    m_serviceScheduleTask->start();
    // Watches every data set and counts down once a second from now on, window or not.
    m_serviceShutdown->start();
    m_serviceNotification->setDeliver(true);
    m_serviceNotification->start();
    // A damaged settings file, replaced at the start or left so by another program while
    // running: told each time it is found, window or not.
    const auto tellDamage = [this] {
        if (!m_settings->fileNotice().isEmpty())
            m_serviceNotification->post(
                ServiceNotification::SettingsFile,
                QCoreApplication::translate("Settings", "Settings file damaged"),
                m_settings->fileNotice(), true);
    };
    tellDamage();
    QObject::connect(m_settings.get(), &Settings::fileNoticeChanged, m_serviceNotification.get(),
                     tellDamage);
    m_batteryAge->start();
    m_nutUpsPublisher->start();
    m_serviceNetwork->start();
    m_localUps->setName(m_serviceNetwork->servedUpsName());
    m_runtimeLearner->start();
    m_localUps->start();
    m_webService->setAccounts(m_serviceNetwork->users()->accounts());
    m_webService->start();
    m_snmpService->start();
    // The watched list first: the supplies' names are judged by it.
    m_watchService->start();
    m_supplyCount->start();
    m_devComm->start();
}

QByteArray CompositionRoot::statusDocument() const
{
    // What was learned of each UPS, by its name in the directory.
    const auto learned = [this](const QString &name) {
        UpsEntry entry;
        return m_upsDirectory->find(name, &entry) ? entry.learned : UpsEntry::Learned();
    };
    QVector<StatusReport::Ups> upses {{m_settings->text(Settings::NetworkUpsName),
                                       m_devComm->state(), m_nutUpsPublisher->snapshot(), QString(),
                                       learned(m_localUps->name())}};
    for (WatchedUps *unit : m_watchService->units()) {
        const UpsEntry::Learned taught = learned(unit->name());
        upses.append({unit->name(), unit->state(),
                      NutUpsPublisher::build(unit->state(), DevComm::NUT,
                                             unit->alarm()->standingAlarmTexts(), {},
                                             taught.predicted),
                      unit->problem(), taught});
    }
    // A whole server that gives no UPS is a watched supply of nothing: said, not left out.
    for (const auto &server : m_watchService->silentServers()) {
        NutSnapshot none;
        none.stale = true;
        upses.append({server.first, UpsState(), none, server.second, UpsEntry::Learned()});
    }
    return StatusReport::document(upses, m_settings->fileNotice());
}

QVector<CompositionRoot::UpsSource> CompositionRoot::upsSources() const
{
    QVector<UpsSource> entries {
        {m_settings->text(Settings::NetworkUpsName), m_devComm->state(), QString()}};
    for (WatchedUps *unit : m_watchService->units())
        entries.append({unit->name(), unit->state(), unit->name()});
    return entries;
}
