#include "tablemodeldevdata.h"

#include "database.h"
#include "tablemodelhelper.h"

#include <QSqlRecord>

#include <memory>

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

bool TableModelDevData::writeDay(const QString &databaseFile, const QDate &day,
                                 const QStringList &titles, const QString &fileName)
{
    const QString date = day.toString(QStringLiteral("yyyy-MM-dd"));
    TableModelHelper::WorkbookRows rows;
    rows.databaseFile = databaseFile;
    rows.statement = QStringLiteral("select * from %1 where dateTime >= Datetime(?) and dateTime "
                                    "<= Datetime(?) and ups = '' order by dateTime, id")
                         .arg(Database::tableName(Database::TableDeviceData));
    rows.values = {date + QStringLiteral(" 00:00:00"), date + QStringLiteral(" 23:59:59")};
    rows.titles = titles;
    rows.cell = [](int field, const QVariant &value, const QSqlQuery &) {
        return formatValue(field, value);
    };
    rows.decimals = &TableModelDevData::decimals;
    if (TableModelHelper::writeWorkbook(rows, fileName, "samples"))
        return true;
    // Whatever could be read, the report goes out with a workbook: its titles at least.
    rows.statement.clear();
    return TableModelHelper::writeWorkbook(rows, fileName, "samples");
}

bool TableModelDevData::saveAs(const QUrl &url)
{
    const QString fileName = TableModelHelper::localFile(url);
    if (fileName.isEmpty())
        return false;
    TableModelHelper::WorkbookRows rows;
    rows.databaseFile = database().databaseName();
    // Read afresh, forward-only: caching a day of one-second samples in the model first would
    // cost more than writing them.
    rows.statement = TableModelHelper::selectionStatement(this);
    rows.titles = columnTitles();
    rows.cell = [](int field, const QVariant &value, const QSqlQuery &) {
        return formatValue(field, value);
    };
    rows.decimals = &TableModelDevData::decimals;
    auto saved = std::make_shared<bool>(false);
    const auto write = [rows, fileName, saved] {
        *saved = TableModelHelper::writeWorkbook(rows, fileName, "samples");
    };
    m_reader.run(write, [this, saved] { emit exportFinished(*saved); });
    return true;
}

void TableModelDevData::selectDate(const QString &dateS, const QString &dateE)
{
    TableModelHelper::selectDays(this, dateS, dateE);
}
