#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace platform {

// systemd names the stream it connected in JOURNAL_STREAM as "device:inode"; a standard error
// redirected elsewhere by the service itself is not the journal.
bool standardErrorIsJournal()
{
    const char *stream = std::getenv("JOURNAL_STREAM");
    if (!stream)
        return false;
    unsigned long long device = 0, inode = 0;
    if (std::sscanf(stream, "%llu:%llu", &device, &inode) != 2)
        return false;
    struct stat info;
    if (::fstat(2, &info) != 0)
        return false;
    return static_cast<unsigned long long>(info.st_dev) == device &&
        static_cast<unsigned long long>(info.st_ino) == inode;
}

} // namespace platform
