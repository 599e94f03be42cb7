#pragma once

#include <QString>
#include <QStringList>

// Every log line of the process, from any thread, kept for the suite to count while still
// going to the previous handler.
namespace LogRecorder {

void install();
// How many lines recorded so far contain `part`.
int count(const QString &part);
// The lines of this type (-1: any) recorded since the last take; the next take starts after them.
QStringList take(int type = -1);
// The warnings and worse recorded since the last take, as take() does.
QStringList takeWarnings();
// Spins the event loop until a line not yet taken contains `part`; bounded.
bool waitFor(const QString &part, int timeoutMs = 5000);

} // namespace LogRecorder
