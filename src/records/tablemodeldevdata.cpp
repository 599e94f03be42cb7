#include "tablemodeldevdata.h"

#include "database.h"
#include "logcategories.h"
#include "tablemodelhelper.h"
#include "workbook.h"

#include <QSqlQuery>
#include <QSqlRecord>

TableModelDevData::TableModelDevData(QObject *parent) : QSqlTableModel(parent)
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

QVariant TableModelDevData::formatValue(int column, const QVariant &value)
{
    switch (column) {
    case 2: // inputVol
    case 3: // outputVol
    case 5: // inputFreq
    case 7: // temperature
        return QString::number(value.toFloat(), 'f', 1);
    case 6: // battVol
        return QString::number(value.toFloat(), 'f', 2);
    default:
        return value;
    }
}

QStringList TableModelDevData::columnTitles()
{
    return {tr("Date"),          tr("Input Voltage(V)"),    tr("Output Voltage(V)"),
            tr("UPS Load(%)"),   tr("Input Frequency(Hz)"), tr("Battery voltage(V)"),
            tr("Temperature(℃)")};
}

bool TableModelDevData::saveAs(const QUrl &url)
{
    const QString fileName = TableModelHelper::localFile(url);
    if (fileName.isEmpty())
        return false;
    TableModelHelper::fetchAll(this);

    Workbook book(fileName);
    book.setTitles(columnTitles());
    const int fields = record().count();
    const int rows = rowCount();
    // Straight from the fetched result: the model's per-cell lookups cost more than the
    // workbook's own work on a day of one-second samples.
    QSqlQuery result = query();
    for (int r = 0; r < rows && result.seek(r); ++r) {
        for (int j = 1; j < fields; ++j)
            book.write(r + 2, j, formatValue(j, result.value(j)));
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
