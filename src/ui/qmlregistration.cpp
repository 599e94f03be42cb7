// Every registration of the module "Quelta" 1.0, in one place and in the module's order:
// creatable types first, then the singletons, then the screens' own view helpers.
#include "objectwiring.h"

#include "alarm.h"
#include "devcomm.h"
#include "devstatusview.h"
#include "globaldatadef.h"
#include "pagesettingscommon.h"
#include "scheduletaskdata.h"
#include "serviceemail.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "tablemodelalarm.h"
#include "tablemodeldevdata.h"
#include "tablemodelselftest.h"
#include "translator.h"
#include "treemodelshutdown.h"

#include <QQmlEngine>

namespace {
const char *const uri = "Quelta";

// The shared objects stay with C++: the engine must never delete them.
template<typename T> QObject *shared(QQmlEngine *, QJSEngine *)
{
    QObject *object = T::instance();
    QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
    return object;
}
} // namespace

void ObjectWiring::registerQmlTypes()
{
    qmlRegisterType<GlobalDataDef>(uri, 1, 0, "GlobalDataDef");
    qmlRegisterType<ScheduleTaskData>(uri, 1, 0, "ScheduleTaskData");
    qmlRegisterType<TableModelDevData>(uri, 1, 0, "TableModelDevData");
    qmlRegisterType<TableModelAlarm>(uri, 1, 0, "TableModelAlarm");
    qmlRegisterType<TableModelSelfTest>(uri, 1, 0, "TableModelSelfTest");
    qmlRegisterType<TreeModelShutdown>(uri, 1, 0, "TreeModelShutdown");

    qmlRegisterSingletonType<Translator>(uri, 1, 0, "Translator", shared<Translator>);
    qmlRegisterSingletonType<Alarm>(uri, 1, 0, "Alarm", shared<Alarm>);
    qmlRegisterSingletonType<Settings>(uri, 1, 0, "Settings", shared<Settings>);
    qmlRegisterSingletonType<DevComm>(uri, 1, 0, "DevComm", shared<DevComm>);
    qmlRegisterSingletonType<ServiceEMail>(uri, 1, 0, "ServiceEMail", shared<ServiceEMail>);
    qmlRegisterSingletonType<ServiceShutdown>(uri, 1, 0, "ServiceShutdown",
                                              shared<ServiceShutdown>);
    // Each engine gets a page object of its own; the engine owns it.
    qmlRegisterSingletonType<PageSettingsCommon>(
        uri, 1, 0, "PageSettingsCommon",
        [](QQmlEngine *, QJSEngine *) -> QObject * { return new PageSettingsCommon; });

    qmlRegisterType<DevStatusView>(uri, 1, 0, "DevStatusView");
}
