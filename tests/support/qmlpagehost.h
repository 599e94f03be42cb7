#pragma once

#include <QScopedPointer>
#include <QSize>
#include <QString>
#include <QVariant>

class CompositionRoot;
class QQuickItem;
class QQuickView;
class QObject;
class QmlPageHostPrivate;

// One screen file of the program shown in a real view, wired to the real backends the way
// start-up wires them (the composition root started, module "Quelta" 1.0, context properties).
// Build it after a TestRoot of folders only; one host per test process, since QML registrations
// are per process.
//
//     QmlPageHost host;
//     QQuickItem *page = host.load("MainPanelControl.qml");
//     host.click(host.find(page, "buttonSure"));
class QmlPageHost
{
public:
    QmlPageHost();
    ~QmlPageHost();

    // Loads "qrc:/qml/" + file as the view's root, shows it and waits until it is exposed.
    // Null (with the errors in errors()) when it does not load.
    QQuickItem *load(const QString &file, const QSize &size = QSize(1024, 560));
    QString errors() const;

    QQuickView *view() const;
    CompositionRoot &root() const;

    // The first object with this objectName below `under` (the root when null).
    QQuickItem *find(QObject *under, const QString &objectName) const;
    QQuickItem *find(const QString &objectName) const { return find(nullptr, objectName); }

    // A left click in the middle of the item, through the window as a user makes it. False when
    // the item is null or not visible.
    bool click(QQuickItem *item);

    // Calls a function of a QML object with at most one argument and returns its result.
    static QVariant call(QObject *object, const char *function,
                         const QVariant &argument = QVariant());

private:
    QScopedPointer<QmlPageHostPrivate> d;
};
