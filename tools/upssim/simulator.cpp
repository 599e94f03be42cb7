#include "simulator.h"

#include "commandinterpreter.h"
#include "controlserver.h"
#include "eventlog.h"
#include "linepacer.h"
#include "requesthandler.h"
#include "scenarioplayer.h"
#include "serialline.h"
#include "simulatoroptions.h"
#include "stdinchannel.h"
#include "terminationwatcher.h"
#include "upsmodel.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

class SimulatorPrivate
{
public:
    SimulatorPrivate()
        : handler(&model),
          pacer([this](const QByteArray &bytes) { return line.write(bytes); }),
          interpreter(&model, &handler, &pacer),
          stdinChannel(&interpreter),
          control(&interpreter),
          scenario(&interpreter, &model)
    {
    }

    UpsModel model;
    SerialLine line;
    RequestHandler handler;
    LinePacer pacer;
    CommandInterpreter interpreter;
    StdinChannel stdinChannel;
    ControlServer control;
    ScenarioPlayer scenario;
    TerminationWatcher termination;
    QString link;
};

Simulator::Simulator(QObject *parent) : QObject(parent), d(new SimulatorPrivate)
{
    connect(&d->line, &SerialLine::frameReceived, this, &Simulator::onFrame);
    connect(&d->model, &UpsModel::changed, this,
            [](const QString &what) { EventLog::tagged("STATE", what); });
    // Let the answer to "quit" reach its channel before the event loop ends.
    connect(&d->interpreter, &CommandInterpreter::quitRequested, this,
            [this] { QTimer::singleShot(50, this, &Simulator::finished); });
    connect(&d->termination, &TerminationWatcher::terminationRequested, this, [this](int number) {
        EventLog::tagged("NOTE", QStringLiteral("signal %1, ending").arg(number));
        emit finished();
    });
}

Simulator::~Simulator()
{
    if (!d->link.isEmpty() && QFileInfo(d->link).isSymLink())
        QFile::remove(d->link);
}

bool Simulator::start(const SimulatorOptions &options, QString *error)
{
    d->pacer.setBaud(options.baud);
    d->pacer.setTurnaroundMs(options.turnaroundMs);
    d->model.setSpeed(options.speed);
    if (options.followParent)
        d->termination.followParent(options.parentPid);

    if (options.device.isEmpty() ? !d->line.openPseudoTerminal(error)
                                 : !d->line.openDevice(options.device, options.baud, error))
        return false;

    if (!options.link.isEmpty()) {
        const QFileInfo existing(options.link);
        // Replace a link left behind, never a real file.
        if (existing.isSymLink())
            QFile::remove(options.link);
        else if (existing.exists()) {
            *error = QStringLiteral("%1 exists and is not a symbolic link").arg(options.link);
            return false;
        }
        if (!QFile::link(d->line.path(), options.link)) {
            *error = QStringLiteral("cannot create the link %1").arg(options.link);
            return false;
        }
        d->link = options.link;
    }
    if (!options.control.isEmpty() && !d->control.listen(options.control, error))
        return false;
    if (!options.scenario.isEmpty() && !d->scenario.load(options.scenario, error))
        return false;

    EventLog::tagged("PTY", d->line.path());
    for (const QString &command : options.commands)
        EventLog::tagged("INIT",
                         QStringLiteral("%1 -> %2").arg(command, d->interpreter.execute(command)));
    if (!options.scenario.isEmpty())
        d->scenario.start();
    return true;
}

void Simulator::onFrame(const QByteArray &frame)
{
    EventLog::tagged("RX", EventLog::quoted(frame));
    const QByteArray reply = d->handler.handle(frame);
    if (reply.isEmpty())
        return;
    EventLog::tagged("TX", EventLog::quoted(reply));
    d->pacer.send(reply);
}
