#include "platform.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cwchar>
#include <vector>

namespace platform {

std::wstring userName()
{
    std::string name;
    std::vector<char> buffer(4096);
    passwd entry {};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name)
        name = found->pw_name;
    else if (const char *variable = std::getenv("USER"))
        name = variable;
    // The system's names are plain ASCII in practice; anything else is widened byte by byte.
    return std::wstring(name.begin(), name.end());
}

} // namespace platform
