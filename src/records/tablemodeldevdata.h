#pragma once

#include "historyreader.h"
#include "workbook.h"

#include <QDate>
#include <QSqlTableModel>
#include <QUrl>

// The stored measurement samples of a date range, newest first, for the history page; exports
// what it selects as a workbook: sample by sample, or, when the selection holds more samples
// than a sheet takes and the per-minute summaries hold all of them, one row per minute.
class TableModelDevData : public QSqlTableModel
{
    Q_OBJECT
    // The shown name of a watched UPS whose rows are selected; empty: this computer's UPS.
    Q_PROPERTY(QString ups MEMBER m_ups)
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

    // Writes the samples of whole day `day`, oldest first, into a workbook under `titles` (the
    // daily report), on a read-only connection of the calling thread to `databaseFile`; any
    // thread. False, and logged, when the file could not be written.
    static bool writeDay(const QString &databaseFile, const QDate &day, const QStringList &titles,
                         const QString &fileName);

    // Writes the selection, on the history reader's thread: false (and a log line) at once when
    // the URL names no local file, else exportFinished() follows. One row per minute (each
    // reading the minute's mean, in a sheet named so) when the selection holds more samples than
    // a sheet takes and the summaries hold them all; else every sample.
    Q_INVOKABLE bool saveAs(const QUrl &url);
    // Below Workbook::sheetRows only to try a long selection with few rows.
    void setSheetRows(int rows);
    Q_INVOKABLE void selectDate(const QString &dateS, const QString &dateE);

signals:
    // The export asked for last is over: the file was written, or not.
    void exportFinished(bool saved);

private:
    QString m_ups;
    // What selectDate() selected: its days and whose rows.
    QDate m_first;
    QDate m_last;
    QString m_selectedUps;
    int m_sheetRows = Workbook::sheetRows;
    HistoryReader m_reader;
};
