#include "platform.h"

#include <cerrno>
#include <cstring>
#include <sched.h>

namespace platform {

bool raiseThreadPriority(std::string *why)
{
    sched_param param {};
    param.sched_priority = 1;
    // Only this thread: pool threads, the record writer and a command file's process stay
    // ordinary, whenever they start.
    if (::sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0)
        return true;
    if (why)
        *why = std::strerror(errno);
    return false;
}

} // namespace platform
