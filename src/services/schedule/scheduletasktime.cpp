#include "scheduletasktime.h"

#include "scheduletaskdata.h"

const QString ScheduleTaskTime::textFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

namespace {

// Day `day` of the month of `date`, moved back to the month's last day when the month is
// shorter.
QDate dayInMonth(const QDate &date, int day)
{
    const QDate first(date.year(), date.month(), 1);
    return first.addDays(qMin(day, first.daysInMonth()) - 1);
}

} // namespace

QDateTime ScheduleTaskTime::nextDue(int cycle, const QDateTime &created, const QTime &time,
                                    const QDateTime &after)
{
    if (!time.isValid() || !after.isValid())
        return QDateTime();
    // Due times are whole seconds; so is the moment they are compared with.
    const QTime at(time.hour(), time.minute(), time.second());
    const qint64 afterSecs = after.toSecsSinceEpoch();
    const QDate today = after.date();
    auto ahead = [&](const QDate &date) {
        return QDateTime(date, at).toSecsSinceEpoch() > afterSecs;
    };

    switch (cycle) {
    case ScheduleTaskData::OneShoot: {
        // A one-shot task may be tied to a later day; until then it waits for that day.
        const QDate from = created.isValid() && created.date() > today ? created.date() : today;
        return QDateTime(ahead(from) ? from : from.addDays(1), at);
    }
    case ScheduleTaskData::EveryDay:
        return QDateTime(ahead(today) ? today : today.addDays(1), at);
    case ScheduleTaskData::EveryWeek: {
        if (!created.isValid())
            return QDateTime();
        const int days = (created.date().dayOfWeek() - today.dayOfWeek() + 7) % 7;
        if (days == 0 && !ahead(today))
            return QDateTime(today.addDays(7), at);
        return QDateTime(today.addDays(days), at);
    }
    case ScheduleTaskData::EveryMonth: {
        if (!created.isValid())
            return QDateTime();
        // A task of the 31st runs on the last day of shorter months, once a month: rolling
        // over into the next month would run it on the 1st and again on the 31st.
        const int day = created.date().day();
        const QDate thisMonth = dayInMonth(today, day);
        if (thisMonth > today || (thisMonth == today && ahead(today)))
            return QDateTime(thisMonth, at);
        return QDateTime(dayInMonth(today.addMonths(1), day), at);
    }
    default:
        return QDateTime();
    }
}

QDateTime ScheduleTaskTime::nextDue(const QVariant &cycle, const QVariant &created,
                                    const QVariant &time, const QDateTime &after)
{
    bool ok = false;
    const int cycleValue = cycle.toInt(&ok);
    if (!ok)
        return QDateTime();
    return nextDue(cycleValue, parseCreated(created), parseTime(time), after);
}

QDateTime ScheduleTaskTime::dayOf(int cycle, const QVariant &day, const QDateTime &now)
{
    const QDate today = now.date();
    bool isNumber = false;
    const int number = day.toInt(&isNumber);
    QDate chosen;
    switch (cycle) {
    case ScheduleTaskData::OneShoot:
        chosen = QDate::fromString(day.toString().trimmed(), Qt::ISODate);
        break;
    case ScheduleTaskData::EveryWeek:
        if (isNumber && number >= 1 && number <= 7)
            chosen = today.addDays((number - today.dayOfWeek() + 7) % 7);
        break;
    case ScheduleTaskData::EveryMonth:
        // The first month from this one that has the day, so a task of the 31st keeps its 31st.
        for (int months = 0; isNumber && number >= 1 && number <= 31 && months < 12; ++months) {
            const QDate month = QDate(today.year(), today.month(), 1).addMonths(months);
            const QDate date(month.year(), month.month(), number);
            if (date.isValid() && date >= today) {
                chosen = date;
                break;
            }
        }
        break;
    default:
        break;
    }
    return chosen.isValid() ? QDateTime(chosen, now.time()) : QDateTime();
}

QDateTime ScheduleTaskTime::parseCreated(const QVariant &value)
{
    if (value.type() == QVariant::DateTime)
        return value.toDateTime();
    const QString text = value.toString().trimmed();
    QDateTime moment = QDateTime::fromString(text, textFormat);
    if (!moment.isValid())
        moment = QDateTime::fromString(text, Qt::ISODate);
    return moment;
}

QTime ScheduleTaskTime::parseTime(const QVariant &value)
{
    if (value.type() == QVariant::Time)
        return value.toTime();
    const QString text = value.toString().trimmed();
    for (const QString &format : {QStringLiteral("hh:mm:ss"), QStringLiteral("h:m:s"),
                                  QStringLiteral("hh:mm"), QStringLiteral("h:m")}) {
        const QTime time = QTime::fromString(text, format);
        if (time.isValid())
            return time;
    }
    return QTime();
}
