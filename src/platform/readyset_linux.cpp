#include "platform.h"

#include <cerrno>
#include <sys/epoll.h>
#include <unistd.h>

namespace platform {

long long readySetCreate()
{
    return ::epoll_create1(EPOLL_CLOEXEC);
}

bool readySetWatch(long long set, long long socket, unsigned long long tag, bool read, bool write)
{
    epoll_event event {};
    event.events = (read ? EPOLLIN | EPOLLRDHUP : 0u) | (write ? EPOLLOUT : 0u);
    event.data.u64 = tag;
    if (::epoll_ctl(int(set), EPOLL_CTL_MOD, int(socket), &event) == 0)
        return true;
    return errno == ENOENT && ::epoll_ctl(int(set), EPOLL_CTL_ADD, int(socket), &event) == 0;
}

void readySetForget(long long set, long long socket)
{
    epoll_event unused {}; // kernels before 2.6.9 wanted one
    ::epoll_ctl(int(set), EPOLL_CTL_DEL, int(socket), &unused);
}

int readySetTake(long long set, ReadySocket *ready, int most)
{
    constexpr int batch = 256;
    epoll_event events[batch];
    int n;
    do {
        n = ::epoll_wait(int(set), events, most < batch ? most : batch, 0);
    } while (n < 0 && errno == EINTR);
    for (int i = 0; i < n; ++i) {
        const unsigned int e = events[i].events;
        // Hang-ups and errors are told by the read that follows.
        ready[i] = {events[i].data.u64, (e & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0,
                    (e & (EPOLLOUT | EPOLLHUP | EPOLLERR)) != 0};
    }
    return n < 0 ? 0 : n;
}

void readySetClose(long long set)
{
    if (set >= 0)
        ::close(int(set));
}

} // namespace platform
