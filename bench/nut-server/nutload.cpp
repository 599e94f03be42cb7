#include "nutload.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

qint64 nowNs()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

NutLoad::NutLoad(const QHostAddress &host, quint16 port, int clients)
    : m_host(host), m_port(port), m_clients(clients), m_end("END LIST VAR ups\n")
{
}

void NutLoad::run(int seconds)
{
    m_set = epoll_create1(EPOLL_CLOEXEC);
    sockaddr_storage address {};
    socklen_t length = 0;
    if (m_host.protocol() == QAbstractSocket::IPv6Protocol) {
        auto &a6 = reinterpret_cast<sockaddr_in6 &>(address);
        a6.sin6_family = AF_INET6;
        a6.sin6_port = htons(m_port);
        const Q_IPV6ADDR raw = m_host.toIPv6Address();
        memcpy(&a6.sin6_addr, &raw, sizeof raw);
        length = sizeof a6;
    } else {
        auto &a4 = reinterpret_cast<sockaddr_in &>(address);
        a4.sin_family = AF_INET;
        a4.sin_port = htons(m_port);
        a4.sin_addr.s_addr = htonl(m_host.toIPv4Address());
        length = sizeof a4;
    }
    for (int i = 0; i < m_clients.size(); ++i) {
        Client &c = m_clients[i];
        c.socket = socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (c.socket < 0)
            continue;
        const int on = 1;
        setsockopt(c.socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (connect(c.socket, reinterpret_cast<sockaddr *>(&address), length) != 0 &&
            errno != EINPROGRESS) {
            drop(c);
            continue;
        }
        epoll_event event {};
        event.events = EPOLLIN | EPOLLOUT; // writable once connected
        event.data.u32 = quint32(i);
        epoll_ctl(m_set, EPOLL_CTL_ADD, c.socket, &event);
    }
    // Client i asks at i/n of each second.
    const qint64 start = nowNs();
    const qint64 end = start + qint64(seconds) * 1000000000;
    const qint64 n = m_clients.size();
    qint64 turn = 0; // asks made so far, over all rounds
    auto due = [&] { return start + (turn / n) * 1000000000 + (turn % n) * 1000000000 / n; };
    epoll_event events[256];
    for (;;) {
        qint64 now = nowNs();
        if (now >= end)
            break;
        while (due() <= now) {
            ask(m_clients[int(turn % n)], now);
            ++turn;
        }
        const qint64 next = std::min(due(), end);
        const int timeoutMs = int((next - now + 999999) / 1000000);
        const int ready = epoll_wait(m_set, events, 256, timeoutMs);
        now = nowNs();
        for (int k = 0; k < ready; ++k) {
            Client &c = m_clients[int(events[k].data.u32)];
            if (c.socket < 0)
                continue;
            if (!c.connected && (events[k].events & (EPOLLOUT | EPOLLERR | EPOLLHUP))) {
                int error = 0;
                socklen_t size = sizeof error;
                getsockopt(c.socket, SOL_SOCKET, SO_ERROR, &error, &size);
                if (error != 0) {
                    drop(c);
                    continue;
                }
                c.connected = true;
                epoll_event event {};
                event.events = EPOLLIN;
                event.data.u32 = events[k].data.u32;
                epoll_ctl(m_set, EPOLL_CTL_MOD, c.socket, &event);
            }
            if (events[k].events & (EPOLLIN | EPOLLHUP | EPOLLERR))
                read(c, now);
        }
    }
    for (Client &c : m_clients) {
        if (c.socket >= 0)
            close(c.socket);
        c.socket = -1;
    }
    close(m_set);
}

void NutLoad::ask(Client &c, qint64 now)
{
    if (c.socket < 0 || !c.connected)
        return;
    if (c.sentNs >= 0) {
        ++m_failures; // the last reply has not come in a whole second
        return;
    }
    static const char request[] = "LIST VAR ups\n";
    c.sentNs = now;
    if (send(c.socket, request, sizeof request - 1, MSG_NOSIGNAL) != qint64(sizeof request - 1)) {
        ++m_failures;
        drop(c);
    }
}

void NutLoad::read(Client &c, qint64 now)
{
    char chunk[16 * 1024];
    for (;;) {
        const ssize_t got = recv(c.socket, chunk, sizeof chunk, MSG_DONTWAIT);
        if (got > 0) {
            c.buffer.append(chunk, int(got));
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got < 0 && errno == EINTR)
            continue;
        ++m_failures; // the server closed it
        drop(c);
        return;
    }
    if (c.sentNs >= 0 && c.buffer.endsWith(m_end)) {
        m_replyMs.append(double(now - c.sentNs) / 1.0e6);
        c.sentNs = -1;
        c.buffer.clear();
    }
}

void NutLoad::drop(Client &c)
{
    if (c.socket >= 0) {
        epoll_ctl(m_set, EPOLL_CTL_DEL, c.socket, nullptr);
        close(c.socket);
    }
    c.socket = -1;
}
