#include "tablemodelalarm.h"

#include "alarm.h"
#include "database.h"
#include "logcategories.h"
#include "tablemodelhelper.h"
#include "workbook.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
const int alarmColumn = 2;
}

TableModelAlarm::TableModelAlarm(QObject *parent)
    : QSqlTableModel(parent, Database::historyConnection())
{
    setTable(Database::tableName(Database::TableAlarm));
}

QVariant TableModelAlarm::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role < Qt::UserRole)
        return QSqlTableModel::data(index, role);
    const int column = role - Qt::UserRole;
    const QVariant value = QSqlTableModel::data(this->index(index.row(), column));
    if (column == alarmColumn)
        return Alarm::alarmText(value.toInt());
    return value;
}

QHash<int, QByteArray> TableModelAlarm::roleNames() const
{
    return TableModelHelper::fieldRoleNames(record());
}

bool TableModelAlarm::saveAs(const QUrl &url)
{
    const QString fileName = TableModelHelper::localFile(url);
    if (fileName.isEmpty())
        return false;

    Workbook book(fileName);
    book.setTitles({tr("Date"), tr("Alarm")});
    QSqlQuery selection;
    if (!TableModelHelper::rerunSelection(this, selection))
        return false;
    const int fields = selection.record().count();
    int rows = 0;
    while (selection.next()) {
        ++rows;
        for (int j = 1; j < fields; ++j) {
            const QVariant value = selection.value(j);
            book.write(rows + 1, j, j == alarmColumn ? Alarm::alarmText(value.toInt()) : value);
        }
    }
    if (selection.lastError().isValid()) {
        qCWarning(lcRecords) << "Export to" << fileName << "stopped after" << rows
                             << "alarms:" << selection.lastError().text();
        return false;
    }
    if (!book.save())
        return false;
    qCInfo(lcRecords) << "Exported" << rows << "alarms to" << fileName;
    return true;
}

void TableModelAlarm::selectDate(const QString &dateS, const QString &dateE)
{
    TableModelHelper::selectDays(this, dateS, dateE);
}
