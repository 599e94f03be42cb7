#include "platform.h"

#include <arpa/inet.h>
#include <cerrno>
#include <malloc.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

long long socketRead(long long socket, char *data, long long size)
{
    for (;;) {
        const ssize_t n = ::recv(int(socket), data, size_t(size), MSG_DONTWAIT);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? -1 : -2;
    }
}

long long socketWrite(long long socket, const char *data, long long size)
{
    for (;;) {
        const ssize_t n = ::send(int(socket), data, size_t(size), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

void socketClose(long long socket)
{
    ::close(int(socket));
}

std::string socketPeer(long long socket)
{
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (::getpeername(int(socket), reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return {};
    char text[INET6_ADDRSTRLEN] = {};
    const void *raw = address.ss_family == AF_INET6
        ? static_cast<const void *>(&reinterpret_cast<const sockaddr_in6 &>(address).sin6_addr)
        : static_cast<const void *>(&reinterpret_cast<const sockaddr_in &>(address).sin_addr);
    if (::inet_ntop(address.ss_family, raw, text, sizeof text) == nullptr)
        return {};
    return text;
}

void socketNoDelay(long long socket)
{
    const int on = 1;
    ::setsockopt(int(socket), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void releaseFreeMemory()
{
    ::malloc_trim(0);
}

} // namespace platform
