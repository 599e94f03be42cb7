#pragma once

#include <QSqlTableModel>
#include <QUrl>

class QSqlQuery;
class Workbook;

// The stored measurement samples of a date range, newest first, for the history page; exports
// what it selects as a workbook.
class TableModelDevData : public QSqlTableModel
{
    Q_OBJECT
public:
    explicit TableModelDevData(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The display form of a device_data field: voltages, frequency and temperature with one
    // decimal, the battery voltage with two; other columns unchanged.
    static QVariant formatValue(int column, const QVariant &value);
    // The decimals a field is shown with; -1 for a field that is not a decimal reading.
    static int decimals(int column);

    // The workbook column titles, translated in this class's context.
    static QStringList columnTitles();

    // Writes every row of a device_data query from row 2 on as it streams in, field j in
    // column j as shown (the id is left out): readings as numbers with their decimals, so a
    // spreadsheet can sum and chart them. Gives the number of rows written.
    static int writeSamples(QSqlQuery &query, Workbook &book);

    // Writes every selected row; false (and a log line) when the file could not be written.
    Q_INVOKABLE bool saveAs(const QUrl &url);
    Q_INVOKABLE void selectDate(const QString &dateS, const QString &dateE);
};
