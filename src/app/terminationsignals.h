#pragma once

#include <QFile>
#include <QObject>

class QSocketNotifier;

// Requests to end the program that the system sends (SIGTERM, SIGINT, SIGHUP on Linux) heard
// on the event loop, where ending is safe: the signal handler itself only writes a byte.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);

signals:
    void terminationRequested(int signalNumber);

private:
    void onReadable();

    QFile m_pipe;
    QSocketNotifier *m_notifier = nullptr;
};
