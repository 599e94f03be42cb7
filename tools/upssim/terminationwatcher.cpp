#include "terminationwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int writeEnd = -1;

void onSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const ssize_t n = ::write(writeEnd, &byte, 1);
}
} // namespace

class TerminationWatcherPrivate
{
public:
    int fds[2] = {-1, -1};
    QSocketNotifier *notifier = nullptr;
};

TerminationWatcher::TerminationWatcher(QObject *parent)
    : QObject(parent), d(new TerminationWatcherPrivate)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, d->fds) != 0)
        return;
    fcntl(d->fds[0], F_SETFD, FD_CLOEXEC);
    fcntl(d->fds[1], F_SETFD, FD_CLOEXEC);
    fcntl(d->fds[1], F_SETFL, O_NONBLOCK);
    writeEnd = d->fds[1];
    d->notifier = new QSocketNotifier(d->fds[0], QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &TerminationWatcher::onReadable);
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
    // A closed standard output (a test that went away) must not kill us halfway through a line.
    signal(SIGPIPE, SIG_IGN);
}

TerminationWatcher::~TerminationWatcher()
{
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        signal(number, SIG_DFL);
    writeEnd = -1;
    delete d->notifier;
    for (const int fd : d->fds)
        if (fd >= 0)
            ::close(fd);
}

void TerminationWatcher::followParent(qint64 expectedParent)
{
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The parent may have gone before the call took effect, or even before we started.
    if (getppid() != parent || (expectedParent > 0 && parent != expectedParent))
        QMetaObject::invokeMethod(
            this, [this] { emit terminationRequested(SIGTERM); }, Qt::QueuedConnection);
}

void TerminationWatcher::onReadable()
{
    char byte = 0;
    if (::read(d->fds[0], &byte, 1) == 1)
        emit terminationRequested(int(byte));
}
