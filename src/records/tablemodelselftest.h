#pragma once

#include <QSqlTableModel>
#include <QVariantMap>

class TableModelSelfTestPrivate;

// The recorded self-tests of a date range, newest first, and the samples of one of them read
// back from its recording file for the chart beside the table.
class TableModelSelfTest : public QSqlTableModel
{
    Q_OBJECT
    // The shown name of a watched UPS whose rows are selected; empty: this computer's UPS.
    Q_PROPERTY(QString ups MEMBER m_ups)
public:
    explicit TableModelSelfTest(QObject *parent = nullptr);
    ~TableModelSelfTest() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void readLogFinished();

public:
    // "time", "load" and "battCap": the samples of the last recording read.
    Q_INVOKABLE QVariantMap selfTestData() const;
    Q_INVOKABLE void selectLog(int row);
    Q_INVOKABLE void selectDate(const QString &dateS, const QString &dateE);

private:
    QString m_ups;
    TableModelSelfTestPrivate *d;
};
