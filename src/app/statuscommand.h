#pragma once

#include <QCoreApplication>

class QTextStream;

// `status [--json]`: the state of every UPS of the program running on the root, asked over the
// single-instance socket (which exists whenever it runs, network server or not, and which only
// its user and group may reach). Each UPS in words and then its variables as upsc prints them,
// or the program's JSON document. The exit status is the worst health of them, as monitoring
// plugins read it: 0 on mains, 1 on battery, 2 battery low, a fault or the output off, 3 no UPS
// answering or no program to ask; 2 goes before 3, 3 before 1.
class StatusCommand
{
    Q_DECLARE_TR_FUNCTIONS(StatusCommand)
public:
    static int run(bool json, QTextStream &out, QTextStream &err);
};
