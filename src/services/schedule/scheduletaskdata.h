#pragma once

#include <QObject>

#include <memory>

class ScheduleTaskDataPrivate;

// One scheduled task while the interface edits it, and the numbers stored for its repetition
// and action in "schedule_task".
class ScheduleTaskData : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int cycle READ cycle WRITE setCycle NOTIFY cycleChanged)
    Q_PROPERTY(QString time READ time WRITE setTime NOTIFY timeChanged)
    Q_PROPERTY(int action READ action WRITE setAction NOTIFY actionChanged)
    Q_PROPERTY(bool enable READ enable WRITE setEnable NOTIFY enableChanged)
public:
    enum ScheduleTaskCycle { OneShoot = 0, EveryDay = 1, EveryWeek = 2, EveryMonth = 3 };
    Q_ENUM(ScheduleTaskCycle)

    enum ScheduleTaskAction { SelfTest10S = 0, SelfTestToEOD = 1, PowerOn = 2, PowerOff = 3 };
    Q_ENUM(ScheduleTaskAction)

    explicit ScheduleTaskData(QObject *parent = nullptr);
    ~ScheduleTaskData() override;

    int cycle() const;
    void setCycle(int cycle);
    QString time() const;
    void setTime(const QString &time);
    int action() const;
    void setAction(int action);
    bool enable() const;
    void setEnable(bool enable);

signals:
    void cycleChanged();
    void timeChanged();
    void actionChanged();
    void enableChanged();

private:
    std::unique_ptr<ScheduleTaskDataPrivate> d;
};
