#include "platform.h"

namespace platform {

int terminationRequests()
{
    return -1;
}

} // namespace platform
