#pragma once

#include <QCoreApplication>
#include <QStringList>

class QTextStream;

// The settings from the command line, for machines without a screen:
//     quelta config list                    every key of the table with the value in force
//     quelta config get KEY
//     quelta config set KEY VALUE           checked against the key table
//     quelta config set-password KEY        the first line of standard input, stored obscured
//     quelta config check                   each problem of the file with its line; exit 2 if any
// It reads and writes the configuration file under the root itself, so it works whether or not
// the program runs on the same root; a running program sees the file change and takes the new
// value at once. Passwords are never shown, only whether one is set.
class ConfigCommand
{
    Q_DECLARE_TR_FUNCTIONS(ConfigCommand)
public:
    enum ExitCode { Success = 0, Failure = 1, Usage = 2 };

    // `arguments` are the words after "config".
    static int run(const QStringList &arguments, QTextStream &in, QTextStream &out,
                   QTextStream &err);
    // Success when the settings file reads whole (or is not there) and may be written; else
    // the problems and how to repair them on `err`, and Usage (Failure when it cannot be read).
    static int refuseDamaged(QTextStream &err);
};
