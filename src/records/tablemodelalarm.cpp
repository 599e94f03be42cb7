#include "tablemodelalarm.h"

#include "alarm.h"
#include "database.h"
#include "tablemodelhelper.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>

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
    if (column == alarmColumn) {
        const int detail = record().indexOf(QStringLiteral("detail"));
        return Alarm::withDetail(
            Alarm::alarmText(value.toInt()),
            detail < 0 ? QString()
                       : QSqlTableModel::data(this->index(index.row(), detail)).toString());
    }
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
    TableModelHelper::WorkbookRows rows;
    rows.databaseFile = database().databaseName();
    rows.statement = TableModelHelper::selectionStatement(this);
    rows.titles = QStringList {tr("Date"), tr("Alarm")};
    rows.cell = [](int field, const QVariant &value, const QSqlQuery &row) {
        if (field != alarmColumn)
            return value;
        return QVariant(Alarm::withDetail(Alarm::alarmText(value.toInt()),
                                          row.value(QStringLiteral("detail")).toString()));
    };
    auto saved = std::make_shared<bool>(false);
    const auto write = [rows, fileName, saved] {
        *saved = TableModelHelper::writeWorkbook(rows, fileName, "alarms");
    };
    m_reader.run(write, [this, saved] { emit exportFinished(*saved); });
    return true;
}

void TableModelAlarm::selectDate(const QString &dateS, const QString &dateE)
{
    TableModelHelper::selectDays(this, dateS, dateE);
}
