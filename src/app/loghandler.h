#pragma once

#include <QtGlobal>

class QMessageLogContext;
class QString;

// Appends every framework message to "/log/yyyy-MM-dd.txt" under the root, one entry per
// message followed by an empty line. Any thread may log; entries never interleave.
namespace LogHandler {

// `alsoStandardError`: each entry goes to standard error too, one line each (a program without
// a window, whose standard error the service manager keeps in its journal).
void install(bool alsoStandardError = false);
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text);

} // namespace LogHandler
