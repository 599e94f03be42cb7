// The module "Quelta" 1.0 as the screens see it: every creatable type, every singleton and every
// context property usable from QML, one shared object per singleton, and the engine never
// taking ownership of what C++ shares.
#include "alarm.h"
#include "devcomm.h"
#include "globaldatadef.h"
#include "listmodelemailuser.h"
#include "objectwiring.h"
#include "pagesettingscommon.h"
#include "qmlpagehost.h"
#include "serviceemail.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "translator.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickView>
#include <QtTest>

namespace {
const QStringList creatable = {"GlobalDataDef", "TableModelDevData", "TableModelAlarm",
                               "TableModelSelfTest", "TreeModelShutdown"};
const QStringList singletons = {"Translator", "DevComm",      "Alarm",
                                "Settings",   "ServiceEMail", "ServiceShutdown"};
const QStringList contextNames = {"appVersion", "appName", "listModelEMailUser", "window"};

QObject *shared(const QString &name)
{
    const QHash<QString, QObject *> objects = {{"Translator", Translator::instance()},
                                               {"DevComm", DevComm::instance()},
                                               {"Alarm", Alarm::instance()},
                                               {"Settings", Settings::instance()},
                                               {"ServiceEMail", ServiceEMail::instance()},
                                               {"ServiceShutdown", ServiceShutdown::instance()}};
    return objects.value(name);
}

// A probe that makes one of each type and returns each singleton and context property.
QByteArray probeSource()
{
    QByteArray qml = "import QtQuick 2.15\nimport Quelta 1.0\nQtObject {\n";
    for (const QString &type : creatable)
        qml += "    property QtObject make" + type.toLatin1() + ": " + type.toLatin1() + " {}\n";
    qml += "    function singleton(name) {\n";
    for (const QString &name : singletons)
        qml += "        if (name === \"" + name.toLatin1() + "\") return " + name.toLatin1() + "\n";
    qml += "        if (name === \"PageSettingsCommon\") return PageSettingsCommon\n";
    qml += "        return null\n    }\n";
    qml += "    function context(name) {\n";
    for (const QString &name : contextNames)
        qml += "        if (name === \"" + name.toLatin1() + "\") return " + name.toLatin1() + "\n";
    qml += "        return undefined\n    }\n}\n";
    return qml;
}
} // namespace

class TestQmlWiring : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    ObjectWiring m_wiring;
    QScopedPointer<QQuickView> m_view;

    QObject *createProbe(QQmlEngine *engine, QQmlContext *context)
    {
        QQmlComponent component(engine);
        component.setData(probeSource(), QUrl(QStringLiteral("qrc:/qml/WiringProbe.qml")));
        QObject *probe = component.create(context);
        if (!probe)
            qWarning().noquote() << component.errorString();
        return probe;
    }
    static QVariant call(QObject *probe, const char *function, const QString &name)
    {
        return QmlPageHost::call(probe, function, name);
    }

private slots:
    void initTestCase()
    {
        m_wiring.startServices();
        m_view.reset(new QQuickView);
        m_wiring.registerQmlTypes();
        m_wiring.publishContext(m_view.data());
    }
    void cleanupTestCase() { m_view.reset(); }

    void everyNameIsUsableFromQml()
    {
        QScopedPointer<QObject> probe(createProbe(m_view->engine(), m_view->rootContext()));
        QVERIFY(probe);
        for (const QString &type : creatable) {
            auto *made = probe->property(qPrintable("make" + type)).value<QObject *>();
            QVERIFY2(made, qPrintable(type));
            QCOMPARE(QString::fromLatin1(made->metaObject()->className()), type);
        }
        for (const QString &name : singletons) {
            QObject *object = call(probe.data(), "singleton", name).value<QObject *>();
            QVERIFY2(object, qPrintable(name));
            QCOMPARE(object, shared(name));
            QCOMPARE(QQmlEngine::objectOwnership(object), QQmlEngine::CppOwnership);
        }
        QCOMPARE(call(probe.data(), "context", "appName").toString(), QStringLiteral("QUELTA"));
        QCOMPARE(call(probe.data(), "context", "appVersion").toString(), QStringLiteral("v1.0.12"));
        QCOMPARE(call(probe.data(), "context", "window").value<QObject *>(), m_view.data());
        QCOMPARE(call(probe.data(), "context", "listModelEMailUser").value<QObject *>(),
                 static_cast<QObject *>(ServiceEMail::instance()->listModelEMailUser()));

        // The screens read enumerations through the type names.
        QQmlComponent enums(m_view->engine());
        enums.setData("import QtQuick 2.15\nimport Quelta 1.0\nQtObject {\n"
                      "property int tab: GlobalDataDef.MainTabLogData\n"
                      "property int code: Alarm.MainsFault }\n",
                      QUrl(QStringLiteral("qrc:/qml/EnumProbe.qml")));
        QScopedPointer<QObject> values(enums.create());
        QVERIFY2(values, qPrintable(enums.errorString()));
        QCOMPARE(values->property("tab").toInt(), int(GlobalDataDef::MainTabLogData));
        QCOMPARE(values->property("code").toInt(), int(Alarm::MainsFault));
    }

    // A second engine gets the same shared objects but a PageSettingsCommon of its own, which
    // it takes along when it goes; the shared objects stay alive.
    void secondEngineSharesAllButThePageObject()
    {
        QScopedPointer<QObject> first(createProbe(m_view->engine(), m_view->rootContext()));
        QVERIFY(first);
        auto *page = call(first.data(), "singleton", "PageSettingsCommon").value<QObject *>();
        QVERIFY(qobject_cast<PageSettingsCommon *>(page));
        QCOMPARE(call(first.data(), "singleton", "PageSettingsCommon").value<QObject *>(), page);

        QPointer<QObject> other;
        {
            QQmlEngine engine;
            QScopedPointer<QObject> probe(createProbe(&engine, engine.rootContext()));
            QVERIFY(probe);
            for (const QString &name : singletons)
                QCOMPARE(call(probe.data(), "singleton", name).value<QObject *>(), shared(name));
            other = call(probe.data(), "singleton", "PageSettingsCommon").value<QObject *>();
            QVERIFY(qobject_cast<PageSettingsCommon *>(other));
            QVERIFY(other != page);
        }
        QVERIFY(other.isNull());
        QVERIFY(qobject_cast<PageSettingsCommon *>(page));
        QCOMPARE(Alarm::instance()->alarmNum(), 0);
        QVERIFY(ServiceEMail::instance()->listModelEMailUser());
    }
};

QTEST_MAIN(TestQmlWiring)
#include "tst_qmlwiring.moc"
