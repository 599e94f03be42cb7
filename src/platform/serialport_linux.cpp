#include "platform.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace platform {

long long portRead(long long handle, char *data, long long size)
{
    for (;;) {
        const ssize_t n = ::read(int(handle), data, size_t(size));
        if (n > 0)
            return n;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return -1; // EIO: the other end of the line closed
        // A terminal without data reads as nothing, and so does one that hung up.
        pollfd line {int(handle), POLLIN, 0};
        if (::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return -1;
        return 0;
    }
}

long long portWrite(long long handle, const char *data, long long size)
{
    for (;;) {
        const ssize_t n = ::write(int(handle), data, size_t(size));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

} // namespace platform
