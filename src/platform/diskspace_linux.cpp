#include "platform.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

long long freeDiskSpace(const std::wstring &folder)
{
    struct statvfs info
    {
    };
    if (::statvfs(QFile::encodeName(QString::fromStdWString(folder)).constData(), &info) != 0)
        return -1;
    return static_cast<long long>(info.f_bavail) * static_cast<long long>(info.f_frsize);
}

bool setAsideFile(const std::wstring &path, long long bytes)
{
    const QByteArray name = QFile::encodeName(QString::fromStdWString(path));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    int result;
    do {
        result = ::posix_fallocate(fd, 0, bytes);
    } while (result == EINTR);
    ::close(fd);
    if (result != 0)
        ::unlink(name.constData());
    return result == 0;
}

} // namespace platform
