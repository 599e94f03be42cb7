#include "tablemodeldevdata.h"

#include "database.h"
#include "historynotice.h"
#include "logcategories.h"
#include "readconnection.h"
#include "samplesummary.h"
#include "summaryfill.h"
#include "tablemodelhelper.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>
#include <memory>

namespace {

using TableModelHelper::dayEnd;
using TableModelHelper::dayStart;

// The samples of `ups` on whole days `first` to `last` as the hourly summaries count them (a
// few hundred rows for a month); -1 when the summaries do not hold every stored sample yet.
qint64 summarisedSamples(const QString &databaseFile, const QDate &first, const QDate &last,
                         const QString &ups)
{
    if (!first.isValid() || !last.isValid())
        return -1;
    const ReadConnection connection(databaseFile);
    QSqlDatabase db = connection.database();
    if (!db.isOpen() || !SummaryFill::whole(db))
        return -1;
    QSqlQuery count(db);
    count.prepare(QStringLiteral("select coalesce(sum(count), 0) from %1 where ups = ? and start "
                                 ">= ? and start <= ?")
                      .arg(QLatin1String(SampleSummary::tableName(SampleSummary::Hour))));
    count.addBindValue(ups);
    count.addBindValue(dayStart(first));
    count.addBindValue(dayEnd(last));
    return count.exec() && count.next() ? count.value(0).toLongLong() : -1;
}

// A minute's row in the columns of a sample's: each reading the mean of its present values
// (none: empty); the frequency, which is not summarised, the minute's last sample's, one index
// seek a minute. Newest first, as the samples.
QString minuteStatement()
{
    return QStringLiteral(
               "select null as id, start as dateTime, inputVolSum / inputVolN as inputVol, "
               "outputVolSum / outputVolN as outputVol, loadSum / loadN as load, (select "
               "inputFreq from device_data d where d.ups = m.ups and d.dateTime >= m.start and "
               "d.dateTime < datetime(m.start, '+1 minute') order by d.dateTime desc, d.id desc "
               "limit 1) as inputFreq, battVolSum / battVolN as battVol, temperatureSum / "
               "temperatureN as temperature from %1 m where ups = ? and start >= ? and start <= "
               "? order by start desc")
        .arg(QLatin1String(SampleSummary::tableName(SampleSummary::Minute)));
}

} // namespace

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
    TableModelHelper::WorkbookRows rows;
    rows.databaseFile = databaseFile;
    rows.statement = QStringLiteral("select * from %1 where dateTime >= Datetime(?) and dateTime "
                                    "<= Datetime(?) and ups = '' order by dateTime, id")
                         .arg(Database::tableName(Database::TableDeviceData));
    rows.values = {dayStart(day), dayEnd(day)};
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
    rows.rowsPerSheet = m_sheetRows;
    const QDate first = m_first;
    const QDate last = m_last;
    const QString ups = m_selectedUps.isNull() ? QStringLiteral("") : m_selectedUps;
    const QString minuteSheet = tr("Per-minute means");
    auto saved = std::make_shared<bool>(false);
    const auto write = [rows, fileName, saved, first, last, ups, minuteSheet]() mutable {
        // A selection that would spread over sheets is of no use in a spreadsheet: its minutes
        // go out instead, unless the summaries are still being filled.
        const qint64 samples =
            rows.statement.isEmpty() ? -1 : summarisedSamples(rows.databaseFile, first, last, ups);
        if (samples <= rows.rowsPerSheet) {
            *saved = TableModelHelper::writeWorkbook(rows, fileName, "samples");
            return;
        }
        TableModelHelper::WorkbookRows minutes = rows;
        minutes.statement = minuteStatement();
        minutes.values = {ups, dayStart(first), dayEnd(last)};
        minutes.cell = [](int field, const QVariant &value, const QSqlQuery &) {
            // A mean load keeps one decimal; the other readings show theirs.
            return field == 4 ? QVariant(std::round(value.toDouble() * 10) / 10)
                              : formatValue(field, value);
        };
        minutes.sheetName = minuteSheet;
        const QByteArray what = "per-minute means of " + QByteArray::number(samples) + " samples";
        QSqlError readError;
        *saved = TableModelHelper::writeWorkbook(minutes, fileName, what.constData(), &readError);
        // Damaged summaries are not trusted (the fill makes them anew): the samples go out.
        if (!*saved && readError.isValid() &&
            HistoryNotice::causeOf(readError, rows.databaseFile) == HistoryNotice::Damaged) {
            qCWarning(lcRecords) << "The sample summaries cannot be read:" << readError.text();
            SummaryFill::distrust();
            *saved = TableModelHelper::writeWorkbook(rows, fileName, "samples");
        }
    };
    m_reader.run(write, [this, saved] { emit exportFinished(*saved); });
    return true;
}

void TableModelDevData::setSheetRows(int rows)
{
    m_sheetRows = qBound(1, rows, int(Workbook::sheetRows));
}

void TableModelDevData::selectDate(const QString &dateS, const QString &dateE)
{
    m_first = TableModelHelper::parseDay(dateS);
    m_last = TableModelHelper::parseDay(dateE);
    m_selectedUps = m_ups;
    TableModelHelper::selectDays(this, dateS, dateE);
}
