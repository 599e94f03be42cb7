#include "desktopwindow.h"

#include "compositionroot.h"
#include "firstframe.h"
#include "logcategories.h"
#include "qmlregistration.h"
#include "renderchoice.h"
#include "servicescheduletask.h"
#include "singleinstance.h"
#include "translator.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QQmlEngine>
#include <QQmlError>
#include <QQuickView>

namespace {

QmlRegistration::Objects objectsOf(CompositionRoot &root)
{
    return {root.settings(),
            root.translator(),
            root.historyNotice(),
            root.alarm(),
            root.devComm(),
            root.serviceEMail(),
            root.serviceShutdown(),
            root.serviceScheduleTask()->model(),
            root.serviceNotification(),
            root.batteryAge(),
            root.serviceNetwork(),
            root.watchService(),
            root.supplyCount(),
            root.upsDirectory()};
}

} // namespace

DesktopWindow::DesktopWindow(const Shown &shown) : m_shown(shown) { }

std::unique_ptr<QCoreApplication> DesktopWindow::application(int &argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
#ifdef Q_OS_WIN
    // ANGLE on Windows; on Linux it would force a GLES context desktop drivers may not offer.
    QCoreApplication::setAttribute(Qt::AA_UseOpenGLES, true);
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    auto app = std::make_unique<QApplication>(argc, argv);
    // The menu entry's name, so a desktop can tell the window belongs to it (the window's own
    // icon follows its first frame).
    QGuiApplication::setDesktopFileName(QStringLiteral("quelta"));
    return app;
}

void DesktopWindow::registerTypes(CompositionRoot &root)
{
    QmlRegistration::registerTypes(objectsOf(root));
}

void DesktopWindow::connectView(QQuickView *view, CompositionRoot &root)
{
    // Qt.quit() from the screens (the tray's "Quit") ends the event loop, hidden window or not.
    // Queued, so a quit asked for before the loop runs is not lost.
    QObject::connect(view->engine(), &QQmlEngine::quit, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    // Every translated text of the screens is made again when the language changes.
    QObject::connect(root.translator(), &Translator::cataloguesChanged, view->engine(),
                     &QQmlEngine::retranslate);
}

int DesktopWindow::run(CompositionRoot &root, SingleInstance &instance)
{
    // Before the first window: the backend is fixed for the process once one exists.
    RenderChoice::apply();
    int exitCode = -1;
    auto *view = new QQuickView;
    view->setFlags(Qt::Window | Qt::FramelessWindowHint);
    registerTypes(root);
    connectView(view, root);
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    view->setSource(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    // The icon of the window itself, for a taskbar that reads none from the menu entry: once the
    // first frame is drawn, as loading the SVG engine and drawing the icon at each of its sizes
    // are not what that frame waits for.
    afterFrameDrawn(view, view, [] {
        QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/res/image/Quelta.svg")));
    });

    if (!view->rootObject()) {
        for (const QQmlError &error : view->errors())
            qCCritical(lcShell) << error.toString();
        QMessageBox::warning(nullptr, QStringLiteral("Warning"),
                             QStringLiteral("Load configuration failed!"), QMessageBox::Ok);
    } else {
        view->show();
        QObject::connect(&instance, &SingleInstance::messageReceived, view, &QQuickView::show);
        QObject::connect(&instance, &SingleInstance::messageReceived, view, []() {
            qCInfo(lcShell) << "Window shown at the request of a second start";
        });
        qCInfo(lcShell) << "Window shown; monitoring";
        if (m_shown)
            m_shown(view, root);
        exitCode = QCoreApplication::exec();
    }
    delete view;
    return exitCode; // everything the root owns goes after the view
}
