#include "diskreserve.h"

#include "clock.h"
#include "logcategories.h"
#include "paths.h"
#include "platform.h"

#include <QFile>
#include <QFileInfo>

#include <mutex>

namespace {

std::mutex reserveMutex;
bool wanted = false; // make() was called: the program keeps a reserve
bool held = false;
unsigned releases = 0;
QDateTime lastLook;

QString reservePath()
{
    return Paths::file(QStringLiteral("/data/.reserve"));
}

// With the lock held.
bool roomFor()
{
    const long long free =
        platform::freeDiskSpace(Paths::file(QStringLiteral("/data")).toStdWString());
    return free < 0 || free >= 2 * DiskReserve::size;
}

constexpr int megabytes = int(DiskReserve::size / (1024 * 1024));

} // namespace

namespace DiskReserve {

void make()
{
    bool noRoom = false;
    {
        std::lock_guard<std::mutex> lock(reserveMutex);
        wanted = true;
        lastLook = Clock::now();
        const QString path = reservePath();
        const QFileInfo info(path);
        // One left by the last run is kept as it is, even on a disk that is full now.
        if (info.isFile() && info.size() == size) {
            held = true;
            return;
        }
        QFile::remove(path);
        noRoom = !roomFor();
        held = !noRoom && platform::setAsideFile(path.toStdWString(), size);
    }
    if (noRoom)
        qCWarning(lcRecords).noquote()
            << QStringLiteral("The disk of the program folder has less than %1 MB free: no "
                              "reserve is set aside for a full disk until there is room")
                   .arg(2 * megabytes);
}

Release release(unsigned *seen, bool tell)
{
    {
        std::lock_guard<std::mutex> lock(reserveMutex);
        if (!held) {
            const bool other = *seen != releases;
            *seen = releases;
            return other ? Release::GivenUpElsewhere : Release::NoRoom;
        }
        held = false;
        lastLook = Clock::now();
        const bool removed = QFile::remove(reservePath());
        releases += removed ? 1 : 0;
        *seen = releases;
        if (!removed)
            return Release::NoRoom;
    }
    // Told outside the lock: the log's writer takes it.
    if (tell)
        qCWarning(lcRecords).noquote() << note();
    return Release::GivenUp;
}

QString note()
{
    return QStringLiteral("The disk of the program folder is full: its reserve of %1 MB (%2) is "
                          "given up so that the rows waiting for the database and the log's "
                          "lines are written; free some room on that disk")
        .arg(megabytes)
        .arg(reservePath());
}

void restore()
{
    {
        std::lock_guard<std::mutex> lock(reserveMutex);
        if (held || !wanted)
            return;
        const QDateTime now = Clock::now();
        // A clock set back counts as a minute gone.
        if (lastLook.isValid() && now >= lastLook && lastLook.secsTo(now) < 60)
            return;
        lastLook = now;
        if (!roomFor() || !platform::setAsideFile(reservePath().toStdWString(), size))
            return;
        held = true;
    }
    qCInfo(lcRecords).noquote()
        << QStringLiteral("The disk of the program folder has room again: its reserve of %1 MB "
                          "for a full disk is set aside again")
               .arg(megabytes);
}

bool isHeld()
{
    std::lock_guard<std::mutex> lock(reserveMutex);
    return held;
}

} // namespace DiskReserve
