#include "platform.h"

#include <windows.h>

namespace platform {

namespace {

// The port is opened for overlapped use; under its time-outs (a read returns at once with what
// is there) an operation completes or fails without waiting.
long long overlapped(HANDLE port, bool reading, char *data, long long size)
{
    OVERLAPPED operation {};
    operation.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (operation.hEvent == nullptr)
        return -1;
    DWORD done = 0;
    BOOL ok = reading ? ::ReadFile(port, data, DWORD(size), &done, &operation)
                      : ::WriteFile(port, data, DWORD(size), &done, &operation);
    if (!ok && ::GetLastError() == ERROR_IO_PENDING)
        ok = ::GetOverlappedResult(port, &operation, &done, TRUE);
    ::CloseHandle(operation.hEvent);
    return ok ? (long long)done : -1;
}

} // namespace

long long portRead(long long handle, char *data, long long size)
{
    return overlapped(HANDLE(handle), true, data, size);
}

long long portWrite(long long handle, const char *data, long long size)
{
    return overlapped(HANDLE(handle), false, const_cast<char *>(data), size);
}

} // namespace platform
