#include "commandfilerun.h"

#include "logcategories.h"

#include <QProcess>

class CommandFileRunPrivate
{
public:
    explicit CommandFileRunPrivate(CommandFileRun *owner) : q(owner), process(owner) { }

    void end();

    CommandFileRun *q;
    QString command;
    QString program;
    QProcess process;
    bool running = false;
};

// Told at the event loop's next turn, also when nothing could be started: whoever starts a run
// hears of its end after start() returned, never inside it.
void CommandFileRunPrivate::end()
{
    if (!running)
        return;
    running = false;
    QMetaObject::invokeMethod(q, [this] { emit q->ended(); }, Qt::QueuedConnection);
}

CommandFileRun::CommandFileRun(const QString &command, QObject *parent)
    : QObject(parent), d(new CommandFileRunPrivate(this))
{
    d->command = command;
    // Its output is not wanted; it goes nowhere rather than into a pipe nobody empties.
    d->process.setStandardOutputFile(QProcess::nullDevice());
    d->process.setStandardErrorFile(QProcess::nullDevice());
    connect(&d->process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // a crash is told with the end
        qCWarning(lcServices) << "The command file cannot be started:" << d->program << "-"
                              << d->process.errorString();
        d->end();
    });
    connect(&d->process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this](int exitCode, QProcess::ExitStatus status) {
                if (status == QProcess::CrashExit)
                    qCWarning(lcServices) << "The command file has crashed:" << d->program;
                else
                    qCInfo(lcServices) << "The command file has ended, exit code" << exitCode;
                d->end();
            });
}

CommandFileRun::~CommandFileRun()
{
    // The process goes with its QProcess; no signal of it may reach a half-destroyed run.
    d->process.disconnect(this);
    delete d;
}

QString CommandFileRun::command() const
{
    return d->command;
}

void CommandFileRun::start()
{
    if (d->running || d->process.state() != QProcess::NotRunning)
        return;
    d->running = true;
    qCInfo(lcServices).noquote() << "Execute command file:" << d->command;

    // Blanks separate the program and its arguments, double quotes group, so a quoted path
    // with blanks stays one word.
    QStringList words = QProcess::splitCommand(d->command);
    if (words.isEmpty()) {
        qCWarning(lcServices) << "The command file line is empty; nothing to run";
        d->end();
        return;
    }
    d->program = words.takeFirst();
    d->process.start(d->program, words, QIODevice::ReadWrite);
}

bool CommandFileRun::isRunning() const
{
    return d->running;
}
