#pragma once

#include <QString>

// Every log line of the process, from any thread, kept for the suite to count while still
// going to the previous handler.
namespace LogRecorder {

void install();
// How many lines recorded so far contain `part`.
int count(const QString &part);

} // namespace LogRecorder
