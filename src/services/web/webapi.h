#pragma once

#include "batteryhealthhistory.h"
#include "historyseries.h"
#include "recordreader.h"
#include "upsdirectory.h"

#include <QDateTime>
#include <QJsonObject>

struct UpsEntry;
class WebTexts;

// The JSON of the API (/api/v1/...): a UPS with its state as the window shows it, its stored
// alarms, samples and self-tests. Words are in the language asked for; numbers in the units the
// window shows (volts, hertz, percent, degrees Celsius, seconds); times both as ISO 8601 with the
// offset and as milliseconds since the epoch where a chart needs them.
class WebApi
{
public:
    static QJsonObject ups(const UpsEntry &entry, const WebTexts &texts, int language);
    static QJsonObject alarms(const RecordReader::Alarms &alarms, const WebTexts &texts,
                              int language);
    static QJsonObject samples(const HistorySeries::Result &result, const WebTexts &texts,
                               int language);
    static QJsonObject selfTests(const RecordReader::SelfTests &tests);
    static QJsonObject health(const BatteryHealthHistory::Result &result);
    // This computer's own countdown and supplies.
    static QJsonObject computer(const UpsDirectory::Computer &computer);

    // The NUT status flags of a UPS that answers, ALARM and FSD included; none while it does not.
    static QStringList statusFlags(const UpsEntry &entry);

    // A time of a query: ISO 8601 (local without an offset), a day (its start) or seconds since
    // the epoch. False for anything else.
    static bool parseTime(const QString &text, QDateTime *time);
    static QString isoTime(const QDateTime &time);
    // A reading kept as a float, as the decimal number it stands for (27.2, not 27.2000007).
    static double decimal(double value);
};
