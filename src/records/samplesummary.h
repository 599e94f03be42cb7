#pragma once

#include <QString>

// The per-minute and per-hour summaries of the samples: the statements that keep them (a trigger
// on every sample insert) and that fill them from samples stored before they existed. For each
// charted reading a summary row holds its lowest, highest, sum and count of present values.
namespace SampleSummary {

enum Table { Minute, Hour, TableCount };

const char *tableName(Table table);
// Seconds one row of the table covers.
int seconds(Table table);
// The trigger that adds each new sample to both tables.
QString trigger();
// Adds the samples with ids from :first up to (not including) :end to the table, merged with
// what the table holds (the trigger's rows for the same minute or hour included).
QString fill(Table table);
// The charted readings' columns in the sample table, in HistorySeries' column order.
constexpr int columnCount = 5;
extern const char *const columns[columnCount];

} // namespace SampleSummary
