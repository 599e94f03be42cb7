#include "tablemodelselftest.h"

#include "database.h"
#include "logcategories.h"
#include "recordwriter.h"
#include "selftestrows.h"
#include "tablemodelhelper.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSqlRecord>

class TableModelSelfTestPrivate
{
public:
    QVariantMap samples {{QStringLiteral("time"), QVariantList()},
                         {QStringLiteral("load"), QVariantList()},
                         {QStringLiteral("battCap"), QVariantList()}};
};

namespace {
const int dateTimeColumn = 1;
const int durationColumn = 2;
const int dropColumn = 4;
const int resultColumn = 5;

QString durationText(qint64 seconds)
{
    const QLatin1Char zero('0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, zero)
        .arg((seconds / 60) % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

} // namespace

TableModelSelfTest::TableModelSelfTest(QObject *parent)
    : QSqlTableModel(parent, Database::historyConnection()), d(new TableModelSelfTestPrivate)
{
    setTable(Database::tableName(Database::TableLogSelfTest));
}

TableModelSelfTest::~TableModelSelfTest()
{
    delete d;
}

QVariant TableModelSelfTest::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role < Qt::UserRole)
        return QSqlTableModel::data(index, role);
    const int column = role - Qt::UserRole;
    const QVariant value = QSqlTableModel::data(this->index(index.row(), column));
    if (column == durationColumn)
        return durationText(value.toLongLong());
    // Volts with two decimals; tests recorded before the drop was kept show none.
    if (column == dropColumn)
        return value.isNull() ? QStringLiteral("--") : QString::number(value.toDouble(), 'f', 2);
    // Tests recorded before the outcome was kept, or cut short by the program's end, show none.
    if (column == resultColumn) {
        if (value.isNull())
            return QStringLiteral("--");
        switch (value.toInt()) {
        case RecordWriter::SelfTestPassed:
            return tr("Passed");
        case RecordWriter::SelfTestBatteryLow:
            return tr("Failed: battery low");
        case RecordWriter::SelfTestUpsFault:
            return tr("Failed: UPS fault");
        default:
            return QStringLiteral("--");
        }
    }
    return value;
}

QHash<int, QByteArray> TableModelSelfTest::roleNames() const
{
    return TableModelHelper::fieldRoleNames(record());
}

QVariantMap TableModelSelfTest::selfTestData() const
{
    return d->samples;
}

void TableModelSelfTest::selectLog(int row)
{
    const QLocale english(QLocale::English);
    const QString started = QSqlTableModel::data(index(row, dateTimeColumn)).toString();
    const QDateTime start = english.toDateTime(started, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!start.isValid()) {
        qCWarning(lcRecords) << "No self-test recording for row" << row << "dated" << started;
        emit readLogFinished();
        return;
    }
    // A watched UPS's recordings lie in a folder of their own.
    const QString fileName = SelfTestRows::recordingFile(start, m_ups);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcRecords) << "Cannot read the self-test recording" << fileName << ":"
                             << file.errorString();
        emit readLogFinished();
        return;
    }
    QVariantList time;
    QVariantList load;
    QVariantList battCap;
    while (!file.atEnd()) {
        const QStringList parts = QString::fromUtf8(file.readLine()).split(QLatin1Char(','));
        if (parts.size() < 3)
            continue;
        time.append(parts.at(0));
        load.append(parts.at(1));
        battCap.append(parts.at(2));
    }
    d->samples.insert(QStringLiteral("time"), time);
    d->samples.insert(QStringLiteral("load"), load);
    d->samples.insert(QStringLiteral("battCap"), battCap);
    emit readLogFinished();
}

void TableModelSelfTest::selectDate(const QString &dateS, const QString &dateE)
{
    TableModelHelper::selectDays(this, dateS, dateE);
}
