#pragma once

#include <QString>
#include <QStringList>

// The command line of upssim.
class SimulatorOptions
{
public:
    QString device; // a real serial device instead of a pseudo-terminal
    QString link; // symbolic link to publish the terminal end at
    QString control; // path of the control socket
    QString scenario; // "demo" or a script file
    QStringList commands; // run once at start, after the line is announced
    int baud = 2400; // 0: instant
    int turnaroundMs = 0;
    double speed = 1.0;
    bool help = false;
    bool followParent = false; // end with the parent process
    qint64 parentPid = 0; // the parent it must be, when known

    // False with the reason for a command line that cannot be used.
    bool parse(const QStringList &arguments, QString *error);
    static QString usage();
};
