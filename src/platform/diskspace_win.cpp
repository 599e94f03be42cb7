#include "platform.h"

#include <windows.h>

namespace platform {

long long freeDiskSpace(const std::wstring &folder)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr))
        return -1;
    return static_cast<long long>(available.QuadPart);
}

bool setAsideFile(const std::wstring &path, long long bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    size.QuadPart = bytes;
    const bool done =
        SetFilePointerEx(file, size, nullptr, FILE_BEGIN) != 0 && SetEndOfFile(file) != 0;
    CloseHandle(file);
    if (!done)
        DeleteFileW(path.c_str());
    return done;
}

} // namespace platform
