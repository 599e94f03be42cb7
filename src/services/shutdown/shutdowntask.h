#pragma once

#include <QThread>

class ShutDownTaskPrivate;

// Runs the user's command file before the computer goes down, on its own thread, and waits for
// it without a time limit; the shutdown service decides how long to wait. `finished` tells that
// the command has ended or could not be started.
class ShutDownTask : public QThread
{
    Q_OBJECT
public:
    explicit ShutDownTask(const QString &command, QObject *parent = nullptr);
    ~ShutDownTask() override;

    QString command() const;

protected:
    void run() override;

private:
    ShutDownTaskPrivate *d;
};
