#include "portwatcher.h"

#include "logcategories.h"

#include <QDir>
#include <QFileInfo>

namespace {

const int fallbackInterval = 250;
// udev makes a port's node and then its links and permissions: one look once they settled.
const int settleTime = 100;

} // namespace

PortWatcher::PortWatcher(QObject *parent) : QObject(parent), m_watcher(this)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleTime);
    m_fallback.setInterval(fallbackInterval);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            QOverload<>::of(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &PortWatcher::portsMayHaveChanged);
    connect(&m_fallback, &QTimer::timeout, this, &PortWatcher::portsMayHaveChanged);
}

void PortWatcher::start(const QString &portPath)
{
    stop();
    QStringList folders {QStringLiteral("/dev")};
    if (portPath.contains(QLatin1Char('/'))) {
        const QString folder = QFileInfo(portPath).absolutePath();
        if (folder != folders.first() && QFileInfo(folder).isDir())
            folders << folder;
    }
    const QStringList failed = m_watcher.addPaths(folders);
    if (failed.contains(folders.first())) {
        qCInfo(lcDevice) << "Device events cannot be watched in" << folders.first()
                         << "; the serial ports are listed every" << fallbackInterval << "ms";
        m_fallback.start();
    }
}

void PortWatcher::stop()
{
    const QStringList watched = m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_fallback.stop();
    m_settle.stop();
}

bool PortWatcher::isWatching() const
{
    return !m_watcher.directories().isEmpty() && !m_fallback.isActive();
}
