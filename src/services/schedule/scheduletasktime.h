#pragma once

#include <QDateTime>
#include <QVariant>

// When a scheduled task comes due next: the first occurrence of its time of day strictly after a
// given moment, by its repetition. Weekly and monthly tasks take their weekday and day of the
// month from the moment stored as the task's creation, a one-shot task its earliest day; that
// moment is when the task was added, or a day the user chose for it.
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

    // What a task stores as its creation moment when the user chose its day: a day of weekday
    // `day` (1 = Monday) for a weekly task, of day `day` of the month for a monthly one, the
    // date `day` ("yyyy-MM-dd") for a one-shot task; the first such day from `now` on, at now's
    // time of day. Invalid when the day does not fit the cycle.
    static QDateTime dayOf(int cycle, const QVariant &day, const QDateTime &now);

    static QDateTime parseCreated(const QVariant &value);
    static QTime parseTime(const QVariant &value);

    static const QString textFormat; // "yyyy-MM-dd hh:mm:ss"
};
