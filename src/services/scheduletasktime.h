#pragma once

#include <QDateTime>
#include <QVariant>

// When a scheduled task comes due next: the first occurrence of its time of day strictly after a
// given moment, by its repetition. Weekly and monthly tasks take their weekday and day of the
// month from the moment the task was added.
class ScheduleTaskTime
{
public:
    // Invalid when the cycle is unknown or the time (or, for weekly and monthly tasks, the
    // creation moment) cannot be read.
    static QDateTime nextDue(int cycle, const QDateTime &created, const QTime &time,
                             const QDateTime &after);
    // The same from the stored values: "dateTime" as "yyyy-MM-dd hh:mm:ss", "time" as a time.
    static QDateTime nextDue(const QVariant &cycle, const QVariant &created, const QVariant &time,
                             const QDateTime &after);

    static QDateTime parseCreated(const QVariant &value);
    static QTime parseTime(const QVariant &value);

    static const QString textFormat; // "yyyy-MM-dd hh:mm:ss"
};
