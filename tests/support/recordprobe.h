#pragma once

#include <QStringList>
#include <QVariant>

class Alarm;

// What the tests read back from the records: the texts of the current alarms, and a count
// from the database.
namespace RecordProbe {

QStringList currentAlarmTexts(const Alarm *alarm);
// The first column of the first row as a number (-1 when no row), with one optional bound value.
int sqlCount(const QString &sql, const QVariant &bound = QVariant());

} // namespace RecordProbe
