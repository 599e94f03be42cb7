#include "fulldisk.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const char fillerName[] = "/.filler";

rlimit savedLimit {RLIM_INFINITY, RLIM_INFINITY};

} // namespace

FullDisk::FullDisk(const QString &folder, Method method, const QByteArray &size)
    : m_folder(folder), m_method(method)
{
    QDir().mkpath(folder);
    if (method == FileSizeLimit) {
        m_ready = true;
        return;
    }
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                ("size=" + size).constData()) != 0) {
        m_why = QStringLiteral("no tmpfs can be mounted here (%1); the file size limit row "
                               "covers the same writes")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
    m_ready = true;
}

FullDisk::~FullDisk()
{
    release();
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

void FullDisk::fill()
{
    if (!m_ready || m_full)
        return;
    m_full = true;
    if (m_method == FileSizeLimit) {
        // Past the limit the kernel would end the process with SIGXFSZ; ignored, the write fails.
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &savedLimit);
        rlimit none = savedLimit;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
        return;
    }
    const QByteArray path = QFile::encodeName(m_folder + QLatin1String(fillerName));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return;
    // Page-sized writes until none fits, then single bytes for whatever is left.
    const QByteArray page(4096, 'x');
    while (::write(fd, page.constData(), std::size_t(page.size())) > 0) { }
    while (::write(fd, "x", 1) > 0) { }
    ::close(fd);
}

void FullDisk::release()
{
    if (!m_full)
        return;
    m_full = false;
    if (m_method == FileSizeLimit) {
        ::setrlimit(RLIMIT_FSIZE, &savedLimit);
        return;
    }
    QFile::remove(m_folder + QLatin1String(fillerName));
}

bool FullDisk::refusesWrites() const
{
    const QByteArray path = QFile::encodeName(m_folder + QLatin1String("/.probe"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return true;
    const bool refused = ::write(fd, "0123456789abcdef", 16) != 16;
    ::close(fd);
    ::unlink(path.constData());
    return refused;
}
