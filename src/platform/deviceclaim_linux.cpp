#include "platform.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

int claimDevice(const std::wstring &path, bool *busy)
{
    *busy = false;
    const QByteArray name = QFile::encodeName(QString::fromStdWString(path));
    // Read-only and not waiting for a carrier: opening only to hold the lock.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *busy = errno == EBUSY;
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *busy = errno == EWOULDBLOCK;
        ::close(fd);
        return -1;
    }
    return fd;
}

void releaseDevice(int handle)
{
    if (handle >= 0)
        ::close(handle);
}

} // namespace platform
