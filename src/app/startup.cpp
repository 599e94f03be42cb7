#include "startup.h"

#include "commandline.h"
#include "compositionroot.h"
#include "logcategories.h"
#include "loghandler.h"
#include "nutusercommand.h"
#include "paths.h"
#include "platform.h"
#include "renderchoice.h"
#include "settings.h"
#include "singleinstance.h"
#include "terminationsignals.h"
#include "translator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <QQmlError>
#include <QQuickView>
#include <QTextStream>
#include <QTranslator>

#include <memory>

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

namespace {

// The catalogue of the system's language, for texts written before or without the settings.
void installSystemCatalogue(QTranslator *catalogue)
{
    if (catalogue->load(Paths::shipped(QStringLiteral("/translations/") + QLocale::system().name() +
                                       QStringLiteral(".qm"))))
        QCoreApplication::installTranslator(catalogue);
}

// --nut-user: the accounts in the configuration file, written whether or not the program runs
// on the same folder; no guard, no log file, no services.
int runNutUser(const CommandLine &commandLine)
{
    QTranslator catalogue;
    installSystemCatalogue(&catalogue);
    createAppDirectories();
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    Settings settings;
    settings.load();
    return NutUserCommand::run(&settings, commandLine.nutUserAction(), commandLine.nutUserNames(),
                               commandLine.nutUserRole(), in, out, err);
}

QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Everything but the window and the tray: the services run until a signal ends the loop.
int runHeadless(QCoreApplication *app, SingleInstance *instance)
{
    CompositionRoot root;
    root.openStores();
    root.start();
    // Mails and alarm texts in the chosen language, as with a window.
    root.translator()->init();
    QObject::connect(instance, &SingleInstance::messageReceived, app, []() {
        qCInfo(lcShell) << "A second start asked for the window; this instance runs without one";
    });
    qCInfo(lcShell) << "Running without a window; monitoring";
    return app->exec();
}

int runWindow(QApplication *app, SingleInstance *instance, const WindowShown &windowShown)
{
    // Before the first window: the backend is fixed for the process once one exists.
    RenderChoice::apply();
    int exitCode = -1;
    CompositionRoot root;
    root.openStores();
    root.start();

    auto *view = new QQuickView;
    view->setFlags(Qt::Window | Qt::FramelessWindowHint);
    root.registerQml();
    root.connectView(view);
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    root.applyLanguage();
    view->setSource(QUrl(QStringLiteral("qrc:/qml/main.qml")));

    if (!view->rootObject()) {
        for (const QQmlError &error : view->errors())
            qCCritical(lcShell) << error.toString();
        QMessageBox::warning(nullptr, QStringLiteral("Warning"),
                             QStringLiteral("Load configuration failed!"), QMessageBox::Ok);
        exitCode = -1;
    } else {
        view->show();
        QObject::connect(instance, &SingleInstance::messageReceived, view, &QQuickView::show);
        QObject::connect(instance, &SingleInstance::messageReceived, view, []() {
            qCInfo(lcShell) << "Window shown at the request of a second start";
        });
        root.attachEngine(view->engine());
        qCInfo(lcShell) << "Window shown; monitoring";
        if (windowShown)
            windowShown(view, root);
        exitCode = app->exec();
    }
    delete view;
    return exitCode; // everything the root owns goes after the view
}

} // namespace

int run(int &argc, char **argv, const WindowShown &windowShown)
{
    QCoreApplication::setApplicationName(QStringLiteral("QUELTA"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUELTA_APP_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("ORVAK"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quelta.example.org"));

    // Read before the application object exists: it decides whether there is a window at all,
    // and help, the version or a mistake need no display.
    CommandLine commandLine;
    const bool proceed = commandLine.parse(argumentList(argc, argv));
    const bool accounts = proceed && commandLine.parser().isSet(QStringLiteral("nut-user"));
    const bool headless = !proceed || accounts || commandLine.headless();
    if (proceed && !commandLine.home().isEmpty())
        qputenv("QUELTA_HOME", commandLine.home().toLocal8Bit());

    std::unique_ptr<QCoreApplication> app;
    if (headless) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
#ifdef Q_OS_WIN
        // ANGLE on Windows; on Linux it would force a GLES context desktop drivers may not offer.
        QCoreApplication::setAttribute(Qt::AA_UseOpenGLES, true);
#endif
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
        app = std::make_unique<QApplication>(argc, argv);
        // The menu entry's name, so a desktop can tell the window belongs to it, and the icon of
        // the window itself for a taskbar that reads none from the entry.
        QGuiApplication::setDesktopFileName(QStringLiteral("quelta"));
        QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/res/image/Quelta.svg")));
    }
    if (!proceed) {
        // Help and mistakes in the language of the system, where Quelta speaks it: the texts
        // are made again once the catalogue is in.
        QTranslator catalogue;
        installSystemCatalogue(&catalogue);
        CommandLine translated;
        translated.parse(argumentList(argc, argv));
        return translated.finish();
    }

    if (accounts)
        return runNutUser(commandLine);

    createAppDirectories();
    // The service runs in "/", where nothing may be written: crash records go beside the logs.
    platform::installCrashHandler(Paths::file(QStringLiteral("/log")).toStdWString());
    LogHandler::install(headless);

    int exitCode = 0;
    {
        SingleInstance instance;
        if (instance.isRunning()) {
            if (instance.sendMessage(QString(), 5000))
                return 0;
            // Started beside it by another user or under another temporary folder (a service).
            qCWarning(lcShell).noquote()
                << QStringLiteral("Quelta already runs on the program folder %1 (process %2) and "
                                  "cannot be reached; this start ends")
                       .arg(Paths::root())
                       .arg(instance.owner());
            return 1;
        }

        // A request to end (the service manager's stop, Ctrl+C, the session's end) ends the loop,
        // so the link is closed, the records written and the guard removed on the way out.
        TerminationSignals termination;
        QObject::connect(&termination, &TerminationSignals::terminationRequested, app.get(),
                         &QCoreApplication::quit);

        QLocale::setDefault(QLocale::c());
        qCInfo(lcShell) << "Quelta" << QUELTA_APP_VERSION << "starting in" << Paths::root()
                        << (headless ? "without a window" : "");
        seedShippedFiles();

        exitCode = headless
            ? runHeadless(app.get(), &instance)
            : runWindow(static_cast<QApplication *>(app.get()), &instance, windowShown);
    } // the guard goes after everything else
    qCInfo(lcShell) << "Quelta ends with exit code" << exitCode;
    return exitCode;
}

} // namespace Startup
