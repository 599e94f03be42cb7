#include "recordwriter.h"

#include "database.h"
#include "historynotice.h"
#include "logcategories.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

RecordWriter::RecordWriter(HistoryNotice *notice) : m_notice(notice) { }

// Prepares the statement with %1 filled from the table map, binds the values and runs it.
bool RecordWriter::run(const char *statement, int table, const QVariantList &values,
                       const char *what)
{
    QSqlQuery query;
    const QString sql = QString::fromLatin1(statement).arg(Database::tableName(table));
    bool done = query.prepare(sql);
    if (done) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        done = query.exec();
    }
    // History is stored again once every table that failed took a row again (one table of the
    // wrong shape keeps the notice up).
    if (done) {
        if (m_failing.remove(table) && m_failing.isEmpty() && m_notice)
            m_notice->recovered();
        return true;
    }
    m_failing.insert(table);
    const QSqlError error = query.lastError();
    if (m_notice)
        m_notice->report(HistoryNotice::causeOf(error, QSqlDatabase::database().databaseName()),
                         error.text());
    else
        qCWarning(lcRecords) << "Cannot store" << what << ":" << error.text();
    return false;
}

bool RecordWriter::insertAlarm(int code)
{
    return run("insert into %1(alarm) values(?)", Database::TableAlarm, {code}, "an alarm");
}

bool RecordWriter::insertSample(const Sample &sample)
{
    return run("insert into %1(inputVol, outputVol, load, inputFreq, battVol, temperature) "
               "values(?, ?, ?, ?, ?, ?)",
               Database::TableDeviceData,
               {sample.inputVol, sample.outputVol, sample.load, sample.inputFreq, sample.battVol,
                sample.temperature},
               "a measurement sample");
}

bool RecordWriter::insertSelfTest(const QDateTime &start, quint32 duration, int count,
                                  const QVariant &batteryDrop)
{
    const QString started =
        QLocale(QLocale::English).toString(start, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return run("insert into %1(dateTime, duration, count, battVolDrop) values(?, ?, ?, ?)",
               Database::TableLogSelfTest,
               {started, duration, count,
                batteryDrop.isValid() ? batteryDrop : QVariant(QVariant::Double)},
               "the self-test row");
}
