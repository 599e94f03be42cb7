#include "platform.h"

#include <io.h>

namespace platform {

bool syncToDisk(int descriptor)
{
    return _commit(descriptor) == 0;
}

} // namespace platform
