#include "childprocess.h"

#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

ChildProcess::ChildProcess(QObject *parent) : QProcess(parent), m_parent(getpid()) { }

// Runs in the child between fork and exec: async-signal-safe calls only. A test that died
// before the request took effect would never send the signal, hence the check of the parent.
void ChildProcess::setupChildProcess()
{
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != m_parent)
        _exit(127);
}
