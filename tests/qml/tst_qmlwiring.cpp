// The module "Quelta" 1.0 made from the composition root's objects: each singleton the screens
// name is the object the root owns (in every engine, and never taken over by one), the context
// properties are the root's, and each engine gets a PageSettingsCommon of its own.
#include "alarm.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "listmodelemailuser.h"
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

class TestQmlWiring : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};

    // Each singleton and context property by name, through a QML function.
    static QObject *probe(QQmlEngine *engine, QQmlContext *context)
    {
        QByteArray qml = "import QtQuick 2.15\nimport Quelta 1.0\nQtObject {\n"
                         "function named(name) {\n";
        for (const char *name :
             {"Translator", "Alarm", "Settings", "DevComm", "ServiceEMail", "ServiceShutdown",
              "PageSettingsCommon", "appName", "appVersion", "window", "listModelEMailUser"})
            qml += QByteArray("if (name === \"") + name + "\") return " + name + "\n";
        qml += "}\n}\n";
        QQmlComponent component(engine);
        component.setData(qml, QUrl(QStringLiteral("qrc:/qml/WiringProbe.qml")));
        QObject *object = component.create(context);
        if (!object)
            qWarning().noquote() << component.errorString();
        return object;
    }
    static QVariant named(QObject *probe, const char *name)
    {
        return QmlPageHost::call(probe, "named", QString::fromLatin1(name));
    }

private slots:
    void singletonsAreTheRootsObjects()
    {
        QmlPageHost host;
        CompositionRoot &root = host.root();
        const QList<QPair<const char *, QObject *>> owned = {
            {"Translator", root.translator()},     {"Alarm", root.alarm()},
            {"Settings", root.settings()},         {"DevComm", root.devComm()},
            {"ServiceEMail", root.serviceEMail()}, {"ServiceShutdown", root.serviceShutdown()}};

        QScopedPointer<QObject> first(probe(host.view()->engine(), host.view()->rootContext()));
        QVERIFY(first);
        for (const auto &entry : owned) {
            QCOMPARE(named(first.data(), entry.first).value<QObject *>(), entry.second);
            QCOMPARE(QQmlEngine::objectOwnership(entry.second), QQmlEngine::CppOwnership);
        }
        QCOMPARE(named(first.data(), "appName").toString(), QStringLiteral("QUELTA"));
        QCOMPARE(named(first.data(), "appVersion").toString(), QStringLiteral("v1.0.12"));
        QCOMPARE(named(first.data(), "window").value<QObject *>(), host.view());
        QCOMPARE(named(first.data(), "listModelEMailUser").value<QObject *>(),
                 static_cast<QObject *>(root.serviceEMail()->listModelEMailUser()));
        auto *page = named(first.data(), "PageSettingsCommon").value<QObject *>();
        QVERIFY(qobject_cast<PageSettingsCommon *>(page));
        QCOMPARE(named(first.data(), "PageSettingsCommon").value<QObject *>(), page);

        // A second engine: the same objects, a page object of its own that goes with it.
        QPointer<QObject> other;
        {
            QQmlEngine engine;
            QScopedPointer<QObject> second(probe(&engine, engine.rootContext()));
            QVERIFY(second);
            for (const auto &entry : owned)
                QCOMPARE(named(second.data(), entry.first).value<QObject *>(), entry.second);
            other = named(second.data(), "PageSettingsCommon").value<QObject *>();
            QVERIFY(qobject_cast<PageSettingsCommon *>(other) && other != page);
        }
        QVERIFY(other.isNull());
        QCOMPARE(root.alarm()->alarmNum(), 0);
    }
};

QTEST_MAIN(TestQmlWiring)
#include "tst_qmlwiring.moc"
