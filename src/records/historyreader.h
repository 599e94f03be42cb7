#pragma once

#include <QObject>

#include <functional>

class HistoryReaderPrivate;

// Runs reads of the stored history (a chart's selection, an export, the daily report) one after
// another on a thread of its own, so the thread that polls the UPS and counts a shutdown down
// never waits on them. A job opens its own connection (ReadConnection) and touches nothing of
// the caller's while it runs; its `done` follows on the reader's owner thread.
class HistoryReader : public QObject
{
    Q_OBJECT
public:
    explicit HistoryReader(QObject *parent = nullptr);
    // Waits for the job under way; jobs not started yet are dropped, and no `done` follows.
    ~HistoryReader() override;

    // Queues `job`; `done` runs on this object's thread once it is over.
    void run(std::function<void()> job, std::function<void()> done);
    // Jobs queued or under way.
    bool busy() const;

signals:
    void idle();

private:
    HistoryReaderPrivate *d;
};
