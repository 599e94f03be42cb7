#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QTextStream;
class Settings;

// The accounts of the network server from the command line, for machines without a screen:
//     quelta --home DIR --nut-user add NAME --role monitor|admin   (password on standard input)
//     quelta --home DIR --nut-user remove NAME
//     quelta --home DIR --nut-user list
// It writes the configuration file through the settings, loaded for it, so it works whether or
// not the program runs on the same home; a running program sees the file change and takes the
// accounts over at once.
class NutUserCommand
{
    Q_DECLARE_TR_FUNCTIONS(NutUserCommand)
public:
    enum ExitCode { Success = 0, Failure = 1, Usage = 2 };

    // `action` is the value of --nut-user, `names` the positional arguments, `role` the value of
    // --role (empty when not given).
    static int run(Settings *settings, const QString &action, const QStringList &names,
                   const QString &role, QTextStream &in, QTextStream &out, QTextStream &err);
};
