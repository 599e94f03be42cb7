#include "objectwiring.h"

#include "devcomm.h"
#include "listmodelemailuser.h"
#include "listmodelscheduletask.h"
#include "screenshotwalker.h"
#include "serviceemail.h"
#include "servicescheduletask.h"
#include "serviceshutdown.h"
#include "translator.h"

#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickView>

ObjectWiring::ObjectWiring() = default;

ObjectWiring::~ObjectWiring() = default;

void ObjectWiring::startServices()
{
    auto scheduleService = std::make_unique<ServiceScheduleTask>();
    scheduleService->start();
    m_scheduleService = std::move(scheduleService);
    // Watches every data set and counts down once a second from now on, window or not; it
    // creates the device link.
    ServiceShutdown::instance()->start();
    // The e-mail service runs its daily report timer from the first minute, window or not.
    ServiceEMail::instance();
    // A power-off the system refused goes to the alarm mail's recipients too.
    QObject::connect(ServiceShutdown::instance(), &ServiceShutdown::shutdownFailed,
                     ServiceEMail::instance(), &ServiceEMail::sendAlarmEMail);
}

void ObjectWiring::publishContext(QQuickView *view)
{
    m_view = view;
    QQmlContext *context = view->rootContext();
    context->setContextProperty(QStringLiteral("appVersion"), QStringLiteral(QUELTA_APP_VERSION));
    context->setContextProperty(QStringLiteral("appName"), QStringLiteral("QUELTA"));
    context->setContextProperty(QStringLiteral("listModelScheduleTask"),
                                m_scheduleService ? m_scheduleService->model() : nullptr);
    context->setContextProperty(QStringLiteral("listModelEMailUser"),
                                ServiceEMail::instance()->listModelEMailUser());
    context->setContextProperty(QStringLiteral("window"), view);
    // Qt.quit() from the screens (the tray's "Quit") ends the event loop, hidden window or not.
    // Queued, so a quit asked for before the loop runs is not lost.
    QObject::connect(view->engine(), &QQmlEngine::quit, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
}

void ObjectWiring::attachTranslator(QQmlEngine *engine)
{
    Translator::instance()->setEngine(engine);
    Translator::instance()->init();

    const QString screenshots = ScreenshotWalker::requestedFolder();
    if (screenshots.isEmpty() || !m_view)
        return;
    auto *walker = new ScreenshotWalker(m_view, screenshots, m_view);
    Translator *translator = Translator::instance();
    const QList<QPair<QString, int>> languages = {{QStringLiteral("en"), Translator::EN_GB},
                                                  {QStringLiteral("zh_CN"), Translator::ZH_CN},
                                                  {QStringLiteral("zh_TW"), Translator::ZH_TW},
                                                  {QStringLiteral("fr_FR"), Translator::FR_FR}};
    for (const auto &language : languages) {
        const int number = language.second;
        walker->addLanguage(language.first,
                            [translator, number] { translator->setLanguage(number); });
    }
    // The walk switches languages through the stored choice; the user's choice comes back after.
    const int chosen = translator->language();
    const bool automatic = translator->autoLanguage();
    walker->setFinished([translator, chosen, automatic] {
        translator->setLanguage(chosen);
        translator->setAutoLanguage(automatic);
        translator->init();
    });
    walker->start();
}
