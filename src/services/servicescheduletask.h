#pragma once

#include <QObject>
#include <QTimer>
#include <QVector>

class ListModelScheduleTask;

// Carries out the stored scheduled tasks when they come due: a self-test, the UPS output back
// on, or the power-off countdown of the shutdown service. Checks once a second.
class ServiceScheduleTask : public QObject
{
public:
    explicit ServiceScheduleTask(QObject *parent = nullptr);
    ~ServiceScheduleTask() override;

    // Builds the schedule from the stored tasks and starts the one-second check.
    void start();
    ListModelScheduleTask *model() const;

    // One check: the timer calls it every second; tests call it after moving the clock.
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
    void carryOut(const Entry &entry);

    ListModelScheduleTask *m_model;
    QTimer m_timer;
    QVector<Entry> m_schedule;
    bool m_changed = false;
    bool m_building = false; // our own selects do not count as changes
};
