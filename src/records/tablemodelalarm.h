#pragma once

#include "historyreader.h"

#include <QSqlTableModel>
#include <QUrl>

// The stored alarms of a date range, newest first, shown with their texts in the language active
// now; exports what it selects as a workbook.
class TableModelAlarm : public QSqlTableModel
{
    Q_OBJECT
    // The shown name of a watched UPS whose rows are selected; empty: this computer's UPS.
    Q_PROPERTY(QString ups MEMBER m_ups)
public:
    explicit TableModelAlarm(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Writes every selected row, on the history reader's thread: false (and a log line) at once
    // when the URL names no local file, else exportFinished() follows.
    Q_INVOKABLE bool saveAs(const QUrl &url);
    Q_INVOKABLE void selectDate(const QString &dateS, const QString &dateE);

signals:
    // The export asked for last is over: the file was written, or not.
    void exportFinished(bool saved);

private:
    QString m_ups;
    HistoryReader m_reader;
};
