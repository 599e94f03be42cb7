#include "startup.h"

#include "commandline.h"
#include "compositionroot.h"
#include "configcommand.h"
#include "diskreserve.h"
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
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>
#include <QTranslator>

#include <algorithm>

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

// A word of a command line as a shell takes it back.
QString shellWord(const QString &word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=@%+,-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// Run by root on the program folder of another user (the service's, a user's own), the program
// is that user from here on, before anything is written there: what it makes stays theirs, so
// the service can still store its history and log once it runs again. What an earlier run as
// root left there is given back first. Where root cannot become the owner, the run is refused
// with the command that works. False then, or when the owner cannot use the folder.
bool runAsFolderOwner(const QStringList &arguments, QString *owner)
{
    const QString root = Paths::root();
    const std::vector<std::wstring> entries = {L"cfg", L"data", L"log", L"quelta.lock",
                                               L"quelta.sock"};
    std::wstring name;
    std::wstring error;
    const platform::FolderUser user =
        platform::runAsFolderOwner(root.toStdWString(), entries, &name, &error);
    if (user == platform::FolderUser::Unchanged)
        return true;
    *owner = QString::fromStdWString(name);
    const QString program = QFileInfo(arguments.value(0)).fileName();
    QTextStream err(stderr);
    if (user == platform::FolderUser::Owner) {
        if (QFileInfo(root).isWritable())
            return true;
        err << QStringLiteral("%1: The program folder %2 belongs to the user %3, who cannot "
                              "write there; nothing was written.\n")
                   .arg(program, root, *owner);
        return false;
    }
    QStringList command = {QStringLiteral("sudo"), QStringLiteral("-u"), shellWord(*owner),
                           program};
    const bool service = root == Paths::serviceRoot();
    const bool homeGiven = std::any_of(arguments.begin(), arguments.end(), [](const QString &a) {
        return a == QLatin1String("--home") || a.startsWith(QLatin1String("--home="));
    });
    if (!homeGiven && !service)
        command << QStringLiteral("--home") << shellWord(root);
    for (const QString &argument : arguments.mid(1))
        command << shellWord(argument);
    err << QStringLiteral("%1: The program folder %2 belongs to the user %3, and this run as root "
                          "cannot become that user (%4); nothing was written. Run it as that "
                          "user: %5")
               .arg(program, root, *owner, QString::fromStdWString(error), command.join(' '));
    if (service)
        err << QStringLiteral(", or start the service: sudo systemctl start quelta");
    err << '\n';
    return false;
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
    // This thread polls the UPS and carries out the protection; with no window to draw, nothing
    // long runs on it, so it may go ahead of the machine's other work.
    std::string why;
    if (platform::raiseThreadPriority(&why))
        qCInfo(lcShell) << "The poll runs at real-time priority";
    else
        qCInfo(lcShell).noquote() << "The poll runs at normal priority:"
                                  << QString::fromStdString(why);
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

    QString owner;
    if (!runAsFolderOwner(argumentList(argc, argv), &owner))
        return 2;
    if (command)
        return runCommand(commandLine);

    createAppDirectories();
    // The service runs in "/", where nothing may be written: crash records go beside the logs.
    platform::installCrashHandler(Paths::file(QStringLiteral("/log")).toStdWString());
    LogHandler::install(headless);
    if (!owner.isEmpty())
        qCInfo(lcShell).noquote()
            << QStringLiteral("Started by root on the program folder of the user %1: runs as "
                              "that user, so what it writes there stays theirs")
                   .arg(owner);
    DiskReserve::make();

    int exitCode = 0;
    {
        SingleInstance instance;
        if (instance.isRunning()) {
            // A second window start shows the first window. Without a window there is nothing
            // to show: whoever started it (a shell, a service manager) learns it failed.
            if (!headless && instance.sendMessage(QString(), 5000))
                return 0;
            // Or started beside it by another user, whose socket this one may not use.
            qCWarning(lcShell).noquote()
                << QStringLiteral("Quelta already runs on the program folder %1 (process %2)%3; "
                                  "this start ends")
                       .arg(Paths::root())
                       .arg(instance.owner())
                       .arg(headless ? QString() : QStringLiteral(" and cannot be reached"));
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
