#include "startup.h"

#include "commandline.h"
#include "compositionroot.h"
#include "configcommand.h"
#include "logcategories.h"
#include "loghandler.h"
#include "nutusercommand.h"
#include "paths.h"
#include "platform.h"
#include "settings.h"
#include "singleinstance.h"
#include "statuscommand.h"
#include "terminationsignals.h"
#include "translator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

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

// Run by root on the program folder of another user (the service's), the settings folder and
// file a command made or wrote stay that user's, or the program could no longer read or replace
// its own settings.
void keepOwner()
{
    const std::wstring root = Paths::root().toStdWString();
    for (const char *file : {"/cfg", "/cfg/config.cfg"})
        platform::matchOwner(Paths::file(QString::fromLatin1(file)).toStdWString(), root);
}

// --nut-user, config and status: the settings file, the accounts beside it, or a question to
// the program running on the root; written whether or not it runs, no guard, no log file, no
// services.
int runCommand(const CommandLine &commandLine)
{
    QTranslator catalogue;
    installSystemCatalogue(&catalogue);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (commandLine.task() == CommandLine::Task::Status)
        return StatusCommand::run(commandLine.json(), out, err);
    int exitCode = 0;
    if (commandLine.task() == CommandLine::Task::Config) {
        exitCode = ConfigCommand::run(commandLine.configArguments(), in, out, err);
    } else {
        // Accounts live beside the settings, and loading them completes the file: never one
        // that does not read whole.
        exitCode = ConfigCommand::refuseDamaged(err);
        if (exitCode != ConfigCommand::Success)
            return exitCode;
        // The settings folder only: no log, no database.
        QDir().mkpath(Paths::file(QStringLiteral("/cfg")));
        Settings settings;
        settings.load();
        exitCode = NutUserCommand::run(&settings, commandLine.nutUserAction(),
                                       commandLine.nutUserNames(), commandLine.nutUserRole(), in,
                                       out, err);
    }
    keepOwner();
    return exitCode;
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
    QObject::connect(instance, &SingleInstance::messageReceived, app, []() {
        qCInfo(lcShell) << "A second start asked for the window; this instance runs without one";
    });
    qCInfo(lcShell) << "Running without a window; monitoring";
    return app->exec();
}

} // namespace

int run(int &argc, char **argv, Window *window)
{
    QCoreApplication::setApplicationName(QStringLiteral("QUELTA"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUELTA_APP_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("ORVAK"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quelta.example.org"));

    // Read before the application object exists: it decides whether there is a window at all,
    // and help, the version or a mistake need no display.
    CommandLine commandLine;
    const bool proceed = commandLine.parse(argumentList(argc, argv));
    const bool command = proceed && commandLine.task() != CommandLine::Task::Monitor;
    const bool headless = !window || !proceed || command || commandLine.headless();
    if (proceed && !commandLine.home().isEmpty())
        qputenv("QUELTA_HOME", commandLine.home().toLocal8Bit());

    std::unique_ptr<QCoreApplication> app = headless
        ? std::make_unique<QCoreApplication>(argc, argv)
        : window->application(argc, argv);
    if (!proceed) {
        // Help and mistakes in the language of the system, where Quelta speaks it: the texts
        // are made again once the catalogue is in.
        QTranslator catalogue;
        installSystemCatalogue(&catalogue);
        CommandLine translated;
        translated.parse(argumentList(argc, argv));
        return translated.finish();
    }

    if (command)
        return runCommand(commandLine);

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
            // Started beside it by another user, whose socket this one may not use.
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

        CompositionRoot root;
        root.openStores();
        root.start();
        // Mails and alarm texts in the chosen language; a window is made in it from the start.
        root.translator()->init();
        instance.setAnswer("status", [&root] { return root.statusDocument(); });
        exitCode = headless ? runHeadless(app.get(), &instance) : window->run(root, instance);
    } // everything the root owns goes before the guard
    qCInfo(lcShell) << "Quelta ends with exit code" << exitCode;
    return exitCode;
}

} // namespace Startup
