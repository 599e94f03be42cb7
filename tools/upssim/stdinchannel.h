#pragma once

#include <QObject>
#include <QScopedPointer>

class CommandInterpreter;
class StdinChannelPrivate;

// Scenario commands typed or piped on standard input; the answers go to standard output, into
// the event log. End of input only stops the reading: a simulator started with its input closed
// keeps running.
class StdinChannel : public QObject
{
    Q_OBJECT
public:
    explicit StdinChannel(CommandInterpreter *interpreter, QObject *parent = nullptr);
    ~StdinChannel() override;

private slots:
    void onReadable();

private:
    QScopedPointer<StdinChannelPrivate> d;
};
