#include "listmodelscheduletask.h"

#include "clock.h"
#include "database.h"
#include "logcategories.h"
#include "scheduletasktime.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {

constexpr int firstFieldRole = Qt::UserRole; // 256
constexpr int timeColumn = 3;

} // namespace

ListModelScheduleTask::ListModelScheduleTask(QObject *parent) : QSqlTableModel(parent)
{
    setEditStrategy(QSqlTableModel::OnFieldChange);
}

bool ListModelScheduleTask::select()
{
    if (tableName().isEmpty() || record().isEmpty())
        setTable(Database::tableName(Database::TableScheduleTask));
    return QSqlTableModel::select();
}

QHash<int, QByteArray> ListModelScheduleTask::roleNames() const
{
    QHash<int, QByteArray> names;
    const QSqlRecord fields = record();
    for (int i = 0; i < fields.count(); ++i)
        names.insert(firstFieldRole + i, fields.fieldName(i).toUtf8());
    return names;
}

QVariant ListModelScheduleTask::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role < firstFieldRole)
        return QSqlTableModel::data(index, role);
    const int column = role - firstFieldRole;
    if (column != timeColumn)
        return QSqlTableModel::data(this->index(index.row(), column), Qt::DisplayRole);
    const QSqlRecord task = record(index.row());
    const QDateTime due = ScheduleTaskTime::nextDue(
        task.value(QStringLiteral("cycle")), task.value(QStringLiteral("dateTime")),
        task.value(QStringLiteral("time")), Clock::now());
    return due.isValid() ? due.toString(ScheduleTaskTime::textFormat) : QString();
}

bool ListModelScheduleTask::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    if (role < firstFieldRole)
        return QSqlTableModel::setData(index, value, role);
    const bool done = QSqlTableModel::setData(this->index(index.row(), role - firstFieldRole),
                                              value, Qt::EditRole);
    if (done)
        emit taskChanged();
    else
        qCWarning(lcServices) << "Cannot change scheduled task" << index.row() << ":"
                              << lastError().text();
    return done;
}

namespace {

// The creation moment to store: the chosen day when the task carries one ("day"), else now.
// Invalid when the chosen day does not fit the task's cycle.
QDateTime creationMoment(const QVariantMap &values)
{
    const QDateTime now = Clock::now();
    const auto day = values.find(QStringLiteral("day"));
    if (day == values.end())
        return now;
    return ScheduleTaskTime::dayOf(values.value(QStringLiteral("cycle")).toInt(), day.value(), now);
}

} // namespace

bool ListModelScheduleTask::addTask(const QVariant &task)
{
    if (tableName().isEmpty())
        select();
    const QVariantMap values = task.toMap();
    const QDateTime created = creationMoment(values);
    if (!created.isValid()) {
        qCWarning(lcServices) << "Cannot add the scheduled task" << values
                              << ": its day does not fit its cycle";
        return false;
    }
    QSqlRecord row = record();
    row.setGenerated(QStringLiteral("id"), false);
    row.setValue(QStringLiteral("dateTime"), created.toString(ScheduleTaskTime::textFormat));
    for (const char *key : {"cycle", "time", "action", "enable"})
        row.setValue(QString::fromLatin1(key), values.value(QString::fromLatin1(key)));
    const bool done = insertRecord(-1, row);
    if (!done)
        qCWarning(lcServices) << "Cannot add the scheduled task" << values << ":"
                              << lastError().text();
    select();
    emit taskChanged();
    return done;
}

void ListModelScheduleTask::delTask(int row)
{
    if (!removeRow(row))
        qCWarning(lcServices) << "Cannot remove scheduled task" << row << ":" << lastError().text();
    select();
    emit taskChanged();
}

bool ListModelScheduleTask::updateTask(int row, const QVariant &task)
{
    const QVariantMap values = task.toMap();
    // Without a chosen day the task keeps the day it had.
    const bool dayChosen = values.contains(QStringLiteral("day"));
    const QDateTime created = creationMoment(values);
    if (!created.isValid()) {
        qCWarning(lcServices) << "Cannot change scheduled task" << row << "to" << values
                              << ": its day does not fit its cycle";
        return false;
    }
    QSqlRecord changed = record(row);
    for (const char *key : {"cycle", "time", "action"})
        changed.setValue(QString::fromLatin1(key), values.value(QString::fromLatin1(key)));
    if (dayChosen)
        changed.setValue(QStringLiteral("dateTime"),
                         created.toString(ScheduleTaskTime::textFormat));
    const bool done = setRecord(row, changed);
    if (!done)
        qCWarning(lcServices) << "Cannot change scheduled task" << row << ":" << lastError().text();
    select();
    emit taskChanged();
    return done;
}
