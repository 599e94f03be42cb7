#include "serialline.h"

#include "eventlog.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int MaxFrame = 128;

speed_t speedFor(int baud)
{
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

bool makeRaw(int fd, int baud)
{
    termios tio {};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = speedFor(baud);
    if (speed != B0) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}
} // namespace

class SerialLinePrivate
{
public:
    int fd = -1; // the unit's end
    int keeper = -1; // our own descriptor of the terminal end of a pseudo-terminal
    QString path;
    QByteArray pending;
    QSocketNotifier *notifier = nullptr;
    QTimer recheck;

    void close()
    {
        delete notifier;
        notifier = nullptr;
        if (keeper >= 0)
            ::close(keeper);
        if (fd >= 0)
            ::close(fd);
        keeper = fd = -1;
    }
};

SerialLine::SerialLine(QObject *parent) : QObject(parent), d(new SerialLinePrivate)
{
    d->recheck.setInterval(250);
    connect(&d->recheck, &QTimer::timeout, this, &SerialLine::onRecheck);
}

SerialLine::~SerialLine()
{
    d->close();
}

bool SerialLine::openPseudoTerminal(QString *error)
{
    d->close();
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        if (master >= 0)
            ::close(master);
        return false;
    }
    const char *name = ptsname(master);
    const int keeper = name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
    if (keeper < 0) {
        *error = QStringLiteral("cannot open the terminal end: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        ::close(master);
        return false;
    }
    // The line discipline lives on the terminal end; raw there means raw for the peer too.
    makeRaw(keeper, 0);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    d->fd = master;
    d->keeper = keeper;
    d->path = QString::fromLocal8Bit(name);
    d->notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &SerialLine::onReadable);
    return true;
}

bool SerialLine::openDevice(const QString &path, int baud, QString *error)
{
    d->close();
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        *error =
            QStringLiteral("cannot open %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    if (!makeRaw(fd, baud)) {
        *error = QStringLiteral("%1 is not a serial line: %2")
                     .arg(path, QString::fromLocal8Bit(strerror(errno)));
        ::close(fd);
        return false;
    }
    d->fd = fd;
    d->path = path;
    d->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &SerialLine::onReadable);
    return true;
}

QString SerialLine::path() const
{
    return d->path;
}

qint64 SerialLine::write(const QByteArray &bytes)
{
    if (d->fd < 0)
        return -1;
    const ssize_t n = ::write(d->fd, bytes.constData(), size_t(bytes.size()));
    if (n < 0)
        return errno == EINTR ? 0 : -1;
    return n;
}

void SerialLine::onReadable()
{
    char buffer[256];
    const ssize_t n = ::read(d->fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // Hung up: stop listening and look again now and then.
        EventLog::tagged("NOTE", QStringLiteral("line hung up; waiting for it to come back"));
        d->notifier->setEnabled(false);
        d->recheck.start();
        return;
    }
    for (ssize_t i = 0; i < n; ++i) {
        const char c = buffer[i];
        // A line feed after the carriage return (a terminal sending CR LF) is not a request.
        if (c == '\n' && d->pending.isEmpty())
            continue;
        d->pending.append(c);
        if (c == '\r') {
            const QByteArray frame = d->pending;
            d->pending.clear();
            emit frameReceived(frame);
        } else if (d->pending.size() >= MaxFrame) {
            EventLog::tagged("NOTE",
                             QStringLiteral("discarded %1 bytes without a carriage return: %2")
                                 .arg(d->pending.size())
                                 .arg(EventLog::quoted(d->pending)));
            d->pending.clear();
        }
    }
}

void SerialLine::onRecheck()
{
    pollfd p {d->fd, POLLIN, 0};
    if (d->fd < 0 || ::poll(&p, 1, 0) < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return;
    d->recheck.stop();
    d->notifier->setEnabled(true);
    EventLog::tagged("NOTE", QStringLiteral("line is back"));
}
