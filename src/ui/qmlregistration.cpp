// Every registration of the module "Quelta" 1.0, in one place and in the module's order:
// creatable types first, then the singletons, then the screens' own view helpers. The screens
// reach C++ through these alone: no context properties.
#include "qmlregistration.h"

#include "upsdirectory.h"

#include "alarm.h"
#include "batteryage.h"
#include "devcomm.h"
#include "devstatusview.h"
#include "healthtrend.h"
#include "historychart.h"
#include "historynotice.h"
#include "listmodelemailuser.h"
#include "listmodelnutclient.h"
#include "listmodelnutuser.h"
#include "listmodelscheduletask.h"
#include "scheduletaskdata.h"
#include "serviceemail.h"
#include "servicenetwork.h"
#include "servicenotification.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "settingsfileexchange.h"
#include "supplycount.h"
#include "tablemodelalarm.h"
#include "tablemodeldevdata.h"
#include "tablemodelselftest.h"
#include "translator.h"
#include "trayicon.h"
#include "treemodelshutdown.h"
#include "uienums.h"
#include "upslink.h"
#include "upsoverview.h"
#include "watchedups.h"
#include "watchservice.h"

#include <QJSEngine>
#include <QQmlEngine>

static_assert(int(UiEnums::SelfTestCancel) == int(UpsLink::SelfTestCancel) &&
                  int(UiEnums::SelfTest10S) == int(UpsLink::SelfTest10S) &&
                  int(UiEnums::SelfTestEOD) == int(UpsLink::SelfTestEOD) &&
                  int(UiEnums::SelfTestCustom) == int(UpsLink::SelfTestCustom),
              "the screens hand their self-test numbers to the link as they are");

namespace {

const char *const uri = "Quelta";

// An object the composition root owns: the engine must never delete it.
template<typename T> void registerOwned(const char *name, T *object)
{
    qmlRegisterSingletonType<T>(uri, 1, 0, name, [object](QQmlEngine *, QJSEngine *) -> QObject * {
        QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
        return object;
    });
}

} // namespace

namespace QmlRegistration {

void registerTypes(const Objects &objects)
{
    qmlRegisterType<UiEnums>(uri, 1, 0, "UiEnums");
    qmlRegisterType<ScheduleTaskData>(uri, 1, 0, "ScheduleTaskData");
    qmlRegisterType<TableModelDevData>(uri, 1, 0, "TableModelDevData");
    qmlRegisterType<TableModelAlarm>(uri, 1, 0, "TableModelAlarm");
    qmlRegisterType<TableModelSelfTest>(uri, 1, 0, "TableModelSelfTest");
    qmlRegisterType<TreeModelShutdown>(uri, 1, 0, "TreeModelShutdown");
    qmlRegisterType<HistoryChart>(uri, 1, 0, "HistoryChart");
    qmlRegisterType<HealthTrend>(uri, 1, 0, "HealthTrend");
    qmlRegisterType<TrayIcon>(uri, 1, 0, "TrayIcon");

    registerOwned("Translator", objects.translator);
    registerOwned("Alarm", objects.alarm);
    registerOwned("Settings", objects.settings);
    registerOwned("DevComm", objects.devComm);
    registerOwned("ServiceEMail", objects.serviceEMail);
    registerOwned("ServiceShutdown", objects.serviceShutdown);
    registerOwned("ServiceNotification", objects.serviceNotification);
    registerOwned("BatteryAge", objects.batteryAge);
    registerOwned("HistoryNotice", objects.historyNotice);
    registerOwned("ServiceNetwork", objects.serviceNetwork);
    registerOwned("WatchService", objects.watchService);
    registerOwned("SupplyCount", objects.supplyCount);
    registerOwned("UpsDirectory", objects.upsDirectory);
    registerOwned("ListModelScheduleTask", objects.scheduleTasks);
    registerOwned("ListModelEMailUser", objects.serviceEMail->listModelEMailUser());
    qmlRegisterSingletonType(uri, 1, 0, "App", [](QQmlEngine *, QJSEngine *engine) {
        QJSValue app = engine->newObject();
        app.setProperty(QStringLiteral("name"), QStringLiteral("QUELTA"));
        app.setProperty(QStringLiteral("version"), QStringLiteral(QUELTA_APP_VERSION));
        return app;
    });
    // Each engine gets a page object of its own; the engine owns it.
    Settings *settings = objects.settings;
    ListModelEMailUser *recipients = objects.serviceEMail->listModelEMailUser();
    ListModelNutUser *accounts = objects.serviceNetwork->users();
    qmlRegisterSingletonType<SettingsFileExchange>(
        uri, 1, 0, "SettingsFileExchange",
        [settings, recipients, accounts](QQmlEngine *, QJSEngine *) -> QObject * {
            return new SettingsFileExchange(settings, recipients, accounts);
        });

    qmlRegisterType<DevStatusView>(uri, 1, 0, "DevStatusView");
    qmlRegisterType<UpsOverview>(uri, 1, 0, "UpsOverview");
    // Its control requests by name (UpsLink.ControlBeeper), for asking a link what it can do.
    qmlRegisterUncreatableType<UpsLink>(uri, 1, 0, "UpsLink",
                                        QStringLiteral("links are made by DevComm and WatchService"));
    qmlRegisterUncreatableType<WatchedUps>(uri, 1, 0, "WatchedUps",
                                           QStringLiteral("watched UPSes come from WatchService"));
}

} // namespace QmlRegistration
