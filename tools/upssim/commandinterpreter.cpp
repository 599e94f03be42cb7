#include "commandinterpreter.h"

#include "eventlog.h"
#include "linepacer.h"
#include "requesthandler.h"
#include "upsmodel.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {
QString ok(const QString &value = QString())
{
    return value.isEmpty() ? QStringLiteral("ok") : QStringLiteral("ok ") + value;
}

QString error(const QString &why)
{
    return QStringLiteral("error ") + why;
}
} // namespace

class CommandInterpreterPrivate
{
public:
    UpsModel *ups;
    RequestHandler *handler;
    LinePacer *pacer;
    CommandInterpreter *q;
    QStringList args; // of the command being run, without its name

    bool number(int index, double *value, double low, double high) const
    {
        bool ok = false;
        *value = args.value(index).toDouble(&ok);
        return ok && *value >= low && *value <= high;
    }

    // "on"/"off" (also 1/0, yes/no) of argument `index`; false when it is neither.
    bool onOff(int index, bool *value) const
    {
        const QString word = args.value(index).toLower();
        if (word == QLatin1String("on") || word == QLatin1String("1") ||
            word == QLatin1String("yes")) {
            *value = true;
            return true;
        }
        if (word == QLatin1String("off") || word == QLatin1String("0") ||
            word == QLatin1String("no")) {
            *value = false;
            return true;
        }
        return false;
    }

    QString state() const
    {
        return ups->describe() +
            QStringLiteral(
                " silent=%1 echo=%2 answer=%3 baud=%4 turnaround=%5 chunk=%6 gap=%7 corrupt=%8")
                .arg(handler->isSilent() ? 1 : 0)
                .arg(handler->echo() ? 1 : 0)
                .arg(handler->answered().isEmpty() ? QStringLiteral("none")
                                                   : handler->answered().join(QLatin1Char(',')))
                .arg(pacer->baud())
                .arg(pacer->turnaroundMs())
                .arg(pacer->chunkBytes())
                .arg(pacer->chunkGapMs())
                .arg(handler->corrupted().isEmpty() ? QStringLiteral("none")
                                                    : handler->corrupted().join(QLatin1Char(',')));
    }

    QString run(const QString &name);
};

QString CommandInterpreterPrivate::run(const QString &name)
{
    const QString first = args.value(0).toLower();
    double value = 0;
    bool on = false;

    if (name == QLatin1String("mains")) {
        if (first == QLatin1String("fail") || first == QLatin1String("off"))
            ups->setMains(false);
        else if (first == QLatin1String("return") || first == QLatin1String("on"))
            ups->setMains(true);
        else
            return error(QStringLiteral("usage: mains fail|return"));
        return ok();
    }
    if (name == QLatin1String("battery")) {
        if (!number(0, &value, 0, 100))
            return error(QStringLiteral("usage: battery PERCENT (0 to 100)"));
        ups->setCapacity(value);
        return ok();
    }
    if (name == QLatin1String("lowbatt")) {
        if (first == QLatin1String("auto"))
            ups->setLowBattery(UpsModel::LowAuto);
        else if (onOff(0, &on))
            ups->setLowBattery(on ? UpsModel::LowForcedOn : UpsModel::LowForcedOff);
        else
            return error(QStringLiteral("usage: lowbatt auto|on|off"));
        return ok();
    }
    if (name == QLatin1String("lowlevel")) {
        if (!number(0, &value, 0, 100))
            return error(QStringLiteral("usage: lowlevel PERCENT"));
        ups->setLowLevel(value);
        return ok();
    }
    using Setter = void (UpsModel::*)(bool);
    static const QList<QPair<QString, Setter>> switches = {
        {QStringLiteral("bypass"), &UpsModel::setBypass},
        {QStringLiteral("fault"), &UpsModel::setUpsFault},
        {QStringLiteral("standby"), &UpsModel::setStandbyType},
        {QStringLiteral("wander"), nullptr},
    };
    for (const auto &entry : switches) {
        if (name != entry.first)
            continue;
        if (!onOff(0, &on))
            return error(QStringLiteral("usage: %1 on|off").arg(name));
        if (entry.second)
            (ups->*entry.second)(on);
        else
            ups->setWander(on, args.value(1, QStringLiteral("1")).toUInt());
        return ok();
    }
    if (name == QLatin1String("beeper")) {
        if (first == QLatin1String("toggle"))
            ups->toggleBeeper();
        else if (onOff(0, &on))
            ups->setBeeper(on);
        else
            return error(QStringLiteral("usage: beeper on|off|toggle"));
        return ok();
    }
    if (name == QLatin1String("load")) {
        if (!number(0, &value, 0, 999))
            return error(QStringLiteral("usage: load PERCENT"));
        ups->setLoad(int(value));
        return ok();
    }
    if (name == QLatin1String("input")) {
        if (!number(0, &value, 0, 999.9))
            return error(QStringLiteral("usage: input VOLTS"));
        ups->setInputVoltage(float(value));
        return ok();
    }
    if (name == QLatin1String("frequency")) {
        if (!number(0, &value, 0, 99.9))
            return error(QStringLiteral("usage: frequency HERTZ"));
        ups->setFrequency(float(value));
        return ok();
    }
    if (name == QLatin1String("temperature")) {
        if (!number(0, &value, 0, 99.9))
            return error(QStringLiteral("usage: temperature CELSIUS"));
        ups->setTemperature(float(value));
        return ok();
    }
    if (name == QLatin1String("faultkind")) {
        if (!number(0, &value, 0, 99))
            return error(QStringLiteral("usage: faultkind N (0 to 99)"));
        ups->setFaultKind(int(value));
        return ok();
    }
    if (name == QLatin1String("faultword")) {
        bool isHex = false;
        const uint word = args.value(1).toUInt(&isHex, 16);
        if (args.size() != 2 || !number(0, &value, 0, UpsModel::FaultWordCount - 1) || !isHex ||
            word > 0xffff)
            return error(QStringLiteral("usage: faultword INDEX(0-12) HEX"));
        ups->setFaultWord(int(value), quint16(word));
        return ok();
    }
    if (name == QLatin1String("faultbit")) {
        double bit = 0;
        if (!number(0, &value, 0, UpsModel::FaultWordCount - 1) || !number(1, &bit, 0, 15) ||
            !onOff(2, &on))
            return error(QStringLiteral("usage: faultbit INDEX(0-12) BIT(0-15) on|off"));
        ups->setFaultBit(int(value), int(bit), on);
        return ok();
    }
    if (name == QLatin1String("faults")) {
        if (first != QLatin1String("clear"))
            return error(QStringLiteral("usage: faults clear"));
        ups->clearFaults();
        return ok();
    }
    if (name == QLatin1String("selftest")) {
        QString why;
        bool done = false;
        if (first == QLatin1String("10s"))
            done = ups->startSelfTest(UpsModel::Test10Seconds, 0, &why);
        else if (first == QLatin1String("low"))
            done = ups->startSelfTest(UpsModel::TestUntilLow, 0, &why);
        else if (first == QLatin1String("cancel"))
            done = ups->cancelSelfTest(&why);
        else if (first == QLatin1String("left") && number(1, &value, 0, 99 * 60))
            done = ups->setSelfTestSecondsLeft(value, &why);
        else if (first == QLatin1String("finish")) {
            ups->finishSelfTest();
            done = true;
        } else if (number(0, &value, 1, 99))
            done = ups->startSelfTest(UpsModel::TestMinutes, int(value), &why);
        else
            return error(
                QStringLiteral("usage: selftest 10s|low|MINUTES|cancel|finish|left SECONDS"));
        return done ? ok() : error(why);
    }
    if (name == QLatin1String("output")) {
        if (first == QLatin1String("on")) {
            ups->restartOutput();
            return ok();
        }
        if (first == QLatin1String("cancel")) {
            ups->cancelOutputOff();
            return ok();
        }
        if (first != QLatin1String("off"))
            return error(QStringLiteral("usage: output off [DELAY_S [RESTART_MIN]] | on | cancel"));
        double delay = 0, restart = -1;
        if ((args.size() > 1 && !number(1, &delay, 0, 86400)) ||
            (args.size() > 2 && !number(2, &restart, 0, 9999)))
            return error(QStringLiteral("usage: output off [DELAY_S [RESTART_MIN]]"));
        QString why;
        return ups->scheduleOutputOff(delay, int(restart), &why) ? ok() : error(why);
    }
    if (name == QLatin1String("runtime") || name == QLatin1String("charge") ||
        name == QLatin1String("speed")) {
        if (!number(0, &value, 0.01, 10000))
            return error(QStringLiteral("usage: %1 NUMBER").arg(name));
        if (name == QLatin1String("runtime"))
            ups->setRuntime(value);
        else if (name == QLatin1String("charge"))
            ups->setChargeTime(value);
        else
            ups->setSpeed(value);
        return ok();
    }
    if (name == QLatin1String("pack")) {
        if (args.isEmpty())
            return error(QStringLiteral("usage: pack on|off|KEY=VALUE..."));
        QString why;
        return ups->setPack(args, &why) ? ok() : error(why);
    }
    if (name == QLatin1String("ratings")) {
        double volts = 0, current = 0, battery = 0, hertz = 0;
        if (!number(0, &volts, 0, 999.9) || !number(1, &current, 0, 999) ||
            !number(2, &battery, 0, 999.9) || !number(3, &hertz, 0, 99.9))
            return error(QStringLiteral("usage: ratings VOLTS CURRENT BATTERY_VOLTS HERTZ"));
        ups->setRatings(float(volts), int(current), float(battery), float(hertz));
        return ok();
    }
    if (name == QLatin1String("identity")) {
        static const QStringList fields = {QStringLiteral("company"), QStringLiteral("model"),
                                           QStringLiteral("version"), QStringLiteral("serial")};
        if (!fields.contains(first) || args.size() < 2)
            return error(QStringLiteral("usage: identity company|model|version|serial TEXT"));
        ups->setIdentity(first, args.mid(1).join(QLatin1Char(' ')));
        return ok();
    }
    if (name == QLatin1String("silent") || name == QLatin1String("speak")) {
        if (name == QLatin1String("speak"))
            on = false;
        else if (args.isEmpty())
            on = true;
        else if (!onOff(0, &on))
            return error(QStringLiteral("usage: silent [on|off]"));
        handler->setSilent(on);
        return ok();
    }
    if (name == QLatin1String("answer")) {
        QStringList queries;
        for (const QString &query : qAsConst(args)) {
            const QString upper = query.toUpper();
            if (upper == QLatin1String("ALL"))
                continue;
            if (upper != QLatin1String("NONE") && !RequestHandler::queryNames().contains(upper))
                return error(QStringLiteral("unknown query %1 (use %2, all or none)")
                                 .arg(query, RequestHandler::queryNames().join(QLatin1Char(' '))));
            queries << (upper == QLatin1String("NONE") ? QStringLiteral("none") : upper);
        }
        if (args.isEmpty())
            return error(QStringLiteral("usage: answer all|none|QUERY..."));
        handler->setAnswered(queries);
        return ok();
    }
    if (name == QLatin1String("corrupt")) {
        const QString usage =
            QStringLiteral("usage: corrupt QUERY FIELD TEXT [COUNT] | corrupt [QUERY] off");
        const QString query = first.toUpper();
        if (first == QLatin1String("off") && args.size() == 1) {
            handler->clearCorruption();
            return ok();
        }
        if (!RequestHandler::queryNames().contains(query))
            return error(usage);
        if (args.size() == 2 && args.at(1).toLower() == QLatin1String("off")) {
            handler->clearCorruption(query);
            return ok();
        }
        QByteArray text;
        double count = -1;
        if ((args.size() != 3 && args.size() != 4) || !number(1, &value, 1, 64) ||
            !EventLog::unquote(args.at(2), &text) ||
            (args.size() == 4 && !number(3, &count, 1, 1000000)))
            return error(usage);
        handler->setCorruption(query, int(value), text, int(count));
        return ok();
    }
    if (name == QLatin1String("echo")) {
        if (!onOff(0, &on))
            return error(QStringLiteral("usage: echo on|off"));
        handler->setEcho(on);
        return ok();
    }
    if (name == QLatin1String("garbage")) {
        if (!number(0, &value, 1, 4096))
            return error(QStringLiteral("usage: garbage COUNT"));
        QByteArray bytes;
        while (bytes.size() < int(value)) {
            const char c = char(QRandomGenerator::global()->bounded(256));
            if (c != '\r')
                bytes.append(c);
        }
        EventLog::tagged("TX", EventLog::quoted(bytes));
        pacer->send(bytes);
        return ok();
    }
    if (name == QLatin1String("inject")) {
        QByteArray bytes;
        if (args.isEmpty() || !EventLog::unquote(args.join(QLatin1Char(' ')), &bytes))
            return error(QStringLiteral("usage: inject TEXT (escapes \\r \\n \\xNN)"));
        EventLog::tagged("TX", EventLog::quoted(bytes));
        pacer->send(bytes);
        return ok();
    }
    if (name == QLatin1String("chunk")) {
        double gap = 0;
        if (first == QLatin1String("off"))
            pacer->setChunks(0, 0);
        else if (number(0, &value, 1, 128) && (args.size() < 2 || number(1, &gap, 0, 60000)))
            pacer->setChunks(int(value), int(gap));
        else
            return error(QStringLiteral("usage: chunk BYTES [GAP_MS] | chunk off"));
        return ok();
    }
    if (name == QLatin1String("baud")) {
        if (!number(0, &value, 50, 4000000))
            return error(QStringLiteral("usage: baud RATE"));
        pacer->setBaud(int(value));
        return ok();
    }
    if (name == QLatin1String("instant")) {
        pacer->setBaud(0);
        return ok();
    }
    if (name == QLatin1String("turnaround")) {
        if (!number(0, &value, 0, 60000))
            return error(QStringLiteral("usage: turnaround MS"));
        pacer->setTurnaroundMs(int(value));
        return ok();
    }
    if (name == QLatin1String("request")) {
        QByteArray frame;
        if (args.isEmpty() || !EventLog::unquote(args.join(QLatin1Char(' ')), &frame))
            return error(QStringLiteral("usage: request FRAME"));
        return ok(EventLog::quoted(handler->respond(frame)));
    }
    if (name == QLatin1String("state"))
        return ok(state());
    if (name == QLatin1String("help"))
        return ok(CommandInterpreter::usage().simplified());
    if (name == QLatin1String("quit")) {
        emit q->quitRequested();
        return ok(QStringLiteral("bye"));
    }
    return error(QStringLiteral("unknown command %1 (try help)").arg(name));
}

CommandInterpreter::CommandInterpreter(UpsModel *ups, RequestHandler *handler, LinePacer *pacer,
                                       QObject *parent)
    : QObject(parent), d(new CommandInterpreterPrivate {ups, handler, pacer, this, {}})
{
}

CommandInterpreter::~CommandInterpreter() = default;

QString CommandInterpreter::execute(const QString &line)
{
    const QString text = line.trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
        return ok();
    d->args = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString name = d->args.takeFirst().toLower();
    const QString answer = d->run(name);
    // Changes of the line's behaviour join the model's changes in the log.
    static const QStringList lineCommands = {
        QStringLiteral("silent"),  QStringLiteral("speak"),      QStringLiteral("answer"),
        QStringLiteral("echo"),    QStringLiteral("chunk"),      QStringLiteral("baud"),
        QStringLiteral("instant"), QStringLiteral("turnaround"), QStringLiteral("corrupt")};
    if (answer.startsWith(QLatin1String("ok")) && lineCommands.contains(name))
        EventLog::tagged("STATE", QStringLiteral("line ") + text);
    return answer;
}

QString CommandInterpreter::usage()
{
    return QStringLiteral(
        "Commands (one per line; each answers \"ok [value]\" or \"error <why>\"):\n"
        "  mains fail|return            mains failure / mains back\n"
        "  battery PCT                  battery capacity, 0 to 100\n"
        "  lowbatt auto|on|off          battery-low bit: from the capacity on battery, or forced\n"
        "  lowlevel PCT                 capacity that counts as low (default 20)\n"
        "  bypass on|off                bypass or boost/buck active\n"
        "  fault on|off                 UPS failed\n"
        "  standby on|off               standby (line-interactive) type\n"
        "  beeper on|off|toggle\n"
        "  load PCT | input V | frequency HZ | temperature C\n"
        "  faultkind N                  kind number of the fault words (1 or 2)\n"
        "  faultword I HEX | faultbit I BIT on|off | faults clear\n"
        "  selftest 10s|low|MIN|cancel   start or cancel a test as the line requests do\n"
        "  selftest finish | selftest left SECONDS   end a test now / set the time it has left\n"
        "  output off [DELAY_S [RESTART_MIN]] | output on | output cancel\n"
        "  runtime MIN                  backup time of a full battery at 100 % load\n"
        "  charge MIN                   charge time from empty; speed F: model time factor\n"
        "  wander on|off [SEED]         let load and input voltage wander\n"
        "  pack on|off|KEY=VALUE...     a lead-acid string instead of the plain drain: ah=9\n"
        "                               peukert=1.2 ohms=0.06 (whole string) fadecycle=PCT\n"
        "                               fadeyear=PCT cycles=N years=N, and factor=F: the UPS's\n"
        "                               own runtime is the true one times F\n"
        "  ratings V CURRENT BATT_V HZ | identity company|model|version|serial TEXT\n"
        "  silent [on|off] | speak      drop every request / answer again\n"
        "  answer all|none|Q1 F I NQU BT BP A1   answer only these queries\n"
        "  echo on|off                  send each request back before its reply\n"
        "  corrupt QUERY FIELD TEXT [COUNT]   field FIELD (from 1, as spaces separate them) of\n"
        "                               the next COUNT replies to QUERY (all, without COUNT)\n"
        "                               becomes TEXT (escapes \\r \\xNN; \"\" is empty); keep\n"
        "                               its width to keep the reply's length, e.g. corrupt Q1 6 "
        "2?.2\n"
        "  corrupt [QUERY] off          replies whole again\n"
        "  garbage N | inject TEXT      put N random bytes / escaped text (\\r \\xNN) on the line\n"
        "  chunk BYTES [GAP_MS] | chunk off   split what is sent into chunks\n"
        "  baud RATE | instant | turnaround MS\n"
        "  request FRAME                the reply the unit would give, not sent\n"
        "  state | help | quit\n");
}
