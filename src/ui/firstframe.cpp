#include "firstframe.h"

#include <QQuickWindow>

#include <memory>

void afterFrameDrawn(QQuickWindow *window, QObject *context, std::function<void()> then)
{
    const auto watch = std::make_shared<QMetaObject::Connection>();
    // Queued: a threaded render loop tells of the frame from its own thread.
    *watch = QObject::connect(
        window, &QQuickWindow::frameSwapped, context,
        [watch, then = std::move(then)] {
            QObject::disconnect(*watch);
            then();
        },
        Qt::QueuedConnection);
}
