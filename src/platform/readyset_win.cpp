#include "platform.h"

namespace platform {

// No descriptor stands for a set of sockets here: the caller watches each one itself.
long long readySetCreate()
{
    return -1;
}

bool readySetWatch(long long, long long, unsigned long long, bool, bool)
{
    return false;
}

void readySetForget(long long, long long) { }

int readySetTake(long long, ReadySocket *, int)
{
    return 0;
}

void readySetClose(long long) { }

} // namespace platform
