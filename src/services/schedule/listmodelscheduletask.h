#pragma once

#include <QSqlTableModel>

// The stored scheduled tasks ("schedule_task") as the interface lists and edits them. Role
// 256 + c is column c; the "time" role shows when the task runs next rather than its time of day.
class ListModelScheduleTask : public QSqlTableModel
{
    Q_OBJECT
public:
    explicit ListModelScheduleTask(QObject *parent = nullptr);

    QHash<int, QByteArray> roleNames() const override;
    // The table is taken up at the first select, once the database is open.
    bool select() override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // A task is a map of "cycle", "time", "action" and "enable" (not changed by an update),
    // and optionally "day": the day the user chose for a weekly (weekday, 1 = Monday), monthly
    // (day of the month) or one-shot ("yyyy-MM-dd") task. False when nothing was stored.
    Q_INVOKABLE bool addTask(const QVariant &task);
    Q_INVOKABLE void delTask(int row);
    Q_INVOKABLE bool updateTask(int row, const QVariant &task);

signals:
    void taskChanged();
};
