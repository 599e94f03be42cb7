#pragma once

#include <QByteArray>
#include <QStringList>

// One line of the network UPS protocol: words separated by blanks, a word holding blanks or
// quotes written in double quotes with backslash escapes. Splitting a line the server sent and
// building one to send.
namespace NutLine {

// The words of a received line (without its line end). False for an open quote, a dangling
// backslash or a control character: the stream can no longer be trusted.
bool split(const QByteArray &line, QStringList *words);

// A request line, line end included; each word quoted when it needs it. An empty result when a
// word holds a line end or another control character, which would smuggle in a second request.
QByteArray join(const QStringList &words);

// A received line made safe and short for the log.
QString excerpt(const QByteArray &line, int length = 80);

} // namespace NutLine
