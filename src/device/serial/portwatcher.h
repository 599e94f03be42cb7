#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Says when the serial ports may have changed: a device node came or went in /dev, or in the
// folder of a port named by a path (a pseudo-terminal's link, /dev/serial/by-id/...). The
// kernel tells (inotify, through QFileSystemWatcher), so nothing is listed while nothing
// changes. Where no folder can be watched it falls back to asking every 250 ms.
class PortWatcher : public QObject
{
    Q_OBJECT
public:
    explicit PortWatcher(QObject *parent = nullptr);

    // Watches /dev, and the folder of the port when it is named by a path outside /dev.
    void start(const QString &portPath = QString());
    void stop();
    // True while device events are watched; false when falling back to the timer.
    bool isWatching() const;

signals:
    // A burst of device events gives one signal, a short moment after the last one.
    void portsMayHaveChanged();

private:
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QTimer m_fallback;
};
