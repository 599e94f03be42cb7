#include "servicescheduletask.h"

#include "clock.h"
#include "devcomm.h"
#include "listmodelscheduletask.h"
#include "logcategories.h"
#include "scheduletaskdata.h"
#include "scheduletasktime.h"
#include "serviceshutdown.h"
#include "tablemodelhelper.h"
#include "upslink.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {
const qint64 longestSleep = 60 * 1000;
} // namespace

ServiceScheduleTask::ServiceScheduleTask(DevComm *devComm, ServiceShutdown *shutdown,
                                         QObject *parent)
    : QObject(parent), m_devComm(devComm), m_shutdown(shutdown)
{
    // One wake-up when a task comes due, not a look every second.
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setObjectName(QStringLiteral("checkTimer"));
    connect(&m_timer, &QTimer::timeout, this, &ServiceScheduleTask::tick);
}

ServiceScheduleTask::~ServiceScheduleTask() = default;

void ServiceScheduleTask::start()
{
    // A table model keeps the connection it was made with: made once the database is open.
    m_model = new ListModelScheduleTask(this);
    // Rows shift when a task is removed or the table is read again, so every kind of change
    // invalidates the schedule, not only edited values.
    connect(m_model, &QAbstractItemModel::dataChanged, this, &ServiceScheduleTask::markChanged);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ServiceScheduleTask::markChanged);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ServiceScheduleTask::markChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &ServiceScheduleTask::markChanged);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &ServiceScheduleTask::markChanged);
    connect(m_model, &ListModelScheduleTask::taskChanged, this, &ServiceScheduleTask::markChanged);
    buildSchedule();
    m_started = true;
    planNextCheck();
}

ListModelScheduleTask *ServiceScheduleTask::model() const
{
    return m_model;
}

void ServiceScheduleTask::reload()
{
    if (!m_model)
        return;
    m_changed = false;
    buildSchedule();
    planNextCheck();
    qCInfo(lcServices) << "Scheduled tasks read again:" << m_model->rowCount() << "stored,"
                       << m_schedule.size() << "due to run";
}

void ServiceScheduleTask::markChanged()
{
    if (m_building)
        return;
    m_changed = true;
    planNextCheck();
}

// The next check: a second after a change, when the next task comes due, and at least once a
// minute, so a clock set forward or a machine waking from sleep (the timer's clock stands still
// meanwhile) costs a task a minute at most.
void ServiceScheduleTask::planNextCheck()
{
    if (!m_started)
        return;
    if (m_changed) {
        m_timer.start(1000);
        return;
    }
    if (m_schedule.isEmpty()) {
        m_timer.stop();
        return;
    }
    quint32 next = m_schedule.first().due;
    for (const Entry &entry : qAsConst(m_schedule))
        next = qMin(next, entry.due);
    const qint64 wait = qint64(next) * 1000 - Clock::now().toMSecsSinceEpoch();
    m_timer.start(int(qBound<qint64>(0, wait, longestSleep)));
}

void ServiceScheduleTask::buildSchedule()
{
    m_building = true;
    m_schedule.clear();
    if (!m_model->select())
        qCWarning(lcServices).noquote()
            << "Cannot read the scheduled tasks:" << TableModelHelper::failure(m_model)
            << "(read again once the database can be read)";
    const QDateTime now = Clock::now();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QSqlRecord task = m_model->record(row);
        if (!task.value(QStringLiteral("enable")).toBool())
            continue;
        const QDateTime due = ScheduleTaskTime::nextDue(task.value(QStringLiteral("cycle")),
                                                        task.value(QStringLiteral("dateTime")),
                                                        task.value(QStringLiteral("time")), now);
        if (!due.isValid()) {
            qCWarning(lcServices) << "Scheduled task" << task.value(QStringLiteral("id")).toInt()
                                  << "never comes due: cycle"
                                  << task.value(QStringLiteral("cycle")).toString() << "time"
                                  << task.value(QStringLiteral("time")).toString();
            continue;
        }
        m_schedule.append({quint32(due.toSecsSinceEpoch()), row});
    }
    m_building = false;
}

void ServiceScheduleTask::tick()
{
    const quint32 now = quint32(Clock::secsSinceEpoch());
    if (m_changed) {
        m_changed = false;
        buildSchedule();
    }
    bool ran = false;
    for (const Entry &entry : qAsConst(m_schedule)) {
        if (entry.due > now)
            continue;
        carryOut(entry);
        ran = true;
    }
    if (ran) {
        m_changed = false;
        buildSchedule();
    }
    planNextCheck();
}

void ServiceScheduleTask::carryOut(const Entry &entry)
{
    const int row = entry.row;
    QSqlRecord task = m_model->record(row);
    const int id = task.value(QStringLiteral("id")).toInt();
    const int action = task.value(QStringLiteral("action")).toInt();
    qCInfo(lcServices) << "Scheduled task" << id << "due: action" << action;
    switch (action) {
    case ScheduleTaskData::SelfTest10S:
        m_devComm->setSelfTest(UpsLink::SelfTest10S, 0);
        break;
    case ScheduleTaskData::SelfTestToEOD:
        m_devComm->setSelfTest(UpsLink::SelfTestEOD, 0);
        break;
    case ScheduleTaskData::PowerOn:
        m_devComm->cancelOutputOff();
        break;
    case ScheduleTaskData::PowerOff:
        m_shutdown->startShutdown(0);
        break;
    default:
        qCWarning(lcServices) << "Scheduled task" << id << "has an unknown action" << action;
        break;
    }
    if (task.value(QStringLiteral("cycle")).toInt() != ScheduleTaskData::OneShoot)
        return;
    m_building = true;
    task.setValue(QStringLiteral("enable"), false);
    if (!m_model->setRecord(row, task))
        qCWarning(lcServices) << "Cannot switch off the one-shot task" << id << ":"
                              << m_model->lastError().text();
    m_model->select();
    m_building = false;
}
