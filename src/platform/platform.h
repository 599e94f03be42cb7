#pragma once

// The operating-system layer. Plain standard C++ in the interface, one implementation file per
// system (*_linux.cpp, *_win.cpp).

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace platform {

// Writes "yyyyMMddhhmmss.dmp" in the working directory when the process crashes, then lets the
// process end as it would have.
void installCrashHandler();

enum class PowerOffResult {
    Requested, // the system accepted the request and goes down
    Refused, // not allowed (missing privilege, polkit said no)
    Unavailable, // nobody to ask (no system bus, no login manager)
    Failed // asked, but the request failed otherwise
};

// Asks the system to power the computer off now, forcing applications closed, and logs the
// outcome (Linux).
// Linux: org.freedesktop.login1.Manager.PowerOff(false) on the system bus, or on the D-Bus
// address in the environment variable QUELTA_LOGIN1_BUS when that is set (tests).
// Windows: enables SeShutdownPrivilege, then ExitWindowsEx with shutdown and force.
PowerOffResult powerOff();

// Class name -> titles of the visible top-level windows of that class, in the order the system
// lists them. Windows without a class name or without a title are left out.
using WindowList = std::map<std::wstring, std::vector<std::wstring>>;

// Longest class name and title kept; longer ones are cut.
constexpr std::size_t maxWindowClassLength = 255;
constexpr std::size_t maxWindowTitleLength = 511;

// Linux: the X11 display in DISPLAY; the window manager's _NET_CLIENT_LIST, or the mapped
// children of the root window where no window manager publishes one. No display: empty.
// Windows: EnumWindows.
WindowList openWindows();

// Waits until what was written to the open file `descriptor` is on the disk (its data; the
// size too when it grew). False when the system says it could not be.
// Linux: fdatasync. Windows: _commit on the C runtime descriptor.
bool syncToDisk(int descriptor);

} // namespace platform
