#pragma once

#include <QDate>
#include <QDateTime>
#include <QPointF>
#include <QString>
#include <QVector>

#include <array>
#include <atomic>

// The stored measurements of a date or time range, reduced for a chart: the range is cut into at most
// `buckets` equal slices of time and SQL gives the lowest and the highest value of each slice,
// so a spike of one sample stays visible however long the range. A range long enough is read
// from the per-minute or per-hour summaries, its slices then a whole number of their rows wide
// (somewhat fewer than `buckets`), so a year reads thousands of rows, not millions.
// Runs on any thread with a connection of its own to the database file.
class HistorySeries
{
public:
    enum Column { InputVoltage, OutputVoltage, Load, BatteryVoltage, Temperature, ColumnCount };

    // An alarm raised in the range; alarms close together share one mark.
    struct Mark
    {
        qint64 msecs = 0; // the first one's time
        int code = 0; // the first one's code
        int count = 0;
    };

    struct Result
    {
        qint64 fromMsecs = 0; // the range (days: the first 00:00 to the day after the last, local)
        qint64 toMsecs = 0;
        qint64 samples = 0; // rows in the range
        // Two points per slice that holds samples, at its middle: its lowest, then its highest.
        std::array<QVector<QPointF>, ColumnCount> points;
        std::array<double, ColumnCount> minimum {};
        std::array<double, ColumnCount> maximum {};
        QVector<Mark> marks;
        QString error; // empty when the statements ran
    };

    static constexpr int defaultBuckets = 1000;
    static constexpr int maxMarks = 200;

    // `databaseFile` is opened read-only on a connection of the calling thread, closed again
    // before returning. Setting `*stop` ends the work at the next slice read, with an error.
    static Result reduce(const QString &databaseFile, const QDate &first, const QDate &last,
                         int buckets = defaultBuckets, const std::atomic_bool *stop = nullptr,
                         const QString &ups = QString());
    // The same for the time from `from` up to `to` (local time, as the rows are stamped).
    // `ups`: the shown name of a watched UPS, whose rows carry it; empty: this computer's.
    static Result reduce(const QString &databaseFile, const QDateTime &from, const QDateTime &to,
                         int buckets = defaultBuckets, const std::atomic_bool *stop = nullptr,
                         const QString &ups = QString());
};
