#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

// Options QGuiApplication takes out of the command line itself; the session manager restarts
// a program with -session.
const char *const qtValueOptions[] = {
    "session",    "platform",        "platformpluginpath", "platformtheme", "plugin",  "style",
    "stylesheet", "qwindowgeometry", "qwindowtitle",       "qwindowicon",   "display", "geometry"};
const char *const qtFlagOptions[] = {"reverse", "nograb", "dograb", "sync"};

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

class CommandLinePrivate
{
public:
    QCommandLineParser parser;
    QCommandLineOption help {{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption version {{QStringLiteral("v"), QStringLiteral("version")}};
    QCommandLineOption headless {QStringLiteral("headless")};
    QCommandLineOption home {QStringLiteral("home")};
    QCommandLineOption nutUser {QStringLiteral("nut-user")};
    QCommandLineOption role {QStringLiteral("role")};
    QCommandLineOption json {QStringLiteral("json")};
    enum class Outcome { Run, Help, Version, Mistake } outcome = Outcome::Run;
    QString mistake;
    QString program = QStringLiteral("quelta");
    CommandLine::Task task = CommandLine::Task::Monitor;

    QString check();
};

// What is wrong with a line the parser took; empty when nothing is.
QString CommandLinePrivate::check()
{
    const QStringList words = parser.positionalArguments();
    const QString command = words.value(0);
    if (parser.isSet(nutUser))
        task = CommandLine::Task::NutUser;
    else if (command == QLatin1String("config"))
        task = CommandLine::Task::Config;
    else if (command == QLatin1String("status"))
        task = CommandLine::Task::Status;
    else if (!words.isEmpty())
        return QCoreApplication::translate("CommandLine", "Unexpected argument '%1'.").arg(command);

    if (task == CommandLine::Task::Status && words.size() > 1)
        return QCoreApplication::translate("CommandLine", "Unexpected argument '%1'.")
            .arg(words.at(1));
    if (parser.isSet(role) && task != CommandLine::Task::NutUser)
        return QCoreApplication::translate("CommandLine", "--role goes with --nut-user add.");
    if (parser.isSet(json) && task != CommandLine::Task::Status)
        return QCoreApplication::translate("CommandLine", "--json goes with status.");
    if (parser.isSet(home) && parser.value(home).isEmpty())
        return QCoreApplication::translate("CommandLine", "--home needs a folder.");
    return QString();
}

CommandLine::CommandLine() : d(new CommandLinePrivate)
{
    QCommandLineParser &p = d->parser;
    // "-session ID" is one option with a value, never "-s -e -s ...".
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "Watches UPSes and shuts the computer down in order when the power fails."));
    d->help.setDescription(QCoreApplication::translate("CommandLine", "Show this help and end."));
    d->version.setDescription(
        QCoreApplication::translate("CommandLine", "Show the version and end."));
    d->headless = QCommandLineOption(
        QStringLiteral("headless"),
        QCoreApplication::translate("CommandLine",
                                    "Run without the window and the tray: monitoring, alarms, "
                                    "samples, the shutdown countdown, mail and scheduled tasks "
                                    "go on. Log lines also go to standard error."));
    d->home = QCommandLineOption(
        QStringLiteral("home"),
        QCoreApplication::translate("CommandLine",
                                    "Keep settings, history and logs in DIR (the same as the "
                                    "environment variable QUELTA_HOME)."),
        QStringLiteral("DIR"));
    d->nutUser = QCommandLineOption(
        QStringLiteral("nut-user"),
        QCoreApplication::translate(
            "CommandLine",
            "Manage the accounts of the network server and end: 'add NAME --role monitor|admin' "
            "(the password is read from standard input), 'remove NAME' or 'list'. This works "
            "while the program runs on the same folder; it takes the change at once."),
        QStringLiteral("ACTION"));
    d->role = QCommandLineOption(
        QStringLiteral("role"),
        QCoreApplication::translate("CommandLine",
                                    "The role of an account added with --nut-user: monitor or "
                                    "admin."),
        QStringLiteral("ROLE"));
    d->json = QCommandLineOption(
        QStringLiteral("json"),
        QCoreApplication::translate("CommandLine", "With status: the state as one JSON document."));
    p.addOptions({d->help, d->version, d->headless, d->home, d->nutUser, d->role, d->json});
    p.addPositionalArgument(
        QStringLiteral("command"),
        QCoreApplication::translate(
            "CommandLine",
            "Instead of running, one of:\n"
            "config list: every setting with its value;\n"
            "config get KEY: one setting's value;\n"
            "config set KEY VALUE: change a setting;\n"
            "config set-password KEY: a password (the SMTP login's, the network link's) from "
            "the first line of standard input;\n"
            "config check: each problem of the settings file with its line; exit status 0 when "
            "there is none, 2 when there are;\n"
            "status: the state of the UPS of the running program; exit status 0 on mains, 1 on "
            "battery, 2 battery low, a fault or the output off, 3 no UPS or no program.\n"
            "A running program takes a changed setting at once."),
        QStringLiteral("[config ACTION [KEY [VALUE]] | status [--json]]"));
    for (const char *name : qtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(option);
    }
    for (const char *name : qtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(option);
    }
}

CommandLine::~CommandLine() = default;

QCommandLineParser &CommandLine::parser()
{
    return d->parser;
}

bool CommandLine::parse(const QStringList &given)
{
    // "config set KEY -1": what follows the key is its value, whatever it starts with.
    QStringList arguments = given;
    const int config = int(arguments.indexOf(QStringLiteral("config")));
    if (config > 0 && config + 3 < arguments.size() &&
        arguments.at(config + 1) == QLatin1String("set") &&
        !arguments.mid(1, config + 2).contains(QStringLiteral("--")) &&
        arguments.at(config + 3).startsWith(QLatin1Char('-')) &&
        arguments.at(config + 3) != QLatin1String("--"))
        arguments.insert(config + 3, QStringLiteral("--"));
    QCommandLineParser &p = d->parser;
    if (!arguments.isEmpty())
        d->program = QFileInfo(arguments.first()).fileName();
    d->task = Task::Monitor;
    if (!p.parse(arguments)) {
        d->outcome = CommandLinePrivate::Outcome::Mistake;
        d->mistake = p.errorText();
    } else if (p.isSet(d->help)) {
        d->outcome = CommandLinePrivate::Outcome::Help;
    } else if (p.isSet(d->version)) {
        d->outcome = CommandLinePrivate::Outcome::Version;
    } else {
        d->mistake = d->check();
        d->outcome = d->mistake.isEmpty() ? CommandLinePrivate::Outcome::Run
                                          : CommandLinePrivate::Outcome::Mistake;
    }
    return d->outcome == CommandLinePrivate::Outcome::Run;
}

int CommandLine::finish() const
{
    switch (d->outcome) {
    case CommandLinePrivate::Outcome::Help:
        print(stdout, d->parser.helpText());
        return 0;
    case CommandLinePrivate::Outcome::Version:
        print(stdout, QStringLiteral("%1 %2\n").arg(d->program, QCoreApplication::applicationVersion()));
        return 0;
    case CommandLinePrivate::Outcome::Mistake:
        print(stderr,
              QStringLiteral("%1: %2\n%3\n")
                  .arg(d->program, d->mistake,
                       QCoreApplication::translate("CommandLine",
                                                   "Try '%1 --help' for the options.")
                           .arg(d->program)));
        return 2;
    case CommandLinePrivate::Outcome::Run:
        break;
    }
    return 0;
}

CommandLine::Task CommandLine::task() const
{
    return d->task;
}

QStringList CommandLine::configArguments() const
{
    return d->parser.positionalArguments().mid(1);
}

bool CommandLine::json() const
{
    return d->parser.isSet(d->json);
}

bool CommandLine::headless() const
{
    return d->parser.isSet(d->headless);
}

QString CommandLine::home() const
{
    return d->parser.value(d->home);
}

QString CommandLine::nutUserAction() const
{
    return d->parser.value(d->nutUser);
}

QStringList CommandLine::nutUserNames() const
{
    return d->parser.positionalArguments();
}

QString CommandLine::nutUserRole() const
{
    return d->parser.value(d->role);
}
