#include "startup.h"

#include "compositionroot.h"
#include "logcategories.h"
#include "loghandler.h"
#include "paths.h"
#include "platform.h"
#include "singleapplication.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QQmlError>
#include <QQuickView>

namespace Startup {

void createAppDirectories()
{
    const QStringList folders = {QStringLiteral("/log"), QStringLiteral("/cfg"),
                                 QStringLiteral("/data"), QStringLiteral("/data/self_test"),
                                 QStringLiteral("/log/output")};
    // A root named by QUELTA_HOME may not exist yet; without it nothing below could be made.
    const QString root = Paths::root();
    if (!QDir(root).exists() && !QDir().mkpath(root))
        qCWarning(lcShell) << "Cannot create the program folder" << root;
    for (const QString &folder : folders) {
        const QString path = Paths::file(folder);
        if (!QDir(path).exists())
            QDir().mkdir(path);
    }
}

void seedShippedFiles()
{
    const QString usbList = Paths::file(QStringLiteral("/cfg/usb.cfg"));
    if (QFile::exists(usbList))
        return;
    const QString shipped = Paths::shipped(QStringLiteral("/usb.cfg"));
    if (!shipped.isEmpty() && !QFile::copy(shipped, usbList))
        qCWarning(lcShell) << "Cannot seed" << usbList << "from" << shipped;
    QFile::setPermissions(
        usbList, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

int run(int &argc, char **argv, const WindowShown &windowShown)
{
    QCoreApplication::setApplicationName(QStringLiteral("QUELTA"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUELTA_APP_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("ORVAK"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quelta.example.org"));

    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
#ifdef Q_OS_WIN
    // ANGLE on Windows; on Linux it would force a GLES context desktop drivers may not offer.
    QCoreApplication::setAttribute(Qt::AA_UseOpenGLES, true);
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);

    auto *app = new SingleApplication(argc, argv);

    createAppDirectories();
    platform::installCrashHandler();
    LogHandler::install();

    if (app->isRunning()) {
        const bool delivered = app->sendMessage(QString(), 5000);
        delete app;
        return delivered ? 0 : 1;
    }

    QLocale::setDefault(QLocale::c());
    qCInfo(lcShell) << "Quelta" << QUELTA_APP_VERSION << "starting in" << Paths::root();
    seedShippedFiles();

    int exitCode = -1;
    {
        CompositionRoot root;
        root.openStores();
        root.start();

        auto *view = new QQuickView;
        view->setFlags(Qt::Window | Qt::FramelessWindowHint);
        root.registerQml();
        root.publishContext(view);
        view->setResizeMode(QQuickView::SizeRootObjectToView);
        view->setSource(QUrl(QStringLiteral("qrc:/qml/main.qml")));

        if (!view->rootObject()) {
            for (const QQmlError &error : view->errors())
                qCCritical(lcShell) << error.toString();
            QMessageBox::warning(nullptr, QStringLiteral("Warning"),
                                 QStringLiteral("Load configuration failed!"), QMessageBox::Ok);
            exitCode = -1;
        } else {
            view->show();
            QObject::connect(app, &SingleApplication::messageReceived, view, &QQuickView::show);
            QObject::connect(app, &SingleApplication::messageReceived, view, []() {
                qCInfo(lcShell) << "Window shown at the request of a second start";
            });
            root.attachEngine(view->engine());
            qCInfo(lcShell) << "Window shown; monitoring";
            if (windowShown)
                windowShown(view, root);
            exitCode = app->exec();
        }
        delete view;
    } // everything the root owns goes after the view
    qCInfo(lcShell) << "Quelta ends with exit code" << exitCode;
    delete app;
    return exitCode;
}

} // namespace Startup
