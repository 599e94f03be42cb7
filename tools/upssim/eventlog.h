#pragma once

#include <QByteArray>
#include <QString>

// The simulator's event log: one line per event on standard output, flushed at once so a test
// or a terminal following the output sees every line as it happens. Lines start with a tag:
//   PTY <path>          first line: where the program under test must connect
//   RX "<frame>"        a request frame as received, escaped
//   TX "<bytes>"        bytes queued for the line, escaped
//   STATE <text>        a change of the UPS state
//   NOTE <text>         anything else worth knowing (ignored requests, line trouble)
//   ok ... / error ...  the reply to a command read from standard input
class EventLog
{
public:
    static void line(const QString &text);
    static void tagged(const char *tag, const QString &text);

    // C-style escaping inside double quotes: printable ASCII as is, \r \n \t \" \\ and \xNN.
    static QString quoted(const QByteArray &bytes);
    // The inverse for the body of such a text (quotes optional): returns false on a bad escape.
    static bool unquote(const QString &text, QByteArray *bytes);
};
