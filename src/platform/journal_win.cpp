#include "platform.h"

namespace platform {

bool standardErrorIsJournal()
{
    return false;
}

} // namespace platform
