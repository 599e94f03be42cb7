#include "qmlpagehost.h"

#include "compositionroot.h"
#include "desktopwindow.h"
#include "translator.h"

#include <QMetaObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>

class QmlPageHostPrivate
{
public:
    // The root goes after the view, as in the program.
    CompositionRoot root;
    QScopedPointer<QQuickView> view;
    QString errors;
    bool attached = false;
};

QmlPageHost::QmlPageHost() : d(new QmlPageHostPrivate)
{
    d->root.openStores();
    d->root.start();
    d->view.reset(new QQuickView);
    DesktopWindow::registerTypes(d->root);
    DesktopWindow::connectView(d->view.data(), d->root);
    d->view->setResizeMode(QQuickView::SizeRootObjectToView);
}

QmlPageHost::~QmlPageHost()
{
    d->view.reset();
}

QQuickItem *QmlPageHost::load(const QString &file, const QSize &size)
{
    d->errors.clear();
    d->view->setSource(QUrl(QStringLiteral("qrc:/qml/") + file));
    if (!d->view->rootObject()) {
        const auto errors = d->view->errors();
        for (const QQmlError &error : errors)
            d->errors += error.toString() + QLatin1Char('\n');
        return nullptr;
    }
    d->view->resize(size);
    d->view->show();
    if (!QTest::qWaitForWindowExposed(d->view.data(), 5000))
        d->errors = QStringLiteral("the view was not exposed");
    // The stored language, once the first screen is up.
    if (!d->attached) {
        d->attached = true;
        d->root.translator()->init();
    }
    return d->view->rootObject();
}

QString QmlPageHost::errors() const
{
    return d->errors;
}

QQuickView *QmlPageHost::view() const
{
    return d->view.data();
}

CompositionRoot &QmlPageHost::root() const
{
    return d->root;
}

namespace {

// Delegates of views and popped-up items hang below their visual parent only, not below a
// QObject parent, so both trees are walked.
QQuickItem *findBelow(QObject *object, const QString &objectName, int depth)
{
    if (!object || depth > 200)
        return nullptr;
    auto *item = qobject_cast<QQuickItem *>(object);
    if (item && object->objectName() == objectName)
        return item;
    QObjectList below;
    if (item)
        for (QQuickItem *child : item->childItems())
            below << child;
    for (QObject *child : object->children())
        if (!below.contains(child))
            below << child;
    for (QObject *child : qAsConst(below))
        if (QQuickItem *found = findBelow(child, objectName, depth + 1))
            return found;
    return nullptr;
}

} // namespace

QQuickItem *QmlPageHost::find(QObject *under, const QString &objectName) const
{
    return findBelow(under ? under : static_cast<QObject *>(d->view->rootObject()), objectName, 0);
}

bool QmlPageHost::click(QQuickItem *item)
{
    if (!item || !item->isVisible() || !item->window())
        return false;
    // A user sees a frame before clicking: positioners and layouts settle when it is drawn.
    QQuickWindow *window = item->window();
    QSignalSpy drawn(window, &QQuickWindow::frameSwapped);
    window->update();
    drawn.wait(2000);
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(item->window(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    return true;
}

QVariant QmlPageHost::call(QObject *object, const char *function, const QVariant &argument)
{
    QVariant result;
    // An absent argument is a call without one.
    const QGenericArgument arg =
        argument.isValid() ? Q_ARG(QVariant, argument) : QGenericArgument();
    if (object && !QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result), arg))
        qWarning("QmlPageHost: no function %s on %s", function, object->metaObject()->className());
    return result;
}
