#include "tablemodeldevdata.h"

#include "database.h"
#include "logcategories.h"
#include "tablemodelhelper.h"
#include "workbook.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

TableModelDevData::TableModelDevData(QObject *parent)
    : QSqlTableModel(parent, Database::historyConnection())
{
    setTable(Database::tableName(Database::TableDeviceData));
}

QVariant TableModelDevData::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role < Qt::UserRole)
        return QSqlTableModel::data(index, role);
    const int column = role - Qt::UserRole;
    return formatValue(column, QSqlTableModel::data(this->index(index.row(), column)));
}

QHash<int, QByteArray> TableModelDevData::roleNames() const
{
    return TableModelHelper::fieldRoleNames(record());
}

int TableModelDevData::decimals(int column)
{
    switch (column) {
    case 2: // inputVol
    case 3: // outputVol
    case 5: // inputFreq
    case 7: // temperature
        return 1;
    case 6: // battVol
        return 2;
    default:
        return -1;
    }
}

QVariant TableModelDevData::formatValue(int column, const QVariant &value)
{
    // A reading the UPS did not give: an empty cell, not 0.
    if (column >= 2 && column <= 7 && value.isNull())
        return QString();
    const int places = decimals(column);
    return places < 0 ? value : QVariant(QString::number(value.toFloat(), 'f', places));
}

QStringList TableModelDevData::columnTitles()
{
    return {tr("Date"),          tr("Input Voltage(V)"),    tr("Output Voltage(V)"),
            tr("UPS Load(%)"),   tr("Input Frequency(Hz)"), tr("Battery voltage(V)"),
            tr("Temperature(℃)")};
}

int TableModelDevData::writeSamples(QSqlQuery &query, Workbook &book)
{
    if (!query.isActive())
        return 0;
    const int fields = query.record().count();
    int rows = 0;
    while (query.next()) {
        ++rows;
        for (int j = 1; j < fields; ++j) {
            // Readings are numbers, as shown on the screen; an absent one an empty cell.
            const int places = decimals(j);
            if (places >= 0 && !query.isNull(j))
                book.writeNumber(rows + 1, j, formatValue(j, query.value(j)).toDouble(), places);
            else
                book.write(rows + 1, j,
                           query.isNull(j) ? QVariant() : formatValue(j, query.value(j)));
        }
    }
    return rows;
}

bool TableModelDevData::saveAs(const QUrl &url)
{
    const QString fileName = TableModelHelper::localFile(url);
    if (fileName.isEmpty())
        return false;

    Workbook book(fileName);
    book.setTitles(columnTitles());
    // Read afresh, forward-only: caching a day of one-second samples in the model first would
    // cost more than writing them.
    QSqlQuery selection;
    if (!TableModelHelper::rerunSelection(this, selection))
        return false;
    const int rows = writeSamples(selection, book);
    if (selection.lastError().isValid()) {
        qCWarning(lcRecords) << "Export to" << fileName << "stopped after" << rows
                             << "samples:" << selection.lastError().text();
        return false;
    }
    if (!book.save())
        return false;
    qCInfo(lcRecords) << "Exported" << rows << "samples to" << fileName;
    return true;
}

void TableModelDevData::selectDate(const QString &dateS, const QString &dateE)
{
    TableModelHelper::selectDays(this, dateS, dateE);
}
