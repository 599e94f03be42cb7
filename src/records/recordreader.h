#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

// Stored alarms and self-tests read for a reader off the main thread (the web service), each
// call on a read-only connection of its own to the database file. Times are local, as the rows
// are stamped. `ups` is the value of the rows' `ups` column: a watched UPS's shown name, empty
// for this computer's UPS; one UPS's rows are never mixed with another's.
class RecordReader
{
public:
    struct AlarmRow
    {
        QDateTime time;
        int code = 0;
        QString detail; // who cancelled and from where; empty for the UPS's own alarms
    };
    struct Alarms
    {
        QVector<AlarmRow> rows; // newest first
        bool truncated = false; // more rows lay in the range than the limit let through
        QString error; // empty when the statement ran
    };

    struct SelfTestRow
    {
        QDateTime start;
        int seconds = 0;
        int samples = 0;
        double batteryVoltageDrop = 0;
        // The outcome recorded with the row; for a row without one, the alarms raised while the
        // test ran.
        bool batteryLow = false;
        bool upsFailed = false;
        bool verdictStored = false;
    };
    struct SelfTests
    {
        QVector<SelfTestRow> rows; // newest first
        QString error;
    };

    // The alarms raised from `from` up to `to`, `limit` at most.
    static Alarms alarms(const QString &databaseFile, const QDateTime &from, const QDateTime &to,
                         int limit, const QString &ups = QString());
    // The last `limit` self-tests.
    static SelfTests selfTests(const QString &databaseFile, int limit,
                               const QString &ups = QString());
};
