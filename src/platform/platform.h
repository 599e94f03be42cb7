#pragma once

// The operating-system layer. Plain standard C++ in the interface, one implementation file per
// system (*_linux.cpp, *_win.cpp).

#include <map>
#include <string>
#include <vector>

namespace platform {

// Writes "yyyyMMddhhmmss.dmp" in the working directory when the process crashes, then lets the
// process end as it would have.
void installCrashHandler();

} // namespace platform
