#include "platform.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};

void onTerminationSignal(int number)
{
    // Only async-signal-safe calls here; errno belongs to the code this signal interrupted.
    const int savedErrno = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

namespace platform {

int terminationRequests()
{
    if (pipeEnds[0] >= 0)
        return pipeEnds[0];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return -1;
    // A burst of signals fills the buffer at worst; the handler must never block.
    fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
    return pipeEnds[0];
}

} // namespace platform
