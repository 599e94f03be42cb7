#pragma once

#include <QtGlobal>

class QMessageLogContext;
class QString;

// Appends every framework message to "/log/yyyy-MM-dd.txt" under the root, one entry per
// message, each beginning with its time stamp in brackets. Any thread may log; entries never
// interleave. An entry goes into the file whole or not at all: one that finds the disk full
// takes the disk's reserve (DiskReserve), and one that still finds no room goes to standard
// error only.
namespace LogHandler {

// `alsoStandardError`: each entry goes to standard error too (a program without a window). When
// that is the system journal, which stamps lines itself, without the time and with the journal's
// priority prefix instead.
void install(bool alsoStandardError = false);
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text);

} // namespace LogHandler
