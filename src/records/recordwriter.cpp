#include "recordwriter.h"

#include "database.h"
#include "logcategories.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Prepares the statement with %1 filled from the table map, binds the values and runs it.
bool run(const char *statement, int table, const QVariantList &values, const char *what)
{
    QSqlQuery query;
    const QString sql = QString::fromLatin1(statement).arg(Database::tableName(table));
    bool done = query.prepare(sql);
    if (done) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        done = query.exec();
    }
    if (!done)
        qCWarning(lcRecords) << "Cannot store" << what << ":" << query.lastError().text();
    return done;
}

} // namespace

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

bool RecordWriter::insertSelfTest(const QDateTime &start, quint32 duration, int count)
{
    const QString started =
        QLocale(QLocale::English).toString(start, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return run("insert into %1(dateTime, duration, count) values(?, ?, ?)",
               Database::TableLogSelfTest, {started, duration, count}, "the self-test row");
}
