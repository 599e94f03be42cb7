// Every registration of the module "Quelta" 1.0, in one place and in the module's order:
// creatable types first, then the singletons.
#include "objectwiring.h"

#include "alarm.h"
#include "globaldatadef.h"
#include "settings.h"

#include <QQmlEngine>

namespace {
const char *const uri = "Quelta";
}

void ObjectWiring::registerQmlTypes()
{
    qmlRegisterType<GlobalDataDef>(uri, 1, 0, "GlobalDataDef");

    qmlRegisterSingletonType<Alarm>(uri, 1, 0, "Alarm", [](QQmlEngine *, QJSEngine *) -> QObject * {
        QQmlEngine::setObjectOwnership(Alarm::instance(), QQmlEngine::CppOwnership);
        return Alarm::instance();
    });
    qmlRegisterSingletonType<Settings>(uri, 1, 0, "Settings",
                                       [](QQmlEngine *, QJSEngine *) -> QObject * {
                                           QQmlEngine::setObjectOwnership(Settings::instance(), QQmlEngine::CppOwnership);
                                           return Settings::instance();
                                       });
}
