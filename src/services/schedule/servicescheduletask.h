#pragma once

#include <QObject>
#include <QTimer>
#include <QVector>

class DevComm;
class ListModelScheduleTask;
class ServiceShutdown;

// Carries out the stored scheduled tasks when they come due: a self-test, the UPS output back
// on, or the power-off countdown of the shutdown service. Sleeps until the next one is due.
class ServiceScheduleTask : public QObject
{
public:
    // Self-tests and the output go through `devComm`, the power-off through `shutdown`.
    ServiceScheduleTask(DevComm *devComm, ServiceShutdown *shutdown, QObject *parent = nullptr);
    ~ServiceScheduleTask() override;

    // Reads the stored tasks, builds the schedule and plans the first check; once.
    void start();
    // The stored tasks as the screens list them; made by start().
    ListModelScheduleTask *model() const;

    // Reads the stored tasks again (the database can be read again after a start on a full disk).
    void reload();

    // One check: the timer calls it when a task is due; tests call it after moving the clock.
    void tick();

    struct Entry
    {
        quint32 due; // seconds since 1970-01-01 UTC
        int row;
    };
    QVector<Entry> schedule() const { return m_schedule; }

private:
    void buildSchedule();
    void markChanged();
    void planNextCheck();
    void carryOut(const Entry &entry);

    DevComm *m_devComm;
    ServiceShutdown *m_shutdown;
    ListModelScheduleTask *m_model = nullptr;
    QTimer m_timer {this};
    QVector<Entry> m_schedule;
    bool m_started = false;
    bool m_changed = false;
    bool m_building = false; // our own selects do not count as changes
};
