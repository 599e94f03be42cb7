#include "platform.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace platform {

namespace {

void nonBlocking(SOCKET s)
{
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
}

} // namespace

long long socketRead(long long socket, char *data, long long size)
{
    const SOCKET s = SOCKET(socket);
    nonBlocking(s);
    const int n = ::recv(s, data, int(size), 0);
    if (n >= 0)
        return n;
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? -1 : -2;
}

long long socketWrite(long long socket, const char *data, long long size)
{
    const SOCKET s = SOCKET(socket);
    nonBlocking(s);
    const int n = ::send(s, data, int(size), 0);
    if (n >= 0)
        return n;
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
}

void socketClose(long long socket)
{
    ::closesocket(SOCKET(socket));
}

std::string socketPeer(long long socket)
{
    sockaddr_storage address {};
    int length = sizeof address;
    if (::getpeername(SOCKET(socket), reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return {};
    char text[INET6_ADDRSTRLEN] = {};
    void *raw = address.ss_family == AF_INET6
        ? static_cast<void *>(&reinterpret_cast<sockaddr_in6 &>(address).sin6_addr)
        : static_cast<void *>(&reinterpret_cast<sockaddr_in &>(address).sin_addr);
    if (::inet_ntop(address.ss_family, raw, text, sizeof text) == nullptr)
        return {};
    return text;
}

void socketNoDelay(long long socket)
{
    const BOOL on = TRUE;
    ::setsockopt(SOCKET(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&on),
                 sizeof on);
}

void releaseFreeMemory() { }

} // namespace platform
