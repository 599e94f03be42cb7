#include "simulatoroptions.h"

#include "commandinterpreter.h"

#include <QCommandLineParser>

bool SimulatorOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption(QStringList {QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption deviceOption(QStringLiteral("device"), QString(),
                                          QStringLiteral("path"));
    const QCommandLineOption linkOption(QStringLiteral("link"), QString(), QStringLiteral("path"));
    const QCommandLineOption controlOption(QStringLiteral("control"), QString(),
                                           QStringLiteral("path"));
    const QCommandLineOption scenarioOption(QStringLiteral("scenario"), QString(),
                                            QStringLiteral("name"));
    const QCommandLineOption commandOption(QStringLiteral("command"), QString(),
                                           QStringLiteral("text"));
    const QCommandLineOption baudOption(QStringLiteral("baud"), QString(), QStringLiteral("rate"));
    const QCommandLineOption instantOption(QStringLiteral("instant"));
    const QCommandLineOption turnaroundOption(QStringLiteral("turnaround"), QString(),
                                              QStringLiteral("ms"));
    const QCommandLineOption speedOption(QStringLiteral("speed"), QString(),
                                         QStringLiteral("factor"));
    const QCommandLineOption packOption(QStringLiteral("pack"), QString(),
                                        QStringLiteral("KEY=VALUE,..."));
    const QCommandLineOption parentOption(QStringLiteral("exit-with-parent"));
    const QCommandLineOption parentPidOption(QStringLiteral("parent-pid"), QString(),
                                             QStringLiteral("pid"));
    parser.addOption(parentOption);
    parser.addOption(packOption);
    parser.addOption(parentPidOption);
    parser.addOptions({helpOption, deviceOption, linkOption, controlOption, scenarioOption,
                       commandOption, baudOption, instantOption, turnaroundOption, speedOption});
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return false;
    }
    bool ok = true;
    help = parser.isSet(helpOption);
    followParent = parser.isSet(parentOption) || parser.isSet(parentPidOption);
    if (parser.isSet(parentPidOption)) {
        parentPid = parser.value(parentPidOption).toLongLong(&ok);
        if (!ok || parentPid <= 0) {
            *error = QStringLiteral("bad parent pid %1").arg(parser.value(parentPidOption));
            return false;
        }
    }
    device = parser.value(deviceOption);
    link = parser.value(linkOption);
    control = parser.value(controlOption);
    scenario = parser.value(scenarioOption);
    commands = parser.values(commandOption);
    // The pack goes first so that commands given after it see it.
    if (parser.isSet(packOption))
        commands.prepend(QStringLiteral("pack ") + parser.value(packOption));
    if (parser.isSet(baudOption)) {
        baud = parser.value(baudOption).toInt(&ok);
        if (!ok || baud < 50 || baud > 4000000) {
            *error = QStringLiteral("bad baud rate %1").arg(parser.value(baudOption));
            return false;
        }
    }
    if (parser.isSet(instantOption))
        baud = 0;
    if (parser.isSet(turnaroundOption)) {
        turnaroundMs = parser.value(turnaroundOption).toInt(&ok);
        if (!ok || turnaroundMs < 0 || turnaroundMs > 60000) {
            *error = QStringLiteral("bad turnaround %1").arg(parser.value(turnaroundOption));
            return false;
        }
    }
    if (parser.isSet(speedOption)) {
        speed = parser.value(speedOption).toDouble(&ok);
        if (!ok || speed <= 0 || speed > 10000) {
            *error = QStringLiteral("bad speed %1").arg(parser.value(speedOption));
            return false;
        }
    }
    return true;
}

QString SimulatorOptions::usage()
{
    return QStringLiteral(
               "upssim - a simulated UPS on a serial line, for trying and testing Quelta\n"
               "\n"
               "Usage: upssim [options]\n"
               "  --link PATH        also publish the terminal end as a symbolic link at PATH\n"
               "  --device PATH      answer on this serial device instead of a pseudo-terminal\n"
               "  --baud RATE        pace replies like a line at RATE baud, 10 bits a byte (2400)\n"
               "  --instant          send replies at once\n"
               "  --turnaround MS    pause before each reply starts (0)\n"
               "  --control PATH     take commands on a local socket at PATH as well\n"
               "  --scenario NAME    play \"demo\" (a lively few minutes, looping) or a script "
               "file\n"
               "                     of commands with \"sleep SECONDS\" and \"repeat\" lines\n"
               "  --command TEXT     run a command at start (may be repeated)\n"
               "  --speed FACTOR     run the UPS's clock faster (battery, self-tests, delays)\n"
               "  --pack SPEC        a lead-acid battery, as the command \"pack SPEC\", e.g.\n"
               "                     --pack \"ah=7 peukert=1.25 ohms=0.08 factor=1.4\"\n"
               "  --exit-with-parent end when the process that started upssim ends\n"
               "  --parent-pid PID   the same, and end at once if PID is not (or no longer) the "
               "parent\n"
               "  -h, --help         this text\n"
               "\n"
               "The first line on standard output is \"PTY <path>\": the serial port to open. "
               "Then\n"
               "one line per event: RX \"<request>\", TX \"<reply>\", STATE <change>, NOTE "
               "<text>,\n"
               "and the answers to commands read on standard input.\n"
               "\n"
               "Like a real unit it answers the queries Q1, F, I, NQU, BT, BP and A1, carries out\n"
               "the control requests T, TL, Tnn, CT, Q, S.n, Snn, SnnRmmmm and C without a reply,\n"
               "and echoes any other request back unchanged.\n"
               "\n") +
        CommandInterpreter::usage() +
        QStringLiteral(
               "\n"
               "Trying Quelta without a UPS:\n"
               "  upssim --link /tmp/ups --scenario demo\n"
               "then in cfg/config.cfg of Quelta's program folder set, in the [ups] group,\n"
               "  commType=1\n"
               "  comPort=/tmp/ups\n"
               "(\"ups/commType\" 1 is the serial link) and start Quelta. Type commands such as\n"
               "\"mains fail\" into upssim's terminal, or send them to its control socket:\n"
               "  upssim --link /tmp/ups --control /tmp/ups.ctl &\n"
               "  echo 'mains fail' | socat - UNIX-CONNECT:/tmp/ups.ctl\n");
}
