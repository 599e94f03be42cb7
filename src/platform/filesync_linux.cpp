#include "platform.h"

#include <cerrno>
#include <unistd.h>

namespace platform {

bool syncToDisk(int descriptor)
{
    int result;
    do {
        result = ::fdatasync(descriptor);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace platform
