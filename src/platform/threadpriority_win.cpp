#include "platform.h"

#include <windows.h>

namespace platform {

bool raiseThreadPriority(std::string *why)
{
    // Threads started later begin at the normal priority again.
    if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST))
        return true;
    if (why)
        *why = "SetThreadPriority failed with error " + std::to_string(GetLastError());
    return false;
}

} // namespace platform
