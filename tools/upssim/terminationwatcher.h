#pragma once

#include <QObject>
#include <QScopedPointer>

class TerminationWatcherPrivate;

// Turns SIGINT, SIGTERM and SIGHUP into a signal on the event loop, so the simulator ends
// cleanly (link and socket removed) when a test or a terminal stops it.
class TerminationWatcher : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

    // Ends the simulator with its parent process too (SIGTERM on the parent's death), so a test
    // that crashes leaves no simulator behind. `expectedParent` (0: any) catches a parent that
    // died before this call.
    void followParent(qint64 expectedParent);

signals:
    void terminationRequested(int signalNumber);

private slots:
    void onReadable();

private:
    QScopedPointer<TerminationWatcherPrivate> d;
};
