#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

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
    enum class Outcome { Run, Help, Version, Mistake } outcome = Outcome::Run;
    QString mistake;
};

CommandLine::CommandLine() : d(new CommandLinePrivate)
{
    QCommandLineParser &p = d->parser;
    // "-session ID" is one option with a value, never "-s -e -s ...".
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "Watches one UPS and shuts the computer down in order when the power fails."));
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
    p.addOptions({d->help, d->version, d->headless, d->home, d->nutUser, d->role});
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

bool CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser &p = d->parser;
    if (!p.parse(arguments)) {
        d->outcome = CommandLinePrivate::Outcome::Mistake;
        d->mistake = p.errorText();
    } else if (p.isSet(d->help)) {
        d->outcome = CommandLinePrivate::Outcome::Help;
    } else if (p.isSet(d->version)) {
        d->outcome = CommandLinePrivate::Outcome::Version;
    } else if (!p.positionalArguments().isEmpty() && !p.isSet(d->nutUser)) {
        d->outcome = CommandLinePrivate::Outcome::Mistake;
        d->mistake = QCoreApplication::translate("CommandLine", "Unexpected argument '%1'.")
                         .arg(p.positionalArguments().constFirst());
    } else if (p.isSet(d->role) && !p.isSet(d->nutUser)) {
        d->outcome = CommandLinePrivate::Outcome::Mistake;
        d->mistake = QCoreApplication::translate("CommandLine", "--role goes with --nut-user add.");
    } else if (p.isSet(d->home) && p.value(d->home).isEmpty()) {
        d->outcome = CommandLinePrivate::Outcome::Mistake;
        d->mistake = QCoreApplication::translate("CommandLine", "--home needs a folder.");
    } else {
        d->outcome = CommandLinePrivate::Outcome::Run;
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
        print(stdout, QStringLiteral("quelta %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    case CommandLinePrivate::Outcome::Mistake:
        print(stderr,
              QStringLiteral("quelta: %1\n%2\n")
                  .arg(d->mistake,
                       QCoreApplication::translate("CommandLine",
                                                   "Try 'quelta --help' for the options.")));
        return 2;
    case CommandLinePrivate::Outcome::Run:
        break;
    }
    return 0;
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
