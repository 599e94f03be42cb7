#pragma once

#include <QString>

// A few megabytes set aside on the disk of the program folder ("/data/.reserve", a file of no
// data), given back the moment a write finds the disk full, so what waits to be written when the
// disk fills still finds room: the rows the record writer holds (a power event's own alarms
// among them) and the last lines of the log as the program ends. Made again once the disk has
// room (twice its size free). Any thread may call these.
namespace DiskReserve {

constexpr long long size = 4 * 1024 * 1024;

// At start: kept when it is there, made when it is missing and there is room.
void make();
// A write found the disk full: the reserve goes, and the log says so (unless `tell` is false:
// the log's own writer writes note() itself, as a message raised while it writes one is not
// its). Whether the write may be tried again at once: the reserve was given up now, or by
// another writer since this one last asked (`seen`, each writer's own count of releases, starts
// at 0 and is kept up to date here).
enum class Release { NoRoom, GivenUp, GivenUpElsewhere };
Release release(unsigned *seen, bool tell = true);
QString note();

// After a write that found room: made again, once make() was called, when it is missing and
// there is room; looked at once a minute at most.
void restore();
bool isHeld();

} // namespace DiskReserve
