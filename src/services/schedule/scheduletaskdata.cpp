#include "scheduletaskdata.h"

class ScheduleTaskDataPrivate
{
public:
    int cycle = ScheduleTaskData::OneShoot;
    QString time;
    int action = ScheduleTaskData::SelfTest10S;
    bool enable = false;
};

ScheduleTaskData::ScheduleTaskData(QObject *parent)
    : QObject(parent), d(std::make_unique<ScheduleTaskDataPrivate>())
{
}

ScheduleTaskData::~ScheduleTaskData() = default;

int ScheduleTaskData::cycle() const
{
    return d->cycle;
}

void ScheduleTaskData::setCycle(int cycle)
{
    if (cycle == d->cycle)
        return;
    d->cycle = cycle;
    emit cycleChanged();
}

QString ScheduleTaskData::time() const
{
    return d->time;
}

void ScheduleTaskData::setTime(const QString &time)
{
    if (time == d->time)
        return;
    d->time = time;
    emit timeChanged();
}

int ScheduleTaskData::action() const
{
    return d->action;
}

void ScheduleTaskData::setAction(int action)
{
    if (action == d->action)
        return;
    d->action = action;
    emit actionChanged();
}

bool ScheduleTaskData::enable() const
{
    return d->enable;
}

void ScheduleTaskData::setEnable(bool enable)
{
    if (enable == d->enable)
        return;
    d->enable = enable;
    emit enableChanged();
}
