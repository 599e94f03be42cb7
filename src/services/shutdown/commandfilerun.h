#pragma once

#include <QObject>
#include <QString>

class CommandFileRunPrivate;

// Runs the user's command file at the end of a shutdown countdown: a process started and followed
// from the event loop, so no thread blocks on it. It has no time limit of its own; the shutdown
// service decides how long to wait. `ended` tells, at a later turn of the event loop, that the
// command has ended or could not be started. Destroyed while the command runs, it kills it: a
// run to be left to end on its own is kept until `ended`.
class CommandFileRun : public QObject
{
    Q_OBJECT
public:
    explicit CommandFileRun(const QString &command, QObject *parent = nullptr);
    ~CommandFileRun() override;

    QString command() const;
    // Starts the command once; nothing runs before.
    void start();
    // Started and not ended yet.
    bool isRunning() const;

signals:
    void ended();

private:
    CommandFileRunPrivate *d;
};
