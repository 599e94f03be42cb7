#pragma once

#include <memory>

class QQmlEngine;
class QQuickView;
class QObject;
class ServiceScheduleTask;

// Joins the long-lived objects into the running program and the QML engine, at the three points
// of the start-up sequence, and owns what start-up owns.
class ObjectWiring
{
public:
    ObjectWiring();
    ~ObjectWiring(); // the objects start-up owns go here, after the view

    // After the schema exists: the services that run without the interface.
    void startServices();
    // After the view exists: the module "Quelta" 1.0 and the context properties.
    void registerQmlTypes();
    void publishContext(QQuickView *view);
    // After the root object exists: the engine goes to the translator.
    void attachTranslator(QQmlEngine *engine);

private:
    std::unique_ptr<ServiceScheduleTask> m_scheduleService;
    QQuickView *m_view = nullptr;
};
