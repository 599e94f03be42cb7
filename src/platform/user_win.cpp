#include "platform.h"

#include <windows.h>

namespace platform {

std::wstring userName()
{
    wchar_t name[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(name, &size))
        return std::wstring();
    return std::wstring(name);
}

} // namespace platform
