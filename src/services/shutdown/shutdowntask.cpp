#include "shutdowntask.h"

#include "logcategories.h"

#include <QProcess>

class ShutDownTaskPrivate
{
public:
    QString command;
};

ShutDownTask::ShutDownTask(const QString &command, QObject *parent)
    : QThread(parent), d(new ShutDownTaskPrivate)
{
    d->command = command;
}

ShutDownTask::~ShutDownTask()
{
    delete d;
}

QString ShutDownTask::command() const
{
    return d->command;
}

void ShutDownTask::run()
{
    qCInfo(lcServices).noquote() << "Execute command file:" << d->command;

    // Blanks separate the program and its arguments, double quotes group, so a quoted path
    // with blanks stays one word.
    QStringList words = QProcess::splitCommand(d->command);
    if (words.isEmpty()) {
        qCWarning(lcServices) << "The command file line is empty; nothing to run";
        return;
    }
    const QString program = words.takeFirst();

    QProcess process;
    // Its output is not wanted; it goes nowhere rather than into a pipe nobody empties.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, words, QIODevice::ReadWrite);
    if (!process.waitForStarted(-1)) {
        qCWarning(lcServices) << "The command file cannot be started:" << program << "-"
                              << process.errorString();
        return;
    }
    process.waitForFinished(-1);
    if (process.exitStatus() == QProcess::CrashExit)
        qCWarning(lcServices) << "The command file has crashed:" << program;
    else
        qCInfo(lcServices) << "The command file has ended, exit code" << process.exitCode();
}
