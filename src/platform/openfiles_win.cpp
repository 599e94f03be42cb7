#include "platform.h"

namespace platform {

// Sockets are handles, not C runtime descriptors: no per-process count limits them.
int raiseOpenFileLimit()
{
    return -1;
}

} // namespace platform
